#include "shell/FolderProbe.h"

#include "core/ComPtr.h"
#include "shell/IDList.h"
#include "shell/TestSeams.h"

#include <shlobj.h>

#include <memory>

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// What the parsing thread found; the caller reads it only once the thread is done.
struct TParsed {
    TOwnedIDList list;
    ULONG attributes = 0;
    HRESULT result = E_FAIL;
};

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
    if (SUCCEEDED(parsed.result) && !parsed.list) {
        parsed.result = E_FAIL;
    } else if (SUCCEEDED(parsed.result) && (attributes & SFGAO_FILESYSTEM) != 0) {
        // The shell parses a drive letter that has no drive behind it: a file-system folder
        // is asked of the file system as well.
        const std::wstring folder = LongPathFromIDList(parsed.list);
        if (!folder.empty() && !IsFolder(folder))
            parsed.result = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    if (FAILED(parsed.result))
        parsed.list.reset();
    parsed.attributes = attributes;
}

// Binds the folder and fetches its first object, as a walk of it would start.
bool FolderAnswers(TBorrowedIDList absolute)
{
    TComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.GetAddressOf())))
        return false;
    TComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(absolute, nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(folder.GetAddressOf()))))
        return false;
    TComPtr<IEnumIDList> objects;
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS,
                            objects.GetAddressOf()) != S_OK ||
        !objects)
        return false;
    TOwnedIDList first;
    ULONG fetched = 0;
    return SUCCEEDED(objects->Next(1, first.put(), &fetched));
}

// `place`: what the question waits on; empty for a place of its own.
TBoundedWaitResult AskOnThread(std::wstring place, DWORD waitLimit, bool showErrors,
                               std::function<bool()> question)
{
    TBoundedWaitRequest request;
    // The hook as it is now: a test may change it while an earlier question still runs. It
    // holds questions about places that may wait.
    std::function<void()> hook = place.empty() ? nullptr : NetworkProbeTestHook;
    request.Key = std::move(place);
    request.TimeLimit = waitLimit;
    request.ShowErrors = showErrors;
    return WaitBounded(request, [hook = std::move(hook), question = std::move(question)] {
        if (hook)
            hook();
        return question();
    });
}

}  // namespace

TBoundedWaitResult AskAboutPath(const std::wstring& path,
                                const std::function<bool(const std::wstring&)>& question,
                                DWORD waitLimit, bool showErrors)
{
    if (path.empty())
        return bwNotFound;
    std::wstring place = FolderWaitPlace(path);
    if (place.empty())
        return question(path) ? bwFound : bwNotFound;
    return AskOnThread(std::move(place), waitLimit, showErrors,
                       [path, question] { return question(path); });
}

TBoundedWaitResult AskFolderExists(const std::wstring& path, DWORD waitLimit, bool showErrors)
{
    return AskAboutPath(path, IsFolder, waitLimit, showErrors);
}

bool FolderExistsWithin(const std::wstring& path, DWORD waitLimit)
{
    return AskFolderExists(path, waitLimit, false) == bwFound;
}

TBoundedWaitResult AskFolderAnswers(TBorrowedIDList absolute, DWORD waitLimit, bool showErrors)
{
    return AskFolderAnswersAt(FolderWaitPlace(absolute), absolute, waitLimit, showErrors);
}

TBoundedWaitResult AskFolderAnswersAt(const std::wstring& place, TBorrowedIDList absolute,
                                      DWORD waitLimit, bool showErrors)
{
    if (place.empty())
        return bwFound;
    // The thread's own copy: the caller's list may be gone before the thread is done with it.
    auto folder = std::make_shared<TOwnedIDList>(CopyIDList(absolute));
    if (!*folder)
        return bwNotFound;
    return AskOnThread(place, waitLimit, showErrors,
                       [folder] { return FolderAnswers(folder->get()); });
}

TPathProbeResult ProbePath(const std::wstring& path, DWORD waitLimit, bool showErrors)
{
    TPathProbeResult answer;
    auto parsed = std::make_shared<TParsed>();
    const TBoundedWaitResult result = AskOnThread(FolderWaitPlace(path), waitLimit, showErrors,
                                                  [path, parsed, hook = PathProbeTestHook] {
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
