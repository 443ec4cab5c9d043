#pragma once
// Listings of folders kept between queries. A kept listing is used again only while the
// folder's last-write and creation times are unchanged (a folder's last-write time moves when
// an entry is added, removed or renamed in it), and a listing is kept only when it was read
// well after the folder last changed, so that a change within the file system's timestamp
// granularity cannot hide behind an unchanged time. Only local NTFS or ReFS folders are kept:
// FAT does not move a folder's time when its contents change, and network folders may not.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct TDirectoryListing {
    struct TName {
        int count = 0;         // entries with this upper-cased name (a case-sensitive folder may
        bool hasFile = false;  // hold several)
    };

    std::vector<std::wstring> names;       // in the order the search found them
    std::vector<std::wstring> upperNames;  // parallel to names
    std::vector<char> isDirectory;         // parallel to names
    std::vector<int64_t> sizes;            // parallel to names (0 for a directory)
    std::unordered_map<std::wstring, TName> byUpperName;
    int distinctFileNames = 0;  // upper-cased names held by at least one file

    int Count() const noexcept { return static_cast<int>(names.size()); }
    const TName* Find(const std::wstring& upperName) const;
};

class TDirectoryListingCache {
public:
    // `settleMilliseconds`: how long after its last change a folder must have been read for the
    // listing to be kept.
    explicit TDirectoryListingCache(DWORD settleMilliseconds = 4000);

    // The entries of `folder` (given without trailing backslash), "." and ".." left out; null
    // when the folder cannot be searched. A kept listing knows every name, but a file's size
    // may have changed since without the folder's times moving: `fresh` searches again.
    std::shared_ptr<const TDirectoryListing> Listing(const std::wstring& folder,
                                                     bool fresh = false);
    void Clear();

    int KeptFolderCount() const noexcept { return static_cast<int>(kept_.size()); }
    // Searches made since creation (for tests and measurements).
    uint64_t SearchCount() const noexcept { return searches_; }

private:
    struct TKept {
        FILETIME lastWrite{};
        FILETIME creation{};
        std::shared_ptr<const TDirectoryListing> listing;
    };

    bool MayKeep(const std::wstring& folder);
    std::shared_ptr<const TDirectoryListing> Search(const std::wstring& folder);

    DWORD settleMilliseconds_;
    std::unordered_map<std::wstring, TKept> kept_;
    size_t keptNames_ = 0;
    std::unordered_map<wchar_t, bool> drives_;  // drive letter -> listings may be kept
    uint64_t searches_ = 0;
};
