#pragma once
// A sorted, case-insensitive, duplicate-free list of file-system paths that renders itself in
// the double-zero-terminated form the shell's file operations take.
#include "shell/WideStringBuilder.h"

#include <memory>
#include <string>
#include <vector>

class TZelPathList {
public:
    TZelPathList() = default;
    // Every entry goes through Add: missing paths and duplicates are left out.
    explicit TZelPathList(const std::vector<std::wstring>& paths);
    explicit TZelPathList(const std::wstring& path);
    // A copy holds the same entries and flags (the entries are already checked).
    TZelPathList(const TZelPathList& other);
    TZelPathList& operator=(const TZelPathList& other);
    TZelPathList(TZelPathList&&) noexcept = default;
    TZelPathList& operator=(TZelPathList&&) noexcept = default;

    // Normalises and inserts the path in order; returns its index, or -1 when the path is
    // empty, holds a zero character, does not exist (with CheckExistence) or is already
    // listed in any letter case.
    int Add(const std::wstring& path);
    // Clears the list, then adds every entry with Add.
    void Assign(const std::vector<std::wstring>& paths);

    void Delete(int index);
    void Clear();

    int Count() const noexcept { return static_cast<int>(paths_.size()); }
    const std::wstring& operator[](int index) const
    {
        return paths_.at(static_cast<size_t>(index));
    }
    const std::vector<std::wstring>& Strings() const noexcept { return paths_; }
    auto begin() const noexcept { return paths_.begin(); }
    auto end() const noexcept { return paths_.end(); }
    // Index of the path in any letter case, as stored (after normalising); -1 when absent.
    int IndexOf(const std::wstring& path) const;

    // The paths as consecutive zero-terminated strings followed by at least two more zeros;
    // built on first use and kept until the list changes.
    const wchar_t* Buffer() const;

    // Set once any accepted path is a network path; never cleared.
    bool HasNetworkPaths() const noexcept { return hasNetworkPaths_; }
    bool CheckExistence() const noexcept { return checkExistence_; }
    void SetCheckExistence(bool value) noexcept { checkExistence_ = value; }

private:
    void Changed() noexcept { bufferCache_.reset(); }
    // Position of the first entry not less than `path`; `found` tells whether it is equal.
    size_t LowerBound(const std::wstring& path, bool& found) const;

    std::vector<std::wstring> paths_;
    mutable std::unique_ptr<TWideStringBuilder> bufferCache_;
    bool checkExistence_ = true;
    bool hasNetworkPaths_ = false;
};

// The stored form of a path: a drive root gains its trailing backslash, any other path loses
// one trailing backslash.
std::wstring NormalizeListPath(const std::wstring& path);
