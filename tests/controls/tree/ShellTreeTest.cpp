// The shell tree over real folders, in a real window of the virtual display.
#include "controls/tree/ShellTree.h"
#include "common/DialogAnswerer.h"
#include "common/HostLinks.h"
#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/common/DiskWatcher.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTreeFixture.h"
#include "core/Exception.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/SystemImageList.h"
#include "threadpool/ThreadPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

class ShellTreeTest : public ShellTreeFixture {
protected:
    static Texts Children(const TTreeNode* node)
    {
        Texts texts;
        for (int index = 0; index < node->Count(); ++index)
            texts.push_back(node->Item(index)->Text());
        return texts;
    }
    // The texts the window holds below a node, in its order.
    Texts Shown(const TTreeNode* node)
    {
        Texts texts;
        HWND window = shellTree->Handle();
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(
            window, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node->ItemId())));
        for (; item != nullptr;
             item = reinterpret_cast<HTREEITEM>(SendMessageW(window, TVM_GETNEXTITEM, TVGN_NEXT,
                                                             reinterpret_cast<LPARAM>(item)))) {
            wchar_t buffer[260] = {};
            TVITEMW request{};
            request.mask = TVIF_TEXT | TVIF_HANDLE;
            request.hItem = item;
            request.pszText = buffer;
            request.cchTextMax = 260;
            SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
            texts.emplace_back(buffer);
        }
        return texts;
    }
    // Whether the window shows an expand button for the node (it asks the tree, as drawing does).
    bool ShowsButton(const TTreeNode* node)
    {
        TVITEMW request{};
        request.mask = TVIF_CHILDREN | TVIF_HANDLE;
        request.hItem = node->ItemId();
        SendMessageW(shellTree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
        return request.cChildren != 0;
    }
    static void Announce(LONG event, const std::wstring& path, const std::wstring& second = {})
    {
        SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, path.c_str(),
                       second.empty() ? nullptr : second.c_str());
    }
    // The folder's own order of the names (its CompareIDs), as the tree must show them.
    std::vector<std::wstring> FolderOrder(const std::wstring& folder, Texts names)
    {
        TComPtr<IShellFolder> shellFolder;
        const TOwnedIDList list = IDListFromPath(nullptr, folder);
        DesktopFolder->BindToObject(list, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf()));
        std::stable_sort(
            names.begin(), names.end(), [&](const std::wstring& a, const std::wstring& b) {
                const TOwnedIDList first = IDListFromPath(shellFolder.Get(), a);
                const TOwnedIDList second = IDListFromPath(shellFolder.Get(), b);
                return static_cast<short>(HRESULT_CODE(shellFolder->CompareIDs(0, first, second))) <
                       0;
            });
        return names;
    }
};

TEST_F(ShellTreeTest, RootsAtTheDesktopTheComputerOrAFolder)
{
    // The default root, made with the window.
    ASSERT_EQ(shellTree->Items()->TopLevelCount(), 1);
    EXPECT_EQ(Root()->Text(), TNautilex::DesktopDisplayName());
    EXPECT_EQ(IDListItemCount(Root()->AbsoluteIDList()), 0);
    EXPECT_TRUE(Root()->Expanded());
    EXPECT_TRUE(Root()->Selected());
    const TOwnedIDList drives = SpecialFolderIDList(SF_DRIVES);
    bool computerShown = false;
    for (int index = 0; index < Root()->Count(); ++index)
        if (SameIDLists(Root()->Item(index)->AbsoluteIDList(), drives)) {
            computerShown = true;
            EXPECT_EQ(shellTree->NodePath(Root()->Item(index)), L"");  // a virtual folder
        }
    EXPECT_TRUE(computerShown);

    shellTree->SetRootedAt(SF_DRIVES);
    ASSERT_EQ(shellTree->Items()->TopLevelCount(), 1);
    EXPECT_TRUE(SameIDLists(Root()->AbsoluteIDList(), drives));
    EXPECT_TRUE(Root()->Expanded());
    const std::wstring systemDrive = WindowsDirectory().substr(0, 2);
    bool driveShown = false;
    for (int index = 0; index < Root()->Count(); ++index)
        driveShown |= SameText(shellTree->NodePath(Root()->Item(index)), systemDrive + L"\\");
    EXPECT_TRUE(driveShown);

    tree.Folder(L"one");
    tree.Folder(L"two");
    TZelShellTreeNode* root = RootAtTemp();
    EXPECT_EQ(shellTree->GetRootedAt(), SF_FILESYSTEMFOLDER);
    EXPECT_TRUE(SameText(shellTree->NodePath(root), ExcludeTrailingBackslash(tree.Root())));
    EXPECT_EQ(Children(root), (Texts{L"one", L"two"}));
    EXPECT_EQ(Shown(root), (Texts{L"one", L"two"}));

    // A path that is no folder is kept, and the tree stays as it was.
    shellTree->SetRootedAtFileSystemFolder(tree.Path(L"missing"));
    EXPECT_EQ(shellTree->GetRootedAtFileSystemFolder(), tree.Path(L"missing"));
    EXPECT_EQ(Root(), root);
    // Another special folder forgets the folder path.
    shellTree->SetRootedAt(SF_DRIVES);
    EXPECT_TRUE(shellTree->GetRootedAtFileSystemFolder().empty());
}

