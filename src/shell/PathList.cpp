#include "shell/PathList.h"

#include "shell/PathUtils.h"

#include <stdexcept>

std::wstring NormalizeListPath(const std::wstring& path)
{
    if (IsDriveRoot(path))
        return IncludeTrailingBackslash(path);
    return ExcludeTrailingBackslash(path);
}

TZelPathList::TZelPathList(const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        Add(path);
}

TZelPathList::TZelPathList(const std::wstring& path)
{
    Add(path);
}

TZelPathList::TZelPathList(const TZelPathList& other)
    : paths_(other.paths_),
      checkExistence_(other.checkExistence_),
      hasNetworkPaths_(other.hasNetworkPaths_)
{
}

TZelPathList& TZelPathList::operator=(const TZelPathList& other)
{
    if (this != &other) {
        paths_ = other.paths_;
        checkExistence_ = other.checkExistence_;
        hasNetworkPaths_ = hasNetworkPaths_ || other.hasNetworkPaths_;
        Changed();
    }
    return *this;
}

size_t TZelPathList::LowerBound(const std::wstring& path, bool& found) const
{
    size_t low = 0, high = paths_.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (CompareText(paths_[middle], path) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    found = low < paths_.size() && CompareText(paths_[low], path) == 0;
    return low;
}

int TZelPathList::Add(const std::wstring& path)
{
    const std::wstring normalized = NormalizeListPath(path);
    // An empty entry or an embedded zero would end the rendered buffer early and silently
    // drop the paths after it from a file operation.
    if (normalized.empty() || normalized.find(L'\0') != std::wstring::npos)
        return -1;
    if (checkExistence_ && !PathExists(normalized))
        return -1;
    bool found = false;
    const size_t index = LowerBound(normalized, found);
    if (found)
        return -1;
    paths_.insert(paths_.begin() + static_cast<std::ptrdiff_t>(index), normalized);
    Changed();
    hasNetworkPaths_ = hasNetworkPaths_ || IsNetworkPath(normalized);
    return static_cast<int>(index);
}

void TZelPathList::Assign(const std::vector<std::wstring>& paths)
{
    Clear();
    for (const std::wstring& path : paths)
        Add(path);
}

void TZelPathList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("path list index out of bounds");
    paths_.erase(paths_.begin() + index);
    Changed();
}

void TZelPathList::Clear()
{
    paths_.clear();
    Changed();
}

int TZelPathList::IndexOf(const std::wstring& path) const
{
    bool found = false;
    const size_t index = LowerBound(NormalizeListPath(path), found);
    return found ? static_cast<int>(index) : -1;
}

const wchar_t* TZelPathList::Buffer() const
{
    if (!bufferCache_) {
        auto builder = std::make_unique<TWideStringBuilder>(true);
        builder->AppendList(paths_);
        builder->Append({});
        bufferCache_ = std::move(builder);
    }
    return bufferCache_->Buffer();
}
