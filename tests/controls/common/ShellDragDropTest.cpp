// OLE drag and drop of the shell list and the shell tree: real drags made with the mouse
// between real windows of the virtual display, and the drop-target and drop-source operations
// driven directly with the shell's own data objects.
#include "controls/common/ShellDragDrop.h"
#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/common/TestSeams.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "core/PathText.h"
#include "core/TextCompare.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "ui/ListView.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Files = std::vector<std::wstring>;

struct TReport {
    TZelShellOperations Operation = 0;
    Files Files;
    std::wstring Destination;
};

struct TBeforeDrop {
    void* Target = nullptr;
    Files Files;
    bool Highlighted = false;
};

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

Files LowerAll(const Files& files)
{
    Files lowered;
    for (const std::wstring& file : files)
        lowered.push_back(Lower(file));
    return lowered;
}

POINT Center(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Two shell lists and a shell tree side by side over a temporary tree:
//   a\alpha.txt, a\beta.txt, a\sub\, b\, c\ (the tree is rooted at the tree's root).
class ShellDragDropTest : public testing::Test {
protected:
    void SetUp() override
    {
        tree.File(L"a\\alpha.txt", 10);
        tree.File(L"a\\beta.txt", 20);
        tree.Folder(L"a\\sub");
        tree.Folder(L"b");
        tree.Folder(L"c");
        form = std::make_unique<TTestForm>(nullptr, 1000, 560);
        shellTree = new TZelShellTree(form.get());
        shellTree->SetParent(form.get());
        shellTree->SetBounds(0, 0, 240, 520);
        source = MakeList(250, L"a", sourceReports);
        target = MakeList(620, L"b", targetReports);
        shellTree->OnOperation = [this](TObject*, TZelShellOperations operation, const Files& files,
                                        const std::wstring& destination) {
            treeReports.push_back({operation, files, destination});
        };
        shellTree->OnBeforeShellDrop = [this](TObject*, TZelShellTreeNode* node, const Files& files,
                                              bool& execute, unsigned long) {
            beforeDrops.push_back({node, files, node != nullptr && node->DropTarget()});
            execute = executeDrop;
            if (duringBeforeDrop)
                duringBeforeDrop();
        };
        form->Activate();
        shellTree->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree.Root()));
        Draw();
    }
    void TearDown() override
    {
        DoDragDropHook = nullptr;
        form.reset();
        ParkMouse();
        PumpMessages(10);
    }

    TZelShellList* MakeList(int left, const std::wstring& folder, std::vector<TReport>& reports)
    {
        auto* list = new TZelShellList(form.get());
        list->SetParent(form.get());
        list->SetBounds(left, 0, 360, 520);
        list->SetPath(tree.Path(folder));
        list->OnOperation = [&reports](TObject*, TZelShellOperations operation, const Files& files,
                                       const std::wstring& destination) {
            reports.push_back({operation, files, destination});
        };
        list->OnBeforeShellDrop = [this](TObject*, TListItem* item, const Files& files,
                                         bool& execute, unsigned long) {
            beforeDrops.push_back({item, files, item != nullptr && item->DropTarget()});
            execute = executeDrop;
            if (duringBeforeDrop)
                duringBeforeDrop();
        };
        return list;
    }
    void Draw()
    {
        UpdateWindow(form->Handle());
        PumpMessages(20);
    }
    static TListItem* ItemNamed(TZelShellList* list, const std::wstring& caption)
    {
        for (int index = 0; index < list->Items()->Count(); ++index)
            if (list->Items()->Item(index)->Caption() == caption)
                return list->Items()->Item(index);
        return nullptr;
    }
    TZelShellTreeNode* NodeNamed(const std::wstring& text)
    {
        TTreeNode* root = shellTree->Items()->GetFirstNode();
        for (int index = 0; root != nullptr && index < root->Count(); ++index)
            if (root->Item(index)->Text() == text)
                return static_cast<TZelShellTreeNode*>(root->Item(index));
        return nullptr;
    }
    static POINT ItemPoint(TListItem* item)
    {
        return Center(item->DisplayRect(TDisplayCode::drLabel));
    }
    // A point of the list below its last item.
    static POINT BackgroundPoint(TZelShellList* list)
    {
        RECT area{};
        GetClientRect(list->Handle(), &area);
        return POINT{area.right / 2, area.bottom - 40};
    }
    static POINT Screen(HWND window, POINT client)
    {
        ClientToScreen(window, &client);
        return client;
    }
    // Drags the named file of the source list to a client point of a window.
    void DragFile(const std::wstring& name, HWND to, POINT toClient,
                  TMouseButton button = TMouseButton::mbLeft,
                  const std::function<void()>& beforeRelease = {})
    {
        TListItem* item = ItemNamed(source, name);
        ASSERT_NE(item, nullptr);
        DragMouse(source->Handle(), ItemPoint(item), to, toClient, button, beforeRelease);
    }
    // The shell's data object of files of folder "a".
    TComPtr<IDataObject> DataObjectOf(const Files& names)
    {
        TComPtr<IShellFolder> folder;
        const TOwnedIDList absolute = IDListFromPath(DesktopFolder.Get(), tree.Path(L"a"));
        EXPECT_TRUE(SUCCEEDED(
            DesktopFolder->BindToObject(absolute, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))));
        std::vector<TOwnedIDList> owned;
        std::vector<TBorrowedIDList> items;
        for (const std::wstring& name : names) {
            owned.push_back(IDListFromPath(folder.Get(), name));
            items.push_back(owned.back());
        }
        return DragDataObject(folder.Get(), items, nullptr);
    }
    // An effect the source allows and the shell's folder target accepts.
    static bool IsDropEffect(DWORD effect)
    {
        return effect == DROPEFFECT_COPY || effect == DROPEFFECT_MOVE || effect == DROPEFFECT_LINK;
    }
    // The operations a drag and the drop it ended in report agree on the effect.
    static void ExpectMatchingReports(const TReport& drag, const TReport& drop)
    {
        EXPECT_NE(drag.Operation & sopDrag, 0u);
        EXPECT_NE(drop.Operation & sopDrop, 0u);
        EXPECT_EQ(drag.Operation & (sopCopy | sopMove), drop.Operation & (sopCopy | sopMove));
        EXPECT_EQ(LowerAll(drag.Files), LowerAll(drop.Files));
    }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelShellTree* shellTree = nullptr;
    TZelShellList* source = nullptr;
    TZelShellList* target = nullptr;
    std::vector<TReport> sourceReports;
    std::vector<TReport> targetReports;
    std::vector<TReport> treeReports;
    std::vector<TBeforeDrop> beforeDrops;
    bool executeDrop = true;
    std::function<void()> duringBeforeDrop;
};