TEST_F(ShellTreeTest, AFolderIsEnumeratedOnItsFirstExpansionOnlyAndSortedByTheFolder)
{
    // Upper case before lower case in byte order, not in the folder's.
    const Texts names{L"beta", L"Alpha", L"Zulu", L"gamma 10", L"gamma 9", L"delta"};
    for (const std::wstring& name : names)
        tree.Folder(L"parent\\" + name);
    tree.File(L"parent\\file.txt");
    TZelShellTreeNode* parent = Child(RootAtTemp(), L"parent");
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->Count(), 0);  // not enumerated before it is opened
    parent->Expand(false);
    const Texts expected = FolderOrder(tree.Path(L"parent"), names);
    EXPECT_EQ(Children(parent), expected);
    EXPECT_EQ(Shown(parent), expected);

    // Opened again, it is not enumerated again: a folder made meanwhile does not show.
    tree.Folder(L"parent\\zeta");
    parent->Collapse(false);
    parent->Expand(false);
    EXPECT_EQ(Children(parent), expected);
    // A refresh finds it, in its place.
    shellTree->RefreshNode(parent, false, true);
    Texts withZeta = names;
    withZeta.push_back(L"zeta");
    EXPECT_EQ(Children(parent), FolderOrder(tree.Path(L"parent"), withZeta));
    EXPECT_EQ(Shown(parent), Children(parent));

    // Files come after the folders in the folder's order, not by name as listed: placed in
    // order by a refresh, and sorted by a new expansion.
    shellTree->SetShowFiles(true);
    parent = Child(Root(), L"parent");
    Texts all = withZeta;
    all.push_back(L"file.txt");
    const Texts folderOrder = FolderOrder(tree.Path(L"parent"), all);
    ASSERT_EQ(folderOrder.back(), L"file.txt");
    EXPECT_EQ(Children(parent), folderOrder);
    parent->Collapse(false);
    shellTree->RefreshNode(parent, false, true);
    EXPECT_EQ(parent->Count(), 0);
    parent->Expand(false);
    EXPECT_EQ(Children(parent), folderOrder);
    EXPECT_EQ(Shown(parent), folderOrder);
}

TEST_F(ShellTreeTest, AChildsAbsoluteListIsItsPathsAlsoWhenFirstAskedLateOrAsItGoes)
{
    tree.Folder(L"parent\\one\\deep");
    tree.Folder(L"parent\\two");
    TZelShellTreeNode* parent = Child(RootAtTemp(), L"parent");
    ASSERT_NE(parent, nullptr);
    parent->Expand(false);
    TZelShellTreeNode* one = Child(parent, L"one");
    ASSERT_NE(one, nullptr);
    one->Expand(false);
    auto isPath = [](const TZelShellTreeNode* node, const std::wstring& path) {
        const TOwnedIDList expected = IDListFromPath(nullptr, path);
        return node != nullptr && node->AbsoluteIDList() != nullptr &&
               SameIDLists(node->AbsoluteIDList(), expected);
    };
    // The grandchild asked before its parent.
    EXPECT_TRUE(isPath(Child(one, L"deep"), tree.Path(L"parent\\one\\deep")));
    EXPECT_TRUE(isPath(one, tree.Path(L"parent\\one")));

    // One placed by a refresh.
    tree.Folder(L"parent\\three");
    shellTree->RefreshNode(parent, false, true);
    EXPECT_TRUE(isPath(Child(parent, L"three"), tree.Path(L"parent\\three")));

    // A node that goes still has its list while OnDeletion sees it, never asked before.
    bool seen = false;
    const std::wstring twoPath = tree.Path(L"parent\\two");
    const TOwnedIDList twoList = IDListFromPath(nullptr, twoPath);
    ASSERT_TRUE(twoList);
    shellTree->OnDeletion = [&](TObject*, TTreeNode* node) {
        const auto* shellNode = static_cast<TZelShellTreeNode*>(node);
        if (node->Text() == L"two")
            seen = shellNode->AbsoluteIDList() != nullptr &&
                   SameIDLists(shellNode->AbsoluteIDList(), twoList);
    };
    RemoveDirectoryW(twoPath.c_str());
    shellTree->RefreshNode(parent, false, true);
    shellTree->OnDeletion = nullptr;
    EXPECT_EQ(Child(parent, L"two"), nullptr);
    EXPECT_TRUE(seen);
}

