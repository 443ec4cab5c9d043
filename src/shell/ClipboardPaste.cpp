#include "shell/ClipboardPaste.h"

#include "core/ComPtr.h"
#include "shell/ShellUtils.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

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

DWORD ClipboardDropEffect()
{
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.GetAddressOf())) || !data)
        return DROPEFFECT_COPY;
    return (PreferredDropEffect(data.Get()) & DROPEFFECT_MOVE) != 0 ? DROPEFFECT_MOVE
                                                                    : DROPEFFECT_COPY;
}

bool PasteClipboardFiles(const std::wstring& folder, HWND owner)
{
    TComPtr<IDataObject> data;
    if (folder.empty() || FAILED(OleGetClipboard(data.GetAddressOf())) || !data)
        return false;
    const std::unique_ptr<TWideStringList> names = GetFilenamesFromDataObject(data.Get());
    if (!names || names->empty())
        return false;
    const bool move = (PreferredDropEffect(data.Get()) & DROPEFFECT_MOVE) != 0;
    const std::wstring from = DoubleZeroList(*names);
    const std::wstring to = DoubleZeroList({folder});
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = move ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_ALLOWUNDO;
    if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        return false;
    if (move)
        OleSetClipboard(nullptr);
    return true;
}
