// The shell list following its folder: navigation, history, loading, the link, change reports
// about the folder itself, and the selection carried over a refill.
#include "controls/list/ShellListFixture.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"

#include <string>
#include <vector>

namespace {

// A linkable control that records the folders and objects the list announces.
class TRecordingControl : public IZelShellControl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IZelShellControl) {
            *object = static_cast<IZelShellControl*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void STDMETHODCALLTYPE SetShellLink(TZelShellLink*) override {}
    TZelShellLink* STDMETHODCALLTYPE GetShellLink() override { return nullptr; }
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) override
    {
        folders.push_back(PathFromIDList(folder));
    }
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object) override
    {
        objects.push_back(PathFromIDList(ConcatIDLists(folder, object)));
    }
    void STDMETHODCALLTYPE SelectAll() override {}
    void STDMETHODCALLTYPE RefreshContents() override {}
    void STDMETHODCALLTYPE RefreshChanges() override {}
    bool STDMETHODCALLTYPE GoUp() override { return false; }

    std::vector<std::wstring> folders;
    std::vector<std::wstring> objects;
};

class ShellListNavigationTest : public ShellListFixture {
protected:
    TZelShellLink* Link()
    {
        if (link == nullptr) {
            link = new TZelShellLink(form.get());
            list->SetShellLink(link);
            link->AddControl(&other);
        }
        return link;
    }
    void TearDown() override
    {
        if (link != nullptr)
            link->RemoveControl(&other);
        ShellListFixture::TearDown();
    }
    void Select(const std::wstring& caption)
    {
        TListItem* item = ItemNamed(caption);
        ASSERT_NE(item, nullptr) << caption;
        item->SetSelected(true);
    }

    TRecordingControl other;
    TZelShellLink* link = nullptr;
};

using Strings = std::vector<std::wstring>;

// ---- Re-selection ----

TEST_F(ShellListNavigationTest, ARefillSelectsTheSameObjectsAgainWithTheLastInView)
{
    for (int index = 0; index < 400; ++index)
        tree.File(L"many\\f" + std::to_wstring(1000 + index) + L".txt");
    Show(L"many");
    list->SelectAll();
    list->Items()->Item(399)->SetFocused(true);
    list->RefreshContents();
    EXPECT_EQ(list->SelCount(), 400);
    EXPECT_EQ(list->ItemFocused(), list->Items()->Item(399));
    EXPECT_EQ(list->SelectedNames().size(), 400u);
    // Most but not all.
    list->Items()->Item(7)->SetSelected(false);
    list->Items()->Item(300)->SetSelected(false);
    list->RefreshContents();
    EXPECT_EQ(list->SelCount(), 398);
    EXPECT_FALSE(list->Items()->Item(7)->Selected());
    EXPECT_FALSE(list->Items()->Item(300)->Selected());
    // Names in another form (case, a parsing name) are found as well; gone ones are skipped.
    list->SetSelectedNames({L"F1000.TXT", L"gone.txt", L"f1399.txt"});
    EXPECT_EQ(SelectedCaptions(), (Strings{L"f1000.txt", L"f1399.txt"}));
    EXPECT_EQ(list->ItemFocused(), list->Items()->Item(399));
    EXPECT_GT(ListView_GetTopIndex(list->Handle()) + ListView_GetCountPerPage(list->Handle()), 399);
}