TEST_F(ShellTreeTest, AFolderWithoutSubfoldersLosesItsButtonOnItsFirstExpansion)
{
    tree.File(L"files only\\a.txt");
    tree.Folder(L"with sub\\sub");
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* filesOnly = Child(root, L"files only");
    TZelShellTreeNode* withSub = Child(root, L"with sub");
    ASSERT_NE(filesOnly, nullptr);
    ASSERT_TRUE(ShowsButton(withSub));
    filesOnly->Expand(false);
    withSub->Expand(false);
    EXPECT_EQ(filesOnly->Count(), 0);
    EXPECT_FALSE(filesOnly->HasChildren());
    EXPECT_FALSE(ShowsButton(filesOnly));
    EXPECT_TRUE(ShowsButton(withSub));
    EXPECT_EQ(Children(withSub), (Texts{L"sub"}));
}

TEST_F(ShellTreeTest, HiddenFoldersFollowShowHidden)
{
    tree.Folder(L"shown");
    tree.Folder(L"secret");
    SetFileAttributesW(tree.Path(L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    TZelShellTreeNode* root = RootAtTemp();
    EXPECT_EQ(Children(root), (Texts{L"shown"}));
    shellTree->SetShowHidden(true);
    EXPECT_EQ(Children(Root()), (Texts{L"secret", L"shown"}));
    TZelShellTreeNode* secret = Child(Root(), L"secret");
    Draw();
    EXPECT_TRUE(secret->Cut());  // hidden objects are drawn dimmed
    shellTree->SetShowHidden(false);
    EXPECT_EQ(Children(Root()), (Texts{L"shown"}));
}

TEST_F(ShellTreeTest, ShowFilesShowsFilesAndFollowsFileChanges)
{
    tree.Folder(L"folder");
    tree.File(L"note.txt");
    TZelShellTreeNode* root = RootAtTemp();
    EXPECT_EQ(Children(root), (Texts{L"folder"}));
    EXPECT_FALSE(shellTree->Notifier().EventFilter().test(neFileCreate));
    shellTree->SetShowFiles(true);
    EXPECT_EQ(Children(Root()), (Texts{L"folder", L"note.txt"}));
    for (TNotificationEvent event : {neFileCreate, neFileDelete, neFileRename, neFolderCreate})
        EXPECT_TRUE(shellTree->Notifier().EventFilter().test(event)) << event;
    TZelShellTreeNode* note = Child(Root(), L"note.txt");
    EXPECT_FALSE(note->IsFolderNode());
    EXPECT_TRUE(Child(Root(), L"folder")->IsFolderNode());

    tree.File(L"later.txt");
    Announce(SHCNE_CREATE, tree.Path(L"later.txt"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"later.txt") != nullptr; }, 3000));
}

