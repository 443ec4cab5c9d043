#pragma once
// The open directory searches of a depth-first walk, with the path of the directory that the
// top search runs in (with a trailing backslash; empty when the stack is empty).
#include "core/ScopedResource.h"

#include <windows.h>

#include <string>
#include <vector>

class TZelStack {
public:
    TZelStack() = default;
    TZelStack(const TZelStack&) = delete;
    TZelStack& operator=(const TZelStack&) = delete;

    // Takes over `handle` (ignored when invalid) for the directory `name` below the current
    // path. `first` is what the opening find-first returned; NextEntry hands it out first.
    void Push(HANDLE handle, const std::wstring& name, const WIN32_FIND_DATAW* first = nullptr);
    // Removes the top search and gives it to the caller; the path loses its last component.
    TScopedFindHandle Pop();
    // The top search handle; INVALID_HANDLE_VALUE when the stack is empty.
    HANDLE Top() const noexcept;
    const std::wstring& Path() const noexcept { return path_; }
    int Count() const noexcept { return static_cast<int>(levels_.size()); }
    bool Empty() const noexcept { return levels_.empty(); }
    void Clear();

    // The next entry of the top search; false when it is exhausted or the stack is empty.
    bool NextEntry(WIN32_FIND_DATAW& data);
    // Whether the walk has already listed the files of the top directory.
    bool TopFilesListed() const noexcept;
    void SetTopFilesListed() noexcept;

private:
    struct TLevel {
        TScopedFindHandle search;
        size_t pathLength = 0;  // length of the path before this level was pushed
        bool firstPending = false;
        bool filesListed = false;
        WIN32_FIND_DATAW first{};
    };

    std::vector<TLevel> levels_;
    std::wstring path_;
};
