// The main window as a user meets it: its layout at any size, what it paints, what screen
// readers learn of it.
#include "ProgramDriver.h"

#include "common/Accessibility.h"
#include "common/Input.h"
#include "common/Screen.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

int WindowWidth(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

// A window's rectangle in the main window's client coordinates.
RECT PlaceIn(HWND window, HWND main)
{
    return TProgramDriver::ClientRectIn(window, main);
}

class ProgramWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = tree_.Folder(L"data");
        for (int i = 0; i < 40; ++i)
            tree_.File(L"data\\file" + std::to_wstring(i) + L".txt", 100 * i);
    }

    std::string Settings(const std::string& window) const
    {
        const std::string path = WideToNarrow(folder_);
        return "[GenInfo]\r\nPath1=" + path + "\r\nPath2=" + path + "\r\n[MForm]\r\n" + window;
    }

    void Resize(int width, int height) const
    {
        SetWindowPos(program_.MainWindow(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        program_.Settle();
    }

    // Every part of both panes is on screen, and pane 1's list keeps a usable height.
    void ExpectBothPanesUsable() const
    {
        HWND main = program_.MainWindow();
        RECT client{};
        GetClientRect(main, &client);
        for (int pane : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "pane " << pane);
            for (HWND part : {program_.Tree(pane), program_.List(pane), program_.Combo(pane)}) {
                ASSERT_NE(part, nullptr);
                const RECT place = PlaceIn(part, main);
                EXPECT_GT(place.bottom - place.top, 0);
                EXPECT_GT(place.right - place.left, 0);
                EXPECT_GE(place.top, client.top);
                EXPECT_LE(place.bottom, client.bottom);
                EXPECT_LT(place.left, client.right);
            }
        }
        // The path combos' drop buttons stay in sight.
        for (int pane : {1, 2})
            EXPECT_LE(PlaceIn(program_.Combo(pane), main).right, client.right);
        const RECT list1 = PlaceIn(program_.List(1), main);
        EXPECT_GE(list1.bottom - list1.top, DesignScale(80));
        EXPECT_GE(list1.right - list1.left, DesignScale(100));
    }

    // What the window shows equals what it draws when told to draw everything again.
    void ExpectNothingStale(const char* after) const
    {
        SCOPED_TRACE(after);
        HWND main = program_.MainWindow();
        ParkMouse();
        program_.Settle();
        Sleep(300);  // icons arrive from worker threads
        program_.Settle();
        const std::vector<DWORD> shown = CaptureWindow(main);
        RedrawWindow(main, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        program_.Settle();
        const std::vector<DWORD> redrawn = CaptureWindow(main);
        EXPECT_EQ(DifferingPixels(shown, redrawn), 0)
            << "stale pixels within " << DifferenceBounds(shown, redrawn, WindowWidth(main));
    }

    TTempTree tree_;
    std::wstring folder_;
    TProgramDriver program_{tree_};
};

TEST_F(ProgramWindowTest, BothPanesStayUsableAtAnyWindowSize)
{
    program_.WriteSettings(Settings("Left=20\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n"
                                    "wsNormal=0\r\nwsMaximized=1\r\nExpl2Height=456\r\n"));
    ASSERT_TRUE(program_.Start());
    HWND main = program_.MainWindow();
    ASSERT_TRUE(IsZoomed(main));
    ASSERT_EQ(PlaceIn(program_.Pane2Panel(), main).bottom -
                  PlaceIn(program_.Pane2Panel(), main).top,
              456);

    ShowWindow(main, SW_RESTORE);
    program_.Settle();
    {
        SCOPED_TRACE("restored to 700 x 500");
        ExpectBothPanesUsable();
    }
    Resize(401, 301);
    {
        SCOPED_TRACE("401 x 301");
        ExpectBothPanesUsable();
    }
    // The window does not get smaller than what shows every part.
    Resize(120, 90);
    RECT window{};
    GetWindowRect(main, &window);
    EXPECT_GT(window.right - window.left, 120);
    EXPECT_GT(window.bottom - window.top, 90);
    {
        SCOPED_TRACE("smallest");
        ExpectBothPanesUsable();
    }

    // Pane 2's height is the user's: it comes back with the room, and is what is stored.
    ShowWindow(main, SW_MAXIMIZE);
    program_.Settle();
    EXPECT_EQ(PlaceIn(program_.Pane2Panel(), main).bottom -
                  PlaceIn(program_.Pane2Panel(), main).top,
              456);
    EXPECT_EQ(program_.Close(), 0u);
    EXPECT_EQ(program_.Setting("MForm", "Expl2Height"), "456");
}

TEST_F(ProgramWindowTest, WhatTheWindowShowsIsWhatAFullRepaintDraws)
{
    program_.WriteSettings(Settings("Left=20\r\nTop=20\r\nWidth=760\r\nHeight=560\r\n"
                                    "wsNormal=0\r\nwsMaximized=1\r\nExpl2Height=200\r\n"));
    ASSERT_TRUE(program_.Start());
    HWND main = program_.MainWindow();
    ShowWindow(main, SW_RESTORE);
    ExpectNothingStale("restore");
    Resize(600, 450);
    ExpectNothingStale("shrink");
    Resize(900, 650);
    ExpectNothingStale("grow");
    // A user's drag of the frame: many small steps, each repainting only what it uncovers.
    for (int step = 1; step <= 8; ++step)
        Resize(900 - 15 * step, 650 - 10 * step);
    ExpectNothingStale("drag smaller");
    for (int step = 1; step <= 8; ++step)
        Resize(780 + 20 * step, 570 + 10 * step);
    ExpectNothingStale("drag larger");

    // Details to list and back, on pane 1 (its list has the focus).
    program_.Click(program_.List(1), POINT{DesignScale(300), DesignScale(200)});
    program_.Click(program_.ToolButton(84), POINT{10, 10});
    ASSERT_EQ(TProgramDriver::ListView(program_.List(1)), LVS_LIST);
    ExpectNothingStale("list");
    program_.Click(program_.ToolButton(109), POINT{10, 10});
    ASSERT_EQ(TProgramDriver::ListView(program_.List(1)), LVS_REPORT);
    ExpectNothingStale("details");
    EXPECT_EQ(program_.Close(), 0u);
}

// The splitters between the trees and lists and between the panes stand out from both.
TEST_F(ProgramWindowTest, TheSplittersAreVisible)
{
    program_.WriteSettings(Settings("Width=800\r\nHeight=600\r\nwsNormal=1\r\nwsMaximized=0\r\n"));
    ASSERT_TRUE(program_.Start());
    ParkMouse();
    program_.Settle();
    for (int number : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "splitter " << number);
        HWND splitter = program_.Splitter(number);
        ASSERT_NE(splitter, nullptr);
        // Read from the screen: another process's window cannot be read through its own DC.
        const std::vector<DWORD> pixels = CaptureWindow(splitter);
        RECT rect{};
        GetClientRect(splitter, &rect);
        const auto count = [&](COLORREF colour) {
            const DWORD pixel =
                GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
            return std::count(pixels.begin(), pixels.end(), pixel);
        };
        const long length = std::max(rect.right, rect.bottom);
        EXPECT_GE(count(GetSysColor(COLOR_BTNSHADOW)), length);
        EXPECT_GE(count(GetSysColor(COLOR_BTNHIGHLIGHT)), length);
    }
    EXPECT_EQ(program_.Close(), 0u);
}

