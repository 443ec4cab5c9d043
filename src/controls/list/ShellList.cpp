// TZelShellList: construction, the interfaces, the published properties and the life of the
// window.
#include "controls/list/ShellList.h"

#include "controls/common/ChangeBatch.h"
#include "controls/common/SelectionStateImageList.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellListReceiver.h"
#include "controls/list/ShellListSortArrow.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/ShellState.h"
#include "shell/ShellUtils.h"
#include "shell/SystemImageList.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"
#include "ui/Menus.h"
#include "ui/WindowSubclass.h"

namespace {

// Events 2 to 8 and 10 to 17: file and folder changes, drives, media and shares.
constexpr unsigned long kNotifierEvents = 0x3FDFC;

}  // namespace

TZelShellList::TZelShellList(TComponent* owner)
    : TListView(owner),
      TZelShellLinkMember(kDefaultShellOptions),
      resultLink_(std::make_shared<TShellListResultLink>())
{
    resultLink_->List = this;
    browser_ = MakeOwned<TNautilex>(this);
    browser_->ShowErrorMessages = false;
    browser_->SetFolder(L"");

    SetMultiSelect(true);
    SetReadOnly(false);
    SetAutoArrange(true);
    SetAllocBy(32);
    TListView::SetViewStyle(vsReport);

    smallSystemImages_ = MakeOwned<TZelSystemImageList>(this);
    largeSystemImages_ = MakeOwned<TZelSystemImageList>(this);
    largeSystemImages_->SetSize(si_large);
    smallImages_ = MakeOwned<TImageList>(this);
    smallImages_->AttachShared(smallSystemImages_->Handle());
    largeImages_ = MakeOwned<TImageList>(this);
    largeImages_->AttachShared(largeSystemImages_->Handle());
    thumbnailImages_ = MakeOwned<TImageList>(this, thumbnailWidth_, thumbnailHeight_);
    thumbnailImages_->SetMasked(false);
    thumbnailImages_->SetColorDepth(ILC_COLOR32);
    thumbnailSlots_.Reset(TThumbnailSlots::CapacityFor(thumbnailWidth_, thumbnailHeight_));
    SetSmallImages(smallImages_);
    SetLargeImages(largeImages_);

    CreateChangeBatch();

    notifier_ = MakeOwned<TZelShellChangeNotifier>(this);
    notifier_->SetEnabled(false);
    notifier_->SetRecursive(false);
    notifier_->SetEventFilter(TNotificationEvents(kNotifierEvents));
    notifier_->SetInternalCallback([this](TZelShellChangeNotifier*, TNotificationEvent event,
                                          TBorrowedIDList first,
                                          TBorrowedIDList) { OnChangeReport(event, first); });
    CreateDiskWatcher();

    arrowUp_ = LoadSortArrow(L"TZELSHELLLIST_LV_ARROWUP", false);
    arrowDown_ = LoadSortArrow(L"TZELSHELLLIST_LV_ARROWDOWN", true);
    headerSubclass_ = std::make_unique<TWindowSubclass>();
    dragDrop_ = std::make_unique<TShellDragDrop>(this, *this);
}

TZelShellList::~TZelShellList()
{
    // Whatever a cancel misses, or a worker still holds, reports to nobody from here on.
    resultLink_->List = nullptr;
    CancelAllWork();
    LeaveShellLink();
    closing_ = true;
    notifier_->SetInternalCallback(nullptr);
    notifier_->SetEnabled(false);
    FollowFolderOnDisk();
    changes_->Stop();
    changes_->OnDue = nullptr;
    try {
        DestroyHandle();
    } catch (...) {
    }
    headerSubclass_.reset();
    // The records go with their items (Delete), while this part of the list still exists.
    Items()->Clear();
}

// ---- Properties ----

void TZelShellList::OptionsChanged()
{
    if (GetNoFillOnStartup() && !createdOnce_ && !IsDesigning())
        return;
    RefreshContents();
}

void TZelShellList::SetAutomaticRefresh(bool value)
{
    automaticRefresh_ = value;
    notifier_->SetEnabled(value);
    // A list filled while this was off is not yet watched by the shell's reports either.
    if (value && !IsLoading() && !IsDesigning() && !closing_)
        notifier_->WatchIDList(FolderIDList());
    FollowFolderOnDisk();
    CheckChangesSinceOffer();
}

void TZelShellList::SetDetails(bool value)
{
    if (value == details_)
        return;
    details_ = value;
    Refill();
}

bool TZelShellList::GetFileSystemOnly() const
{
    return browser_->FileSystemOnly;
}

void TZelShellList::SetFileSystemOnly(bool value)
{
    browser_->FileSystemOnly = value;
    Refill();
}

void TZelShellList::SetShowFolders(bool value)
{
    if (value == showFolders_)
        return;
    showFolders_ = value;
    Refill();
}

void TZelShellList::SetShowParentFolder(bool value)
{
    if (value == showParentFolder_)
        return;
    showParentFolder_ = value;
    Refill();
}

void TZelShellList::SetShowOverlayIcons(bool value)
{
    if (value == showOverlayIcons_)
        return;
    showOverlayIcons_ = value;
    Refill();
}