// ---- Mouse drags between the controls ----

TEST_F(ShellDragDropTest, ListToListDropIsHandedToTheFolderAndReportedOnBothSides)
{
    DragFile(L"alpha.txt", target->Handle(), BackgroundPoint(target));

    const Files dragged{Lower(tree.Path(L"a\\alpha.txt"))};
    ASSERT_EQ(beforeDrops.size(), 1u);
    EXPECT_EQ(beforeDrops[0].Target, nullptr);  // the list's own folder
    EXPECT_EQ(LowerAll(beforeDrops[0].Files), dragged);
    ASSERT_EQ(targetReports.size(), 1u);
    EXPECT_EQ(Lower(targetReports[0].Destination), Lower(tree.Path(L"b") + L"\\"));
    ASSERT_EQ(sourceReports.size(), 1u);
    EXPECT_EQ(LowerAll(sourceReports[0].Files), dragged);
    EXPECT_TRUE(sourceReports[0].Destination.empty());
    ExpectMatchingReports(sourceReports[0], targetReports[0]);
    EXPECT_EQ(target->DropItem(), nullptr);
}

TEST_F(ShellDragDropTest, ListToTreeNodeHighlightsTheNodeAndReportsItsPath)
{
    TZelShellTreeNode* node = NodeNamed(L"c");
    ASSERT_NE(node, nullptr);
    DragFile(L"beta.txt", shellTree->Handle(), Center(node->DisplayRect(true)));

    ASSERT_EQ(beforeDrops.size(), 1u);
    EXPECT_EQ(beforeDrops[0].Target, node);
    EXPECT_TRUE(beforeDrops[0].Highlighted);
    EXPECT_EQ(LowerAll(beforeDrops[0].Files), Files{Lower(tree.Path(L"a\\beta.txt"))});
    ASSERT_EQ(treeReports.size(), 1u);
    EXPECT_EQ(Lower(treeReports[0].Destination), Lower(tree.Path(L"c")));
    ASSERT_EQ(sourceReports.size(), 1u);
    ExpectMatchingReports(sourceReports[0], treeReports[0]);
    // The highlight goes with the drag.
    EXPECT_EQ(shellTree->DropNode(), nullptr);
    EXPECT_FALSE(node->DropTarget());
}