TEST_F(ShellListNavigationTest, ARefillOfTheDesktopKeepsVirtualObjectsSelected)
{
    list->SetSpecialFolder(SF_DESKTOP);
    Draw();
    // "My Computer" and its like have no file name: their names do not parse.
    TListItem* drives = nullptr;
    for (int index = 0; index < list->Items()->Count() && drives == nullptr; ++index) {
        TListItem* item = list->Items()->Item(index);
        list->Browser().SetObjectIDList(TZelShellList::RecordOf(item)->IDList());
        if (list->Browser().ObjectSpecialFolder() == SF_DRIVES)
            drives = item;
    }
    ASSERT_NE(drives, nullptr);
    const std::wstring caption = drives->Caption();
    drives->SetSelected(true);
    list->RefreshContents();
    EXPECT_EQ(SelectedCaptions(), (Strings{caption}));
    list->SetSelectedNames({});
    EXPECT_EQ(list->SelCount(), 0);
    list->SetSelectedNames({caption});
    EXPECT_EQ(SelectedCaptions(), (Strings{caption}));
    // Its parsing name, and its display name in another case, find it too.
    list->SetSelectedNames({L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"});
    EXPECT_EQ(SelectedCaptions(), (Strings{caption}));
    list->SetSelectedNames({});
    list->SetSelectedNames({UpperCase(caption)});
    EXPECT_EQ(SelectedCaptions(), (Strings{caption}));
}

TEST_F(ShellListNavigationTest, SelectionIsCarriedOverOnlyWhenTheFolderStaysTheSame)
{
    tree.File(L"docs\\alpha.txt");
    const auto selectInDocs = [&] {
        Show(L"docs");
        Select(L"alpha.txt");
        ASSERT_EQ(list->SelCount(), 1);
    };
    selectInDocs();
    list->GoUp();
    EXPECT_EQ(list->SelCount(), 0) << "GoUp";
    selectInDocs();
    list->SetPath(tree.Root());
    EXPECT_EQ(list->SelCount(), 0) << "SetPath";
    selectInDocs();
    list->BrowseToIDList(IDListFromPath(nullptr, tree.Root()));
    EXPECT_EQ(list->SelCount(), 0) << "BrowseToIDList";
    selectInDocs();
    list->NavigateHistory(-1);
    EXPECT_NE(list->GetPath(), IncludeTrailingBackslash(tree.Path(L"docs")));
    EXPECT_EQ(list->SelCount(), 0) << "NavigateHistory";
    selectInDocs();
    list->SetSpecialFolder(SF_FILESYSTEMFOLDER);  // the same folder again: kept
    EXPECT_EQ(SelectedCaptions(), (Strings{L"alpha.txt"})) << "same folder";
}

// ---- History and loading ----

TEST_F(ShellListNavigationTest, TheHistoryHoldsEachVisitOnce)
{
    list->BeginLoading();
    list->SetPath(tree.Path(L"docs"));
    EXPECT_EQ(list->GetPath(), tree.Path(L"docs"));  // only stored while loading
    EXPECT_EQ(fullFills, 0);
    list->EndLoading();
    EXPECT_EQ(fullFills, 1);
    EXPECT_EQ(CaptionSet(), (Names{L"inner.txt"}));
    EXPECT_EQ(list->History().Count(), 1);
    list->RecreateWnd();
    Draw();
    EXPECT_EQ(list->History().Count(), 1);
    Show();
    EXPECT_EQ(list->History().Count(), 2);
    list->NavigateHistory(-1);
    EXPECT_EQ(list->History().Count(), 2);
    EXPECT_EQ(CaptionSet(), (Names{L"inner.txt"}));
}

TEST_F(ShellListNavigationTest, NoFillOnStartupLeavesTheLoadedListEmpty)
{
    list->BeginLoading();
    list->SetNoFillOnStartup(true);
    list->SetPath(tree.Path(L"docs"));
    list->EndLoading();
    EXPECT_EQ(fullFills, 0);
    EXPECT_EQ(list->Items()->Count(), 0);
    Show(L"docs");
    EXPECT_EQ(CaptionSet(), (Names{L"inner.txt"}));
}

// ---- Filter and file-system objects ----

TEST_F(ShellListNavigationTest, FilterKeepsMatchingFilesAndEveryFolder)
{
    Show();
    list->SetFilter(L"*.dat;b*");
    EXPECT_EQ(CaptionSet(), (Names{L"beta.txt", L"gamma.dat", L"docs"}));
    EXPECT_EQ(list->GetFilter(), L"*.dat;b*");
    list->SetFilter(L"*");
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"docs"}));
}

