#include "controls/common/NotifierDirectories.h"

#include "core/TextCompare.h"

// Watched folders compare ordinally, ignoring case (core/TextCompare): a linguistic comparison
// takes "ss" and a sharp s, "ae" and its ligature, or a name with a soft hyphen for the same,
// and the second folder would never be watched.
std::pair<size_t, bool> TNotifierDirectories::Find(const std::wstring& path) const
{
    size_t low = 0, high = entries_.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const int order = CompareText(entries_[middle].path, path);
        if (order == 0)
            return {middle, true};
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return {low, false};
}

int TNotifierDirectories::IndexOf(const std::wstring& path) const
{
    const auto [position, found] = Find(path);
    return found ? static_cast<int>(position) : -1;
}

void TNotifierDirectories::Changing() const
{
    if (OnChanging)
        OnChanging();
}

void TNotifierDirectories::Changed() const
{
    if (OnChange)
        OnChange();
}

int TNotifierDirectories::Add(const std::wstring& path)
{
    const auto [position, found] = Find(path);
    if (found)
        return static_cast<int>(position);
    Changing();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position), TEntry{path, 0});
    Changed();
    return static_cast<int>(position);
}

void TNotifierDirectories::Delete(int index)
{
    Changing();
    entries_.erase(entries_.begin() + index);
    Changed();
}

void TNotifierDirectories::Clear()
{
    if (entries_.empty())
        return;
    Changing();
    entries_.clear();
    Changed();
}

void TNotifierDirectories::Assign(const std::vector<std::wstring>& paths)
{
    Changing();
    entries_.clear();
    for (const std::wstring& path : paths) {
        const auto [position, found] = Find(path);
        if (!found)
            entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position),
                            TEntry{path, 0});
    }
    Changed();
}

std::vector<std::wstring> TNotifierDirectories::Paths() const
{
    std::vector<std::wstring> paths;
    for (const TEntry& entry : entries_)
        paths.push_back(entry.path);
    return paths;
}
