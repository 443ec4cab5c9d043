#include "shell/SystemImageList.h"

#include "core/Exception.h"
#include "core/TextConversion.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

// Cached small icon of a plain folder; -1 until the first successful lookup.
std::atomic<int> folderIndexCache{-1};

UINT SizeFlags(TZelImageListSize size, bool open)
{
    UINT flags = SHGFI_SYSICONINDEX;
    if (size == si_small)
        flags |= SHGFI_SMALLICON;
    if (open)
        flags |= SHGFI_OPENICON;
    return flags;
}

UINT DrawingStyleFlags(TDrawingStyle style)
{
    switch (style) {
    case dsFocus: return ILD_FOCUS;
    case dsSelected: return ILD_SELECTED;
    case dsTransparent: return ILD_TRANSPARENT;
    case dsNormal: break;
    }
    return ILD_NORMAL;
}

// The frame goes straight into the pixels with full alpha: GDI drawing leaves alpha at zero,
// which a 32-bit image list would show as fully transparent.
void DrawOpaqueFrame(DWORD* pixels, int width, int height, COLORREF color)
{
    const int right = width - 2, bottom = height - 2;
    if (right < 1 || bottom < 1)
        return;
    const DWORD pixel =
        0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int x = 1; x <= right; ++x) {
        pixels[1 * width + x] = pixel;
        pixels[bottom * width + x] = pixel;
    }
    for (int y = 1; y <= bottom; ++y) {
        pixels[y * width + 1] = pixel;
        pixels[y * width + right] = pixel;
    }
}

void DrawGdiFrame(HDC dc, int width, int height, COLORREF color)
{
    TScopedGdiObject pen(CreatePen(PS_SOLID, 1, color & 0xFFFFFF));
    if (!pen)
        return;
    TSelectObjectScope selectPen(dc, pen.get());
    TSelectObjectScope selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 1, 1, width - 1, height - 1);
}

}  // namespace

TZelSystemImageList::TZelSystemImageList(TComponent* owner) : TComponent(owner)
{
    BindHandle();
}

TZelSystemImageList::~TZelSystemImageList()
{
    DetachHandle();
}

int TZelSystemImageList::Width() const
{
    int width = 0, height = 0;
    return handle_ != nullptr && ImageList_GetIconSize(handle_, &width, &height) ? width : 0;
}

int TZelSystemImageList::Height() const
{
    int width = 0, height = 0;
    return handle_ != nullptr && ImageList_GetIconSize(handle_, &width, &height) ? height : 0;
}

int TZelSystemImageList::Count() const
{
    return handle_ != nullptr ? ImageList_GetImageCount(handle_) : 0;
}

void TZelSystemImageList::SetShareImages(bool value)
{
    DetachHandle();
    shareImages_ = value;
    BindHandle();
}

void TZelSystemImageList::SetSize(TZelImageListSize value)
{
    size_ = value;
    BindHandle();
}

void TZelSystemImageList::SetDrawingStyle(TDrawingStyle value)
{
    if (drawingStyle_ == value)
        return;
    drawingStyle_ = value;
    Change();
}

void TZelSystemImageList::SetBkColor(COLORREF value)
{
    if (bkColor_ == value)
        return;
    bkColor_ = value;
    Change();
}

bool TZelSystemImageList::Draw(HDC dc, int x, int y, int index) const
{
    if (handle_ == nullptr || index < 0)
        return false;
    const COLORREF background = bkColor_ == kColorNone ? CLR_NONE : bkColor_ & 0xFFFFFF;
    return ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, background, CLR_DEFAULT,
                            DrawingStyleFlags(drawingStyle_)) != FALSE;
}

void TZelSystemImageList::Loaded()
{
    TComponent::Loaded();
    BindHandle();
}

void TZelSystemImageList::BindHandle()
{
    // Stored properties arrive one by one while loading; Loaded binds once at the end.
    if (IsLoading())
        return;
    HIMAGELIST system = SystemImageList(size_);
    HIMAGELIST bound = system;
    bool owns = false;
    if (system != nullptr && !shareImages_ && !IsDesigning()) {
        bound = ImageList_Duplicate(system);
        owns = bound != nullptr;
    }
    DetachHandle();
    handle_ = bound;
    ownsHandle_ = owns;
    Change();
}

void TZelSystemImageList::DetachHandle() noexcept
{
    if (ownsHandle_ && handle_ != nullptr)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
    ownsHandle_ = false;
}

void TZelSystemImageList::Change()
{
    if (OnChange)
        OnChange(this);
}

HIMAGELIST TZelSystemImageList::SystemImageList(TZelImageListSize size)
{
    const std::string root = WideToNarrow(WindowsRootPath.empty() ? L"C:\\" : WindowsRootPath);
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(root.c_str(), 0, &info, sizeof(info), SizeFlags(size, false)));
}

int TZelSystemImageList::IndexOfIDList(TBorrowedIDList list, TZelImageListSize size, bool open)
{
    if (list == nullptr)
        return -1;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    SHFILEINFOA info{};
    if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof(info),
                       SizeFlags(size, open) | SHGFI_PIDL) == 0)
        return -1;
    return info.iIcon;
}

