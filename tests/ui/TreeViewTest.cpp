#include "ui/TreeView.h"

#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "core/Exception.h"
#include "ui/UpdateScope.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

class TreeViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TTestForm>();
        tree_ = new TTreeView(form_.get());
        tree_->SetParent(form_.get());
        tree_->SetBounds(0, 0, 400, 400);
        form_->Activate();
    }

    HWND Window() { return tree_->Handle(); }
    TTreeNodes* Nodes() { return tree_->Items(); }

    // What the window holds, read from its items as drawing does.
    HTREEITEM NativeChild(HTREEITEM parent)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(Window(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    }
    HTREEITEM NativeNext(HTREEITEM item)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(Window(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    std::wstring ShownText(HTREEITEM item)
    {
        wchar_t buffer[260] = {};
        TVITEMW request{};
        request.mask = TVIF_TEXT | TVIF_HANDLE;
        request.hItem = item;
        request.pszText = buffer;
        request.cchTextMax = 260;
        SendMessageW(Window(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
        return buffer;
    }
    // The texts of the window's children of `parent` (null: the top level), in order.
    Texts ShownChildren(const TTreeNode* parent = nullptr)
    {
        Texts texts;
        for (HTREEITEM item = NativeChild(parent != nullptr ? parent->ItemId() : TVI_ROOT);
             item != nullptr; item = NativeNext(item))
            texts.push_back(ShownText(item));
        return texts;
    }
    // Asks the window for a field it gets by callback, as drawing does.
    TVITEMW Shown(const TTreeNode* node, UINT mask)
    {
        TVITEMW request{};
        request.mask = mask | TVIF_HANDLE;
        request.hItem = node->ItemId();
        request.stateMask = 0xFFFFFFFF;
        SendMessageW(Window(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
        return request;
    }
    UINT ShownState(const TTreeNode* node, UINT mask)
    {
        return static_cast<UINT>(SendMessageW(Window(), TVM_GETITEMSTATE,
                                              reinterpret_cast<WPARAM>(node->ItemId()), mask));
    }
    Texts ModelChildren(const TTreeNode* parent)
    {
        Texts texts;
        for (int i = 0; i < parent->Count(); ++i)
            texts.push_back(parent->Item(i)->Text());
        return texts;
    }

    std::unique_ptr<TTestForm> form_;
    TTreeView* tree_ = nullptr;
};

TEST_F(TreeViewTest, ShowsNodesInOrderThroughAddInsertDeleteAndClear)
{
    Texts deleted;
    tree_->OnDeletion = [&](TObject*, TTreeNode* node) {
        EXPECT_FALSE(node->InTree());  // already out of the tree
        deleted.push_back(node->Text());
    };
    TTreeNode* a = Nodes()->AddChild(nullptr, L"a");
    TTreeNode* c = Nodes()->AddChild(nullptr, L"c");
    Nodes()->Insert(c, L"b");
    TTreeNode* a2 = Nodes()->AddChild(a, L"a2");
    Nodes()->AddChildFirst(a, L"a1");
    Nodes()->AddChild(a2, L"a2x");
    EXPECT_EQ(ShownChildren(), (Texts{L"a", L"b", L"c"}));
    EXPECT_EQ(ShownChildren(a), (Texts{L"a1", L"a2"}));
    EXPECT_EQ(Nodes()->Count(), 6);
    EXPECT_EQ(a2->Parent(), a);
    EXPECT_EQ(a2->Level(), 1);
    EXPECT_EQ(a->GetNext()->Text(), L"a1");
    EXPECT_EQ(a2->GetNext()->Text(), L"a2x");
    EXPECT_EQ(a2->GetFirstChild()->GetNext()->Text(), L"b");  // up and over

    c->SetText(L"C");
    EXPECT_EQ(ShownChildren().back(), L"C");
    a->Delete();  // children first, then the node
    EXPECT_EQ(deleted, (Texts{L"a1", L"a2x", L"a2", L"a"}));
    EXPECT_EQ(ShownChildren(), (Texts{L"b", L"C"}));
    EXPECT_EQ(Nodes()->Count(), 2);
    EXPECT_EQ(Nodes()->GetFirstNode()->Index(), 0);

    Nodes()->Clear();
    EXPECT_EQ(ShownChildren(), Texts{});
    EXPECT_EQ(Nodes()->Count(), 0);
    EXPECT_EQ(deleted.size(), 6u);
}

TEST_F(TreeViewTest, DeletingChildrenByAChoiceKeepsTheOthersInOrder)
{
    TTreeNode* parent = Nodes()->AddChild(nullptr, L"parent");
    for (int i = 0; i < 10; ++i)
        Nodes()->AddChild(parent, std::to_wstring(i));
    parent->Expand(false);
    Nodes()->DeleteChildren(parent, [](TTreeNode* node) { return node->Index() % 3 != 0; });
    EXPECT_EQ(ModelChildren(parent), (Texts{L"0", L"3", L"6", L"9"}));
    EXPECT_EQ(ShownChildren(parent), (Texts{L"0", L"3", L"6", L"9"}));
    EXPECT_EQ(parent->Item(3)->Index(), 3);
    EXPECT_EQ(Nodes()->Count(), 5);

    // All of them: the window lets go of them in one step, and the node can fill again.
    parent->DeleteChildren();
    EXPECT_EQ(ShownChildren(parent), Texts{});
    EXPECT_FALSE(parent->Expanded());
    Nodes()->AddChild(parent, L"again");
    parent->Expand(false);
    EXPECT_EQ(ShownChildren(parent), (Texts{L"again"}));
    EXPECT_NE(ShownState(parent, TVIS_EXPANDED), 0u);
}

TEST_F(TreeViewTest, TheExpandButtonFollowsTheFlagNotTheChildren)
{
    TTreeNode* empty = Nodes()->AddChild(nullptr, L"empty but expandable");
    empty->SetHasChildren(true);
    EXPECT_EQ(Shown(empty, TVIF_CHILDREN).cChildren, 1);
    empty->SetHasChildren(false);
    EXPECT_EQ(Shown(empty, TVIF_CHILDREN).cChildren, 0);

    TTreeNode* full = Nodes()->AddChild(nullptr, L"full");
    Nodes()->AddChild(full, L"child");
    EXPECT_TRUE(full->HasChildren());  // a first child shows the button
    full->SetHasChildren(false);
    EXPECT_EQ(Shown(full, TVIF_CHILDREN).cChildren, 0);
    EXPECT_EQ(full->Count(), 1);
}

TEST_F(TreeViewTest, ExpandingAsksFirstAndTheHandlerMayFillTheNode)
{
    TTreeNode* lazy = Nodes()->AddChild(nullptr, L"lazy");
    lazy->SetHasChildren(true);
    int asked = 0;
    bool allow = false;
    Texts expanded;
    tree_->OnExpanding = [&](TObject*, TTreeNode* node, bool& allowExpansion) {
        ++asked;
        allowExpansion = allow;
        if (allow && node->Count() == 0)
            for (const wchar_t* text : {L"x", L"y"})
                Nodes()->AddChild(node, text);
    };
    tree_->OnExpanded = [&](TObject*, TTreeNode* node) { expanded.push_back(node->Text()); };

    lazy->Expand(false);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(lazy->Expanded());
    EXPECT_EQ(ShownState(lazy, TVIS_EXPANDED), 0u);

    allow = true;
    lazy->Expand(false);
    EXPECT_TRUE(lazy->Expanded());
    EXPECT_NE(ShownState(lazy, TVIS_EXPANDED), 0u);
    EXPECT_EQ(ShownChildren(lazy), (Texts{L"x", L"y"}));
    EXPECT_EQ(expanded, (Texts{L"lazy"}));
    EXPECT_TRUE(lazy->Item(1)->IsVisible());

    // The user's expansion goes through the same questions.
    lazy->Collapse(false);
    EXPECT_FALSE(lazy->Expanded());
    TTreeNode* second = Nodes()->AddChild(nullptr, L"second");
    second->SetHasChildren(true);
    tree_->SetSelected(second);
    tree_->SetFocus();
    asked = 0;
    PressKey(VK_RIGHT);
    FlushInput();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(second->Expanded());
    EXPECT_EQ(ShownChildren(second), (Texts{L"x", L"y"}));
    EXPECT_EQ(expanded, (Texts{L"lazy", L"second"}));
}

TEST_F(TreeViewTest, MarksAndStateImagesReachTheWindow)
{
    TTreeNode* node = Nodes()->AddChild(nullptr, L"marked");
    node->SetCut(true);
    node->SetDropTarget(true);
    node->SetOverlayIndex(1);
    node->SetStateIndex(2);
    EXPECT_NE(ShownState(node, TVIS_CUT), 0u);
    EXPECT_NE(ShownState(node, TVIS_DROPHILITED), 0u);
    EXPECT_EQ(ShownState(node, TVIS_OVERLAYMASK), static_cast<UINT>(INDEXTOOVERLAYMASK(2)));
    EXPECT_EQ(ShownState(node, TVIS_STATEIMAGEMASK), static_cast<UINT>(INDEXTOSTATEIMAGEMASK(2)));
    node->SetStateIndex(0);
    EXPECT_EQ(ShownState(node, TVIS_STATEIMAGEMASK), 0u);
    node->SetCut(false);
    node->SetOverlayIndex(-1);
    EXPECT_EQ(ShownState(node, TVIS_CUT), 0u);
    EXPECT_EQ(ShownState(node, TVIS_OVERLAYMASK), 0u);
    EXPECT_NE(ShownState(node, TVIS_DROPHILITED), 0u);
}

TEST_F(TreeViewTest, ImagesAreAskedForOnlyWhenDrawn)
{
    std::vector<std::wstring> asked;
    tree_->OnGetImageIndex = [&](TObject*, TTreeNode* node) {
        asked.push_back(node->Text());
        if (node->ImageIndex() < 0) {
            node->SetImageIndex(node->Index() % 5);
            node->SetHasChildren(true);
        }
    };
    TTreeNode* parent = Nodes()->AddChild(nullptr, L"parent");
    {
        TUpdateScope update(Nodes());
        for (int i = 0; i < 500; ++i)
            Nodes()->AddChild(parent, L"child " + std::to_wstring(i));
        parent->Expand(false);
        tree_->Repaint();
        // Nothing is drawn during a bulk update (expanding asks for the parent's button).
        EXPECT_EQ(asked, (std::vector<std::wstring>(asked.size(), L"parent")));
    }
    tree_->Repaint();
    PumpMessages(20);
    ASSERT_FALSE(asked.empty());
    EXPECT_LT(asked.size(), 200u);  // the rows on screen, not all 500
    EXPECT_EQ(parent->Item(499)->ImageIndex(), -1);
    EXPECT_EQ(Shown(parent->Item(7), TVIF_IMAGE).iImage, 2);
    EXPECT_EQ(Shown(parent->Item(7), TVIF_CHILDREN).cChildren, 1);
    // A node without its own selected image shows its image when selected.
    EXPECT_EQ(Shown(parent->Item(7), TVIF_SELECTEDIMAGE).iSelectedImage, 2);
    parent->Item(7)->SetSelectedIndex(4);
    EXPECT_EQ(Shown(parent->Item(7), TVIF_SELECTEDIMAGE).iSelectedImage, 4);
}

TEST_F(TreeViewTest, SortingOneNodesChildrenOrdersModelAndWindowAlike)
{
    TTreeNode* parent = Nodes()->AddChild(nullptr, L"parent");
    TTreeNode* other = Nodes()->AddChild(nullptr, L"other");
    for (const wchar_t* text : {L"delta", L"Alpha", L"charlie", L"bravo", L"alpha"})
        Nodes()->AddChild(parent, text);
    for (const wchar_t* text : {L"z", L"y"})
        Nodes()->AddChild(other, text);
    parent->Expand(false);

    EXPECT_TRUE(parent->AlphaSort());
    // Case is ignored and equal texts keep their order.
    const Texts ascending{L"Alpha", L"alpha", L"bravo", L"charlie", L"delta"};
    EXPECT_EQ(ModelChildren(parent), ascending);
    EXPECT_EQ(ShownChildren(parent), ascending);
    EXPECT_EQ(parent->Item(4)->Index(), 4);
    EXPECT_EQ(ShownChildren(other), (Texts{L"z", L"y"}));  // only that node's children

    parent->CustomSort([](TTreeNode* a, TTreeNode* b) { return b->Text().compare(a->Text()); });
    const Texts descending{L"delta", L"charlie", L"bravo", L"alpha", L"Alpha"};
    EXPECT_EQ(ShownChildren(parent), descending);

    // A failing comparison leaves the order as it was.
    EXPECT_THROW(parent->CustomSort(
                     [](TTreeNode*, TTreeNode*) -> int { throw std::runtime_error("no order"); }),
                 std::runtime_error);
    EXPECT_EQ(ModelChildren(parent), descending);
    EXPECT_EQ(ShownChildren(parent), descending);
}

TEST_F(TreeViewTest, HitTestAndDisplayRectangleAgree)
{
    TTreeNode* first = Nodes()->AddChild(nullptr, L"first");
    TTreeNode* second = Nodes()->AddChild(nullptr, L"second");
    Nodes()->AddChild(second, L"hidden child");
    tree_->Update();
    const RECT label = second->DisplayRect(true);
    const RECT row = second->DisplayRect(false);
    ASSERT_GT(label.right, label.left);
    EXPECT_LE(row.left, label.left);
    EXPECT_GE(row.right, label.right);
    const int x = (label.left + label.right) / 2;
    const int y = (label.top + label.bottom) / 2;
    TTreeNode* hit = nullptr;
    EXPECT_NE(tree_->GetHitTestInfoAt(x, y, &hit) & TVHT_ONITEMLABEL, 0u);
    EXPECT_EQ(hit, second);
    EXPECT_EQ(tree_->GetNodeAt(x, y), second);
    const RECT top = first->DisplayRect(true);
    EXPECT_EQ(tree_->GetNodeAt(top.left + 2, top.top + 2), first);
    EXPECT_EQ(tree_->GetNodeAt(x, 390), nullptr);
    // A node under a collapsed parent has no row.
    const RECT none = second->Item(0)->DisplayRect(true);
    EXPECT_EQ(none.right - none.left, 0);
}

TEST_F(TreeViewTest, LabelEditingEndsInOnEditedOrOnCancelEdit)
{
    TTreeNode* node = Nodes()->AddChild(nullptr, L"old name");
    std::vector<std::wstring> edited;
    int cancelled = 0;
    tree_->OnEdited = [&](TObject*, TTreeNode*, std::wstring& text) {
        edited.push_back(text);
        text += L" (kept)";
    };
    tree_->OnCancelEdit = [&](TObject*, TTreeNode* cancelledNode) {
        EXPECT_EQ(cancelledNode, node);
        ++cancelled;
    };
    ASSERT_TRUE(node->EditText());
    ASSERT_TRUE(tree_->IsEditing());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(Window(), TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextW(edit, L"new name");
    tree_->EndEditing(false);
    EXPECT_FALSE(tree_->IsEditing());
    EXPECT_EQ(edited, (Texts{L"new name"}));
    EXPECT_EQ(node->Text(), L"new name (kept)");
    EXPECT_EQ(ShownChildren(), (Texts{L"new name (kept)"}));

    ASSERT_TRUE(node->EditText());
    tree_->EndEditing(true);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(node->Text(), L"new name (kept)");

    tree_->OnEditing = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    EXPECT_FALSE(node->EditText());
    tree_->OnEditing = nullptr;
    tree_->SetReadOnly(true);
    EXPECT_FALSE(node->EditText());
    EXPECT_FALSE(tree_->IsEditing());
}

TEST_F(TreeViewTest, SelectionAsksFirstAndTheChangeDelayReportsOnceAfterABurst)
{
    TTreeNode* a = Nodes()->AddChild(nullptr, L"a");
    TTreeNode* b = Nodes()->AddChild(nullptr, L"b");
    TTreeNode* c = Nodes()->AddChild(nullptr, L"c");
    Texts changes;
    tree_->OnChange = [&](TObject*, TTreeNode* node) {
        changes.push_back(node != nullptr ? node->Text() : L"(none)");
    };
    tree_->OnChanging = [&](TObject*, TTreeNode* node, bool& allow) { allow = node != c; };

    tree_->SetSelected(a);
    EXPECT_EQ(changes, (Texts{L"a"}));  // no delay: at once
    tree_->SetSelected(c);
    EXPECT_EQ(tree_->Selected(), a);  // refused
    EXPECT_EQ(changes, (Texts{L"a"}));

    tree_->OnChanging = nullptr;
    tree_->SetChangeDelay(40);
    tree_->SetSelected(b);
    tree_->SetSelected(c);
    EXPECT_EQ(tree_->Selected(), c);
    EXPECT_EQ(changes, (Texts{L"a"}));  // not yet
    EXPECT_TRUE(PumpMessagesUntil([&] { return changes.size() == 2; }, 3000));
    PumpMessages(100);
    EXPECT_EQ(changes, (Texts{L"a", L"c"}));  // once, for the last selection
}

TEST_F(TreeViewTest, DeletingTheSelectedNodeReportsALiveNode)
{
    TTreeNode* a = Nodes()->AddChild(nullptr, L"a");
    TTreeNode* b = Nodes()->AddChild(nullptr, L"b");
    TTreeNode* b1 = Nodes()->AddChild(b, L"b1");
    b->Expand(false);
    tree_->SetSelected(b1);
    std::vector<TTreeNode*> reported;
    tree_->OnChange = [&](TObject*, TTreeNode* node) {
        if (node != nullptr) {
            EXPECT_TRUE(node->InTree());
        }
        reported.push_back(node);
    };
    b->Delete();
    EXPECT_EQ(tree_->Selected(), a);
    for (TTreeNode* node : reported)
        EXPECT_EQ(node, a);
}

TEST_F(TreeViewTest, ANewWindowShowsTheSameNodesExpandedStatesAndSelection)
{
    TTreeNode* top = Nodes()->AddChild(nullptr, L"top");
    TTreeNode* open = Nodes()->AddChild(top, L"open");
    Nodes()->AddChild(open, L"leaf");
    TTreeNode* closed = Nodes()->AddChild(top, L"closed");
    Nodes()->AddChild(closed, L"unseen");
    top->Expand(false);
    open->Expand(false);
    open->SetCut(true);
    tree_->SetSelected(open);
    int changes = 0;
    int deletions = 0;
    tree_->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
    tree_->OnDeletion = [&](TObject*, TTreeNode*) { ++deletions; };

    tree_->RecreateWnd();
    ASSERT_TRUE(tree_->HandleAllocated());
    EXPECT_EQ(ShownChildren(top), (Texts{L"open", L"closed"}));
    EXPECT_EQ(ShownChildren(open), (Texts{L"leaf"}));
    EXPECT_NE(ShownState(top, TVIS_EXPANDED), 0u);
    EXPECT_NE(ShownState(open, TVIS_EXPANDED), 0u);
    EXPECT_EQ(ShownState(closed, TVIS_EXPANDED), 0u);
    EXPECT_NE(ShownState(open, TVIS_CUT), 0u);
    EXPECT_EQ(tree_->Selected(), open);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(deletions, 0);

    // Without a window the tree keeps working on its nodes.
    tree_->DestroyHandle();
    closed->Expand(false);
    tree_->SetSelected(closed->Item(0));
    EXPECT_EQ(changes, 1);
    tree_->HandleNeeded();
    EXPECT_NE(ShownState(closed, TVIS_EXPANDED), 0u);
    EXPECT_EQ(tree_->Selected()->Text(), L"unseen");
}

class TTaggedNode : public TTreeNode {
public:
    using TTreeNode::TTreeNode;
    int Tag = 7;
};

TEST_F(TreeViewTest, TheNodeClassHookMakesEveryNode)
{
    tree_->OnCreateNodeClass = [](TObject*, TTreeNodeClass& nodeClass) {
        nodeClass = [](TTreeNodes* owner) { return std::make_unique<TTaggedNode>(owner); };
    };
    TTreeNode* node = Nodes()->AddChild(nullptr, L"tagged");
    TTreeNode* child = Nodes()->AddChild(node, L"child");
    ASSERT_NE(dynamic_cast<TTaggedNode*>(node), nullptr);
    EXPECT_EQ(dynamic_cast<TTaggedNode*>(child)->Tag, 7);

    tree_->OnCreateNodeClass = [](TObject*, TTreeNodeClass& nodeClass) { nodeClass = nullptr; };
    EXPECT_THROW(Nodes()->AddChild(nullptr, L"none"), Exception);
    EXPECT_EQ(Nodes()->Count(), 2);
    EXPECT_EQ(ShownChildren(), (Texts{L"tagged"}));
}

}  // namespace

// A node that gets thousands of children as it opens shows its first screens at once; the
// other rows follow while the program waits for input, and whatever needs a row meanwhile
// (selection, a jump to the end, a sort, inserts and deletes) finds the window consistent.
class LargeNodeTest : public TreeViewTest {
protected:
    static constexpr int kChildren = 5000;

    TTreeNode* AddLargeNode(const std::wstring& text)
    {
        TTreeNode* node = Nodes()->AddChild(nullptr, text);
        node->SetHasChildren(true);
        return node;
    }
    void SetUp() override
    {
        TreeViewTest::SetUp();
        tree_->OnExpanding = [](TObject*, TTreeNode* node, bool&) {
            if (node->Count() > 0)
                return;
            TUpdateScope<TTreeNodes> update(node->Owner());
            for (int i = 0; i < kChildren; ++i) {
                wchar_t text[16];
                swprintf(text, 16, L"%05d", i);
                node->Owner()->AddChild(node, text);
            }
        };
    }
    bool WaitForRows()
    {
        return PumpMessagesUntil([&] { return !tree_->ItemsPending(); }, 20000);
    }
    // The window's children agree with the first `count` of the model, item by item.
    void ExpectShownPrefix(const TTreeNode* parent, size_t count)
    {
        const Texts shown = ShownChildren(parent);
        Texts model = ModelChildren(parent);
        model.resize(count);
        EXPECT_EQ(shown, model);
        for (size_t i = 0; i < static_cast<size_t>(parent->Count()); ++i)
            EXPECT_EQ(parent->Item(static_cast<int>(i))->ItemId() != nullptr, i < count) << i;
    }
};

TEST_F(LargeNodeTest, ExpandingShowsTheFirstScreensAndAddsTheRestAfterwards)
{
    TTreeNode* parent = AddLargeNode(L"large");
    parent->Expand(false);
    ASSERT_TRUE(parent->Expanded());
    ASSERT_EQ(parent->Count(), kChildren);
    EXPECT_TRUE(tree_->ItemsPending());
    const size_t first = ShownChildren(parent).size();
    const int rows =
        400 / std::max(1, static_cast<int>(SendMessageW(Window(), TVM_GETITEMHEIGHT, 0, 0)));
    EXPECT_GE(first, static_cast<size_t>(rows));
    EXPECT_LT(first, static_cast<size_t>(kChildren));
    ExpectShownPrefix(parent, first);

    // Changes meanwhile: an insert among the rows shown, one among those waiting, a delete
    // of each kind.
    Nodes()->InsertChild(parent, 1, L"00000a");
    Nodes()->InsertChild(parent, 3000, L"02998a");
    parent->Item(2)->Delete();
    parent->Item(4000)->Delete();
    ExpectShownPrefix(parent, first);

    ASSERT_TRUE(WaitForRows());
    ExpectShownPrefix(parent, static_cast<size_t>(parent->Count()));
    EXPECT_EQ(parent->Count(), kChildren);
}

TEST_F(LargeNodeTest, WhatNeedsARowGetsItAtOnce)
{
    TTreeNode* parent = AddLargeNode(L"large");
    // Opened as the user opens it: the window asks first.
    parent->SetSelected(true);
    tree_->SetFocus();
    SendMessageW(Window(), WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(parent->Expanded());
    ASSERT_TRUE(tree_->ItemsPending());

    TTreeNode* middle = parent->Item(kChildren / 2);
    middle->SetSelected(true);
    EXPECT_EQ(tree_->Selected(), middle);
    EXPECT_TRUE(middle->MakeVisible());
    const RECT rect = middle->DisplayRect(true);
    EXPECT_GT(rect.right, rect.left);
    ExpectShownPrefix(parent, kChildren / 2 + 1);

    // A sort puts every row in and orders them as the nodes.
    parent->CustomSort([](TTreeNode* a, TTreeNode* b) { return b->Text().compare(a->Text()); });
    EXPECT_FALSE(tree_->ItemsPending());
    ExpectShownPrefix(parent, kChildren);
    EXPECT_EQ(ShownChildren(parent).front(), L"04999");
}

TEST_F(LargeNodeTest, EndAndScrollingReachTheLastRow)
{
    TTreeNode* parent = AddLargeNode(L"large");
    parent->Expand(false);
    parent->SetSelected(true);
    ASSERT_TRUE(tree_->ItemsPending());
    tree_->SetFocus();
    SendMessageW(Window(), WM_KEYDOWN, VK_END, 0);
    EXPECT_FALSE(tree_->ItemsPending());
    EXPECT_EQ(tree_->Selected(), parent->GetLastChild());

    // Collapsed and made again: a new window gets every row back.
    TTreeNode* other = AddLargeNode(L"other");
    other->Expand(false);
    ASSERT_TRUE(tree_->ItemsPending());
    tree_->RecreateWnd();
    EXPECT_FALSE(tree_->ItemsPending());
    ExpectShownPrefix(other, kChildren);
    EXPECT_TRUE(other->Expanded());
}