// Screen readers, from another process: the tool bar's buttons by their hints, the panes'
// controls in the roles of the common controls they are made from.
TEST_F(ProgramWindowTest, ScreenReadersNameTheButtonsAndKnowTheControls)
{
    program_.WriteSettings(Settings("Width=800\r\nHeight=600\r\nwsNormal=1\r\nwsMaximized=0\r\n"));
    ASSERT_TRUE(program_.Start());
    struct TButton {
        int left;
        const wchar_t* name;
        LONG pressed;
    };
    for (const TButton& button :
         {TButton{4, L"Parent Folder", 0}, TButton{109, L"Show Details", STATE_SYSTEM_PRESSED},
          TButton{84, L"Show List", 0}, TButton{178, L"Show hidden files", 0},
          TButton{252, L"Double Horizontal Explorer", STATE_SYSTEM_PRESSED}}) {
        SCOPED_TRACE(testing::Message() << button.name);
        const TAccessibleReading reading =
            ReadAccessible(AccessibleClientOf(program_.ToolButton(button.left)).Get());
        EXPECT_EQ(reading.Name, button.name);
        EXPECT_EQ(reading.Role, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(reading.State & STATE_SYSTEM_PRESSED, button.pressed);
    }
    // Each control as the system's accessibility library reads a plain one of its kind.
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    const auto plainRole = [host](const wchar_t* className, DWORD style) {
        HWND plain = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 100,
                                     100, host, nullptr, nullptr, nullptr);
        const LONG role = ReadAccessible(AccessibleClientOf(plain).Get()).Role;
        DestroyWindow(plain);
        return role;
    };
    const LONG treeRole = plainRole(WC_TREEVIEWW, 0);
    const LONG listRole = plainRole(WC_LISTVIEWW, LVS_REPORT);
    const LONG comboRole = plainRole(WC_COMBOBOXW, CBS_DROPDOWN);
    DestroyWindow(host);
    for (int pane : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "pane " << pane);
        EXPECT_EQ(ReadAccessible(AccessibleClientOf(program_.Tree(pane)).Get()).Role, treeRole);
        EXPECT_EQ(ReadAccessible(AccessibleClientOf(program_.List(pane)).Get()).Role, listRole);
        EXPECT_EQ(ReadAccessible(AccessibleClientOf(program_.Combo(pane)).Get()).Role, comboRole);
    }
    EXPECT_EQ(program_.Close(), 0u);
}

}  // namespace
