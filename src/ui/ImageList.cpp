#include "ui/ImageList.h"

#include <algorithm>

TChangeLink::~TChangeLink()
{
    if (sender_ != nullptr)
        sender_->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TCustomImageList(owner, 16, 16) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height)
{
}

TCustomImageList::~TCustomImageList()
{
    for (TChangeLink* link : links_)
        link->sender_ = nullptr;
    links_.clear();
    FreeHandle();
}

void TCustomImageList::FreeHandle()
{
    if (handle_ != nullptr && !shareImages_)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle()
{
    if (handle_ == nullptr) {
        handle_ = ImageList_Create(width_, height_, colorDepth_ | (masked_ ? ILC_MASK : 0), 0,
                                   std::max(AllocBy, 1));
        shareImages_ = false;
    }
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST handle)
{
    if (handle == handle_)
        return;
    FreeHandle();
    handle_ = handle;
    if (handle_ != nullptr) {
        int width = 0;
        int height = 0;
        if (ImageList_GetIconSize(handle_, &width, &height)) {
            width_ = width;
            height_ = height;
        }
    }
    Change();
}

void TCustomImageList::AttachShared(HIMAGELIST handle)
{
    FreeHandle();
    shareImages_ = true;
    SetHandle(handle);
}

int TCustomImageList::Width() const
{
    return width_;
}

int TCustomImageList::Height() const
{
    return height_;
}

void TCustomImageList::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    if (width == width_ && height == height_) {
        Clear();
        return;
    }
    if (handle_ != nullptr && !shareImages_ && ImageList_SetIconSize(handle_, width, height)) {
        width_ = width;
        height_ = height;
        Change();
        return;
    }
    Recreate(width, height);
}

void TCustomImageList::Recreate(int width, int height)
{
    const bool hadHandle = handle_ != nullptr;
    FreeHandle();
    shareImages_ = false;
    width_ = width;
    height_ = height;
    if (hadHandle)
        Handle();
    Change();
}

void TCustomImageList::SetMasked(bool masked)
{
    if (masked == masked_)
        return;
    masked_ = masked;
    Recreate(width_, height_);
}

void TCustomImageList::SetColorDepth(UINT colorDepth)
{
    if (colorDepth == colorDepth_)
        return;
    colorDepth_ = colorDepth;
    Recreate(width_, height_);
}

int TCustomImageList::Count() const
{
    return handle_ != nullptr ? ImageList_GetImageCount(handle_) : 0;
}

int TCustomImageList::Add(HBITMAP image, HBITMAP mask)
{
    const int index = ImageList_Add(Handle(), image, masked_ ? mask : nullptr);
    if (index >= 0)
        Change();
    return index;
}

int TCustomImageList::AddMasked(HBITMAP image, COLORREF maskColor)
{
    const int index = ImageList_AddMasked(Handle(), image, maskColor);
    if (index >= 0)
        Change();
    return index;
}

int TCustomImageList::AddIcon(HICON icon)
{
    const int index = ImageList_AddIcon(Handle(), icon);
    if (index >= 0)
        Change();
    return index;
}

bool TCustomImageList::Replace(int index, HBITMAP image, HBITMAP mask)
{
    if (index < 0 || index >= Count())
        return false;
    const bool done = ImageList_Replace(handle_, index, image, masked_ ? mask : nullptr) != FALSE;
    if (done)
        Change();
    return done;
}

bool TCustomImageList::Delete(int index)
{
    if (index < 0 || index >= Count() || shareImages_)
        return false;
    const bool done = ImageList_Remove(handle_, index) != FALSE;
    if (done)
        Change();
    return done;
}

void TCustomImageList::Clear()
{
    if (handle_ == nullptr)
        return;
    if (shareImages_) {
        // Never empty a list that belongs to someone else: start an own one instead.
        Recreate(width_, height_);
        return;
    }
    ImageList_Remove(handle_, -1);
    Change();
}

bool TCustomImageList::Draw(HDC dc, int x, int y, int index, UINT style) const
{
    if (handle_ == nullptr || index < 0 || index >= Count())
        return false;
    return ImageList_Draw(handle_, index, dc, x, y, style) != FALSE;
}

TScopedIcon TCustomImageList::GetIcon(int index, UINT style) const
{
    if (handle_ == nullptr || index < 0 || index >= Count())
        return TScopedIcon();
    return TScopedIcon(ImageList_GetIcon(handle_, index, style));
}

void TCustomImageList::RegisterChanges(TChangeLink* link)
{
    if (link == nullptr)
        return;
    if (link->sender_ != nullptr && link->sender_ != this)
        link->sender_->UnRegisterChanges(link);
    link->sender_ = this;
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link)
{
    if (link == nullptr)
        return;
    std::erase(links_, link);
    if (link->sender_ == this)
        link->sender_ = nullptr;
}

void TCustomImageList::Change()
{
    const auto links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange)
            link->OnChange();
    if (OnChange)
        OnChange(this);
}
