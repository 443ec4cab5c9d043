#pragma once
// The tree-view control: a Windows tree view with wide texts, image and state image lists,
// overlay and state images, cut and drop-highlight marks, expand buttons that need no
// children yet, custom sorting of one node's children, in-place label editing, custom draw,
// and a change delay (the change event follows the selection after a pause, so that walking
// the tree with the arrow keys does not act on every node passed).
//
// The control keeps its nodes itself (TTreeNodes) and mirrors them in the window; a node's
// image, selected image and expand button are asked of the control when the window draws the
// node, so they can be decided then (GetImageIndex). The window keeps the selection; the
// control keeps everything else and rebuilds the window's items when the window is made
// again.
#include "ui/CustomDraw.h"
#include "ui/ImageList.h"
#include "ui/ImageListSlots.h"
#include "ui/TreeNodes.h"
#include "ui/WinControl.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

class TTimer;

// Makes the nodes of a tree (a node "class").
using TTreeNodeClass = std::function<std::unique_ptr<TTreeNode>(TTreeNodes* Owner)>;

using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::wstring& S)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2,
                                           LPARAM Data, int& Compare)>;
using TTVCustomDrawItemEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, TItemDraw& Draw, bool& DefaultDraw)>;
using TTVCreateNodeClassEvent = std::function<void(TObject* Sender, TTreeNodeClass& NodeClass)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner);
    // Frees the nodes without OnDeletion: a derived tree frees its node data in its own
    // destructor (Items()->Clear() raises the event while it still can).
    ~TTreeView() override;

    TTreeNodes* Items() noexcept { return &items_; }
    const TTreeNodes* Items() const noexcept { return &items_; }

    bool ShowButtons() const noexcept { return showButtons_; }
    void SetShowButtons(bool show);
    bool ShowLines() const noexcept { return showLines_; }
    void SetShowLines(bool show);
    // Buttons and lines also at the top level.
    bool ShowRoot() const noexcept { return showRoot_; }
    void SetShowRoot(bool show);
    // Texts cannot be edited in place.
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool rowSelect);
    bool ToolTips() const noexcept { return toolTips_; }
    void SetToolTips(bool toolTips);
    // Drawn off screen first, without flicker.
    bool DoubleBuffered() const noexcept { return doubleBuffered_; }
    void SetDoubleBuffered(bool doubleBuffered);
    // The explorer's look: its visual style, no lines, double buffered; kept for every
    // window the control makes.
    bool ExplorerStyle() const noexcept { return explorerStyle_; }
    void SetExplorerStyle(bool explorerStyle);
    // A right click selects the node under the mouse.
    bool RightClickSelect = false;
    // Pixels a child is indented by; 0 keeps the window's own choice.
    int Indent() const;
    void SetIndent(int indent);
    // Milliseconds between a selection change and OnChange; 0 raises it at once.
    UINT ChangeDelay() const noexcept { return changeDelay_; }
    void SetChangeDelay(UINT delay);

    // The image lists stay the caller's; the tree hears when they change or go.
    TCustomImageList* Images() const noexcept { return imageLists_.Get(kImages); }
    void SetImages(TCustomImageList* images);
    TCustomImageList* StateImages() const noexcept { return imageLists_.Get(kStateImages); }
    void SetStateImages(TCustomImageList* images);

    // The selected node, or null; setting selects it (asking CanChange first) and null
    // clears the selection.
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    TTreeNode* TopItem() const;
    // How far the window is scrolled sideways, in pixels.
    int HorizontalScroll() const;
    // The node whose row holds the client point, or null.
    TTreeNode* GetNodeAt(int x, int y) const;
    // Where a client point lies (TVHT_... flags) and on which node (may be null).
    UINT GetHitTestInfoAt(int x, int y, TTreeNode** node = nullptr) const;
    // A text is being edited in place.
    bool IsEditing() const;
    // Ends editing, keeping the text unless `cancel`.
    void EndEditing(bool cancel);
    // The children of a large node go into the window a few screens first when it expands and
    // the rest in steps once the first screen is drawn (at once when the user scrolls, jumps or
    // types to search): true while some still wait. The nodes themselves are all there.
    bool ItemsPending() const noexcept;
    // Puts every waiting row into the window now.
    void FlushPendingItems();
    // Orders the top-level nodes (see TTreeNode::CustomSort).
    bool CustomSort(const TTVCompare& compare, bool recurse = false);
    bool AlphaSort(bool recurse = false);

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnCancelEdit;
    // Each time the window asks for a node's image (or expand button); the handler may set
    // Node->ImageIndex and the like.
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVExpandedEvent OnDeletion;
    TTVCompareEvent OnCompare;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    // May replace the node class the tree makes its nodes with.
    TTVCreateNodeClassEvent OnCreateNodeClass;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    void WndProc(TMessage& message) override;
    bool ReflectedMessage(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

    // A tree-view notification; an override handles what it wants and passes the rest on.
    virtual bool Notify(NMHDR& header, LRESULT& result);
    // Makes a node: of the class OnCreateNodeClass names, else of DefaultNodeClass.
    virtual std::unique_ptr<TTreeNode> CreateNode();
    virtual TTreeNodeClass DefaultNodeClass() const;
    // Expanding or collapsing, by the user or the program: false refuses it.
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    // The selection is about to move to `node` (null: no node); false refuses it.
    virtual bool CanChange(TTreeNode* node);
    // The selection moved (after the change delay); `node` is the selected node or null.
    virtual void Change(TTreeNode* node);
    // A node was taken out of the tree (Index() is -1); raises OnDeletion before it is freed.
    virtual void Delete(TTreeNode* node);
    virtual bool CanEdit(TTreeNode* node);
    // Editing ended with `text`; the node gets the text the handler leaves (if still there).
    virtual void Edit(TTreeNode* node, std::wstring& text);
    virtual void EditCanceled(TTreeNode* node);
    virtual void GetImageIndex(TTreeNode* node);
    virtual void GetSelectedIndex(TTreeNode* node);
    // Whether the window should ask before drawing each node.
    virtual bool IsCustomDrawn() const;
    virtual void CustomDrawItem(TTreeNode* node, TItemDraw& draw, bool& defaultDraw);
    // The change delay ran out (or was 0): raises Change for the selected node.
    void ChangeTimerFired();
    // A change is waiting for its delay to run out.
    bool ChangePending() const;
    // Holds a waiting change back (false), or lets it run its delay afresh (true).
    void SetChangePending(bool pending);

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    class TShownChange;

    DWORD ExtendedStyleBits() const;
    void SetStyleBit(DWORD bit, bool on);
    void ApplyExtendedStyles();
    void ApplyExplorerLook();
    void AttachImageList(int which, TCustomImageList* images);
    // Sends a message to the window's own class procedure.
    LRESULT Native(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Native items: only while the window exists and is not going.
    bool NativeReady() const noexcept;
    void CreateNativeItem(TTreeNode* node);
    // CanExpand, with the children the node gets meanwhile kept out of the window.
    bool AskExpand(TTreeNode* node);
    // Gives the node a window item, with the siblings before it (and its ancestors).
    void EnsureNativeItem(TTreeNode* node);
    // Window items for the first `count` children.
    void MaterializeChildren(TTreeNode* parent, size_t count);
    // Before the node opens: its first screens of children in the window, the rest queued.
    void PrepareExpansion(TTreeNode* node);
    void MaterializePendingStep();
    size_t FirstScreensOfRows() const;
    void CreateNativeSubtree(TTreeNode* node);
    void RestoreExpanded(TTreeNode* node);
    void UpdateNativeText(TTreeNode* node);
    void UpdateNativeState(TTreeNode* node, UINT mask);
    void UpdateNativeChildren(TTreeNode* node);
    void RedrawNode(const TTreeNode* node);
    RECT NativeItemRect(HTREEITEM item, bool textOnly) const;
    void ScrollHorizontally(int position);
    // Selecting or showing an item scrolls the window sideways as far as the item's whole
    // text needs, which in a narrow tree cuts every other name on the left: the position of
    // before is kept, and changed only as far as needed to show the start of the item's name.
    void ShowNameStart(int scrollBefore, HTREEITEM item);
    // Before `node` goes, with what lies below it: a selection within it moves to the nearest
    // node above that may be selected, reported at once; the window would pick a sibling, or
    // (when it loses every child of a node) move it without a word.
    void LeaveBeforeDeleting(TTreeNode* node);
    void DeleteNativeItem(HTREEITEM item);
    // The window drops every item below the node (and collapses it).
    void DeleteNativeChildren(TTreeNode* node);
    void DeleteAllNativeItems();
    void NativeExpand(TTreeNode* node, UINT action);
    void BeginBulkUpdate();
    void EndBulkUpdate();
    void SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse);
    TTreeNode* NodeOfParam(LPARAM param) const { return items_.FindBySerial(param); }
    // Notifications
    void AnswerDisplayRequest(NMTVDISPINFOW& info);
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);
    COLORREF BackgroundColor() const;
    // Fills what the device context may draw on with the background colour.
    void FillBackground(HDC dc) const;
    // The selection while another window has the focus (HideSelection off).
    COLORREF InactiveSelectionColor() const;
    bool ShowsInactiveSelection() const;
    void SelectionChanged(TTreeNode* node);

    TTreeNodes items_;
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool rowSelect_ = false;
    bool toolTips_ = true;
    bool doubleBuffered_ = false;
    bool explorerStyle_ = false;
    int indent_ = 0;
    UINT changeDelay_ = 0;
    TTimer* changeTimer_ = nullptr;
    // Nodes whose children still wait for window items (serials), and the timer that adds them.
    std::vector<LPARAM> pendingParents_;
    TTimer* pendingTimer_ = nullptr;
    LPARAM deferredParent_ = 0;  // the node being expanded: its new children wait
    static constexpr size_t kImages = 0, kStateImages = 1;
    TImageListSlots<2> imageLists_;
    // The selected node while there is no window (its serial; 0 for none).
    LPARAM pendingSelection_ = 0;
    bool closing_ = false;
    LPARAM editedSerial_ = 0;  // the node whose text is being edited
    int quietSelection_ = 0;   // >0: selection changes are the control's own, not reported
    int quietExpansion_ = 0;   // >0: expansion notifications come from the control's own calls
    const TTreeNode* answering_ = nullptr;  // the node whose display data is being asked for
    bool backgroundPending_ = false;        // a paint's background waits for its first item
};