TEST_F(ShellTreeTest, SelectedFolderCreatesThePathOrStopsAtTheDeepestShownAncestor)
{
    tree.Folder(L"a\\b\\c");
    tree.Folder(L"a\\b\\.hidden");
    SetFileAttributesW(tree.Path(L"a\\b\\.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // Rooted at the desktop: the whole path down to the temporary folder is made.
    shellTree->SetSelectedFolder(tree.Path(L"a\\b\\c"));
    TZelShellTreeNode* selected = shellTree->Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_TRUE(SameText(shellTree->GetSelectedFolder(), tree.Path(L"a\\b\\c")));
    EXPECT_EQ(selected->Text(), L"c");
    EXPECT_TRUE(selected->IsVisible());
    EXPECT_TRUE(selected->Parent()->Expanded());

    shellTree->SetSelectedFolder(tree.Path(L"a\\b\\.hidden"));
    EXPECT_TRUE(SameText(shellTree->GetSelectedFolder(), tree.Path(L"a\\b")));

    shellTree->SetSelectedFolder(L"");
    EXPECT_EQ(shellTree->GetSpecialFolder(), SF_DRIVES);
    shellTree->SetSpecialFolder(SF_DESKTOP);
    EXPECT_EQ(shellTree->Selected(), Root());

    // Rooted at a folder, the empty path selects the root.
    RootAtTemp();
    shellTree->SetSelectedFolder(tree.Path(L"a\\b"));
    EXPECT_EQ(shellTree->Selected()->Text(), L"b");
    shellTree->SetSelectedFolder(L"");
    EXPECT_EQ(shellTree->Selected(), Root());
}

TEST_F(ShellTreeTest, TheTreeAndALinkedListFollowEachOther)
{
    tree.Folder(L"left\\inner");
    tree.Folder(L"right");
    tree.File(L"right\\r.txt");
    auto* link = new TZelShellLink(form.get());
    auto* list = new TZelShellList(form.get());
    list->SetParent(form.get());
    list->SetBounds(330, 0, 420, 480);
    shellTree->SetShellLink(link);
    list->SetShellLink(link);
    TZelShellTreeNode* root = RootAtTemp();

    Child(root, L"left")->SetSelected(true);
    EXPECT_TRUE(SameText(list->GetPath(), tree.Path(L"left\\")));
    ASSERT_EQ(list->Items()->Count(), 1);
    EXPECT_EQ(list->Items()->Item(0)->Caption(), L"inner");
    EXPECT_TRUE(link->CanGoUp());

    list->SetPath(tree.Path(L"right"));
    EXPECT_EQ(shellTree->Selected()->Text(), L"right");
    list->SetPath(tree.Path(L"left\\inner"));
    EXPECT_EQ(shellTree->Selected()->Text(), L"inner");
    EXPECT_TRUE(shellTree->Selected()->Parent()->Expanded());

    EXPECT_TRUE(shellTree->GoUp());
    EXPECT_EQ(shellTree->Selected()->Text(), L"left");
    EXPECT_TRUE(SameText(list->GetPath(), tree.Path(L"left\\")));
    delete list;
}

TEST_F(ShellTreeTest, AnnouncedFolderChangesUpdateTheTree)
{
    tree.Folder(L"keep");
    tree.Folder(L"old name");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_EQ(Children(root), (Texts{L"keep", L"old name"}));

    tree.Folder(L"made");
    Announce(SHCNE_MKDIR, tree.Path(L"made"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"made") != nullptr; }, 3000));

    MoveFileW(tree.Path(L"old name").c_str(), tree.Path(L"new name").c_str());
    Announce(SHCNE_RENAMEFOLDER, tree.Path(L"old name"), tree.Path(L"new name"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"new name") != nullptr; }, 3000));
    EXPECT_EQ(Child(Root(), L"old name"), nullptr);

    RemoveDirectoryW(tree.Path(L"made").c_str());
    Announce(SHCNE_RMDIR, tree.Path(L"made"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"made") == nullptr; }, 3000));
    EXPECT_EQ(Children(Root()), (Texts{L"keep", L"new name"}));
    EXPECT_EQ(Shown(Root()), (Texts{L"keep", L"new name"}));
}

TEST_F(ShellTreeTest, AChangeInsideACollapsedFolderDropsWhatItHeld)
{
    tree.Folder(L"outer\\inner");
    TZelShellTreeNode* outer = Child(RootAtTemp(), L"outer");
    outer->Expand(false);
    TZelShellTreeNode* inner = Child(outer, L"inner");
    inner->Expand(false);
    outer->Collapse(false);
    ASSERT_EQ(outer->Count(), 1);

    tree.Folder(L"outer\\inner\\new");
    Announce(SHCNE_MKDIR, tree.Path(L"outer\\inner\\new"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return outer->Count() == 0; }, 3000));
    EXPECT_TRUE(outer->HasChildren());
    // Opened again, it is read afresh, the new folder with it.
    outer->Expand(false);
    inner = Child(outer, L"inner");
    ASSERT_NE(inner, nullptr);
    inner->Expand(false);
    EXPECT_EQ(Children(inner), (Texts{L"new"}));
}

TEST_F(ShellTreeTest, OnAddFolderRefusalsHoldOnExpansionAndOnEveryRefresh)
{
    tree.Folder(L"parent\\accepted");
    tree.Folder(L"parent\\x refused");
    std::vector<std::wstring> paths;
    shellTree->OnAddFolder = [&](TObject*, TZelShellTreeNode* node, const std::wstring& path,
                                 bool& canAdd) {
        paths.push_back(path);
        canAdd = node->Text()[0] != L'x';
    };
    TZelShellTreeNode* parent = Child(RootAtTemp(), L"parent");
    ASSERT_NE(parent, nullptr);
    parent->Expand(false);
    EXPECT_EQ(Children(parent), (Texts{L"accepted"}));
    EXPECT_NE(std::find(paths.begin(), paths.end(), tree.Path(L"parent\\x refused")), paths.end());

    tree.Folder(L"parent\\x later");
    shellTree->RefreshNode(parent, false, true);
    EXPECT_EQ(Children(parent), (Texts{L"accepted"}));
    // A folder found again is asked again.
    paths.clear();
    shellTree->OnAddFolder = [&](TObject*, TZelShellTreeNode* node, const std::wstring& path,
                                 bool& canAdd) {
        paths.push_back(path);
        canAdd = node->Text() != L"accepted";
    };
    shellTree->RefreshNode(parent, false, true);
    EXPECT_EQ(Children(parent), (Texts{L"x later", L"x refused"}));
}

