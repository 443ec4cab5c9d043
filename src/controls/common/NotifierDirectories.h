#pragma once
// The folders a change notifier watches: sorted, compared without regard to case, free of
// duplicates (so the empty placeholder, when present, is always first), each with the handle
// of its registration (0 = not registered). Changing and changed events let the notifier stop
// and restart its registrations around every change.
#include "core/ScopedResource.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TNotifierDirectories {
public:
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

    int Count() const noexcept { return static_cast<int>(entries_.size()); }
    const std::wstring& Strings(int index) const { return entries_.at(Slot(index)).path; }
    ULONG Handle(int index) const { return entries_.at(Slot(index)).handle; }
    void SetHandle(int index, ULONG handle) { entries_.at(Slot(index)).handle = handle; }
    int IndexOf(const std::wstring& path) const;

    // Returns the index of the entry (the existing one for a duplicate, which changes nothing).
    int Add(const std::wstring& path);
    void Delete(int index);
    void Clear();
    // Replaces every entry with `paths` (sorted, duplicates dropped) in one change.
    void Assign(const std::vector<std::wstring>& paths);
    std::vector<std::wstring> Paths() const;

    // Runs `change` with the events detached (the notifier's own bookkeeping).
    template <class Change>
    void Quietly(Change change)
    {
        // The last made is put back first: OnChanging, then OnChange.
        const TRestoreOnExit quietChange(OnChange, nullptr);
        const TRestoreOnExit quietChanging(OnChanging, nullptr);
        change();
    }

private:
    struct TEntry {
        std::wstring path;
        ULONG handle = 0;
    };
    static size_t Slot(int index) { return static_cast<size_t>(index); }
    // Position where `path` belongs, and whether it is there already.
    std::pair<size_t, bool> Find(const std::wstring& path) const;
    void Changing() const;
    void Changed() const;

    std::vector<TEntry> entries_;
};
