// TZelShellList: what the list view shows. Texts, icons and marks of an item are computed when
// the list view first asks for them; icons, overlays and thumbnails come from the worker pool.
#include "controls/list/ShellList.h"

#include "controls/common/TestSeams.h"
#include "controls/list/ShellListReceiver.h"
#include "core/CallbackException.h"
#include "link/ShellLink.h"
#include "link/ZelSelectionList.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/SystemImageList.h"
#include "threadpool/SystemLoad.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

#include <algorithm>

namespace {

constexpr COLORREF kCompressedColor = RGB(0, 0, 255);
constexpr COLORREF kEncryptedColor = RGB(0, 128, 0);

// The picture on a thumbnail of the list's size, framed. A picture of another size keeps its
// place; what it does not cover shows the window colour. No DC holds the result.
TScopedGdiObject FramedThumbnail(TScopedGdiObject picture, int width, int height, COLORREF border)
{
    BITMAP info{};
    GetObjectW(picture.get(), sizeof(info), &info);
    const TScopedWindowDC screen;
    const TScopedMemoryDC target(CreateCompatibleDC(screen.get()));
    if (info.bmWidth != width || info.bmHeight != height) {
        TScopedGdiObject resized(CreateCompatibleBitmap(screen.get(), width, height));
        {
            const TScopedMemoryDC source(CreateCompatibleDC(screen.get()));
            const TSelectObjectScope selectTarget(target.get(), resized.get());
            const TSelectObjectScope selectSource(source.get(), picture.get());
            const RECT all{0, 0, width, height};
            FillRect(target.get(), &all, GetSysColorBrush(COLOR_WINDOW));
            BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
        }
        picture = std::move(resized);
    }
    const TSelectObjectScope selectPicture(target.get(), picture.get());
    const TScopedGdiObject pen(CreatePen(PS_SOLID, 1, border));
    const TSelectObjectScope selectPen(target.get(), pen.get());
    const TSelectObjectScope selectBrush(target.get(), GetStockObject(NULL_BRUSH));
    Rectangle(target.get(), 0, 0, width, height);
    return picture;
}

// Thumbnail requests in the pool at once: enough to keep every processor busy while the GUI
// thread applies a result, few enough that what is on screen now is asked for next.
int ThumbnailRequestLimit()
{
    return std::clamp(ProcessorCount() * 2, 2, 8);
}

}  // namespace

// ---- Texts ----

void TZelShellList::GetItemCaption(TListItem* item, std::wstring& caption)
{
    if (const TZelShellListItem* record = RecordOf(item)) {
        browser_->SetObjectIDList(record->IDList());
        caption = browser_->DisplayName();
    }
    TListView::GetItemCaption(item, caption);
}

std::wstring TZelShellList::ItemPath(TListItem* item)
{
    TZelShellListItem* record = RecordOf(item);
    if (record == nullptr)
        return {};
    if (record->FullPath.empty() && record->IDList() != nullptr) {
        const TOwnedIDList absolute = ConcatIDLists(FolderIDList(), record->IDList());
        record->FullPath = PathFromIDList(absolute);
    }
    return record->FullPath;
}

TBorrowedIDList TZelShellList::FolderIDList()
{
    if (!folderIDList_)
        folderIDList_ = browser_->FolderIDList();
    return folderIDList_;
}

// ---- Display fill ----

void TZelShellList::GetImageIndex(TListItem* item)
{
    if (item->ImageIndex() == -1 && RecordOf(item) != nullptr)
        FillDisplayData(item);
    else if (thumbnails_)
        thumbnailSlots_.Touch(item->ImageIndex());
    TListView::GetImageIndex(item);
}

void TZelShellList::QueueIconWork(TListItem* item, TBorrowedIDList absolute, BYTE kind)
{
    if (WorkerPool == nullptr || absolute == nullptr)
        return;
    const TComPtr<TShellListReceiver> receiver(
        new TShellListReceiver(resultLink_, WorkSequence(item), thumbnailGeneration_));
    const TComPtr<IWorkItem> work(
        new TIconWorkItem(CopyIDList(absolute), item, receiver.Get(), kind));
    if (WorkRequestHook && WorkRequestHook(work.Get(), static_cast<IIconViewer*>(receiver.Get())))
        return;
    WorkerPool->AddWorkItem(work.Get());
}