TEST_F(ShellTreeTest, HistoryGoesBackAndForward)
{
    tree.Folder(L"a");
    tree.Folder(L"b");
    tree.Folder(L"c");
    TZelShellTreeNode* root = RootAtTemp();
    for (const wchar_t* name : {L"a", L"b", L"c"})
        Child(root, name)->SetSelected(true);
    EXPECT_TRUE(shellTree->NavigateHistory(-1));
    EXPECT_EQ(shellTree->Selected()->Text(), L"b");
    EXPECT_TRUE(shellTree->NavigateHistory(-1));
    EXPECT_EQ(shellTree->Selected()->Text(), L"a");
    EXPECT_TRUE(shellTree->NavigateHistory(1));
    EXPECT_EQ(shellTree->Selected()->Text(), L"b");
    // Going through the history does not add to it.
    EXPECT_TRUE(shellTree->NavigateHistory(1));
    EXPECT_EQ(shellTree->Selected()->Text(), L"c");
    EXPECT_FALSE(shellTree->History().CanGoForward());
}

TEST_F(ShellTreeTest, KeysDelayTheChangeAndExpandOnSelectedOpensOnlyTheSelection)
{
    tree.Folder(L"a\\a1");
    tree.Folder(L"b\\b1");
    tree.Folder(L"c\\c1");
    TZelShellTreeNode* root = RootAtTemp();
    EXPECT_EQ(shellTree->ChangeDelay(), 0u);  // the root was selected at once
    int changes = 0;
    shellTree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
    Child(root, L"a")->SetSelected(true);
    EXPECT_EQ(changes, 1);
    // Walking with the keys: the change follows once the keys rest.
    shellTree->SetFocus();
    PressKey(VK_DOWN);
    FlushInput();
    EXPECT_EQ(shellTree->ChangeDelay(), 100u);
    EXPECT_EQ(shellTree->Selected()->Text(), L"b");
    EXPECT_TRUE(PumpMessagesUntil([&] { return changes == 2; }, 3000));
    EXPECT_EQ(shellTree->ChangeDelay(), 0u);

    shellTree->ExpandOnSelected = true;
    Child(root, L"a")->Expand(false);
    Child(root, L"c")->SetSelected(true);
    EXPECT_TRUE(Child(root, L"c")->Expanded());
    EXPECT_FALSE(Child(root, L"a")->Expanded());
}

TEST_F(ShellTreeTest, ASelectedSpecialFolderReportsItselfAndItsPath)
{
    const std::wstring documents = SpecialFolderPath(SF_PERSONAL);
    ASSERT_FALSE(documents.empty());
    shellTree->SetSpecialFolder(SF_PERSONAL);
    EXPECT_EQ(shellTree->GetSpecialFolder(), SF_PERSONAL);
    EXPECT_TRUE(SameText(ExcludeTrailingBackslash(shellTree->GetSelectedFolder()),
                         ExcludeTrailingBackslash(documents)));
    shellTree->SetSpecialFolder(SF_DRIVES);
    EXPECT_EQ(shellTree->GetSpecialFolder(), SF_DRIVES);
    EXPECT_EQ(shellTree->GetSelectedFolder(), L"");  // no path of its own
}

// ---- Objects that cannot be read ----

TEST_F(ShellTreeTest, AFolderThatVanishedEndsItsExpansionEmptyWithoutAButton)
{
    tree.Folder(L"gone\\sub");
    tree.Folder(L"stays");
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* gone = Child(root, L"gone");
    ASSERT_TRUE(ShowsButton(gone));
    TTempTree::RemoveTree(tree.Path(L"gone"));
    TDialogAnswerer answerer(L"", IDCANCEL);
    gone->Expand(false);
    EXPECT_EQ(gone->Count(), 0);
    EXPECT_FALSE(gone->HasChildren());
    EXPECT_FALSE(ShowsButton(gone));
    EXPECT_TRUE(answerer.Seen().empty());
    // The tree stays usable.
    Child(root, L"stays")->SetSelected(true);
    EXPECT_EQ(shellTree->Selected()->Text(), L"stays");
    shellTree->RefreshNode(root, true, true);
    EXPECT_EQ(Children(Root()), (Texts{L"stays"}));
}

