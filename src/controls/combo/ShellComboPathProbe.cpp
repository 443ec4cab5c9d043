#include "controls/combo/ShellComboPathProbe.h"

#include "core/BoundedWait.h"
#include "core/ComPtr.h"
#include "shell/FolderProbe.h"
#include "shell/IDList.h"

#include <shlobj.h>

#include <memory>

std::function<void(const std::wstring& path)> PathProbeTestHook;

namespace {

// What the parsing thread found; the caller reads it only once the thread is done.
struct TParsed {
    TOwnedIDList list;
    ULONG attributes = 0;
    HRESULT result = E_FAIL;
};

// The shell parses a drive letter that has no drive behind it: a file-system folder is
// asked of the file system as well (where a drive that does not answer would wait).
bool FolderExists(TBorrowedIDList list)
{
    const std::wstring path = LongPathFromIDList(list);
    if (path.empty())
        return true;  // nothing more to ask
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void Parse(const std::wstring& path, TParsed& parsed)
{
    TComPtr<IShellFolder> desktop;
    parsed.result = SHGetDesktopFolder(desktop.GetAddressOf());
    if (FAILED(parsed.result))
        return;
    std::wstring text = path;
    if (text.size() == 2 && text[1] == L':')
        text += L'\\';
    ULONG eaten = 0;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    parsed.result = desktop->ParseDisplayName(nullptr, nullptr, text.data(), &eaten,
                                              parsed.list.put(), &attributes);
    if (SUCCEEDED(parsed.result) && !parsed.list)
        parsed.result = E_FAIL;
    else if (SUCCEEDED(parsed.result) && (attributes & SFGAO_FILESYSTEM) != 0 &&
             !FolderExists(parsed.list))
        parsed.result = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    if (FAILED(parsed.result))
        parsed.list.reset();
    parsed.attributes = attributes;
}

}  // namespace

TPathProbeResult ProbePath(const std::wstring& path, DWORD waitLimit, bool showErrors)
{
    TPathProbeResult answer;
    auto parsed = std::make_shared<TParsed>();
    TBoundedWaitRequest request;
    request.Key = FolderWaitPlace(path);
    request.TimeLimit = waitLimit;
    request.ShowErrors = showErrors;
    // A path that may wait is held by the folder hook too, as every question about one is.
    std::function<void()> placeHook;
    if (!request.Key.empty())
        placeHook = NetworkProbeTestHook;
    const TBoundedWaitResult result =
        WaitBounded(request, [path, parsed, hook = PathProbeTestHook, placeHook] {
            if (placeHook)
                placeHook();
            if (hook)
                hook(path);
            try {
                Parse(path, *parsed);
            } catch (...) {
                parsed->list.reset();
                parsed->result = E_UNEXPECTED;
            }
            return static_cast<bool>(parsed->list);
        });
    if (result == bwTimedOut) {
        answer.State = TPathProbeResult::psTimedOut;
        return answer;
    }
    if (result == bwNotFound) {
        answer.Error = parsed->result;
        return answer;
    }
    answer.State = TPathProbeResult::psFound;
    answer.IDList = std::move(parsed->list);
    answer.Folder = (parsed->attributes & SFGAO_FOLDER) != 0;
    return answer;
}