void TZelShellList::FillDisplayData(TListItem* item)
{
    TZelShellListItem* record = RecordOf(item);
    if (record == nullptr)
        return;
    const bool parent = record->IsParentFolder();
    browser_->SetObjectIDList(record->IDList());
    if (details_ && !parent && item->SubItemCount() == 0 && GetViewStyle() == vsReport)
        FillSubItems(item);
    const TOwnedIDList absolute =
        parent ? TOwnedIDList() : ConcatIDLists(FolderIDList(), record->IDList());

    if (GetViewStyle() != vsIcon || !thumbnails_) {
        if (parent || record->Folder) {
            item->SetImageIndex(TZelSystemImageList::FolderIndex(false));
        } else {
            // One look-up per file type; the object's own icon follows from the pool. The
            // name comes from the ID list itself: under Wine a path costs a walk of the folder.
            const std::wstring extension = UpperCase(ExtractFileExt(browser_->GetObjectName()));
            auto found = extensionIcons_.find(extension);
            if (found == extensionIcons_.end())
                found =
                    extensionIcons_
                        .emplace(extension,
                                 TZelSystemImageList::IndexOfExtension(extension, si_small, false))
                        .first;
            item->SetImageIndex(found->second);
        }
        if (!parent)
            QueueIconWork(item, absolute, kIconKindNormal);
    } else {
        QueueThumbnail(item, absolute);
    }

    if (parent)
        return;
    if (checkboxes_ && shellLink_ != nullptr)
        UpdateCheckState(item);
    if (showOverlayIcons_) {
        TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
        QueueIconWork(item, absolute, kIconKindOverlay);
        const ULONG attributes =
            browser_->GetAttributes(SFGAO_HIDDEN | SFGAO_COMPRESSED | SFGAO_ENCRYPTED);
        if ((attributes & SFGAO_HIDDEN) != 0)
            item->SetCut(true);
        record->Compressed = GetColorCompressed() && (attributes & SFGAO_COMPRESSED) != 0;
        record->Encrypted = GetColorEncrypted() && (attributes & SFGAO_ENCRYPTED) != 0;
    }
}

void TZelShellList::QueueThumbnail(TListItem* item, TBorrowedIDList absolute)
{
    TZelShellListItem* record = RecordOf(item);
    TScopedGdiObject placeholder = TZelSystemImageList::IconBitmap(
        largeSystemImages_->Handle(), thumbnailHeight_, thumbnailWidth_, thumbnailBorderColor_,
        browser_->ImageIndex());
    if (!placeholder) {
        item->SetImageIndex(I_IMAGENONE);
        return;
    }
    const uint32_t sequence = WorkSequence(item);
    const int imageIndex = LendThumbnailSlot(sequence);
    if (imageIndex >= 0) {
        HBITMAP bitmap = static_cast<HBITMAP>(placeholder.get());
        if (OnThumbnailUpdated) {
            CallEventHandler(OnThumbnailUpdated, this, imageIndex, bitmap);
            if (bitmap != placeholder.get())
                placeholder.reset(bitmap);
        }
        if (bitmap != nullptr)
            thumbnailImages_->Replace(imageIndex, bitmap, nullptr);
    }
    item->SetImageIndex(imageIndex >= 0 ? imageIndex : I_IMAGENONE);
    if (imageIndex < 0 || record->IsParentFolder() || WorkerPool == nullptr || absolute == nullptr)
        return;
    // Made now, while the browser stands on the object: the request may go out from a result
    // handler, which must not move the browser.
    const TComPtr<TShellListReceiver> receiver(
        new TShellListReceiver(resultLink_, sequence, thumbnailGeneration_));
    const TComPtr<TThumbnailWorkItem> work(
        new TThumbnailWorkItem(absolute, item, imageIndex, receiver.Get(),
                               thumbnailImages_->Height(), thumbnailImages_->Width()));
    const std::wstring folder = browser_->GetFolder();
    if (!folder.empty() && !record->Folder)
        work->SetPath(folder + browser_->GetObjectName());
    if (wantedThumbnails_.size() <= static_cast<size_t>(imageIndex))
        wantedThumbnails_.resize(static_cast<size_t>(imageIndex) + 1);
    wantedThumbnails_[static_cast<size_t>(imageIndex)] = {work, receiver};
    thumbnailSlots_.Want(imageIndex);
    AskForThumbnails();
}

