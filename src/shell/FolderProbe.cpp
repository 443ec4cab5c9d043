#include "shell/FolderProbe.h"

#include "core/ComPtr.h"
#include "shell/IDList.h"

#include <shlobj.h>

#include <memory>

std::function<void()> NetworkProbeTestHook;

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

TBoundedWaitResult AskOnThread(std::wstring place, DWORD waitLimit, bool showErrors,
                               std::function<bool()> question)
{
    TBoundedWaitRequest request;
    request.Key = std::move(place);
    request.TimeLimit = waitLimit;
    request.ShowErrors = showErrors;
    // The hook as it is now: a test may change it while an earlier question still runs.
    return WaitBounded(request, [hook = NetworkProbeTestHook, question = std::move(question)] {
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
