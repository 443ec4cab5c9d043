#include "app/FolderCheck.h"

#include "core/ScopedResource.h"
#include "shell/PathUtils.h"

#include <memory>

namespace {

// Shared between the caller and the checking thread: whichever finishes last frees it.
struct TFolderCheck {
    std::wstring path;
    TScopedHandle done;
    volatile LONG exists = 0;
};

bool IsFolder(const std::wstring& path)
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD WINAPI CheckFolder(void* parameter)
{
    std::unique_ptr<std::shared_ptr<TFolderCheck>> holder(
        static_cast<std::shared_ptr<TFolderCheck>*>(parameter));
    const std::shared_ptr<TFolderCheck>& check = *holder;
    try {
        InterlockedExchange(&check->exists, IsFolder(check->path));
    } catch (...) {
    }
    SetEvent(check->done.get());
    return 0;
}

}  // namespace

bool FolderExistsWithin(const std::wstring& path, DWORD timeLimit)
{
    if (path.empty())
        return false;
    if (IsOnFixedDrive(path))
        return IsFolder(path);
    auto check = std::make_shared<TFolderCheck>();
    check->path = path;
    check->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!check->done)
        return false;
    auto* parameter = new std::shared_ptr<TFolderCheck>(check);
    TScopedHandle thread(CreateThread(nullptr, 64 * 1024, CheckFolder, parameter,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        delete parameter;
        return false;
    }
    // A thread still waiting on the network past the limit is left to finish on its own.
    if (WaitForSingleObject(check->done.get(), timeLimit) != WAIT_OBJECT_0)
        return false;
    return InterlockedCompareExchange(&check->exists, 0, 0) != 0;
}