int TZelShellList::LendThumbnailSlot(uint32_t sequence)
{
    const TThumbnailSlots::TLease lease = thumbnailSlots_.Lend(sequence);
    if (lease.evicted != 0) {
        // Drawn least recently, so off screen: it asks again when it is drawn again.
        const auto evicted = workTargets_.find(lease.evicted);
        if (evicted != workTargets_.end() && evicted->second->ImageIndex() == lease.slot)
            evicted->second->SetImageIndex(-1);
    }
    const int count = thumbnailImages_->Count();
    if (lease.slot >= count) {
        // Grown in doubling steps: an image list copies all its images whenever it grows.
        const int grown =
            std::min(thumbnailSlots_.Capacity(), std::max({lease.slot + 1, count * 2, 64}));
        if (!ImageList_SetImageCount(thumbnailImages_->Handle(), static_cast<UINT>(grown))) {
            thumbnailSlots_.Release(sequence);
            return -1;
        }
    }
    return lease.slot;
}

void TZelShellList::AskForThumbnails()
{
    if (WorkerPool == nullptr)
        return;
    std::vector<uint32_t> dropped;
    const int limit = ThumbnailRequestLimit();
    while (thumbnailSlots_.InFlight() < limit) {
        const int slot = thumbnailSlots_.TakeWanted(
            [this](uint32_t sequence) { return ItemOnScreen(sequence); }, dropped);
        if (slot < 0)
            break;
        SendThumbnailRequest(slot);
    }
    for (const uint32_t sequence : dropped) {
        const auto target = workTargets_.find(sequence);
        if (target != workTargets_.end() && target->second->ImageIndex() >= 0)
            target->second->SetImageIndex(-1);
    }
}

void TZelShellList::SendThumbnailRequest(int imageIndex)
{
    TThumbnailRequest request;
    if (static_cast<size_t>(imageIndex) < wantedThumbnails_.size())
        std::swap(request, wantedThumbnails_[static_cast<size_t>(imageIndex)]);
    if (!request.work) {
        thumbnailSlots_.Finished(imageIndex);
        return;
    }
    if (WorkRequestHook && WorkRequestHook(request.work.Get(), request.receiver.Get()))
        return;
    WorkerPool->AddWorkItem(request.work.Get());
}

bool TZelShellList::ItemOnScreen(uint32_t sequence)
{
    const auto target = workTargets_.find(sequence);
    const HWND window = WindowHandle();
    if (target == workTargets_.end() || window == nullptr || !IsWindowVisible(window))
        return false;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(target->second->Index()),
                     reinterpret_cast<LPARAM>(&bounds)) == 0)
        return false;
    RECT client{};
    RECT common{};
    GetClientRect(window, &client);
    return IntersectRect(&common, &bounds, &client) != FALSE;
}

bool TZelShellList::ThumbnailPending(const TListItem* item) const
{
    const TZelShellListItem* record = RecordOf(item);
    return record != nullptr && thumbnails_ &&
           thumbnailSlots_.Awaited(item->ImageIndex(), record->Sequence);
}

void TZelShellList::UpdateCheckState(TListItem* item)
{
    const TZelShellListItem* record = RecordOf(item);
    if (shellLink_ == nullptr || record == nullptr || record->IsParentFolder())
        return;
    const TOwnedIDList absolute = ConcatIDLists(FolderIDList(), record->IDList());
    item->SetStateIndex(shellLink_->SelectionList()->StateOfIDList(absolute));
}

// ---- Results from the pool ----

void STDMETHODCALLTYPE TZelShellList::SetImage(int index, BYTE kind, TWorkItemOwner owner)
{
    try {
        // Only an item in the list now: the pointer is compared, never followed, until found.
        for (int position = 0; position < Items()->Count(); ++position)
            if (Items()->Item(position) == owner) {
                ApplyIcon(Items()->Item(position), index, kind);
                return;
            }
    } catch (...) {
    }
}

void TZelShellList::IconResult(uint32_t item, int index, BYTE kind)
{
    const auto target = workTargets_.find(item);
    if (target != workTargets_.end())
        ApplyIcon(target->second, index, kind);
}

