#pragma once
// Image lists: a component over a system image list that it either owns or only shares (a
// list that belongs to someone else, such as the system's icon list, is used and never freed
// or resized). Controls that show a list keep a change link to hear when its images or its
// handle change.
#include "core/Component.h"
#include "core/ScopedResource.h"

#include <commctrl.h>

#include <functional>
#include <vector>

class TCustomImageList;

// A control's tie to an image list: OnChange runs after the list changed.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const noexcept { return sender_; }
    std::function<void()> OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
public:
    // A 16 by 16, masked, 32-bit list.
    explicit TCustomImageList(TComponent* owner);
    TCustomImageList(TComponent* owner, int width, int height);
    ~TCustomImageList() override;

    // The system list, made empty when there is none yet.
    HIMAGELIST Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    // Uses another list from now on; it is freed with this one unless ShareImages is on.
    void SetHandle(HIMAGELIST handle);
    // Attaches a list that belongs to someone else (ShareImages on).
    void AttachShared(HIMAGELIST handle);
    bool ShareImages() const noexcept { return shareImages_; }
    void SetShareImages(bool share) noexcept { shareImages_ = share; }

    int Width() const;
    int Height() const;
    // Empties the list. A shared list is left alone: this one then makes its own.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    bool Masked() const noexcept { return masked_; }
    void SetMasked(bool masked);
    // ILC_COLOR4 ... ILC_COLOR32; a change makes a new, empty list.
    UINT ColorDepth() const noexcept { return colorDepth_; }
    void SetColorDepth(UINT colorDepth);
    // How many images the list grows by.
    int AllocBy = 4;

    int Count() const;
    // Index of the new image, -1 when it could not be added. The bitmaps stay the caller's.
    int Add(HBITMAP image, HBITMAP mask);
    int AddMasked(HBITMAP image, COLORREF maskColor);
    int AddIcon(HICON icon);
    bool Replace(int index, HBITMAP image, HBITMAP mask);
    bool Delete(int index);
    void Clear();
    bool Draw(HDC dc, int x, int y, int index, UINT style = ILD_NORMAL) const;
    TScopedIcon GetIcon(int index, UINT style = ILD_NORMAL) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    // Tells the links and OnChange; the editing methods call it.
    void Change();

    TNotifyEvent OnChange;

private:
    void Recreate(int width, int height);
    void FreeHandle();

    HIMAGELIST handle_ = nullptr;
    bool shareImages_ = false;
    int width_;
    int height_;
    bool masked_ = true;
    UINT colorDepth_ = ILC_COLOR32;
    std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};
