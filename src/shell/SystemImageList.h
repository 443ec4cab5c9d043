#pragma once
// An image list bound to the system's icon list, and the class-level lookups of system icon
// indexes (small and large system lists share their indexes).
#include "core/Component.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"

#include <commctrl.h>

#include <string>

enum TZelImageListSize { si_small, si_large };
enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TZelSystemImageList : public TComponent {
public:
    // "No colour": no frame for IconBitmap, no background for Draw.
    static constexpr COLORREF kColorNone = 0x1FFFFFFF;

    explicit TZelSystemImageList(TComponent* owner);
    ~TZelSystemImageList() override;

    // The bound list: the system's own with ShareImages (never destroyed here), otherwise a
    // copy that this component owns.
    HIMAGELIST Handle() const noexcept { return handle_; }
    bool OwnsHandle() const noexcept { return ownsHandle_; }
    int Width() const;
    int Height() const;
    int Count() const;

    bool GetShareImages() const noexcept { return shareImages_; }
    void SetShareImages(bool value);
    TZelImageListSize GetSize() const noexcept { return size_; }
    void SetSize(TZelImageListSize value);
    TDrawingStyle GetDrawingStyle() const noexcept { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle value);
    // Used when this component draws; never applied to the shared system list, whose look
    // belongs to the whole process.
    COLORREF GetBkColor() const noexcept { return bkColor_; }
    void SetBkColor(COLORREF value);

    TNotifyEvent OnChange;

    // Draws image `index` with the drawing style and background colour; false on failure.
    bool Draw(HDC dc, int x, int y, int index) const;

    // The system image list of the size; null when the shell does not give one.
    static HIMAGELIST SystemImageList(TZelImageListSize size);

    // Icon index of an absolute ID list; -1 on failure.
    static int IndexOfIDList(TBorrowedIDList list, TZelImageListSize size, bool open);
    // Icon index of a path; with `asTypeOnly` the path need not exist (its name alone
    // decides). -1 on failure.
    static int IndexOfPath(const std::wstring& path, TZelImageListSize size, bool asTypeOnly,
                           bool open);
    // Icon of a file type: "txt" and ".txt" alike; "" gives the icon of a name without one.
    static int IndexOfExtension(const std::wstring& extension, TZelImageListSize size, bool open);
    // The small icon of a plain folder, computed once per process; later calls return the
    // cached value whatever `open` says.
    static int FolderIndex(bool open);
    // A folder icon for a folder, server or share name; the icon of the type otherwise.
    static int IndexOfMissingFile(const std::wstring& path, TZelImageListSize size, bool open);
    // The icon of the real path, or IndexOfMissingFile when it has none.
    static int IndexOfFile(const std::wstring& path, TZelImageListSize size, bool open);

    // A new width x height bitmap with image `index` of the list centred on it, framed with a
    // one-pixel rectangle inset by one pixel unless `frameColor` is kColorNone. On Vista or
    // later it is a 32-bit top-down DIB whose background is transparent white. Null on failure.
    static TScopedGdiObject IconBitmap(HIMAGELIST imageList, int height, int width,
                                       COLORREF frameColor, int index);
    // On Vista or later: replaces `imageList` (a list the caller owns, or null) by a new empty
    // 32-bit masked list of the same image size growing by `growBy`, and destroys the old one.
    // Throws EInvalidOperation "invalid imagelist" when no list can be made (`imageList` is
    // then unchanged). Does nothing on earlier systems.
    static void MakeImageList32(HIMAGELIST& imageList, int growBy = 4);

protected:
    void Loaded() override;

private:
    void BindHandle();
    void DetachHandle() noexcept;
    void Change();

    HIMAGELIST handle_ = nullptr;
    bool ownsHandle_ = false;
    bool shareImages_ = true;
    TZelImageListSize size_ = si_small;
    TDrawingStyle drawingStyle_ = dsNormal;
    COLORREF bkColor_ = 0xFFFFFF;
};

// Starts the shell's icon lists on a thread of their own: their first use costs tens of
// milliseconds (the shell loads its standard icons), which a program can spend making its
// windows meanwhile; whoever needs the lists first waits for the shell to finish them. The
// scope's end waits for the thread.
class TSystemImageListWarmUp {
public:
    TSystemImageListWarmUp();
    ~TSystemImageListWarmUp();
    TSystemImageListWarmUp(const TSystemImageListWarmUp&) = delete;
    TSystemImageListWarmUp& operator=(const TSystemImageListWarmUp&) = delete;

private:
    TScopedHandle thread_;
};
