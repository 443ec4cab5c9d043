// TZelShellTree: construction, the interfaces, the published properties and the life of the
// window.
#include "controls/tree/ShellTree.h"

#include "controls/common/ShellChangeNotifier.h"
#include "core/Exception.h"
#include "link/ShellLink.h"
#include "shell/ShellState.h"
#include "shell/ShellUtils.h"
#include "shell/SystemImageList.h"

namespace {

// The changes a tree follows: folders, drives, media and shares.
TNotificationEvents FolderEvents()
{
    TNotificationEvents events;
    for (TNotificationEvent event :
         {neFileDelete, neDriveAdd, neDriveRemove, neShellDriveAdd, neMediaInsert, neMediaRemove,
          neFolderCreate, neFolderDelete, neFolderRename, neFolderUpdate, neNetShare, neNetUnShare})
        events.set(event);
    return events;
}

}  // namespace

TZelShellTree::TZelShellTree(TComponent* owner)
    : TTreeView(owner), TZelShellLinkMember(soShowNethood | soShowRecycleBin)
{
    SetBounds(0, 0, 200, 300);
    RightClickSelect = true;
    SetDoubleBuffered(true);
    SetHideSelection(false);
    SetChangeDelay(100);
    expandBelowRoot_ = !IsDesigning();

    browser_ = MakeOwned<TNautilex>(this);
    browser_->ShowErrorMessages = false;
    browser_->FileSystemOnly = false;

    systemImages_ = MakeOwned<TZelSystemImageList>(this);
    systemImages_->SetBkColor(TZelSystemImageList::kColorNone);
    images_ = MakeOwned<TImageList>(this);
    images_->AttachShared(systemImages_->Handle());
    SetImages(images_);

    CreateReportBatch();

    notifier_ = MakeOwned<TZelShellChangeNotifier>(this);
    notifier_->SetRecursive(true);
    ApplyNotifierFilter();
    notifier_->SetInternalCallback(
        [this](TZelShellChangeNotifier*, TNotificationEvent event, TBorrowedIDList first,
               TBorrowedIDList second) { ReportChange(event, first, second); });
    notifier_->SetEnabled(automaticRefresh_);
    dragDrop_ = std::make_unique<TShellDragDrop>(this, *this);
    CreateDiskWatcher();
}

TZelShellTree::~TZelShellTree()
{
    // Nothing that reports later may reach the tree from here on.
    destroying_ = true;
    notifier_->SetInternalCallback(nullptr);
    notifier_->SetEnabled(false);
    StopDiskWatch();
    reports_->Stop();
    reports_->OnDue = nullptr;
    reports_->Clear();
    LeaveShellLink();
    try {
        DestroyHandle();
    } catch (...) {
    }
    // The nodes cancel their pool work as they go, while this part of the tree still exists.
    Items()->Clear();
}

// ---- Properties ----

void TZelShellTree::OptionsChanged()
{
    ApplyNotifierFilter();
    RefreshContents();
}

void TZelShellTree::ApplyNotifierFilter()
{
    TNotificationEvents events = FolderEvents();
    // With files shown, file changes matter too.
    if (GetShowFiles())
        for (TNotificationEvent event : {neFileCreate, neFileDelete, neFileRename})
            events.set(event);
    notifier_->SetEventFilter(events);
}

bool TZelShellTree::GetFileSystemOnly() const
{
    return browser_->FileSystemOnly;
}

void TZelShellTree::SetFileSystemOnly(bool value)
{
    browser_->FileSystemOnly = value;
    RefreshContents();
}

std::wstring TZelShellTree::GetFilter() const
{
    return browser_->GetFilter();
}

void TZelShellTree::SetFilter(const std::wstring& value)
{
    browser_->SetFilter(value);
    RefreshContents();
}

void TZelShellTree::SetAutomaticRefresh(bool value)
{
    automaticRefresh_ = value;
    notifier_->SetEnabled(value);
    FollowFoldersOnDisk();
}

void TZelShellTree::SetUseSystemFont(bool value)
{
    useSystemFont_ = value;
    if (value) {
        TScopedGdiObject font = IconTitleFont();
        if (font)
            Font().AssignHandle(static_cast<HFONT>(font.get()));
    }
}

void TZelShellTree::SetShowOverlayIcons(bool value)
{
    if (value == showOverlayIcons_)
        return;
    showOverlayIcons_ = value;
    RefreshContents();
}

void TZelShellTree::Notification(TComponent* component, TOperation operation)
{
    TTreeView::Notification(component, operation);
    ForgetRemovedLink(component, operation);
}

// ---- Nodes ----

TTreeNodeClass TZelShellTree::DefaultNodeClass() const
{
    return [](TTreeNodes* owner) { return std::make_unique<TZelShellTreeNode>(owner); };
}

std::unique_ptr<TTreeNode> TZelShellTree::CreateNode()
{
    std::unique_ptr<TTreeNode> node = TTreeView::CreateNode();
    if (dynamic_cast<TZelShellTreeNode*>(node.get()) == nullptr)
        throw EInvalidArgument(L"Internal Error: TZelShellTree.OnCreateNodeClass.ItemClass must "
                               L"inherit from TZelShellTreeNode.");
    return node;
}

bool TZelShellTree::IsValidNode(const TTreeNode* node) const noexcept
{
    return node != nullptr && node->Owner() == Items() && node->InTree();
}

// ---- Window ----

void TZelShellTree::CreateWnd()
{
    TTreeView::CreateWnd();
    if (oleDragDrop_ && !IsDesigning() && !dragDrop_->Register(WindowHandle()))
        oleDragDrop_ = false;
    if (Items()->Count() <= 1 && !destroying_)
        Root(rootedAt_);
    if (!createdOnce_) {
        createdOnce_ = true;
        browser_->UseOwnerWindow(true);
        if (IsDesigning())
            RefreshContents();
        if (UseSystemStyles)
            ApplyExplorerTheme(WindowHandle());
    } else {
        RejoinShellLink();
        RefreshNode(RootNode(), true, true);
    }
}

void TZelShellTree::Loaded()
{
    TTreeView::Loaded();
    if (!GetNoFillOnStartup() && !IsDesigning()) {
        if (!pendingPath_.empty()) {
            const std::wstring path = std::move(pendingPath_);
            pendingPath_.clear();
            SetSelectedFolder(path);
        } else if (pendingSpecialFolder_ != SF_FILESYSTEMFOLDER) {
            SetSpecialFolder(pendingSpecialFolder_);
        } else {
            NotifyLink(Selected());
        }
        if (TZelShellTreeNode* root = RootNode())
            root->Expand(false);
    }
    if (useSystemFont_)
        SetUseSystemFont(true);
}
