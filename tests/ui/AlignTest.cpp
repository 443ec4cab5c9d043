// Aligned layout, panels and splitters.
#include "common/Input.h"
#include "ui/Forms.h"
#include "ui/Panel.h"
#include "ui/Splitter.h"
#include "ui/StatusBar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// "left,top,right,bottom" of a control's place in its parent.
std::string Box(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string BoundsOf(const TWinControl* control)
{
    return Box(RECT{control->Left(), control->Top(), control->Left() + control->Width(),
                    control->Top() + control->Height()});
}

class AlignTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(20, 20, 500, 400);
    }

    TPanel* AddPanel(TWinControl* parent, TAlign align, int width, int height)
    {
        auto* panel = MakeOwned<TPanel>(form_.get());
        panel->SetBevelOuter(TBevelCut::bvNone);
        panel->SetBounds(0, 0, width, height);
        panel->SetAlign(align);
        panel->SetParent(parent);
        return panel;
    }

    // Drags from a client point of the window by (dx, dy) in steps, as a user would.
    void Drag(HWND window, POINT from, int dx, int dy)
    {
        POINT screen = from;
        ClientToScreen(window, &screen);
        MoveMouseTo(GetDesktopWindow(), screen);
        FlushInput();
        INPUT down{};
        down.type = INPUT_MOUSE;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &down, sizeof(INPUT));
        FlushInput();
        for (int step = 1; step <= 4; ++step) {
            MoveMouseTo(GetDesktopWindow(),
                        POINT{screen.x + dx * step / 4, screen.y + dy * step / 4});
            FlushInput();
        }
        INPUT up{};
        up.type = INPUT_MOUSE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &up, sizeof(INPUT));
        FlushInput();
    }

    std::unique_ptr<TForm> form_;
};