void TZelShellList::ApplyIcon(TListItem* item, int index, BYTE kind)
{
    if (WindowHandle() == nullptr)
        return;
    SelectDroppedFiles();
    if (index < 0)
        return;
    if (kind == kIconKindNormal && item->ImageIndex() != index)
        item->SetImageIndex(index);
    else if (kind == kIconKindOverlay && item->OverlayIndex() != index)
        item->SetOverlayIndex(index);
}

void TZelShellList::SelectDroppedFiles()
{
    if (droppedFiles_.empty())
        return;
    for (int index = 0; index < Items()->Count() && !droppedFiles_.empty(); ++index) {
        TListItem* item = Items()->Item(index);
        const std::wstring name = ExtractFileName(ItemPath(item));
        for (auto file = droppedFiles_.begin(); file != droppedFiles_.end(); ++file)
            if (SameText(ExtractFileName(*file), name)) {
                item->SetSelected(true);
                droppedFiles_.erase(file);
                break;
            }
    }
    droppedFiles_.clear();
}

void STDMETHODCALLTYPE TZelShellList::SetThumbnail(HBITMAP bitmap, int imageIndex)
{
    // The bitmap is the list's from here on, used or not.
    TScopedGdiObject owned(bitmap);
    try {
        if (const uint32_t item = thumbnailSlots_.OwnerOf(imageIndex))
            ThumbnailResult(item, thumbnailGeneration_, static_cast<HBITMAP>(owned.release()),
                            imageIndex);
    } catch (...) {
        HandleCallbackException(this);
    }
}

// Lands only on the image it was asked for, while its item still shows it: an image list
// emptied meanwhile gives its indexes to other items.
void TZelShellList::ThumbnailResult(uint32_t item, uint32_t generation, HBITMAP bitmap,
                                    int imageIndex)
{
    TScopedGdiObject owned(bitmap);
    if (generation != thumbnailGeneration_ || !thumbnailSlots_.Awaited(imageIndex, item))
        return;
    thumbnailSlots_.Finished(imageIndex);
    // The next picture is on its way before this one is drawn.
    AskForThumbnails();
    const auto target = workTargets_.find(item);
    if (target == workTargets_.end() || target->second->ImageIndex() != imageIndex)
        return;
    if (bitmap == nullptr || imageIndex < 0 || imageIndex >= thumbnailImages_->Count())
        return;
    ApplyThumbnail(static_cast<HBITMAP>(owned.release()), imageIndex);
}

void TZelShellList::ForgetThumbnails()
{
    if (WorkerPool != nullptr)
        for (const auto& [sequence, item] : workTargets_)
            WorkerPool->CancelWorkItemsOf<TThumbnailWorkItem>(item);
    thumbnailSlots_.Reset(TThumbnailSlots::CapacityFor(thumbnailWidth_, thumbnailHeight_));
    wantedThumbnails_.clear();
    ++thumbnailGeneration_;
    thumbnailImages_->Clear();
}

void TZelShellList::ApplyThumbnail(HBITMAP bitmap, int imageIndex)
{
    TScopedGdiObject owned(bitmap);
    const int width = thumbnailImages_->Width();
    const int height = thumbnailImages_->Height();
    {
        applyingThumbnail_ = true;
        const TScopeExit applied([this] { applyingThumbnail_ = false; });
        owned = FramedThumbnail(std::move(owned), width, height, thumbnailBorderColor_);
        HBITMAP handed = static_cast<HBITMAP>(owned.get());
        if (OnThumbnailUpdated) {
            CallEventHandler(OnThumbnailUpdated, this, imageIndex, handed);
            if (handed != owned.get())
                owned.reset(handed);
        }
        if (handed != nullptr)
            thumbnailImages_->Replace(imageIndex, handed, nullptr);
    }
    Invalidate();
}

// ---- Drawing ----

void TZelShellList::CustomDrawItem(TListItem* item, TListViewDraw& draw, bool& defaultDraw)
{
    try {
        if (const TZelShellListItem* record = RecordOf(item)) {
            if (GetColorCompressed() && record->Compressed)
                draw.TextColor = kCompressedColor;
            if (GetColorEncrypted() && record->Encrypted)
                draw.TextColor = kEncryptedColor;
        }
    } catch (...) {
    }
    TListView::CustomDrawItem(item, draw, defaultDraw);
}

