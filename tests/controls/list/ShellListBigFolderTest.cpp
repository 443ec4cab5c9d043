// What the shell list keeps through the actions that are costly in big folders: a view switch
// shows the same items with the same selection and focus; a key or click that deselects all
// items but one leaves the same selection and focus as the list view's own handling, told in
// one change report rather than one per item; a long burst of files made by another program
// shows while it goes on, and the list ends equal to the folder.
#include "common/Input.h"
#include "controls/list/ShellListFixture.h"
#include "core/TextCompare.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kFiles = 300;

// What a user sees of the list: the items in order, the selected ones and the focused one.
struct TListState {
    std::vector<std::wstring> Captions;
    std::set<std::wstring> Selected;
    std::wstring Focused;
};

class ShellListBigFolderTest : public ShellListFixture {
protected:
    void SetUp() override
    {
        ShellListFixture::SetUp();
        for (int file = 0; file < kFiles; ++file)
            tree.File(L"many\\file" + std::to_wstring(1000 + file) + L".txt",
                      static_cast<uint64_t>((file * 37) % 101));
        Show(L"many");
        list->OnChange = [this](TObject*, TListItem*, TItemChange change) {
            if (change == TItemChange::ctState)
                ++stateReports;
        };
    }

    TListState State()
    {
        TListState state;
        for (int index = 0; index < list->Items()->Count(); ++index) {
            TListItem* item = list->Items()->Item(index);
            state.Captions.push_back(item->Caption());
            if (item->Selected())
                state.Selected.insert(item->Caption());
        }
        if (list->ItemFocused() != nullptr)
            state.Focused = list->ItemFocused()->Caption();
        return state;
    }
    std::vector<int> SelectedIndexes()
    {
        std::vector<int> indexes;
        for (int index = 0; index < list->Items()->Count(); ++index)
            if (list->Items()->Item(index)->Selected())
                indexes.push_back(index);
        return indexes;
    }

    void SelectSome()
    {
        list->ClearSelection();
        for (const int index : {3, 150, 20, 299})
            list->Items()->Item(index)->SetSelected(true);
        list->Items()->Item(150)->SetFocused(true);
    }

    void Press(WORD key, TShiftState shift = 0)
    {
        list->SetFocus();
        PressKey(key, shift);
        FlushInput();
    }

    POINT RowPoint(int index)
    {
        const RECT bounds = list->Items()->Item(index)->DisplayRect(TDisplayCode::drLabel);
        return POINT{bounds.left + 4, (bounds.top + bounds.bottom) / 2};
    }

    int stateReports = 0;
};

struct TViewCase {
    const char* Name;
    TViewStyle From;
    bool FromThumbnails;
    TViewStyle To;
    bool ToThumbnails;
};

const TViewCase kViewCases[] = {
    {"details to list", vsReport, false, vsList, false},
    {"list to icons", vsList, false, vsIcon, false},
    {"icons to details", vsIcon, false, vsReport, false},
    {"details to small icons", vsReport, false, vsSmallIcon, false},
    {"details to thumbnails", vsReport, false, vsIcon, true},
    {"thumbnails to details", vsIcon, true, vsReport, false},
    {"thumbnails to list", vsIcon, true, vsList, false},
    {"icons to thumbnails", vsIcon, false, vsIcon, true},
};

void SetView(TZelShellList& list, TViewStyle style, bool thumbnails)
{
    if (thumbnails)
        list.SetThumbnails(true);
    else
        list.SetViewStyle(style);
}

}  // namespace

// A view switch fills the list again: the same objects, the same selection, selected again by
// name (the last one of them focused).
TEST_F(ShellListBigFolderTest, AViewSwitchKeepsTheItemsTheirOrderAndTheSelection)
{
    for (const bool bySize : {false, true}) {
        for (const TViewCase& entry : kViewCases) {
            SCOPED_TRACE(std::string(entry.Name) + (bySize ? ", sorted by size" : ""));
            SetView(*list, vsReport, false);
            if (bySize != (list->SortColumn() == 1))
                list->ColumnClick(bySize ? 1 : 0);
            SetView(*list, entry.From, entry.FromThumbnails);
            SelectSome();
            Draw();
            const TListState before = State();
            SetView(*list, entry.To, entry.ToThumbnails);
            Draw();
            EXPECT_EQ(list->GetViewStyle(), entry.To);
            EXPECT_EQ(list->GetThumbnails(), entry.ToThumbnails);
            const TListState after = State();
            EXPECT_EQ(after.Selected, before.Selected);
            std::wstring lastSelected;
            for (const std::wstring& caption : before.Captions)
                if (before.Selected.count(caption) != 0)
                    lastSelected = caption;
            EXPECT_EQ(after.Focused, lastSelected);
            // The order of a column's values holds in the details view only; elsewhere names
            // order the items.
            if (!bySize || (entry.From == vsReport) == (entry.To == vsReport)) {
                EXPECT_EQ(after.Captions, before.Captions);
            }
            EXPECT_EQ(list->Items()->Count(), kFiles);
        }
    }
}