TEST_F(ShellListNavigationTest, FileSystemOnlyLeavesOutVirtualObjects)
{
    list->SetSpecialFolder(SF_DESKTOP);
    const int all = list->Items()->Count();
    list->SetFileSystemOnly(true);
    EXPECT_TRUE(list->GetFileSystemOnly());
    EXPECT_LT(list->Items()->Count(), all);
    for (int index = 0; index < list->Items()->Count(); ++index) {
        list->Browser().SetObjectIDList(
            TZelShellList::RecordOf(list->Items()->Item(index))->IDList());
        const ULONG attributes =
            list->Browser().GetAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
        const TZelShellFolder kind = list->Browser().ObjectSpecialFolder();
        EXPECT_TRUE(attributes != 0 || kind == SF_DRIVES || kind == SF_NETWORK)
            << list->Items()->Item(index)->Caption();
    }
}

// ---- The link ----

TEST_F(ShellListNavigationTest, TheListAnnouncesEachFolderItMovesTo)
{
    Link();
    Show(L"docs");
    list->GoUp();
    list->NavigateHistory(-1);
    EXPECT_EQ(other.folders, (Strings{tree.Path(L"docs"), ExcludeTrailingBackslash(tree.Root()),
                                      tree.Path(L"docs")}));
    // One selected item is announced as the object; the parent-folder item never is.
    Select(L"inner.txt");
    EXPECT_EQ(other.objects, (Strings{tree.Path(L"docs\\inner.txt")}));
}

TEST_F(ShellListNavigationTest, TheLinkMovesTheListAndSelectsItsObject)
{
    Link();
    Show();
    Select(L"alpha.txt");
    other.folders.clear();
    link->BroadcastFolderChanged(&other, IDListFromPath(nullptr, tree.Path(L"docs")));
    EXPECT_EQ(CaptionSet(), (Names{L"inner.txt"}));
    EXPECT_EQ(list->SelCount(), 0);
    const TOwnedIDList root = IDListFromPath(nullptr, tree.Root());
    const TOwnedIDList beta = IDListFromPath(nullptr, tree.Path(L"beta.txt"));
    link->BroadcastObjectChanged(&other, root, IDListLastItem(beta));
    EXPECT_EQ(SelectedCaptions(), (Strings{L"beta.txt"}));
    EXPECT_TRUE(other.folders.empty());  // the link does not echo to the sender
    // A folder that cannot be shown leaves the list empty, not broken.
    link->BroadcastFolderChanged(&other, IDListFromPath(nullptr, tree.Path(L"docs\\inner.txt")));
    EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(ShellListNavigationTest, TheParentFolderItemFollowsCanGoUp)
{
    Link()->SetCanGoUp(false);
    list->SetShowParentFolder(true);
    Show(L"docs");
    EXPECT_EQ(CaptionSet(), (Names{L"inner.txt"}));
    link->SetCanGoUp(true);
    list->RefreshContents();
    EXPECT_EQ(Captions(), (Strings{L" .. ", L"inner.txt"}));
}

// ---- Change reports about the folder itself ----

TEST_F(ShellListNavigationTest, DeletingTheShownFolderMovesTheListToItsParent)
{
    tree.Folder(L"docs\\docs");
    Show(L"docs");
    TTempTree::RemoveTree(tree.Path(L"docs"));
    Announce(SHCNE_RMDIR, tree.Path(L"docs"));
    const std::wstring parent = IncludeTrailingBackslash(tree.Root());
    PumpMessagesUntil([&] { return SameFileName(list->GetPath(), parent); }, 3000);
    EXPECT_EQ(list->GetPath(), parent);
}

TEST_F(ShellListNavigationTest, AFolderDeletedElsewhereLeavesAChildOfTheSameName)
{
    tree.Folder(L"other\\docs");
    Show();
    TTempTree::RemoveTree(tree.Path(L"other\\docs"));
    Announce(SHCNE_RMDIR, tree.Path(L"other\\docs"));
    Announce(SHCNE_DELETE, tree.Path(L"docs\\alpha.txt"));  // a name not of this folder either
    // Reports come in order: once beta.txt has gone, the others have been handled.
    DeleteFileW(tree.Path(L"beta.txt").c_str());
    Announce(SHCNE_DELETE, tree.Path(L"beta.txt"));
    PumpMessagesUntil([&] { return CaptionSet().count(L"beta.txt") == 0; }, 3000);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"gamma.dat", L"docs", L"other"}));
}

}  // namespace
