#include "shell/ShellUtils.h"

#include "core/ComPtr.h"
#include "core/TextConversion.h"
#include "parse/DropFileList.h"
#include "parse/ShellIDListArray.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

#include <commctrl.h>
#include <shlobj.h>
#include <uxtheme.h>

namespace {

// Large enough for any shortcut target, so that a long one is recognised, not truncated.
constexpr DWORD kLongPathCapacity = 32768;

}  // namespace

std::wstring ResolveLinkTarget(const std::wstring& path)
{
    if (path.empty())
        return {};
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    TComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(link.GetAddressOf()))))
        return {};
    TComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), 0)))
        return {};
    std::wstring target(kLongPathCapacity, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_UNCPRIORITY) !=
        S_OK)
        return {};
    target.resize(wcsnlen(target.c_str(), target.size()));
    if (target.size() >= MAX_PATH)
        return {};
    return target;
}

namespace {

// Hands the bytes of one HGLOBAL format of a data object to `read`, the block's whole size with
// them: its contents come from another program and are checked by the parsers. False when the
// object does not give the format.
template <typename TRead>
bool ReadGlobalFormat(IDataObject* dataObject, CLIPFORMAT format, const char* caller, TRead read)
{
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    const HRESULT result = dataObject->GetData(&request, &medium);
    if (FAILED(result)) {
        std::string text = WideToNarrow(SystemErrorMessage(static_cast<DWORD>(result)));
        if (text.size() > 1023)
            text.resize(1023);
        OutputDebugStringA((std::string(caller) + ": " + text).c_str());
        return false;
    }
    struct TMediumRelease {
        STGMEDIUM& medium;
        ~TMediumRelease() { ReleaseStgMedium(&medium); }
    } release{medium};
    if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == nullptr)
        return true;
    const void* block = GlobalLock(medium.hGlobal);
    if (block == nullptr)
        return true;
    struct TUnlock {
        HGLOBAL global;
        ~TUnlock() { GlobalUnlock(global); }
    } unlock{medium.hGlobal};
    read(block, GlobalSize(medium.hGlobal));
    return true;
}

TByteSpan SpanOf(const void* block, size_t size)
{
    return block != nullptr ? TByteSpan(static_cast<const std::uint8_t*>(block), size)
                            : TByteSpan();
}

}  // namespace

TWideStringList FileNamesFromDropFiles(const void* block, size_t size)
{
    TWideStringList names;
    const std::optional<TDropFileList> list = ParseDropFileList(SpanOf(block, size));
    if (!list)
        return names;
    for (const std::u16string& name : list->WideNames)
        names.emplace_back(name.begin(), name.end());
    for (const std::string& name : list->NarrowNames)
        names.push_back(NarrowToWide(name));
    return names;
}

std::unique_ptr<TWideStringList> GetFilenamesFromDataObject(IDataObject* dataObject)
{
    if (dataObject == nullptr)
        return nullptr;
    auto names = std::make_unique<TWideStringList>();
    ReadGlobalFormat(
        dataObject, CF_HDROP, "GetFilenamesFromDataObject",
        [&names](const void* block, size_t size) { *names = FileNamesFromDropFiles(block, size); });
    return names;
}

std::vector<TOwnedIDList> IDListsFromShellIDListArray(const void* block, size_t size)
{
    std::vector<TOwnedIDList> lists;
    const std::optional<TShellIDListArray> array = ParseShellIDListArray(SpanOf(block, size));
    if (!array)
        return lists;
    for (const TByteSpan child : array->Children) {
        TOwnedIDList list = ConcatIDLists(reinterpret_cast<TBorrowedIDList>(array->Folder.data()),
                                          reinterpret_cast<TBorrowedIDList>(child.data()));
        if (!list)
            return {};
        lists.push_back(std::move(list));
    }
    return lists;
}

std::vector<TOwnedIDList> GetIDListsFromDataObject(IDataObject* dataObject)
{
    std::vector<TOwnedIDList> lists;
    const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
    if (dataObject == nullptr || format == 0)
        return lists;
    ReadGlobalFormat(dataObject, format, "GetIDListsFromDataObject",
                     [&lists](const void* block, size_t size) {
                         lists = IDListsFromShellIDListArray(block, size);
                     });
    return lists;
}

bool EnableAutoComplete(HWND edit, bool fileSystem, bool urls)
{
    if (ShellEntries.AutoCompleteEntry == nullptr)
        return false;
    DWORD flags = 0;
    if (fileSystem && urls)
        flags = 7;
    else if (urls)
        flags = 6;
    else if (fileSystem)
        flags = 1;
    flags = flags == 0 ? 0xA0000007u : (flags | 8u);
    return SUCCEEDED(ShellEntries.AutoCompleteEntry(edit, flags));
}

TScopedGdiObject IconTitleFont()
{
    LOGFONTA font{};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(font), &font, 0))
        return {};
    return TScopedGdiObject(CreateFontIndirectA(&font));
}

void ApplyExplorerTheme(HWND listOrTree)
{
    if (!IsVistaOrLater || listOrTree == nullptr)
        return;
    // Our controls run under class names of their own: ask the control what it is, and let
    // it keep the look for the windows it makes later.
    TWinControl* control = TWinControl::FindControl(listOrTree);
    if (auto* list = dynamic_cast<TListView*>(control)) {
        list->SetExplorerStyle(true);
        return;
    }
    if (auto* tree = dynamic_cast<TTreeView*>(control)) {
        tree->SetExplorerStyle(true);
        return;
    }
    wchar_t className[64] = {};
    GetClassNameW(listOrTree, className, 64);
    if (lstrcmpiW(className, WC_LISTVIEWW) == 0) {
        ListView_SetExtendedListViewStyleEx(listOrTree, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                                            LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        SetWindowTheme(listOrTree, L"explorer", nullptr);
    } else if (lstrcmpiW(className, WC_TREEVIEWW) == 0) {
        SetWindowTheme(listOrTree, L"explorer", nullptr);
        SendMessageW(listOrTree, TVM_SETEXTENDEDSTYLE,
                     TVS_EX_DOUBLEBUFFER | TVS_EX_FADEINOUTEXPANDOS,
                     TVS_EX_DOUBLEBUFFER | TVS_EX_FADEINOUTEXPANDOS);
        SetWindowLongPtrW(listOrTree, GWL_STYLE,
                          GetWindowLongPtrW(listOrTree, GWL_STYLE) & ~TVS_HASLINES);
    }
}
