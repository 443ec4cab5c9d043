#include "link/SelectionPaths.h"

#include "link/SelectionPath.h"
#include "shell/PathUtils.h"

#include <algorithm>

namespace {

bool IsDriveEntry(const std::wstring& entry)
{
    return entry.size() >= 2 && entry[1] == L':';
}

bool IsNetworkEntry(const std::wstring& entry)
{
    return entry.size() >= 2 && entry[0] == L'\\' && entry[1] == L'\\';
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsRegularPath(const std::wstring& path)
{
    if (path.size() >= 2 && path[1] == L':')
        return path[0] != L'\\' && path[0] != L':' && path.find(L':', 2) == std::wstring::npos &&
               path.find(L"\\\\") == std::wstring::npos;
    if (path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\')
        return path.find(L':') == std::wstring::npos && path.find(L"\\\\", 1) == std::wstring::npos;
    return false;
}

int TZelSelectionPaths::IndexOf(const std::wstring& path) const
{
    const std::wstring key = UpperCase(path);
    if (keyCounts_.find(key) == keyCounts_.end())
        return -1;
    const auto found = std::find(keys_.begin(), keys_.end(), key);
    return found == keys_.end() ? -1 : static_cast<int>(found - keys_.begin());
}

bool TZelSelectionPaths::Contains(const std::wstring& path) const
{
    return keyCounts_.find(UpperCase(path)) != keyCounts_.end();
}

bool TZelSelectionPaths::AnyContains(const std::wstring& fragment) const
{
    const std::wstring key = UpperCase(fragment);
    if (key.empty())
        return !items_.empty();
    if (!IsRegularPath(key)) {
        for (const auto& entry : keys_)
            if (entry.find(key) != std::wstring::npos)
                return true;
        return false;
    }
    // Every regular entry that contains the fragment starts with it: one look in the index.
    const auto next = keyCounts_.lower_bound(key);
    if (next != keyCounts_.end() && StartsWith(next->first, key))
        return true;
    for (const auto& entry : irregularKeys_)
        if (entry.find(key) != std::wstring::npos)
            return true;
    return false;
}

std::vector<int> TZelSelectionPaths::IndexesContaining(const std::wstring& fragment) const
{
    const std::wstring key = UpperCase(fragment);
    const bool regular = IsRegularPath(key);
    std::vector<int> result;
    for (size_t index = 0; index < keys_.size(); ++index) {
        const bool match = regular && regular_[index]
                               ? StartsWith(keys_[index], key)
                               : keys_[index].find(key) != std::wstring::npos;
        if (match)
            result.push_back(static_cast<int>(index));
    }
    return result;
}

int TZelSelectionPaths::CountInFolder(const std::wstring& folder) const
{
    const auto found = folderCounts_.find(UpperCase(folder));
    return found == folderCounts_.end() ? 0 : found->second;
}

void TZelSelectionPaths::Index(const std::wstring& key, int delta)
{
    const auto bump = [delta](auto& counts, const std::wstring& name) {
        auto found = counts.find(name);
        if (found == counts.end())
            found = counts.emplace(name, 0).first;
        found->second += delta;
        if (found->second <= 0)
            counts.erase(found);
    };
    bump(keyCounts_, key);
    bump(folderCounts_, ParentFolderKey(key));
    if (IsDriveEntry(key))
        driveEntries_ += delta;
    if (IsNetworkEntry(key))
        networkEntries_ += delta;
    if (!IsRegularPath(key)) {
        if (delta > 0) {
            irregularKeys_.push_back(key);
        } else {
            const auto found = std::find(irregularKeys_.begin(), irregularKeys_.end(), key);
            if (found != irregularKeys_.end())
                irregularKeys_.erase(found);
        }
    }
}

void TZelSelectionPaths::Add(const std::wstring& entry)
{
    std::wstring key = UpperCase(entry);
    Index(key, 1);
    regular_.push_back(IsRegularPath(key) ? 1 : 0);
    keys_.push_back(std::move(key));
    items_.push_back(entry);
    Changed();
}

void TZelSelectionPaths::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    Index(keys_[index], -1);
    items_.erase(items_.begin() + index);
    keys_.erase(keys_.begin() + index);
    regular_.erase(regular_.begin() + index);
    Changed();
}

void TZelSelectionPaths::DeleteIndexes(const std::vector<int>& indexes)
{
    if (indexes.empty())
        return;
    std::vector<char> doomed(items_.size(), 0);
    for (const int index : indexes)
        if (index >= 0 && index < Count() && !doomed[index]) {
            doomed[index] = 1;
            Index(keys_[index], -1);
        }
    size_t kept = 0;
    for (size_t index = 0; index < items_.size(); ++index) {
        if (doomed[index])
            continue;
        if (kept != index) {
            items_[kept] = std::move(items_[index]);
            keys_[kept] = std::move(keys_[index]);
            regular_[kept] = regular_[index];
        }
        ++kept;
    }
    items_.resize(kept);
    keys_.resize(kept);
    regular_.resize(kept);
    Changed();
}

void TZelSelectionPaths::Clear()
{
    items_.clear();
    keys_.clear();
    regular_.clear();
    keyCounts_.clear();
    irregularKeys_.clear();
    folderCounts_.clear();
    driveEntries_ = 0;
    networkEntries_ = 0;
    Changed();
}

void TZelSelectionPaths::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && OnChange)
        OnChange();
}

void TZelSelectionPaths::Changed()
{
    if (updateCount_ == 0 && OnChange)
        OnChange();
}