int TZelSystemImageList::IndexOfPath(const std::wstring& path, TZelImageListSize size,
                                     bool asTypeOnly, bool open)
{
    if (path.empty())
        return -1;
    UINT flags = SizeFlags(size, open);
    DWORD attributes = 0;
    if (asTypeOnly) {
        flags |= SHGFI_USEFILEATTRIBUTES;
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    if (IsNT) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags) == 0)
            return -1;
        return info.iIcon;
    }
    SHFILEINFOA info{};
    if (SHGetFileInfoA(WideToNarrow(path).c_str(), attributes, &info, sizeof(info), flags) == 0)
        return -1;
    return info.iIcon;
}

int TZelSystemImageList::IndexOfExtension(const std::wstring& extension, TZelImageListSize size,
                                          bool open)
{
    std::wstring probe = WindowsRootPath + L"test";
    if (!extension.empty()) {
        if (extension.front() != L'.')
            probe += L'.';
        probe += extension;
    }
    return IndexOfPath(probe, size, true, open);
}

int TZelSystemImageList::FolderIndex(bool open)
{
    const int cached = folderIndexCache.load();
    if (cached != -1)
        return cached;
    const std::wstring temp = TempDirectory();
    const std::wstring folder = !temp.empty() && PathExists(temp) ? temp : WindowsDirectory();
    const int index = IndexOfPath(folder, si_small, false, open);
    folderIndexCache.store(index);
    return index;
}

int TZelSystemImageList::IndexOfMissingFile(const std::wstring& path, TZelImageListSize size,
                                            bool open)
{
    const bool folderLike =
        !path.empty() &&
        (path.back() == L'\\' ||
         (path.front() == L'\\' && std::count(path.begin(), path.end(), L'\\') <= 3));
    if (folderLike)
        return FolderIndex(open);
    return IndexOfExtension(ExtractFileExt(path), size, open);
}

int TZelSystemImageList::IndexOfFile(const std::wstring& path, TZelImageListSize size, bool open)
{
    const int index = IndexOfPath(path, size, false, false);
    if (index >= 0)
        return index;
    return IndexOfMissingFile(path, size, open);
}

TScopedGdiObject TZelSystemImageList::IconBitmap(HIMAGELIST imageList, int height, int width,
                                                 COLORREF frameColor, int index)
{
    if (width <= 0 || height <= 0)
        return {};
    try {
        TScopedMemoryDC dc(CreateCompatibleDC(nullptr));
        if (!dc)
            return {};
        TScopedGdiObject bitmap;
        DWORD* pixels = nullptr;
        if (IsVistaOrLater) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;  // top-down
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!bitmap || bits == nullptr)
                return {};
            pixels = static_cast<DWORD*>(bits);
            // White with zero alpha: the background stays see-through in a 32-bit list.
            std::fill_n(pixels, static_cast<size_t>(width) * static_cast<size_t>(height),
                        0x00FFFFFFu);
        } else {
            const TScopedWindowDC screen;
            bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
            if (!bitmap)
                return {};
        }
        {
            TSelectObjectScope select(dc.get(), bitmap.get());
            if (pixels == nullptr)
                PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
            int iconWidth = 0, iconHeight = 0;
            if (imageList != nullptr && index >= 0 &&
                ImageList_GetIconSize(imageList, &iconWidth, &iconHeight))
                ImageList_Draw(imageList, index, dc.get(), (width - iconWidth) / 2,
                               (height - iconHeight) / 2, ILD_TRANSPARENT);
            if (frameColor != kColorNone && pixels == nullptr)
                DrawGdiFrame(dc.get(), width, height, frameColor);
            GdiFlush();
        }
        if (frameColor != kColorNone && pixels != nullptr)
            DrawOpaqueFrame(pixels, width, height, frameColor);
        return bitmap;
    } catch (...) {
        return {};
    }
}

void TZelSystemImageList::MakeImageList32(HIMAGELIST& imageList, int growBy)
{
    if (!IsVistaOrLater)
        return;
    int width = 16, height = 16;
    if (imageList != nullptr)
        ImageList_GetIconSize(imageList, &width, &height);
    const int grow = std::max(growBy, 1);
    HIMAGELIST created = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, grow, grow);
    if (created == nullptr)
        throw EInvalidOperation(L"invalid imagelist");
    if (imageList != nullptr)
        ImageList_Destroy(imageList);
    imageList = created;
}

namespace {

// The same request the first image list makes, so that the icon it asks for is there too.
DWORD WINAPI WarmUpSystemImageList(void*)
{
    const TComInitScope com(COINIT_MULTITHREADED);
    TZelSystemImageList::SystemImageList(si_small);
    return 0;
}

}  // namespace

TSystemImageListWarmUp::TSystemImageListWarmUp()
{
    thread_.reset(CreateThread(nullptr, 256 * 1024, WarmUpSystemImageList, nullptr,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
}

TSystemImageListWarmUp::~TSystemImageListWarmUp()
{
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
}