TEST_F(ShellDragDropTest, TreeNodeDraggedOutToAListReportsOnBothSides)
{
    TZelShellTreeNode* node = NodeNamed(L"c");
    ASSERT_NE(node, nullptr);
    // Wine's folder targets refuse objects whose folder holds the target folder: the list
    // shows a folder of another tree.
    TTempTree other;
    target->SetPath(other.Root());
    Draw();
    DragMouse(shellTree->Handle(), Center(node->DisplayRect(true)), target->Handle(),
              BackgroundPoint(target), TMouseButton::mbLeft);

    const Files dragged{Lower(tree.Path(L"c"))};
    ASSERT_EQ(targetReports.size(), 1u);
    EXPECT_EQ(LowerAll(targetReports[0].Files), dragged);
    ASSERT_EQ(treeReports.size(), 1u);
    EXPECT_TRUE(treeReports[0].Destination.empty());
    ExpectMatchingReports(treeReports[0], targetReports[0]);
}

TEST_F(ShellDragDropTest, RefusedOrCancelledDragsReportNothing)
{
    struct TCase {
        const char* name;
        TMouseButton button;
        bool execute;
        std::function<void()> beforeRelease;
        size_t beforeDrops;
        bool reported;
    };
    const TCase cases[] = {
        // The drag that the cancelled ones are: it drops and reports.
        {"a right-button drag", TMouseButton::mbRight, true, {}, 1, true},
        {"OnBeforeShellDrop vetoes", TMouseButton::mbLeft, false, {}, 1, false},
        {"Escape during a right-button drag", TMouseButton::mbRight, true,
         [] { PressKey(VK_ESCAPE); }, 0, false},
        {"the right button during a left-button drag", TMouseButton::mbLeft, true,
         [] {
             SendMouseButton(TMouseButton::mbRight, true);
             Sleep(100);
             SendMouseButton(TMouseButton::mbRight, false);
         },
         0, false},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        beforeDrops.clear();
        sourceReports.clear();
        targetReports.clear();
        executeDrop = test.execute;
        DragFile(L"alpha.txt", target->Handle(), BackgroundPoint(target), test.button,
                 test.beforeRelease);
        EXPECT_EQ(beforeDrops.size(), test.beforeDrops);
        EXPECT_EQ(sourceReports.size(), test.reported ? 1u : 0u);
        EXPECT_EQ(targetReports.size(), test.reported ? 1u : 0u);
        EXPECT_EQ(target->DropItem(), nullptr);
        PumpMessages(50);
    }
}

