#include "shell/ClipboardPaste.h"

#include "core/ComPtr.h"
#include "shell/ShellUtils.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

namespace {

// The drop effect the source of the clipboard's data asks for (a cut asks for a move).
DWORD PreferredDropEffect(IDataObject* data)
{
    FORMATETC format{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT)),
                     nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return DROPEFFECT_COPY;
    DWORD effect = DROPEFFECT_COPY;
    if (const auto* value = static_cast<const DWORD*>(GlobalLock(medium.hGlobal))) {
        if (GlobalSize(medium.hGlobal) >= sizeof(DWORD))
            effect = *value;
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return effect;
}

struct TGlobalFree {
    void operator()(HGLOBAL memory) const noexcept { GlobalFree(memory); }
};
using TScopedGlobal = std::unique_ptr<void, TGlobalFree>;

// Names one after another, each ended by a zero, the list ended by another.
std::wstring DoubleZeroList(const TWideStringList& names)
{
    std::wstring list;
    for (const std::wstring& name : names) {
        list += name;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

}  // namespace

TWideStringList ClipboardFiles()
{
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.GetAddressOf())) || !data)
        return {};
    std::unique_ptr<TWideStringList> names = GetFilenamesFromDataObject(data.Get());
    return names ? std::move(*names) : TWideStringList();
}

DWORD ClipboardDropEffect()
{
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.GetAddressOf())) || !data)
        return DROPEFFECT_COPY;
    return (PreferredDropEffect(data.Get()) & DROPEFFECT_MOVE) != 0 ? DROPEFFECT_MOVE
                                                                    : DROPEFFECT_COPY;
}

void MarkClipboardAsCut(const TWideStringList& files, HWND owner)
{
    if (files.empty() || ClipboardDropEffect() == DROPEFFECT_MOVE)
        return;
    size_t characters = 1;
    for (const std::wstring& file : files)
        characters += file.size() + 1;
    const size_t bytes = sizeof(DROPFILES) + characters * sizeof(wchar_t);
    TScopedGlobal names(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    TScopedGlobal effect(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD)));
    if (!names || !effect)
        return;
    auto* header = static_cast<DROPFILES*>(GlobalLock(names.get()));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& file : files) {
        std::copy(file.begin(), file.end(), text);
        text += file.size() + 1;
    }
    GlobalUnlock(names.get());
    *static_cast<DWORD*>(GlobalLock(effect.get())) = DROPEFFECT_MOVE;
    GlobalUnlock(effect.get());
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    // The clipboard owns what it accepted.
    if (SetClipboardData(CF_HDROP, names.get()) != nullptr)
        names.release();
    if (SetClipboardData(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), effect.get()) !=
        nullptr)
        effect.release();
    CloseClipboard();
}

bool PasteFiles(const TWideStringList& files, const std::wstring& folder, HWND owner)
{
    if (files.empty() || folder.empty())
        return false;
    const bool move = ClipboardDropEffect() == DROPEFFECT_MOVE;
    const std::wstring from = DoubleZeroList(files);
    const std::wstring to = DoubleZeroList({folder});
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = move ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        return false;
    // Cut files are pasted once.
    if (move)
        OleSetClipboard(nullptr);
    return true;
}

bool PasteClipboardFiles(const std::wstring& folder, HWND owner)
{
    return PasteFiles(ClipboardFiles(), folder, owner);
}
