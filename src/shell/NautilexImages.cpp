// TNautilex: system icon indexes, overlays, thumbnails and info tips of the current object.
#include "shell/Nautilex.h"

#include "shell/ShellState.h"

#include <shobjidl.h>

namespace {

constexpr UINT kSmallIconIndexFlags = SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON;
constexpr DWORD kUseSlowTip = 8;  // QITIPF_USESLOWTIP
constexpr int kDefaultThumbnailSize = 200;

using TCreateItemFromIDList = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, REFIID, void**);

// Bound at run time: shell items exist from Vista on.
TCreateItemFromIDList CreateItemFromIDListEntry()
{
    static const TCreateItemFromIDList entry =
        reinterpret_cast<TCreateItemFromIDList>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHCreateItemFromIDList")));
    return entry;
}

}  // namespace

int TNautilex::SystemIconIndex(UINT flags)
{
    const TBorrowedIDList absolute = AbsoluteIDList();
    if (absolute == nullptr)
        return -1;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof(info), flags) == 0)
        return -1;
    return info.iIcon;
}

int TNautilex::ImageIndex()
{
    return SystemIconIndex(kSmallIconIndexFlags);
}

int TNautilex::OpenImageIndex()
{
    return SystemIconIndex(kSmallIconIndexFlags | SHGFI_OPENICON);
}

int TNautilex::DesktopImageIndex()
{
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(DesktopIDList), 0, &info, sizeof(info),
                       kSmallIconIndexFlags) == 0)
        return -1;
    return info.iIcon;
}

std::wstring TNautilex::DesktopDisplayName()
{
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(DesktopIDList), 0, &info, sizeof(info),
                       SHGFI_DISPLAYNAME | SHGFI_PIDL) == 0)
        return {};
    info.szDisplayName[MAX_PATH - 1] = L'\0';
    return info.szDisplayName;
}

int TNautilex::OverlayIndex()
{
    if (!objectIDList_ || !shellFolder_)
        return -1;
    if (IsNT) {
        try {
            TComPtr<IShellIconOverlay> overlay;
            if (SUCCEEDED(shellFolder_->QueryInterface(
                    IID_IShellIconOverlay, reinterpret_cast<void**>(overlay.GetAddressOf()))) &&
                overlay) {
                TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
                int index = 0;
                if (FAILED(overlay->GetOverlayIndex(objectIDList_, &index)))
                    return -1;
                return index - 1;
            }
        } catch (...) {
            // The attributes below still give the common overlays.
        }
    }
    // The system image list's overlays are the share first and the link second.
    const ULONG attributes = GetAttributes(SFGAO_LINK | SFGAO_SHARE);
    if ((attributes & SFGAO_LINK) != 0)
        return 1;
    if ((attributes & SFGAO_SHARE) != 0)
        return 0;
    return -1;
}

TScopedGdiObject TNautilex::ExtractThumbnail(int width, int height)
{
    if (IsWin9x)
        return {};
    if (width <= 0 || height <= 0)
        width = height = kDefaultThumbnailSize;
    TComPtr<IExtractImage> extractor;
    try {
        extractor = GetUIObject<IExtractImage>();
    } catch (const ENautilexError&) {
        return {};
    }
    if (!extractor)
        return ExtractWithImageFactory(width, height);

    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    wchar_t location[MAX_PATH] = {};
    DWORD priority = IEIT_PRIORITY_NORMAL;
    SIZE size{width, height};
    DWORD flags = IEIFLAG_SCREEN | IEIFLAG_QUALITY;
    const HRESULT result = extractor->GetLocation(location, MAX_PATH, &priority, &size, 24, &flags);
    if (FAILED(result) && result != E_PENDING)
        return {};
    HBITMAP bitmap = nullptr;
    if (FAILED(extractor->Extract(&bitmap)))
        return {};
    return TScopedGdiObject(bitmap);
}

// Many handlers (and Wine) offer no IExtractImage; the shell item's image factory renders
// whatever the shell can for the same size.
TScopedGdiObject TNautilex::ExtractWithImageFactory(int width, int height)
{
    const TCreateItemFromIDList createItem = CreateItemFromIDListEntry();
    const TBorrowedIDList absolute = AbsoluteIDList();
    if (createItem == nullptr || absolute == nullptr)
        return {};
    TComPtr<IShellItemImageFactory> factory;
    if (FAILED(createItem(absolute, IID_PPV_ARGS(factory.GetAddressOf()))) || !factory)
        return {};
    ++counts_.ImageFactory;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    HBITMAP bitmap = nullptr;
    if (FAILED(factory->GetImage(SIZE{width, height}, SIIGBF_RESIZETOFIT, &bitmap)))
        return {};
    TScopedGdiObject result(bitmap);
    // A single pixel shows nothing; Wine's factory answers every request with one.
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof(info), &info) == 0 || (info.bmWidth <= 1 && info.bmHeight <= 1))
        return {};
    return result;
}

std::wstring TNautilex::InfoTip(bool slow)
{
    TComPtr<IQueryInfo> info;
    try {
        info = GetUIObject<IQueryInfo>(IID_IQueryInfo);
    } catch (const ENautilexError&) {
        return {};
    }
    if (!info)
        return {};
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    wchar_t* text = nullptr;
    if (FAILED(info->GetInfoTip(slow ? kUseSlowTip : 0, &text)) || text == nullptr)
        return {};
    const TScopedCoTaskMem owner(text);
    return text;
}