void TZelShellList::SetCheckboxes(bool value)
{
    // Check boxes show the link's selection list; without a link there is nothing to show.
    if (value && StateImages() == nullptr) {
        checkImages_ = MakeOwned<TZelSelectionStateImageList>(this);
        SetStateImages(checkImages_);
    } else if (!value && checkImages_ != nullptr) {
        if (StateImages() == checkImages_)
            SetStateImages(nullptr);
        delete std::exchange(checkImages_, nullptr);
    }
    if (value && shellLink_ == nullptr && !IsLoading())
        value = false;
    checkboxes_ = value;
    Refill();
}

void TZelShellList::SetUseSystemFont(bool value)
{
    useSystemFont_ = value;
    if (value) {
        TScopedGdiObject font = IconTitleFont();
        if (font)
            Font().AssignHandle(static_cast<HFONT>(font.get()));
    }
}

void TZelShellList::SetBackgroundPopupMenu(TPopupMenu* menu)
{
    if (backgroundPopupMenu_ != nullptr)
        backgroundPopupMenu_->RemoveFreeNotification(this);
    backgroundPopupMenu_ = menu;
    if (menu != nullptr)
        menu->FreeNotification(this);
}

void TZelShellList::Notification(TComponent* component, TOperation operation)
{
    TListView::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == backgroundPopupMenu_)
        backgroundPopupMenu_ = nullptr;
    ForgetRemovedLink(component, operation);
}

// ---- Window ----

void TZelShellList::CreateWnd()
{
    TListView::CreateWnd();
    const HWND window = WindowHandle();
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP,
                 LVS_EX_HEADERDRAGDROP);
    DrawSortArrows();
    if (oleDragDrop_ && !IsDesigning() && !dragDrop_->Register(window))
        oleDragDrop_ = false;
    if (!createdOnce_) {
        createdOnce_ = true;
        browser_->UseOwnerWindow(true);
        AttachNormalImageList();
        if (IsDesigning())
            RefreshContents();
        if (UseSystemStyles)
            ApplyExplorerTheme(window);
        ApplyBackgroundImage();
    } else {
        RejoinShellLink();
        AttachNormalImageList();
        ApplyBackgroundImage();
        Loaded();
        RefreshContents();
    }
}

void TZelShellList::WindowDestroying()
{
    headerSubclass_->Detach();
    DropProtocol().End();
    dragDrop_->Revoke();
    TListView::WindowDestroying();
}

void TZelShellList::HeaderCreated(HWND header)
{
    TListView::HeaderCreated(header);
    headerSubclass_->Attach(header, [this](TMessage& message) {
        HandleHeaderMessage(message);
        return true;
    });
}

void TZelShellList::HandleHeaderMessage(TMessage& message)
{
    headerSubclass_->DefaultHandler(message);
    if (message.Msg != WM_CAPTURECHANGED)
        return;
    try {
        DrawSortArrows();
    } catch (...) {
        HandleCallbackException(this);
    }
}

void TZelShellList::Loaded()
{
    TListView::Loaded();
    if (Items()->Count() == 0 && (!GetNoFillOnStartup() || IsDesigning())) {
        if (!loadingPath_.empty()) {
            const std::wstring path = std::move(loadingPath_);
            loadingPath_.clear();
            SetPath(path);
        } else {
            RefreshContents();
        }
    }
    if (useSystemFont_)
        SetUseSystemFont(true);
    // Writing the path has recorded the folder already, and so has every earlier creation of
    // the window: a visit is one entry.
    TOwnedIDList folder = browser_->FolderIDList();
    if (!navigatingHistory_ && folder &&
        !(history_.Current() != nullptr && SameIDLists(history_.Current(), folder)))
        history_.Push(std::move(folder));
}

void TZelShellList::AttachNormalImageList()
{
    SetLargeImages(thumbnails_ ? thumbnailImages_ : largeImages_);
}

void TZelShellList::WndProc(TMessage& message)
{
    if (InteractionMessage(message))
        return;
    TListView::WndProc(message);
    if (message.Msg == WM_CAPTURECHANGED)
        DrawSortArrows();
}

bool TZelShellList::Notify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        // Column texts are read with the first drawing that needs them.
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if ((info.item.mask & LVIF_TEXT) != 0 && info.item.iSubItem > 0 &&
            GetViewStyle() == vsReport)
            EnsureSubItems(Items()->Item(info.item.iItem));
        break;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        if (oleDragDrop_ && Selected() != nullptr) {
            StartOleDrag(header.code == LVN_BEGINDRAG ? MK_LBUTTON : MK_RBUTTON);
            return true;
        }
        break;
    case HDN_ENDTRACKW:
    case HDN_ENDDRAG: DrawSortArrows(); break;
    case LVN_ENDLABELEDITW: {
        // The list view's own handling takes the caption first; the object follows it.
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        TListItem* item = info.item.iItem >= 0 && info.item.iItem < Items()->Count()
                              ? Items()->Item(info.item.iItem)
                              : nullptr;
        const std::wstring oldCaption = item != nullptr ? item->Caption() : std::wstring();
        const bool handled = TListView::Notify(header, result);
        // An OnEdited handler may have taken the item out.
        if (item != nullptr && info.item.pszText != nullptr && info.item.iItem < Items()->Count() &&
            Items()->Item(info.item.iItem) == item)
            CaptionEdited(item, oldCaption);
        return handled;
    }
    default: break;
    }
    return TListView::Notify(header, result);
}

void TZelShellList::InfoTip(TListItem* item, std::wstring& text)
{
    if (ShowHint && RecordOf(item) != nullptr)
        text = ItemHint(item);
    TListView::InfoTip(item, text);
}
