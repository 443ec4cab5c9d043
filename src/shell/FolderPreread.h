#pragma once
// A folder's objects read on a thread of their own while the caller does other work: the
// program reads the folder its first list will show while it makes its windows, and the list
// then walks what was read instead of asking the folder again. Only folders on this
// computer's fixed drives are read: nothing here may wait on a network or on a drive's media.
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"

#include <windows.h>

#include <string>
#include <vector>

class TFolderPreread {
public:
    // Starts reading `path`; a path elsewhere, or a thread that cannot start, reads nothing.
    explicit TFolderPreread(const std::wstring& path);
    // Waits for the read to end.
    ~TFolderPreread();
    TFolderPreread(const TFolderPreread&) = delete;
    TFolderPreread& operator=(const TFolderPreread&) = delete;

    // The folder's absolute ID list and its objects, in the folder's order, once the read has
    // ended (this waits for it). False, with nothing taken, when nothing was read, the read
    // failed, it was taken before, or anything in the folder changed since the read began:
    // the caller then reads the folder itself. With `changesSinceRead`, the caller gets the
    // watch that has seen the folder since before the read, to look at it until its own
    // watches are open.
    bool Take(TOwnedIDList& folder, std::vector<TOwnedIDList>& objects,
              TScopedChangeNotification* changesSinceRead = nullptr);

private:
    static DWORD WINAPI ReadOnThread(void* parameter);
    void Read();

    std::wstring path_;
    TScopedHandle thread_;
    TScopedChangeNotification changes_;
    // Written by the thread until it ends; read only after that.
    TOwnedIDList folder_;
    std::vector<TOwnedIDList> objects_;
    bool complete_ = false;
};
