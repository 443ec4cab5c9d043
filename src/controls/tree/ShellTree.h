#pragma once
// TZelShellTree: the shell namespace as a tree. One node stands for one namespace object
// (folders; files too with ShowFiles). The tree holds only what the user opened: a node's
// children are enumerated the first time it is expanded, enumerated again when the change
// notifier reports a change below it, and dropped when a collapsed node is refreshed. The
// tree takes part in a shell link: selecting a node shows its folder in the pane's other
// controls, and a folder chosen elsewhere is located (its path created) and selected here.
//
// Speed: nothing about a node is computed before the tree view first draws it (its icon,
// marks and expand button; icons come from the worker pool). A refresh finds each enumerated
// object among the existing children through an index, and change reports that arrive in a
// burst are answered once, after the burst.
#include "controls/common/ChangeBatch.h"
#include "controls/common/NotificationEvents.h"
#include "controls/common/ShellDragDrop.h"
#include "controls/common/ShellDropTarget.h"
#include "controls/common/ShellEvents.h"
#include "controls/common/ShellKeys.h"
#include "controls/common/ShellLinkMember.h"
#include "controls/common/ShellOptions.h"
#include "controls/tree/ShellTreeNode.h"
#include "core/IDListPtr.h"
#include "link/ZelShellControl.h"
#include "shell/FolderProbe.h"
#include "shell/Nautilex.h"
#include "shell/PidlHistory.h"
#include "shell/ZelShellFolder.h"
#include "threadpool/ZelWorkItems.h"
#include "ui/TreeView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TZelShellChangeNotifier;
class TZelShellLink;
class TZelSystemImageList;
class TZelSelectionStateImageList;
class TTimer;
class TDiskWatcher;
struct TDiskChange;

// What LocateIDList does with the node it finds.
enum TLocateAction { laSelect, laRefresh, laRefreshParent, laDelete };

