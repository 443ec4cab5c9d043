#pragma once
// The entries of a check-box selection in the order they were added, compared
// case-insensitively. Changes made between BeginUpdate and EndUpdate are announced once, when
// the outermost EndUpdate runs; a change outside an update is announced at once.
//
// Beside the list in entry order the class keeps an index of the upper-cased entries, so that
// equality and "contains" queries stay fast with thousands of entries, and counts of entries
// per folder.
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

using TWideStringList = std::vector<std::wstring>;

class TZelSelectionPaths {
public:
    TZelSelectionPaths() = default;
    TZelSelectionPaths(const TZelSelectionPaths&) = delete;
    TZelSelectionPaths& operator=(const TZelSelectionPaths&) = delete;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const std::wstring& operator[](int index) const
    {
        return items_.at(static_cast<size_t>(index));
    }
    const TWideStringList& Items() const noexcept { return items_; }

    // Index of the first entry equal to `path`, -1 when none is.
    int IndexOf(const std::wstring& path) const;
    bool Contains(const std::wstring& path) const;
    // True when some entry contains `fragment` anywhere.
    bool AnyContains(const std::wstring& fragment) const;
    // Ascending indexes of the entries that contain `fragment` anywhere.
    std::vector<int> IndexesContaining(const std::wstring& fragment) const;
    // Entries whose stem lies directly in `folder` (given without trailing backslash).
    int CountInFolder(const std::wstring& folder) const;
    // Entries on a drive ("X:...") and entries on the network ("\\...").
    int DriveEntryCount() const noexcept { return driveEntries_; }
    int NetworkEntryCount() const noexcept { return networkEntries_; }

    void Add(const std::wstring& entry);
    void Delete(int index);
    // Deletes the entries at the given ascending indexes, keeping the order of the rest.
    void DeleteIndexes(const std::vector<int>& indexes);
    void Clear();

    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }

    std::function<void()> OnChange;

private:
    void Changed();
    void Index(const std::wstring& key, int delta);

    TWideStringList items_;
    TWideStringList keys_;       // upper-cased, parallel to items_
    std::vector<char> regular_;  // parallel to items_: see IsRegularPath
    std::map<std::wstring, int> keyCounts_;
    std::vector<std::wstring> irregularKeys_;
    std::unordered_map<std::wstring, int> folderCounts_;
    int driveEntries_ = 0;
    int networkEntries_ = 0;
    int updateCount_ = 0;
};

// True for an absolute path of the plain forms "X:\..." and "\\server\...": a colon only as
// the drive's and a double backslash only at the start. For two such paths, one contains the
// other anywhere exactly when it starts with it.
bool IsRegularPath(const std::wstring& path);

// BeginUpdate for the life of a scope.
class TSelectionUpdateScope {
public:
    explicit TSelectionUpdateScope(TZelSelectionPaths& paths) : paths_(paths)
    {
        paths_.BeginUpdate();
    }
    ~TSelectionUpdateScope() { paths_.EndUpdate(); }
    TSelectionUpdateScope(const TSelectionUpdateScope&) = delete;
    TSelectionUpdateScope& operator=(const TSelectionUpdateScope&) = delete;

private:
    TZelSelectionPaths& paths_;
};