TEST_F(ShellDragDropTest, NothingIsDroppedOnAReadOnlyListOrOnTheListsOwnFolder)
{
    // A left-button drag onto the folder it came from would do nothing.
    DragFile(L"alpha.txt", source->Handle(), BackgroundPoint(source));
    EXPECT_TRUE(beforeDrops.empty());
    EXPECT_TRUE(sourceReports.empty());

    target->SetReadOnly(true);
    DragFile(L"alpha.txt", target->Handle(), BackgroundPoint(target));
    EXPECT_TRUE(beforeDrops.empty());
    EXPECT_TRUE(sourceReports.empty());
    EXPECT_TRUE(targetReports.empty());
}

// ---- The drop target, driven directly ----

TEST_F(ShellDragDropTest, ReadOnlyRefusesEveryDropEntry)
{
    target->SetReadOnly(true);
    shellTree->SetReadOnly(true);
    const TComPtr<IDataObject> data = DataObjectOf({L"alpha.txt"});
    ASSERT_TRUE(data);
    const POINT listPoint = Screen(target->Handle(), BackgroundPoint(target));
    TZelShellTreeNode* node = NodeNamed(L"c");
    ASSERT_NE(node, nullptr);
    const POINT nodePoint = Screen(shellTree->Handle(), Center(node->DisplayRect(true)));
    for (TShellDropHandler* handler :
         {static_cast<TShellDropHandler*>(target), static_cast<TShellDropHandler*>(shellTree)}) {
        const POINT point = handler == target ? listPoint : nodePoint;
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        handler->DragEnter(data.Get(), MK_LBUTTON, point, effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        handler->DragOver(MK_LBUTTON, point, effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(handler->Drop(data.Get(), 0, point, effect), E_UNEXPECTED);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    }
    EXPECT_TRUE(beforeDrops.empty());
    EXPECT_TRUE(targetReports.empty());
    EXPECT_TRUE(treeReports.empty());
}

TEST_F(ShellDragDropTest, DragOverAnItemHighlightsItUntilTheDragLeaves)
{
    const TComPtr<IDataObject> data = DataObjectOf({L"alpha.txt"});
    ASSERT_TRUE(data);
    TListItem* sub = ItemNamed(source, L"sub");
    ASSERT_NE(sub, nullptr);
    const POINT point = Screen(source->Handle(), ItemPoint(sub));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(source->DragEnter(data.Get(), MK_LBUTTON, point, effect), S_OK);
    effect = DROPEFFECT_COPY;
    source->DragOver(MK_LBUTTON, point, effect);
    EXPECT_EQ(source->DropItem(), sub);
    EXPECT_TRUE(sub->DropTarget());
    EXPECT_TRUE(IsDropEffect(effect) || effect == DROPEFFECT_NONE);
    source->DragLeave();
    EXPECT_EQ(source->DropItem(), nullptr);
    EXPECT_FALSE(sub->DropTarget());

    TZelShellTreeNode* node = NodeNamed(L"b");
    ASSERT_NE(node, nullptr);
    const POINT nodePoint = Screen(shellTree->Handle(), Center(node->DisplayRect(true)));
    effect = DROPEFFECT_COPY;
    shellTree->DragEnter(data.Get(), MK_LBUTTON, nodePoint, effect);
    effect = DROPEFFECT_COPY;
    shellTree->DragOver(MK_LBUTTON, nodePoint, effect);
    EXPECT_EQ(shellTree->DropNode(), node);
    EXPECT_TRUE(node->DropTarget());
    shellTree->DragLeave();
    EXPECT_EQ(shellTree->DropNode(), nullptr);
    EXPECT_FALSE(node->DropTarget());
}

// A handler that takes the drop item away has it leave its target: that target never gets
// the drop afterwards, and nothing is reported.
TEST_F(ShellDragDropTest, AnItemTheDropHandlerRemovesGetsNoDropAfterItsLeave)
{
    const TComPtr<IDataObject> data = DataObjectOf({L"alpha.txt"});
    ASSERT_TRUE(data);
    TListItem* sub = ItemNamed(source, L"sub");
    TZelShellTreeNode* node = NodeNamed(L"c");
    ASSERT_NE(sub, nullptr);
    ASSERT_NE(node, nullptr);
    const POINT listPoint = Screen(source->Handle(), ItemPoint(sub));
    const POINT nodePoint = Screen(shellTree->Handle(), Center(node->DisplayRect(true)));
    for (TShellDropHandler* handler :
         {static_cast<TShellDropHandler*>(source), static_cast<TShellDropHandler*>(shellTree)}) {
        const bool list = handler == source;
        SCOPED_TRACE(list ? "list" : "tree");
        const POINT point = list ? listPoint : nodePoint;
        DWORD effect = DROPEFFECT_COPY;
        handler->DragEnter(data.Get(), MK_LBUTTON, point, effect);
        effect = DROPEFFECT_COPY;
        handler->DragOver(MK_LBUTTON, point, effect);
        ASSERT_TRUE(list ? source->DropItem() == sub : shellTree->DropNode() == node);
        duringBeforeDrop = [&] {
            if (list)
                sub->Delete();
            else
                node->Delete();
        };
        effect = DROPEFFECT_COPY;
        EXPECT_EQ(handler->Drop(data.Get(), 0, point, effect), E_UNEXPECTED);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        duringBeforeDrop = nullptr;
    }
    EXPECT_EQ(beforeDrops.size(), 2u);
    EXPECT_TRUE(sourceReports.empty());
    EXPECT_TRUE(treeReports.empty());
}

// ---- The drag source, with DoDragDrop answered by the test ----

TEST_F(ShellDragDropTest, TheListsOwnFolderTakesItsOwnDragOnlyWithTheRightButton)
{
    TListItem* item = ItemNamed(source, L"alpha.txt");
    ASSERT_NE(item, nullptr);
    source->SetSelected(item);
    const POINT point = Screen(source->Handle(), BackgroundPoint(source));
    std::vector<DWORD> overEffects;
    std::vector<HRESULT> drops;
    for (const DWORD button : {DWORD{MK_LBUTTON}, DWORD{MK_RBUTTON}}) {
        DoDragDropHook = [&](IDataObject* data, IDropSource*, DWORD allowed, DWORD*) {
            DWORD effect = allowed;
            source->DragEnter(data, button, point, effect);
            effect = allowed;
            source->DragOver(button, point, effect);
            overEffects.push_back(effect);
            effect = allowed;
            drops.push_back(source->Drop(data, 0, point, effect));
            return DRAGDROP_S_CANCEL;
        };
        source->StartOleDrag(button);
    }
    ASSERT_EQ(drops.size(), 2u);
    EXPECT_EQ(overEffects[0], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(drops[0], E_UNEXPECTED);
    // Only the right-button drag reaches the folder.
    ASSERT_EQ(beforeDrops.size(), 1u);
    EXPECT_EQ(beforeDrops[0].Target, nullptr);
}

TEST_F(ShellDragDropTest, DragEffectsFollowTheCopyModeAndTheEndingEffect)
{
    struct TCase {
        TZelCopyMode mode;
        DWORD allowed;
        DWORD chosen;
        TZelShellOperations reported;
    };
    const TCase cases[] = {
        {cmDefault, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_COPY,
         sopCopy | sopDrag},
        {cmCopy, DROPEFFECT_COPY, DROPEFFECT_COPY, sopCopy | sopDrag},
        {cmMove, DROPEFFECT_MOVE, DROPEFFECT_MOVE, sopMove | sopDrag | sopRemove},
        {cmLink, DROPEFFECT_LINK, DROPEFFECT_LINK, sopDrag},
        {cmDefault, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE, 0},
        // A target that answers with the allowed set as it came (Wine's folders do) names no
        // copy or move.
        {cmDefault, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
         DROPEFFECT_COPY | DROPEFFECT_MOVE, sopDrag},
    };
    source->SetShowParentFolder(true);
    source->SelectAll();
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.mode);
        DWORD allowed = 0;
        Files carried;
        DoDragDropHook = [&](IDataObject* data, IDropSource*, DWORD effects, DWORD* effect) {
            allowed = effects;
            carried = *GetFilenamesFromDataObject(data);
            *effect = test.chosen;
            return test.chosen != DROPEFFECT_NONE ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        };
        sourceReports.clear();
        source->CopyMode = test.mode;
        source->StartOleDrag(MK_LBUTTON);
        EXPECT_EQ(allowed, test.allowed);
        // Every object, without the parent-folder item.
        EXPECT_EQ(carried.size(), 3u);
        if (test.reported == 0) {
            EXPECT_TRUE(sourceReports.empty());
            continue;
        }
        ASSERT_EQ(sourceReports.size(), 1u);
        EXPECT_EQ(sourceReports[0].Operation, test.reported);
        EXPECT_EQ(sourceReports[0].Files.size(), 3u);
    }
}

TEST_F(ShellDragDropTest, QueryContinueDragFollowsTheButtonThatStartedTheDrag)
{
    struct TCase {
        DWORD button;
        bool escape;
        DWORD keys;
        HRESULT answer;
    };
    const TCase cases[] = {
        {MK_LBUTTON, false, MK_LBUTTON, S_OK},
        {MK_LBUTTON, false, MK_LBUTTON | MK_CONTROL | MK_SHIFT, S_OK},
        {MK_LBUTTON, true, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, false, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, false, MK_LBUTTON | MK_MBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, false, 0, DRAGDROP_S_DROP},
        {MK_LBUTTON, false, MK_RBUTTON, DRAGDROP_S_CANCEL},
        {MK_RBUTTON, false, MK_RBUTTON, S_OK},
        {MK_RBUTTON, true, MK_RBUTTON, DRAGDROP_S_CANCEL},
        {MK_RBUTTON, false, MK_RBUTTON | MK_LBUTTON, DRAGDROP_S_CANCEL},
        {MK_RBUTTON, false, MK_CONTROL, DRAGDROP_S_DROP},
    };
    TListItem* item = ItemNamed(source, L"alpha.txt");
    ASSERT_NE(item, nullptr);
    source->SetSelected(item);
    TZelShellTreeNode* node = NodeNamed(L"b");
    ASSERT_NE(node, nullptr);
    for (const TCase& test : cases) {
        SCOPED_TRACE(testing::Message() << "button " << test.button << " keys " << test.keys
                                        << " escape " << test.escape);
        std::vector<HRESULT> answers;
        DoDragDropHook = [&](IDataObject*, IDropSource* dropSource, DWORD, DWORD*) {
            answers.push_back(dropSource->QueryContinueDrag(test.escape, test.keys));
            answers.push_back(dropSource->GiveFeedback(DROPEFFECT_COPY));
            return DRAGDROP_S_CANCEL;
        };
        source->StartOleDrag(test.button);
        shellTree->StartOleDrag(node, test.button);
        const std::vector<HRESULT> expected{test.answer, DRAGDROP_S_USEDEFAULTCURSORS, test.answer,
                                            DRAGDROP_S_USEDEFAULTCURSORS};
        EXPECT_EQ(answers, expected);
    }
    // Outside a drag the source has no button: any state of the keys ends it.
    EXPECT_EQ(source->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_TRUE(sourceReports.empty());
    EXPECT_TRUE(treeReports.empty());
}

// A control destroyed from inside its own drag (a handler of the drop freed it): the drag ends
// at once, nothing is reported, and nothing of the freed control is used.
TEST_F(ShellDragDropTest, AControlDestroyedDuringItsOwnDragEndsItCleanly)
{
    TListItem* item = ItemNamed(source, L"alpha.txt");
    ASSERT_NE(item, nullptr);
    source->SetSelected(item);
    TZelShellTreeNode* node = NodeNamed(L"b");
    ASSERT_NE(node, nullptr);
    std::vector<HRESULT> answersAfter;
    DoDragDropHook = [&](IDataObject*, IDropSource* dropSource, DWORD, DWORD* effect) {
        delete std::exchange(source, nullptr);
        answersAfter.push_back(dropSource->QueryContinueDrag(FALSE, MK_LBUTTON));
        *effect = DROPEFFECT_COPY;
        return DRAGDROP_S_DROP;
    };
    source->StartOleDrag(MK_LBUTTON);
    DoDragDropHook = [&](IDataObject*, IDropSource* dropSource, DWORD, DWORD* effect) {
        delete std::exchange(shellTree, nullptr);
        answersAfter.push_back(dropSource->QueryContinueDrag(FALSE, MK_LBUTTON));
        *effect = DROPEFFECT_COPY;
        return DRAGDROP_S_DROP;
    };
    shellTree->StartOleDrag(node, MK_LBUTTON);
    // The freed control's source ends the drag; no report reaches anyone.
    EXPECT_EQ(answersAfter, (std::vector<HRESULT>{DRAGDROP_S_CANCEL, DRAGDROP_S_CANCEL}));
    EXPECT_TRUE(sourceReports.empty());
    EXPECT_TRUE(treeReports.empty());
    PumpMessages(50);
}

TEST_F(ShellDragDropTest, TheTreesRootCannotBeDragged)
{
    bool started = false;
    DoDragDropHook = [&](IDataObject*, IDropSource*, DWORD, DWORD*) {
        started = true;
        return DRAGDROP_S_CANCEL;
    };
    shellTree->StartOleDrag(static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode()),
                            MK_LBUTTON);
    EXPECT_FALSE(started);
}

// More ID lists than the drag tables of old held (60,001): the data object carries them all.
TEST_F(ShellDragDropTest, ADragCarriesEveryItemOfAHugeSelection)
{
    constexpr size_t kCount = 60002;
    TComPtr<IShellFolder> folder;
    const TOwnedIDList absolute = IDListFromPath(DesktopFolder.Get(), tree.Path(L"a"));
    ASSERT_TRUE(SUCCEEDED(
        DesktopFolder->BindToObject(absolute, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))));
    const TOwnedIDList alpha = IDListFromPath(folder.Get(), L"alpha.txt");
    const TOwnedIDList beta = IDListFromPath(folder.Get(), L"beta.txt");
    std::vector<TBorrowedIDList> items;
    for (size_t index = 0; index < kCount; ++index)
        items.push_back(index % 2 == 0 ? alpha : beta);

    EXPECT_EQ(AllowedDragEffects(cmCopy, folder.Get(), items), static_cast<DWORD>(DROPEFFECT_COPY));
    const TComPtr<IDataObject> data = DragDataObject(folder.Get(), items, nullptr);
    ASSERT_TRUE(data);
    const auto files = GetFilenamesFromDataObject(data.Get());
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->size(), kCount);
    EXPECT_TRUE(SameText(files->back(), tree.Path(L"a\\beta.txt")));
}