TEST_F(ShellTreeTest, ADriveThatIsNotReadyAndALinkThatLeadsNowhereExpandEmpty)
{
    const std::wstring target = tree.Folder(L"media");
    tree.Folder(L"media\\content\\inner");
    tree.Folder(L"link target\\inside");
    TDirectoryLinks links;
    const bool linked = links.Add(tree.Path(L"link"), tree.Path(L"link target"));
    wchar_t letter = 0;
    for (wchar_t candidate = L'Q'; candidate <= L'Y' && letter == 0; ++candidate)
        if (MapDrive(candidate, target))
            letter = candidate;
    ASSERT_NE(letter, 0) << "no free drive letter";
    struct TUnmap {
        wchar_t letter;
        ~TUnmap() { UnmapDrive(letter); }
    } unmap{letter};

    const std::wstring drive = std::wstring(1, letter) + L":\\";
    shellTree->SetRootedAtFileSystemFolder(drive);
    Draw();
    ASSERT_TRUE(SameText(shellTree->NodePath(Root()), drive));
    TZelShellTreeNode* content = Child(Root(), L"content");
    ASSERT_NE(content, nullptr);
    ASSERT_TRUE(ShowsButton(content));
    // The medium goes: the drive is still there, but nothing can be read from it.
    MoveFileW(target.c_str(), tree.Path(L"media away").c_str());
    TDialogAnswerer answerer(L"", IDCANCEL);
    content->Expand(false);
    EXPECT_EQ(content->Count(), 0);
    EXPECT_FALSE(ShowsButton(content));
    shellTree->RefreshContents();
    if (Root() != nullptr) {
        EXPECT_EQ(Root()->Count(), 0);
    }

    if (linked) {
        TZelShellTreeNode* link = Child(RootAtTemp(), L"link");
        ASSERT_NE(link, nullptr);
        TTempTree::RemoveTree(tree.Path(L"link target"));
        link->Expand(false);
        EXPECT_EQ(link->Count(), 0);
        EXPECT_FALSE(ShowsButton(link));
    }
    EXPECT_TRUE(answerer.Seen().empty());
}

// ---- Icons ----

TEST_F(ShellTreeTest, IconsComeFromThePoolForDrawnNodesAndOnlyForLiveOnes)
{
    for (int index = 0; index < 300; ++index)
        tree.File(L"file" + std::to_wstring(1000 + index) + L".txt");
    shellTree->SetShowFiles(true);
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_EQ(root->Count(), 300);
    TZelShellTreeNode* first = root->Item(0);
    TZelShellTreeNode* last = root->Item(299);
    // Drawn: a folder placeholder at once, the file's own icon from the pool later.
    EXPECT_NE(first->ImageIndex(), -1);
    EXPECT_TRUE(PumpMessagesUntil(
        [&] { return first->ImageIndex() != TZelSystemImageList::FolderIndex(false); }, 5000));
    EXPECT_EQ(first->ImageIndex(),
              TZelSystemImageList::IndexOfPath(tree.Path(L"file1000.txt"), si_small, false, false));
    // Never drawn: nothing looked up.
    EXPECT_EQ(last->ImageIndex(), -1);
    EXPECT_FALSE(last->HasQueuedWork());

    // A result for a node that is gone finds nothing, even a new node in its place.
    const TWorkItemOwner goneTag = first->WorkOwner();
    first->Delete();
    TZelShellTreeNode* second = root->Item(0);
    const int before = second->ImageIndex();
    shellTree->SetImage(before + 1, kIconKindNormal, goneTag);
    shellTree->SetImage(before + 1, kIconKindNormal, second);  // an address is no tag
    EXPECT_EQ(second->ImageIndex(), before);
    shellTree->SetImage(before + 1, kIconKindNormal, second->WorkOwner());
    EXPECT_EQ(second->ImageIndex(), before + 1);
    shellTree->SetImage(3, kIconKindOverlay, second->WorkOwner());
    EXPECT_EQ(second->OverlayIndex(), 3);
}