std::wstring TZelShellList::ItemHint(TListItem* item)
{
    const TZelShellListItem* record = RecordOf(item);
    if (record == nullptr)
        return {};
    if (record->IsParentFolder())
        return GetPath();
    browser_->SetObjectIDList(record->IDList());
    return browser_->InfoTip(true);
}

// ---- Background picture ----

void TZelShellList::SetBackgroundImage(HBITMAP bitmap)
{
    backgroundImage_.reset(bitmap != nullptr ? CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0) : nullptr);
    ApplyBackgroundImage();
}

void TZelShellList::SetBackgroundImageStyle(TZelBackgroundImageStyle value)
{
    backgroundStyle_ = value;
    ApplyBackgroundImage();
}

// The list view is given its own copy of the bitmap, which it frees. (The file route of older
// list views loads the picture asynchronously, and Wine's list view reads only bitmaps.)
void TZelShellList::ApplyBackgroundImage()
{
    const HWND window = WindowHandle();
    if (window == nullptr)
        return;
    BITMAP info{};
    const bool usable = backgroundImage_ &&
                        GetObjectW(backgroundImage_.get(), sizeof(info), &info) != 0 &&
                        info.bmWidth >= 1;
    LVBKIMAGEW image{};
    if (!usable) {
        image.ulFlags = LVBKIF_SOURCE_NONE;
        SendMessageW(window, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image));
        ListView_SetTextBkColor(window, CLR_NONE);
        return;
    }
    image.ulFlags = LVBKIF_SOURCE_HBITMAP;
    image.hbm = static_cast<HBITMAP>(CopyImage(backgroundImage_.get(), IMAGE_BITMAP, 0, 0, 0));
    switch (backgroundStyle_) {
    case bisLeftTop:
        image.xOffsetPercent = 0;
        image.yOffsetPercent = 0;
        break;
    case bisRightBottom:
        image.xOffsetPercent = 100;
        image.yOffsetPercent = 100;
        break;
    case bisTiled: image.ulFlags |= LVBKIF_STYLE_TILE; break;
    }
    if (!SendMessageW(window, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
        DeleteObject(image.hbm);
    ListView_SetTextBkColor(window, CLR_NONE);
}

// ---- View style and thumbnails ----

void TZelShellList::SetViewStyle(TViewStyle value)
{
    TListView::SetViewStyle(value);
    {
        suppressRefill_ = true;
        const TScopeExit refillAllowed([this] { suppressRefill_ = false; });
        if (!IsLoading()) {
            DrawSortArrows();
            SetThumbnails(false);
        } else if (value != vsIcon) {
            SetThumbnails(false);
        }
    }
    if (createdOnce_)
        Refill();
}

void TZelShellList::SetThumbnails(bool value)
{
    if (value == thumbnails_)
        return;
    if (value) {
        if (GetViewStyle() != vsIcon) {
            TListView::SetViewStyle(vsIcon);
            if (!IsLoading())
                DrawSortArrows();
        }
    }
    thumbnails_ = value;
    AttachNormalImageList();
    if (!suppressRefill_)
        Refill();
}

void TZelShellList::ResetThumbnailImages()
{
    if (applyingThumbnail_)
        return;
    AttachNormalImageList();
    for (int index = 0; index < Items()->Count(); ++index)
        Items()->Item(index)->SetImageIndex(-1);
    Invalidate();
}

// A new size or frame colour makes every picture, placeholders included, out of date.
void TZelShellList::ThumbnailLookChanged()
{
    ForgetThumbnails();
    ResetThumbnailImages();
}

void TZelShellList::SetThumbnailWidth(int value)
{
    thumbnailWidth_ = value;
    thumbnailImages_->SetSize(thumbnailWidth_, thumbnailHeight_);
    ThumbnailLookChanged();
}

void TZelShellList::SetThumbnailHeight(int value)
{
    thumbnailHeight_ = value;
    thumbnailImages_->SetSize(thumbnailWidth_, thumbnailHeight_);
    ThumbnailLookChanged();
}

void TZelShellList::SetThumbnailBorderColor(COLORREF value)
{
    thumbnailBorderColor_ = value;
    ThumbnailLookChanged();
}
