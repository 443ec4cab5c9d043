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
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

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
    const int imageIndex = thumbnailImages_->Add(static_cast<HBITMAP>(placeholder.get()), nullptr);
    if (imageIndex >= 0 && OnThumbnailUpdated) {
        HBITMAP bitmap = static_cast<HBITMAP>(placeholder.get());
        CallEventHandler(OnThumbnailUpdated, this, imageIndex, bitmap);
        if (bitmap != placeholder.get())
            placeholder.reset(bitmap);
        if (bitmap != nullptr)
            thumbnailImages_->Replace(imageIndex, bitmap, nullptr);
    }
    BITMAP size{};
    if (placeholder)
        GetObjectW(placeholder.get(), sizeof(size), &size);
    item->SetImageIndex(imageIndex >= 0 ? imageIndex : I_IMAGENONE);
    if (imageIndex < 0 || record->IsParentFolder() || WorkerPool == nullptr || absolute == nullptr)
        return;
    const uint32_t sequence = WorkSequence(item);
    const TComPtr<TShellListReceiver> receiver(
        new TShellListReceiver(resultLink_, sequence, thumbnailGeneration_));
    const TComPtr<IWorkItem> work(new TThumbnailWorkItem(absolute, item, imageIndex, receiver.Get(),
                                                         size.bmHeight, size.bmWidth));
    thumbnailTargets_[imageIndex] = sequence;
    if (WorkRequestHook &&
        WorkRequestHook(work.Get(), static_cast<IThumbnailViewer*>(receiver.Get())))
        return;
    WorkerPool->AddWorkItem(work.Get());
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
        const auto target = thumbnailTargets_.find(imageIndex);
        if (target != thumbnailTargets_.end())
            ThumbnailResult(target->second, thumbnailGeneration_,
                            static_cast<HBITMAP>(owned.release()), imageIndex);
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
    if (generation != thumbnailGeneration_)
        return;
    const auto awaited = thumbnailTargets_.find(imageIndex);
    if (awaited == thumbnailTargets_.end() || awaited->second != item)
        return;
    thumbnailTargets_.erase(awaited);
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
    thumbnailTargets_.clear();
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