TEST_F(ShellTreeTest, DestroyingTheTreeWithIconWorkQueuedCancelsIt)
{
    for (int index = 0; index < 400; ++index)
        tree.File(L"file" + std::to_wstring(index) + L".bin");
    shellTree->SetShowFiles(true);
    shellTree->SetBounds(0, 0, 320, 2000);
    shellTree->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree.Root()));
    // Drawn without serving the workers: their results wait, and most of the work is still
    // in the queue (more items than workers).
    UpdateWindow(shellTree->Handle());
    ASSERT_NE(WorkerPool, nullptr);
    EXPECT_GT(WorkerPool->QueueCount(), 0);
    form.reset();
    EXPECT_EQ(WorkerPool->QueueCount(), 0);
    // What was running finishes without a receiver.
    EXPECT_TRUE(PumpMessagesUntil([] { return WorkerPool->PendingCount() == 0; }, 10000));
}

// ---- Change reports ----

TEST_F(ShellTreeTest, ABurstOfReportsRefreshesTheirFolderOnce)
{
    tree.Folder(L"busy\\first");
    TZelShellTreeNode* busy = Child(RootAtTemp(), L"busy");
    busy->Expand(false);
    Draw();
    int refreshes = 0;
    shellTree->OnUpdatedFolder = [&](TObject*, TZelShellTreeNode* node) {
        if (node == busy)
            ++refreshes;
    };
    for (int index = 0; index < 40; ++index) {
        const std::wstring path = tree.Folder(L"busy\\new " + std::to_wstring(index));
        Announce(SHCNE_MKDIR, path);
    }
    EXPECT_TRUE(PumpMessagesUntil([&] { return busy->Count() == 41; }, 5000));
    PumpMessages(200);
    EXPECT_LE(refreshes, 2);
    EXPECT_EQ(shellTree->PendingReportCount(), 0);
}

TEST_F(ShellTreeTest, AReportWaitsWhileATextIsEditedAndThenFindsTheNodeAfresh)
{
    tree.Folder(L"edited");
    tree.Folder(L"other");
    shellTree->DiskWatcher().SetEnabled(false);  // the shell's one report alone
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* edited = Child(root, L"edited");
    ASSERT_TRUE(edited->EditText());
    TTempTree::RemoveTree(tree.Path(L"edited"));
    Announce(SHCNE_RMDIR, tree.Path(L"edited"));
    PumpMessages(300);
    EXPECT_TRUE(shellTree->IsEditing());
    EXPECT_EQ(Child(Root(), L"edited"), edited);
    EXPECT_EQ(shellTree->PendingReportCount(), 1);
    shellTree->EndEditing(true);
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"edited") == nullptr; }, 3000));
    EXPECT_EQ(Children(Root()), (Texts{L"other"}));
}

TEST_F(ShellTreeTest, AReportAboutTheFolderBeingFilledWaitsForTheFill)
{
    tree.Folder(L"parent\\a");
    tree.Folder(L"parent\\b");
    tree.Folder(L"parent\\c");
    TZelShellTreeNode* parent = Child(RootAtTemp(), L"parent");
    int asked = 0;
    // The handler lets messages through while the node is being filled, as handlers that
    // show something do; the folder goes and its removal is reported meanwhile.
    shellTree->OnAddFolder = [&](TObject*, TZelShellTreeNode*, const std::wstring&, bool&) {
        if (asked++ == 0) {
            TTempTree::RemoveTree(tree.Path(L"parent"));
            Announce(SHCNE_RMDIR, tree.Path(L"parent"));
            PumpMessages(200);
        }
    };
    parent->Expand(false);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(parent->Count(), 3);
    EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), L"parent") == nullptr; }, 3000));
}

TEST_F(ShellTreeTest, AReportForATreeThatIsGoneReachesNothing)
{
    tree.Folder(L"folder");
    RootAtTemp();
    tree.Folder(L"folder\\new");
    Announce(SHCNE_MKDIR, tree.Path(L"folder\\new"));
    Announce(SHCNE_RMDIR, tree.Path(L"folder"));
    EXPECT_GT(shellTree->PendingReportCount(), 0);
    form.reset();
    PumpMessages(300);
    tree.Folder(L"more");
    Announce(SHCNE_MKDIR, tree.Path(L"more"));
    PumpMessages(100);
}

// ---- Window, node class, loading ----

TEST_F(ShellTreeTest, ANewWindowKeepsTheNodesAndRefreshesThem)
{
    tree.Folder(L"a\\a1");
    tree.Folder(L"b");
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* a = Child(root, L"a");
    a->Expand(false);
    TZelShellTreeNode* a1 = Child(a, L"a1");
    a1->SetSelected(true);
    tree.Folder(L"a\\a2");
    shellTree->RecreateWnd();
    EXPECT_EQ(Child(Root(), L"a"), a);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(shellTree->Selected(), a1);
    EXPECT_EQ(Children(a), (Texts{L"a1", L"a2"}));
    EXPECT_EQ(Shown(a), (Texts{L"a1", L"a2"}));
}