namespace {

enum class TInput { Key, Click, RightClick, ClickBelowItems };

struct TDeselectCase {
    const char* Name;
    TInput Input;
    WORD Key;
    int Focus;   // the focused item before the input
    int Target;  // the one item selected after it; -1: all stay selected, -2: none
};

const TDeselectCase kDeselectCases[] = {
    {"Home", TInput::Key, VK_HOME, 150, 0},
    {"End", TInput::Key, VK_END, 150, kFiles - 1},
    {"Down", TInput::Key, VK_DOWN, 150, 151},
    {"Up", TInput::Key, VK_UP, 150, 149},
    {"Home on the first item", TInput::Key, VK_HOME, 0, -1},
    {"Up on the first item", TInput::Key, VK_UP, 0, -1},
    {"End on the last item", TInput::Key, VK_END, kFiles - 1, -1},
    {"click on a selected item", TInput::Click, 0, 150, 2},
    {"right click on a selected item", TInput::RightClick, 0, 150, -1},
    {"click below the items", TInput::ClickBelowItems, 0, 150, -2},
};

}  // namespace

TEST_F(ShellListBigFolderTest, DeselectingAllButOneLeavesWhatTheListViewLeavesInOneReport)
{
    list->ShellContextMenu = false;
    for (const TDeselectCase& entry : kDeselectCases) {
        SCOPED_TRACE(entry.Name);
        list->SetViewStyle(vsReport);
        list->Items()->Item(entry.Focus)->SetFocused(true);
        list->Items()->Item(entry.Focus)->MakeVisible(false);
        Press('A', ssCtrl);
        ASSERT_EQ(list->SelCount(), kFiles);
        Draw();
        stateReports = 0;
        int target = entry.Target;
        switch (entry.Input) {
        case TInput::Key: Press(entry.Key); break;
        case TInput::Click:
        case TInput::RightClick: {
            const int row = list->TopItem()->Index() + 2;
            if (target >= 0)
                target = row;
            ClickAt(list->Handle(), RowPoint(row),
                    entry.Input == TInput::Click ? TMouseButton::mbLeft : TMouseButton::mbRight);
            FlushInput();
            break;
        }
        case TInput::ClickBelowItems:
            // The last column of the list view holds a few items: below them is no item.
            list->SetViewStyle(vsList);
            list->Items()->Item(kFiles - 1)->MakeVisible(false);
            Draw();
            stateReports = 0;
            ClickAt(list->Handle(), POINT{list->ClientWidth() - 5, list->ClientHeight() - 5});
            FlushInput();
            break;
        }
        const std::vector<int> selected = SelectedIndexes();
        if (target == -1) {
            EXPECT_EQ(static_cast<int>(selected.size()), kFiles);
            continue;
        }
        if (target == -2) {
            EXPECT_TRUE(selected.empty());
        } else {
            EXPECT_EQ(selected, std::vector<int>{target});
            ASSERT_NE(list->ItemFocused(), nullptr);
            EXPECT_EQ(list->ItemFocused()->Index(), target);
        }
        // Not a report for each of the 300 items deselected.
        EXPECT_LT(stateReports, 10);
    }
}

TEST_F(ShellListBigFolderTest, ABurstOfOutsideChangesIsFollowedAndEndsEqualToTheFolder)
{
    constexpr int kBursts = 8;
    constexpr int kPerBurst = 60;
    const std::wstring folder = tree.Path(L"many");
    std::atomic<bool> written{false};
    // Another program writing files, in bursts closer together than the list's refresh delay.
    std::thread writer([&] {
        for (int burst = 0; burst < kBursts; ++burst) {
            for (int file = 0; file < kPerBurst; ++file) {
                const std::wstring path = folder + L"\\burst" + std::to_wstring(burst) + L"-" +
                                          std::to_wstring(file) + L".txt";
                CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            }
            Sleep(200);
        }
        written = true;
    });
    bool followed = false;
    PumpMessagesUntil(
        [&] {
            followed = followed || (!written && list->Items()->Count() > kFiles);
            return written.load();
        },
        30000);
    writer.join();
    const int total = kFiles + kBursts * kPerBurst;
    PumpMessagesUntil([&] { return list->Items()->Count() == total; }, 10000);
    EXPECT_TRUE(followed);

    std::set<std::wstring> onDisk;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            onDisk.insert(UpperCase(found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::set<std::wstring> shown;
    for (int index = 0; index < list->Items()->Count(); ++index)
        shown.insert(UpperCase(ExtractFileName(list->ItemPath(list->Items()->Item(index)))));
    EXPECT_EQ(static_cast<int>(onDisk.size()), total);
    EXPECT_EQ(shown, onDisk);
    EXPECT_EQ(list->Items()->Count(), total);
}
