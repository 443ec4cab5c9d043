#include "link/DirectoryListingCache.h"

#include "core/ScopedResource.h"
#include "shell/PathUtils.h"

namespace {

// Beyond this many names the kept listings are dropped and collected afresh.
constexpr size_t kMaxKeptNames = 250000;

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

}  // namespace

const TDirectoryListing::TName* TDirectoryListing::Find(const std::wstring& upperName) const
{
    const auto found = byUpperName.find(upperName);
    return found == byUpperName.end() ? nullptr : &found->second;
}

TDirectoryListingCache::TDirectoryListingCache(DWORD settleMilliseconds)
    : settleMilliseconds_(settleMilliseconds)
{
}

void TDirectoryListingCache::Clear()
{
    kept_.clear();
    keptNames_ = 0;
}

bool TDirectoryListingCache::MayKeep(const std::wstring& folder)
{
    if (folder.size() < 2 || folder[1] != L':')
        return false;
    const wchar_t letter = UpperCase(folder.substr(0, 1))[0];
    const auto known = drives_.find(letter);
    if (known != drives_.end())
        return known->second;
    const std::wstring root = std::wstring(1, letter) + L":\\";
    bool keep = false;
    const UINT type = GetDriveTypeW(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        wchar_t fileSystem[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                  MAX_PATH + 1))
            keep = SameText(fileSystem, L"NTFS") || SameText(fileSystem, L"ReFS");
    }
    drives_.emplace(letter, keep);
    return keep;
}

std::shared_ptr<const TDirectoryListing> TDirectoryListingCache::Listing(const std::wstring& folder,
                                                                         bool fresh)
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    if (!MayKeep(folder))
        return Search(folder);

    const std::wstring key = UpperCase(folder);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    const std::wstring queried = folder.size() == 2 ? folder + L'\\' : folder;
    if (!GetFileAttributesExW(queried.c_str(), GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        kept_.erase(key);
        return Search(folder);
    }
    const auto found = kept_.find(key);
    if (found != kept_.end()) {
        if (!fresh && SameTime(found->second.lastWrite, attributes.ftLastWriteTime) &&
            SameTime(found->second.creation, attributes.ftCreationTime))
            return found->second.listing;
        keptNames_ -= found->second.listing->names.size();
        kept_.erase(found);
    }

    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    auto listing = Search(folder);
    const uint64_t settle = static_cast<uint64_t>(settleMilliseconds_) * 10000;
    if (listing && Ticks(now) >= Ticks(attributes.ftLastWriteTime) + settle) {
        if (keptNames_ + listing->names.size() > kMaxKeptNames)
            Clear();
        keptNames_ += listing->names.size();
        kept_[key] = TKept{attributes.ftLastWriteTime, attributes.ftCreationTime, listing};
    }
    return listing;
}

std::shared_ptr<const TDirectoryListing> TDirectoryListingCache::Search(const std::wstring& folder)
{
    ++searches_;
    WIN32_FIND_DATAW data;
    TScopedFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!search)
        return nullptr;
    auto listing = std::make_shared<TDirectoryListing>();
    do {
        const std::wstring name = data.cFileName;
        if (IsDotEntry(name))
            continue;
        const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        std::wstring upper = UpperCase(name);
        TDirectoryListing::TName& entry = listing->byUpperName[upper];
        ++entry.count;
        if (!directory && !entry.hasFile) {
            entry.hasFile = true;
            ++listing->distinctFileNames;
        }
        listing->names.push_back(name);
        listing->upperNames.push_back(std::move(upper));
        listing->isDirectory.push_back(directory ? 1 : 0);
        listing->sizes.push_back(
            directory ? 0
                      : static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                             data.nFileSizeLow));
    } while (FindNextFileW(search.get(), &data));
    return listing;
}