class TZelShellTree : public TTreeView,
                      public TZelShellLinkMember<TZelShellTree, IIconViewer>,
                      public TShellDropControl<TZelShellTreeNode> {
public:
    // Change reports are answered this long after the last one of a burst.
    static constexpr UINT kReportDelay = 15;

    explicit TZelShellTree(TComponent* owner);
    ~TZelShellTree() override;

    // ---- IZelShellControl (the link itself: TZelShellLinkMember) ----
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) override;
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object) override;
    void STDMETHODCALLTYPE SelectAll() override {}
    void STDMETHODCALLTYPE RefreshContents() override;
    void STDMETHODCALLTYPE RefreshChanges() override;
    bool STDMETHODCALLTYPE GoUp() override;

    // ---- IIconViewer (GUI thread): kind 0 image, 1 overlay, 2 selected image ----
    void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) override;

    // ---- Published properties ----
    TZelShellFolder GetRootedAt() const noexcept { return rootedAt_; }
    void SetRootedAt(TZelShellFolder value);
    const std::wstring& GetRootedAtFileSystemFolder() const noexcept { return rootedAtPath_; }
    void SetRootedAtFileSystemFolder(const std::wstring& value);
    std::wstring GetSelectedFolder();
    void SetSelectedFolder(const std::wstring& value);
    TZelShellFolder GetSpecialFolder();
    void SetSpecialFolder(TZelShellFolder value);
    // Registers the window as a drop target (falls back to off when that fails).
    bool GetOleDragDrop() const noexcept { return oleDragDrop_; }
    void SetOleDragDrop(bool value);
    // Milliseconds a folder that may wait has to answer before its expansion or refresh is
    // given up.
    DWORD NetworkWaitLimit = kNetworkFolderWaitLimit;
    bool ShellContextMenu = true;

    bool GetFileSystemOnly() const;
    void SetFileSystemOnly(bool value);
    bool ExpandOnSelected = false;
    std::wstring GetFilter() const;
    void SetFilter(const std::wstring& value);
    // Check boxes bound to the link's selection list; needs a link.
    bool GetCheckBoxes() const noexcept { return checkBoxes_; }
    void SetCheckBoxes(bool value);
    bool GetCreateLinkOnDrop() const noexcept { return createLinkOnDrop_; }
    void SetCreateLinkOnDrop(bool value) { createLinkOnDrop_ = value; }
    // Reads cmLink while CreateLinkOnDrop is on.
    TZelCopyMode GetCopyMode() const noexcept { return createLinkOnDrop_ ? cmLink : copyMode_; }
    void SetCopyMode(TZelCopyMode value) { copyMode_ = value; }
    virtual std::wstring ClassName() const { return L"TZelShellTree"; }
    std::wstring Version() const { return ClassName() + L" V6.2.3"; }
    void SetVersion(const std::wstring&) {}
    bool GetAutomaticRefresh() const noexcept { return automaticRefresh_; }
    void SetAutomaticRefresh(bool value);
    bool GetUseSystemFont() const noexcept { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    bool UseSystemStyles = true;
    bool GetShowOverlayIcons() const noexcept { return showOverlayIcons_; }
    void SetShowOverlayIcons(bool value);
    TZelShellTreeNode* Selected() const
    {
        return static_cast<TZelShellTreeNode*>(TTreeView::Selected());
    }

    // ---- Events ----
    // Asked for every node that enumeration adds or finds again; CanAdd false removes it.
    TOnAddNode OnAddFolder;
    TOnUpdatedFolder OnUpdatedFolder;
    TOnOperation OnOperation;
    TBeforeShellDropEvent<TZelShellTreeNode> OnBeforeShellDrop;
    // Kept in the browser, which raises it from its context menus.
    void SetOnContextMenuSelect(TContextMenuSelectEvent handler)
    {
        browser_->OnContextMenuSelect = std::move(handler);
    }

    // ---- Operations ----
    TNautilex& Browser() noexcept { return *browser_; }
    TPidlHistory& History() noexcept { return history_; }
    TZelShellChangeNotifier& Notifier() noexcept { return *notifier_; }
    // The node's icon, expand button and marks from the browser's current object (the node's).
    void UpdateNode(TZelShellTreeNode* node, bool full);
    // Orders the node's children by the folder's comparison.
    void SortChildren(TZelShellTreeNode* node);
    void RefreshNode(TZelShellTreeNode* node, bool recursive, bool full);
    // Finds the node of an absolute ID list (creating the path to it) and acts on it; true
    // when the node was found or created (otherwise the deepest node reached is acted on).
    bool LocateIDList(TBorrowedIDList list, TLocateAction action);
    // File-system path of the node's object; empty for virtual objects and invalid nodes.
    std::wstring NodePath(const TTreeNode* node) const;
    // False when the node's folder may wait (a network, a drive that is not fixed, a link on
    // the way) and did not answer in NetworkWaitLimit, or the node went meanwhile.
    bool NetworkFolderReady(TZelShellTreeNode* node);
    // FolderWaitPlace of the node's folder, judged once per node and path: a refresh asks it
    // of every node it walks.
    std::wstring NodeWaitPlace(TZelShellTreeNode* node) const;
    // Non-null and still in this tree.
    bool IsValidNode(const TTreeNode* node) const noexcept;
    void NotifyLink(TZelShellTreeNode* node);
    bool NavigateHistory(int delta);
    // ---- OLE drag and drop (ShellTreeDragDrop.cpp) ----
    // Drags the node's object out of the tree; `button` is the key-state bit of the mouse
    // button. The root cannot be dragged.
    void StartOleDrag(TZelShellTreeNode* node, DWORD button);
    // The node under a drag, shown as drop target; null for none.
    TZelShellTreeNode* DropNode() const noexcept { return DropProtocol().DropItem(); }
    // Change reports received and not answered yet.
    int PendingReportCount() const noexcept { return static_cast<int>(reports_->Changes().size()); }
    // Watches the expanded folders on screen on disk, for the changes no one announces.
    TDiskWatcher& DiskWatcher() noexcept { return *diskWatcher_; }
    // Points the disk watch at the folders on screen now; its timer does so regularly.
    void FollowFoldersOnDisk();
    static constexpr UINT kDiskWatchInterval = 400;

    // ---- Interaction: verbs, context menu, new folder, check boxes ----
    // Runs a shell verb on the selected node; false without a selected node, when the shell
    // fails, and for verbs that change folders while ReadOnly.
    bool ExecuteVerb(const std::string& verb);
    // Pastes the clipboard's files into the selected folder and reports them; nothing while
    // ReadOnly.
    void PasteIntoSelected();
    // Copies or moves the selected folder into the folder `destination` through the shell and
    // reports it through OnOperation; false without a file-system folder selected, for a move
    // while ReadOnly, and when the shell did not do all of it.
    bool TransferSelection(const std::wstring& destination, bool move);
    // The shell's menu for the selected node with PopupMenu merged, at a screen point.
    void ShowShellContextMenu(POINT screenPoint, std::string& verb);
    void CreateNewFolder(const std::wstring& parentPath, const std::wstring& name, bool edit);
    void ToggleCheck(TZelShellTreeNode* node);
    void UpdateCheckStatesUp(TZelShellTreeNode* node);
    void UpdateCheckStatesDown(TZelShellTreeNode* node);
    TOnCheckStateChanged OnCheckStateChanged;
    TTVExpandedEvent OnEditCanceled;

protected:
    void CreateWnd() override;
    void WindowDestroying() override;
    // Starts an OLE drag for the tree view's begin-drag notifications; true when it did.
    bool BeginDragNotify(NMHDR& header, LRESULT& result);
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void OptionsChanged() override;
    void WndProc(TMessage& message) override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    // A key of the list and tree's shared table; false where it is no command here.
    bool RunKeyCommand(TShellKeyCommand command);
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(wchar_t& key) override;
    void DblClick() override;
    bool CanEdit(TTreeNode* node) override;
    void Edit(TTreeNode* node, std::wstring& text) override;
    void EditCanceled(TTreeNode* node) override;
    std::unique_ptr<TTreeNode> CreateNode() override;
    TTreeNodeClass DefaultNodeClass() const override;
    bool CanExpand(TTreeNode* node) override;
    bool CanChange(TTreeNode* node) override;
    void Change(TTreeNode* node) override;
    void Delete(TTreeNode* node) override;
    void GetImageIndex(TTreeNode* node) override;
    bool IsCustomDrawn() const override;
    void CustomDrawItem(TTreeNode* node, TItemDraw& draw, bool& defaultDraw) override;

private:
    struct TChangeReport {
        TNotificationEvent event;
        TOwnedIDList first;
        TOwnedIDList second;
    };
    using TReportBatch = TChangeBatch<std::vector<TChangeReport>>;
    // Tree work under way: change reports wait until it is done.
    class TBusyScope {
    public:
        explicit TBusyScope(TZelShellTree* tree) : tree_(tree) { ++tree_->busy_; }
        ~TBusyScope() { --tree_->busy_; }
        TBusyScope(const TBusyScope&) = delete;
        TBusyScope& operator=(const TBusyScope&) = delete;

    private:
        TZelShellTree* tree_;
    };

    void ApplyNotifierFilter();
    TZelShellTreeNode* Typed(TTreeNode* node) const noexcept
    {
        return IsValidNode(node) ? static_cast<TZelShellTreeNode*>(node) : nullptr;
    }
    TZelShellTreeNode* RootNode() const noexcept
    {
        return static_cast<TZelShellTreeNode*>(Items()->GetFirstNode());
    }
    UINT ErrorMode() const noexcept { return GetShowErrorMessages() ? 0 : SEM_FAILCRITICALERRORS; }
    // Makes the node's object the browser's current object, binding its folder only when the
    // browser holds another one.
    void MakeBrowserObject(TZelShellTreeNode* node);
    std::wstring ObjectPath(TZelShellTreeNode* node) const;
    // Rooting
    void Root(TZelShellFolder value);
    void EnsureRooted();
    // Filling and refreshing
    // `inParentFolder`: the browser's folder is `parent`'s own list, so the child's absolute
    // list can be made from the parent's when needed.
    TZelShellTreeNode* AddChild(TZelShellTreeNode* parent, bool pinned, TZelVisibilityRule& rule,
                                int isFolder, bool inParentFolder = false);
    // UpdateNode without OnUpdatedFolder; without `icons`, the image stays unset (to be
    // filled when the node is first drawn).
    void ApplyObjectState(TZelShellTreeNode* node, bool full, bool icons);
    bool AskAddFolder(TZelShellTreeNode* node);
    void FillNode(TZelShellTreeNode* node);
    void RefreshChildren(TZelShellTreeNode* node, bool recursive, bool full);
    // The child whose relative ID list the folder's comparison finds equal to `item`.
    TZelShellTreeNode* FindChild(TZelShellTreeNode* parent, TBorrowedIDList item);
    // The child with the same name in its folder as `item`; null for none.
    TZelShellTreeNode* ChildNamed(TZelShellTreeNode* parent, TBorrowedIDList item);
    // Where a new child with `item` goes among the ordered children.
    int OrderedPosition(TZelShellTreeNode* parent, TBorrowedIDList item);
    int CompareChildren(IShellFolder* folder, TBorrowedIDList first, TBorrowedIDList second);
    void QueueIcon(TZelShellTreeNode* node, BYTE kind);
    // Locating
    TZelShellTreeNode* FindForLocate(TBorrowedIDList list, TLocateAction& action, bool& found);
    void ActOn(TZelShellTreeNode* node, TLocateAction action);
    // Interaction
    void ReportOperation(TZelShellOperations operation, const std::vector<std::wstring>& files,
                         const std::wstring& destination);
    void ReportPaste(const std::vector<std::wstring>& files, const std::wstring& destination);
    void AfterDelete(const std::wstring& path);
    void AfterPaste(const std::vector<std::wstring>& files, const std::wstring& destination);
    // Shows the context menu for the context-menu message's point; false when the tree's own
    // handling should run instead.
    bool ContextMenuAt(POINT screenPoint);
    // The context-menu keys: the shell's menu, or the control's own popup.
    void ContextMenuFromKeyboard();
    POINT SelectedLabelCorner() const;
    // The node whose state image lies under the client point, or null.
    TZelShellTreeNode* StateImageHit(int x, int y) const;
    bool CheckBoxesShown() const noexcept { return checkBoxes_ && shellLink_ != nullptr; }
    // The check state of the node for UpdateNode.
    void ApplyCheckState(TZelShellTreeNode* node, bool full);
    int RootCheckState() const;
    int AbsoluteIndex(const TTreeNode* node) const;
    // Change reports
    void CreateReportBatch();
    void ReportChange(TNotificationEvent event, TBorrowedIDList first, TBorrowedIDList second);
    void AnswerReports();
    // Drag and drop (ShellTreeDragDrop.cpp)
    void ForgetDragNode(TTreeNode* node) noexcept;
    HWND DropWindow() const override;
    DWORD DropEffects() const override;
    TZelShellTreeNode* DropItemAt(POINT client) override;
    TComPtr<IDropTarget> ItemDropTarget(TZelShellTreeNode* node) override;
    bool KeepsRefusingItem() const override { return true; }
    void ShowDropHighlight(TZelShellTreeNode* node, bool shown) override;
    void HoverDropItem(TZelShellTreeNode* node, DWORD milliseconds) override;
    DWORD OwnDragButton() const override;
    std::wstring DropDestination(TZelShellTreeNode* node) override;
    void BeforeShellDrop(TZelShellTreeNode* node, const std::vector<std::wstring>& files,
                         bool& execute, DWORD keyState) override;
    void ReportDrop(TZelShellOperations operations, const std::vector<std::wstring>& files,
                    const std::wstring& destination) override;
    void DropArrived(TZelShellTreeNode* node) override;
    // Disk watch (ShellTreeWatch.cpp)
    void CreateDiskWatcher();
    void StopDiskWatch();
    void DiskChanges(const std::vector<TDiskChange>& changes);
    // Watches the node's folder from before its children are read (first among the watches,
    // until the next look at the screen), so that nothing made during the read goes missing.
    void WatchBeforeReading(const TZelShellTreeNode* node);
    // Ends the watches of the folder and of everything below it at once: under Wine a folder
    // deleted while watched would stay until its watch closed.
    void ReleaseDiskWatchBelow(TBorrowedIDList folder);

    TNautilex* browser_ = nullptr;
    TZelSystemImageList* systemImages_ = nullptr;
    TCustomImageList* images_ = nullptr;
    TPidlHistory history_;
    TZelShellChangeNotifier* notifier_ = nullptr;

    TZelShellFolder rootedAt_ = SF_DESKTOP;
    std::wstring rootedAtPath_;
    std::wstring pendingPath_;
    TZelShellFolder pendingSpecialFolder_ = SF_DRIVES;
    bool expandBelowRoot_ = true;
    bool navigatingHistory_ = false;
    bool createdOnce_ = false;
    bool oleDragDrop_ = true;
    bool checkBoxes_ = false;
    TZelSelectionStateImageList* checkImages_ = nullptr;
    bool createLinkOnDrop_ = false;
    TZelCopyMode copyMode_ = cmDefault;
    bool automaticRefresh_ = true;
    bool useSystemFont_ = true;
    bool showOverlayIcons_ = true;
    bool destroying_ = false;
    int busy_ = 0;
    // Received, waiting for the report timer.
    std::unique_ptr<TReportBatch> reports_;
    std::unique_ptr<TShellDragDrop> dragDrop_;
    // The parent of the node being dragged out, refreshed when the drag ends.
    TZelShellTreeNode* dragParent_ = nullptr;
    TDiskWatcher* diskWatcher_ = nullptr;
    TTimer* diskWatchTimer_ = nullptr;
    // The node each watched folder belongs to, by serial.
    std::vector<std::pair<std::wstring, LPARAM>> diskWatchNodes_;
};