class TMarkedNode : public TZelShellTreeNode {
public:
    using TZelShellTreeNode::TZelShellTreeNode;
};

TEST_F(ShellTreeTest, TheNodeClassMustBeAShellTreeNode)
{
    tree.Folder(L"x");
    shellTree->OnCreateNodeClass = [](TObject*, TTreeNodeClass& nodeClass) {
        nodeClass = [](TTreeNodes* owner) { return std::make_unique<TMarkedNode>(owner); };
    };
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(dynamic_cast<TMarkedNode*>(root), nullptr);
    EXPECT_NE(dynamic_cast<TMarkedNode*>(root->Item(0)), nullptr);

    shellTree->OnCreateNodeClass = [](TObject*, TTreeNodeClass& nodeClass) {
        nodeClass = [](TTreeNodes* owner) { return std::make_unique<TTreeNode>(owner); };
    };
    try {
        shellTree->SetRootedAt(SF_DRIVES);
        FAIL() << "a plain node was accepted";
    } catch (const EInvalidArgument& e) {
        EXPECT_EQ(e.Message(), L"Internal Error: TZelShellTree.OnCreateNodeClass.ItemClass must "
                               L"inherit from TZelShellTreeNode.");
    }
}

TEST_F(ShellTreeTest, WhileLoadingAStoredSpecialFolderWinsOverAStoredPath)
{
    tree.Folder(L"stored");
    auto loadTree = [&](auto store) {
        auto* loaded = new TZelShellTree(form.get());
        loaded->BeginLoading();
        store(loaded);
        loaded->SetParent(form.get());
        loaded->SetBounds(330, 0, 300, 400);
        loaded->EndLoading();
        return loaded;
    };
    TZelShellTree* pathTree = loadTree([&](TZelShellTree* loaded) {
        loaded->SetSelectedFolder(tree.Path(L"stored"));
        EXPECT_EQ(loaded->GetSpecialFolder(), SF_FILESYSTEMFOLDER);
    });
    EXPECT_TRUE(SameText(pathTree->GetSelectedFolder(), tree.Path(L"stored")));
    delete pathTree;

    TZelShellTree* specialTree = loadTree([&](TZelShellTree* loaded) {
        loaded->SetSpecialFolder(SF_DESKTOP);
        loaded->SetSelectedFolder(tree.Path(L"stored"));
        EXPECT_EQ(loaded->GetSelectedFolder(), L"");
    });
    EXPECT_EQ(specialTree->GetSpecialFolder(), SF_DESKTOP);
    delete specialTree;

    // Nothing stored: the computer folder is selected.
    TZelShellTree* plainTree = loadTree([](TZelShellTree*) {});
    EXPECT_EQ(plainTree->GetSpecialFolder(), SF_DRIVES);
    delete plainTree;
}

}  // namespace

namespace {

// Not part of the suite: a tree beside a linked shell list, for a look at the virtual display
// (run with --gtest_also_run_disabled_tests and take a screenshot meanwhile).
TEST_F(ShellTreeTest, DISABLED_ShowTreeBesideAList)
{
    for (const wchar_t* folder :
         {L"Documents\\Letters", L"Documents\\Reports\\2023", L"Documents\\Reports\\2024", L"Music",
          L"Pictures\\Holidays", L"Projects\\bivista\\src", L"Projects\\notes"})
        tree.Folder(folder);
    for (const wchar_t* file : {L"Documents\\Reports\\summary.txt", L"Documents\\Reports\\plan.doc",
                                L"Documents\\Reports\\budget.xls"})
        tree.File(file, 1234);
    tree.Folder(L"Hidden stuff");
    SetFileAttributesW(tree.Path(L"Hidden stuff").c_str(), FILE_ATTRIBUTE_HIDDEN);
    form->SetBounds(0, 0, 900, 560);
    auto* link = new TZelShellLink(form.get());
    auto* list = new TZelShellList(form.get());
    list->SetParent(form.get());
    list->SetBounds(330, 0, 550, 520);
    shellTree->SetBounds(0, 0, 320, 520);
    shellTree->SetShellLink(link);
    list->SetShellLink(link);
    shellTree->SetShowHidden(true);
    shellTree->SetSelectedFolder(tree.Path(L"Projects\\bivista\\src"));
    shellTree->SetSelectedFolder(tree.Path(L"Documents\\Reports\\2024"));
    shellTree->SetSelectedFolder(tree.Path(L"Documents\\Reports"));
    PumpMessages(8000);
    delete list;
}

}  // namespace
