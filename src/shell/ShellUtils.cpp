#include "shell/ShellUtils.h"

#include "core/ComPtr.h"
#include "core/TextConversion.h"
#include "shell/ShellState.h"
#include "ui/Application.h"
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

TWideStringList FileNamesFromDropBlock(const void* block, size_t size)
{
    // One pass over the block: asking DragQueryFile for each index walks the names from the
    // start every time, which takes minutes for tens of thousands of files.
    TWideStringList names;
    if (block == nullptr || size < sizeof(DROPFILES))
        return names;
    const auto* header = static_cast<const DROPFILES*>(block);
    const auto* bytes = static_cast<const char*>(block);
    size_t offset = header->pFiles;
    if (header->fWide) {
        while (offset + sizeof(wchar_t) <= size) {
            const auto* name = reinterpret_cast<const wchar_t*>(bytes + offset);
            const size_t room = (size - offset) / sizeof(wchar_t);
            const size_t length = wcsnlen(name, room);
            if (length == 0 || length == room)
                break;
            names.emplace_back(name, length);
            offset += (length + 1) * sizeof(wchar_t);
        }
    } else {
        while (offset < size) {
            const char* name = bytes + offset;
            const size_t length = strnlen(name, size - offset);
            if (length == 0 || length == size - offset)
                break;
            names.push_back(NarrowToWide(std::string(name, length)));
            offset += length + 1;
        }
    }
    return names;
}

std::unique_ptr<TWideStringList> GetFilenamesFromDataObject(IDataObject* dataObject)
{
    if (dataObject == nullptr)
        return nullptr;
    auto names = std::make_unique<TWideStringList>();
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    const HRESULT result = dataObject->GetData(&format, &medium);
    if (FAILED(result)) {
        std::string text = WideToNarrow(SystemErrorMessage(static_cast<DWORD>(result)));
        if (text.size() > 1023)
            text.resize(1023);
        OutputDebugStringA(("GetFilenamesFromDataObject: " + text).c_str());
        return names;
    }
    if (medium.hGlobal != nullptr) {
        if (const void* block = GlobalLock(medium.hGlobal)) {
            *names = FileNamesFromDropBlock(block, GlobalSize(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return names;
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

HWND MainWindowHandle()
{
    if (Application == nullptr)
        return nullptr;
    return Application->MainFormHandle() != nullptr ? Application->MainFormHandle()
                                                    : Application->Handle();
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