TEST_F(AlignTest, EdgesTakeTheirSpaceInOrderAndTheClientControlFillsTheRest)
{
    TPanel* top = AddPanel(form_.get(), TAlign::alTop, 10, 30);
    TPanel* bottomOuter = AddPanel(form_.get(), TAlign::alBottom, 10, 50);
    TPanel* bottomInner = AddPanel(form_.get(), TAlign::alBottom, 10, 20);
    TPanel* left = AddPanel(form_.get(), TAlign::alLeft, 100, 10);
    TPanel* right = AddPanel(form_.get(), TAlign::alRight, 60, 10);
    TPanel* client = AddPanel(form_.get(), TAlign::alClient, 10, 10);
    form_->SetClientSize(400, 300);
    form_->Show();
    FlushInput();
    ASSERT_EQ(form_->ClientWidth(), 400);
    ASSERT_EQ(form_->ClientHeight(), 300);

    EXPECT_EQ(BoundsOf(top), "0,0,400,30");
    EXPECT_EQ(BoundsOf(bottomOuter), "0,250,400,300");
    EXPECT_EQ(BoundsOf(bottomInner), "0,230,400,250");
    EXPECT_EQ(BoundsOf(left), "0,30,100,230");
    EXPECT_EQ(BoundsOf(right), "340,30,400,230");
    EXPECT_EQ(BoundsOf(client), "100,30,340,230");

    // The window grows: the layout follows.
    form_->SetClientSize(600, 400);
    FlushInput();
    EXPECT_EQ(BoundsOf(bottomOuter), "0,350,600,400");
    EXPECT_EQ(BoundsOf(client), "100,30,540,330");

    // An aligned control changes size or hides: its siblings make room or take it.
    bottomOuter->SetBounds(0, 0, 600, 0);
    EXPECT_EQ(BoundsOf(bottomInner), "0,380,600,400");
    EXPECT_EQ(BoundsOf(client), "100,30,540,380");
    left->SetVisible(false);
    EXPECT_EQ(BoundsOf(client), "0,30,540,380");
    // The windows are where the controls say.
    RECT window{};
    GetWindowRect(client->WindowHandle(), &window);
    MapWindowPoints(nullptr, form_->WindowHandle(), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_EQ(Box(window), BoundsOf(client));
}

TEST_F(AlignTest, WhileAFormLoadsSizesAndAlignmentsMayComeInAnyOrder)
{
    form_->BeginFormLoading();
    // A splitter starts aligned left; its height is set before it is aligned to the bottom.
    auto* splitter = MakeOwned<TSplitter>(form_.get());
    splitter->BeginLoading();
    splitter->SetParent(form_.get());
    splitter->SetBounds(0, 0, 100, 4);
    splitter->SetAlign(TAlign::alBottom);
    TPanel* lower = AddPanel(form_.get(), TAlign::alBottom, 10, 0);
    lower->BeginLoading();
    form_->SetClientSize(300, 200);
    form_->EndFormLoading();
    form_->Show();
    FlushInput();
    EXPECT_EQ(BoundsOf(splitter), "0,196,300,200");
    EXPECT_EQ(BoundsOf(lower), "0,196,300,196");
}

TEST_F(AlignTest, APanelsBevelsStayOutsideItsAlignedChildren)
{
    TPanel* outer = AddPanel(form_.get(), TAlign::alClient, 10, 10);
    outer->SetBevelOuter(TBevelCut::bvLowered);
    outer->SetBevelInner(TBevelCut::bvRaised);
    outer->SetBevelWidth(2);
    TPanel* inner = AddPanel(outer, TAlign::alClient, 10, 10);
    form_->SetClientSize(200, 100);
    form_->Show();
    FlushInput();
    EXPECT_EQ(BoundsOf(inner), "4,4,196,96");
}

TEST_F(AlignTest, AStatusBarStaysWhereItIsAligned)
{
    auto* bar = MakeOwned<TStatusBar>(form_.get());
    bar->SetBounds(0, 0, 100, 22);
    bar->SetAlign(TAlign::alTop);
    bar->SetParent(form_.get());
    bar->SetPanels({{50, L"Path:"}, {50, L""}});
    TPanel* rest = AddPanel(form_.get(), TAlign::alClient, 10, 10);
    form_->SetClientSize(300, 200);
    form_->Show();
    FlushInput();
    form_->SetClientSize(320, 240);
    FlushInput();
    // The common control would move itself to its parent's bottom edge.
    EXPECT_EQ(BoundsOf(bar), "0,0,320,22");
    EXPECT_EQ(BoundsOf(rest), "0,22,320,240");
    wchar_t text[16] = {};
    SendMessageW(bar->WindowHandle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Path:");
}

TEST_F(AlignTest, DraggingASplitterProposesEachSizeAndResizesItsNeighbour)
{
    TPanel* tree = AddPanel(form_.get(), TAlign::alLeft, 100, 10);
    auto* splitter = MakeOwned<TSplitter>(form_.get());
    splitter->SetBounds(100, 0, 4, 10);
    splitter->SetParent(form_.get());
    TPanel* list = AddPanel(form_.get(), TAlign::alClient, 10, 10);
    form_->SetClientSize(400, 300);
    form_->Show();
    FlushInput();
    ASSERT_EQ(splitter->Left(), 100);
    EXPECT_EQ(splitter->ResizeControl(), tree);

    std::vector<int> proposed;
    splitter->OnCanResize = [&](TObject*, int& size, bool&) { proposed.push_back(size); };
    Drag(splitter->WindowHandle(), POINT{2, 50}, 80, 0);
    ASSERT_FALSE(proposed.empty());
    EXPECT_EQ(proposed.back(), 180);
    EXPECT_EQ(tree->Width(), 180);
    EXPECT_EQ(splitter->Left(), 180);
    EXPECT_EQ(list->Left(), 184);

    // A handler that refuses keeps the size; one that changes the proposal wins.
    splitter->OnCanResize = [](TObject*, int&, bool& accept) { accept = false; };
    Drag(splitter->WindowHandle(), POINT{2, 50}, -40, 0);
    EXPECT_EQ(tree->Width(), 180);
    splitter->OnCanResize = [](TObject*, int& size, bool&) { size = 150; };
    Drag(splitter->WindowHandle(), POINT{2, 50}, -40, 0);
    EXPECT_EQ(tree->Width(), 150);

    // Far to the right, the rest keeps its minimum; far to the left, the tree snaps shut.
    splitter->OnCanResize = nullptr;
    Drag(splitter->WindowHandle(), POINT{2, 50}, 600, 0);
    EXPECT_EQ(tree->Width(), 400 - 4 - splitter->MinSize);
    Drag(splitter->WindowHandle(), POINT{2, 50}, -600, 0);
    EXPECT_EQ(tree->Width(), 0);
    EXPECT_EQ(splitter->Left(), 0);
    EXPECT_EQ(splitter->ResizeControl(), tree) << "a closed neighbour can be dragged open";
}

TEST_F(AlignTest, ABottomSplitterResizesTheControlBelowIt)
{
    AddPanel(form_.get(), TAlign::alClient, 10, 10);
    TPanel* lower = AddPanel(form_.get(), TAlign::alBottom, 10, 100);
    auto* splitter = MakeOwned<TSplitter>(form_.get());
    splitter->SetBounds(0, 0, 10, 4);
    splitter->SetAlign(TAlign::alBottom);
    splitter->SetParent(form_.get());
    form_->SetClientSize(400, 300);
    form_->Show();
    FlushInput();
    ASSERT_EQ(splitter->Top(), 196);

    Drag(splitter->WindowHandle(), POINT{50, 2}, 0, -50);
    EXPECT_EQ(lower->Height(), 150);
    EXPECT_EQ(lower->Top(), 150);
}

}  // namespace