// ---- Shared helpers ----

TEST(ShellDragDropRules, DropReportsFollowTheEffectAndTheMoveRule)
{
    TTempTree tree;
    const std::wstring present = tree.File(L"present.txt", 1);
    const std::wstring gone = tree.Path(L"gone.txt");
    struct TCase {
        DWORD effect;
        Files files;
        DWORD reported;
        TZelShellOperations operations;
    };
    const TCase cases[] = {
        {DROPEFFECT_COPY, {present}, DROPEFFECT_COPY, sopCopy | sopDrop},
        {DROPEFFECT_MOVE, {gone}, DROPEFFECT_MOVE, sopMove | sopDrop},
        {DROPEFFECT_LINK, {present}, DROPEFFECT_LINK, sopDrop},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, {gone}, DROPEFFECT_COPY | DROPEFFECT_MOVE, sopDrop},
        // A target that moved without saying so: the first file has gone.
        {DROPEFFECT_NONE, {gone, present}, DROPEFFECT_MOVE, sopMove | sopDrop},
        {DROPEFFECT_NONE, {present, gone}, DROPEFFECT_NONE, 0},
        {DROPEFFECT_NONE, {}, DROPEFFECT_NONE, 0},
    };
    ASSERT_TRUE(IsNT);
    for (const TCase& test : cases) {
        SCOPED_TRACE(testing::Message() << "effect " << test.effect);
        const DWORD reported = ReportedDropEffect(test.effect, test.files);
        EXPECT_EQ(reported, test.reported);
        if (reported != DROPEFFECT_NONE) {
            EXPECT_EQ(DropOperations(reported), test.operations);
        }
    }
}

class AutoScrollForDragTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TTestForm>(nullptr, 400, 300);
        view = new TListView(form.get());
        view->SetParent(form.get());
        view->SetBounds(0, 0, 300, 200);
        view->SetViewStyle(vsReport);
        view->Columns()->Add()->SetWidth(1500);
        form->Activate();
    }
    void Fill(int count)
    {
        for (int index = 0; index < count; ++index)
            view->Items()->Add()->SetCaption(L"item " + std::to_wstring(index));
        UpdateWindow(view->Handle());
        PumpMessages(20);
    }
    POINT Position()
    {
        return POINT{GetScrollPos(view->Handle(), SB_HORZ), GetScrollPos(view->Handle(), SB_VERT)};
    }

    std::unique_ptr<TTestForm> form;
    TListView* view = nullptr;
};

TEST_F(AutoScrollForDragTest, ScrollsOneLineTowardTheNearEdgeWhereThereIsRoom)
{
    Fill(200);
    RECT area{};
    GetClientRect(view->Handle(), &area);
    const int right = area.right;
    const int bottom = area.bottom;
    struct TCase {
        POINT point;
        int dx;  // -1, 0, 1: the direction the view should move in
        int dy;
        bool scrolled;
    };
    const TCase cases[] = {
        {{right / 2, bottom - 5}, 0, 1, true},  {{right / 2, bottom - 19}, 0, 1, true},
        {{right / 2, 5}, 0, -1, true},          {{right - 5, bottom / 2}, 1, 0, true},
        {{5, bottom / 2}, -1, 0, true},         {{right - 5, bottom - 5}, 1, 1, true},
        {{right / 2, bottom / 2}, 0, 0, false}, {{30, 30}, 0, 0, false},
    };
    // Away from the top and the left, so that every direction has room.
    view->Scroll(200, 0);
    SendMessageW(view->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    for (const TCase& test : cases) {
        SCOPED_TRACE(testing::Message() << test.point.x << "," << test.point.y);
        const POINT before = Position();
        EXPECT_EQ(AutoScrollForDrag(view->Handle(), test.point), test.scrolled);
        const POINT after = Position();
        EXPECT_EQ((after.x > before.x) - (after.x < before.x), test.dx);
        EXPECT_EQ((after.y > before.y) - (after.y < before.y), test.dy);
    }
}

TEST_F(AutoScrollForDragTest, DoesNothingWithoutRoomToScroll)
{
    view->Columns()->Items(0)->SetWidth(100);
    Fill(2);
    RECT area{};
    GetClientRect(view->Handle(), &area);
    for (const POINT point : {POINT{5, 5}, POINT{area.right - 5, area.bottom - 5}})
        EXPECT_FALSE(AutoScrollForDrag(view->Handle(), point));
    EXPECT_EQ(Position().x, 0);
    EXPECT_EQ(Position().y, 0);
}

}  // namespace
