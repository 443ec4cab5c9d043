#include "link/ZelSelectionList.h"

#include "core/CallbackException.h"
#include "link/SelectionPath.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ShellUtils.h"
#include "shell/ZelShellFolder.h"

namespace {

// Deeper than any real path; only guards against a path form that never reaches a root.
constexpr int kMaxFolderDepth = 1024;

bool IsDirectory(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TZelBaseSelectionList

void TZelBaseSelectionList::SetPaths(const TWideStringList& paths)
{
    TSelectionUpdateScope update(paths_);
    paths_.Clear();
    for (const auto& path : paths)
        paths_.Add(path);
}

void TZelBaseSelectionList::Clear()
{
    TSelectionUpdateScope update(paths_);
    paths_.Clear();
    ZeroTotals();
}

// ---------------------------------------------------------------------------------------------
// TZelSelectionList: construction and changes

TZelSelectionList::TZelSelectionList(TComponent* owner)
    : TZelBaseSelectionList(owner),
      link_(dynamic_cast<TZelShellLink*>(owner)),
      self_(std::make_shared<TZelSelectionList*>(this))
{
    paths_.OnChange = [this] { PathsChanged(); };
}

TZelSelectionList::~TZelSelectionList()
{
    *self_ = nullptr;
    paths_.OnChange = nullptr;
    CancelCalculations();
    CloseSearches();
}

void TZelSelectionList::PathsChanged()
{
    CloseSearches();
    // An empty selection has empty totals, and nothing still on its way may change that.
    if (paths_.Count() == 0) {
        CancelCalculations();
        ZeroTotals();
    }
    CallEventHandler(OnChange, this);
    if (!refreshLocked_ && link_ != nullptr)
        link_->RefreshChangesAll();
}

void TZelSelectionList::UnlockRefresh()
{
    refreshLocked_ = false;
    PathsChanged();
}

void TZelSelectionList::Clear()
{
    // A result still on its way must not land on the next selection's totals.
    CancelCalculations();
    TZelBaseSelectionList::Clear();
}

void TZelSelectionList::SetPaths(const TWideStringList& paths)
{
    const TWideStringList copy = paths;  // the argument may be our own entries
    TSelectionUpdateScope update(paths_);
    Clear();
    for (const auto& path : copy)
        Check(path);
}

void TZelSelectionList::Assign(const TZelSelectionList& other)
{
    SetPaths(other.Paths().Items());
}

// ---------------------------------------------------------------------------------------------
// State queries

std::wstring TZelSelectionList::ResolvedEntry(const std::wstring& path, bool& shortcut) const
{
    // Existence first: a file cannot hold a shortcut, so only folders need a second look.
    const std::wstring entry = NormalizePath(path);
    shortcut = IsFolderEntry(entry) && IsFolderShortcut(entry);
    if (!shortcut || !resolveFolderShortcuts_)
        return entry;
    return NormalizePath(ResolveLinkTarget(FolderShortcutFile(entry)));
}

int TZelSelectionList::StateOf(const std::wstring& path)
{
    bool inherited = false;
    return StateOf(path, inherited);
}

int TZelSelectionList::StateOf(const std::wstring& path, bool& inherited)
{
    inherited = false;
    if (path.empty())
        return ssNone;
    if (IsDriveRoot(path)) {
        uint64_t freeForCaller = 0, total = 0, totalFree = 0;
        if (!DiskFreeSpace(path, freeForCaller, total, totalFree))
            return ssNone;
    }
    bool shortcut = false;
    const std::wstring entry = ResolvedEntry(path, shortcut);
    if (entry.empty() || (shortcut && !resolveFolderShortcuts_))
        return ssNone;
    return EntryState(entry, inherited);
}

int TZelSelectionList::StateOfEntry(const std::wstring& entry, bool& inherited)
{
    // A file entry is what StateOf would make of it; a folder may itself be a shortcut.
    if (IsFolderEntry(entry))
        return StateOf(entry, inherited);
    return EntryState(entry, inherited);
}

int TZelSelectionList::EntryState(const std::wstring& entry, bool& inherited) const
{
    inherited = false;
    if (paths_.Contains(entry))
        return ssChecked;
    if (AncestorChecked(entry)) {
        inherited = true;
        return ssChecked;
    }
    const std::wstring below =
        IsFolderEntry(entry) ? entry.substr(0, entry.size() - 1) : entry + L'\\';
    return paths_.AnyContains(below) ? ssGrayed : ssUnChecked;
}

bool TZelSelectionList::AncestorChecked(const std::wstring& entry) const
{
    std::wstring current = entry;
    for (int depth = 0; depth < kMaxFolderDepth; ++depth) {
        if (paths_.Contains(current))
            return true;
        current = ParentFolderEntry(current);
        if (current.empty())
            return false;
    }
    return false;
}

int TZelSelectionList::StateOfIDList(TBorrowedIDList list)
{
    bool inherited = false;
    return StateOfIDList(list, inherited);
}

int TZelSelectionList::StateOfIDList(TBorrowedIDList list, bool& inherited)
{
    inherited = false;
    if (list == nullptr)
        return ssNone;
    // Both special folders sit directly below the desktop.
    if (IDListItemCount(list) == 1) {
        if (!computerIDList_)
            computerIDList_ = SpecialFolderIDList(SF_DRIVES);
        if (SameIDLists(list, computerIDList_))
            return paths_.DriveEntryCount() > 0 ? ssGrayed : ssNone;
        if (SameIDLists(list, NetworkIDList))
            return paths_.NetworkEntryCount() > 0 ? ssGrayed : ssNone;
    }
    return StateOf(PathFromIDList(list), inherited);
}

bool TZelSelectionList::IsChecked(const std::wstring& path)
{
    if (path.empty())
        return false;
    return SubfolderChecked(ExcludeTrailingBackslash(path));
}

bool TZelSelectionList::FileChecked(const std::wstring& path) const
{
    return paths_.Contains(path) || paths_.Contains(path + L"\\*");
}

bool TZelSelectionList::SubfolderChecked(const std::wstring& path)
{
    if (FileChecked(path))
        return true;
    // Covered bit by bit needs entries below it; without any, no need to look inside.
    if (!paths_.AnyContains(path + L'\\'))
        return false;
    bool searched = false;
    return ChildrenChecked(path, {}, false, searched);
}

bool TZelSelectionList::ChildrenChecked(const std::wstring& folder, const std::wstring& excluded,
                                        bool emptyResult, bool& searched)
{
    searched = false;
    const auto listing = listings_.Listing(folder);
    if (!listing)
        return false;
    searched = true;

    // The entry to leave out, by its name in this folder.
    std::wstring excludedName;
    int excludedCount = 0;
    bool excludedIsFile = false;
    if (!excluded.empty()) {
        const std::wstring upperExcluded = UpperCase(excluded);
        const std::wstring upperFolder = UpperCase(folder) + L'\\';
        if (upperExcluded.size() > upperFolder.size() &&
            upperExcluded.compare(0, upperFolder.size(), upperFolder) == 0) {
            excludedName = upperExcluded.substr(upperFolder.size());
            if (const auto* name = listing->Find(excludedName)) {
                excludedCount = name->count;
                excludedIsFile = name->hasFile;
            }
        }
    }
    if (listing->Count() - excludedCount == 0)
        return emptyResult;

    // Every file needs an entry of its own in this folder: fewer entries than files means one
    // is unchecked, without looking at any of them.
    const int files = listing->distinctFileNames - (excludedIsFile ? 1 : 0);
    if (paths_.CountInFolder(folder) < files)
        return false;

    const std::wstring prefix = folder + L'\\';
    for (int index = 0; index < listing->Count(); ++index)
        if (!listing->isDirectory[index] && listing->upperNames[index] != excludedName &&
            !FileChecked(prefix + listing->names[index]))
            return false;
    for (int index = 0; index < listing->Count(); ++index)
        if (listing->isDirectory[index] && listing->upperNames[index] != excludedName &&
            !SubfolderChecked(prefix + listing->names[index]))
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Changes

void TZelSelectionList::CheckIDList(TBorrowedIDList list)
{
    Check(PathFromIDList(list));
}

void TZelSelectionList::UncheckIDList(TBorrowedIDList list)
{
    Uncheck(PathFromIDList(list));
}

void TZelSelectionList::Check(const std::wstring& path)
{
    TSelectionUpdateScope update(paths_);
    bool shortcut = false;
    const std::wstring entry = ResolvedEntry(path, shortcut);
    if (entry.empty())
        return;
    bool inherited = false;
    const int state = StateOfEntry(entry, inherited);
    if (state == ssChecked)
        return;
    if (state == ssGrayed)
        RemoveDescendants(entry);
    if (countTotals_) {
        if (IsFolderEntry(entry)) {
            MeasureFolder(entry);
        } else {
            WIN32_FILE_ATTRIBUTE_DATA attributes{};
            int64_t size = 0;
            if (GetFileAttributesExW(entry.c_str(), GetFileExInfoStandard, &attributes))
                size = (static_cast<int64_t>(attributes.nFileSizeHigh) << 32) |
                       attributes.nFileSizeLow;
            CountFile(entry, size);
        }
    }
    paths_.Add(entry);
    // A folder whose every entry is now checked becomes one folder entry, as far up as that
    // holds.
    const std::wstring child = EntryStem(entry);
    const std::wstring covered = CoveredAncestor(ExtractFileDir(child), child);
    if (!covered.empty() && !SameFileName(covered, child))
        Check(covered);
}

std::wstring TZelSelectionList::CoveredAncestor(const std::wstring& folder,
                                                const std::wstring& child)
{
    std::wstring current = ExcludeTrailingBackslash(folder);
    std::wstring currentChild = child;
    for (int depth = 0; depth < kMaxFolderDepth; ++depth) {
        bool searched = false;
        const bool covered = ChildrenChecked(current, currentChild, true, searched);
        if (!searched)
            return {};
        if (!covered)
            return currentChild;
        if (SameFileName(current, currentChild))
            return IncludeTrailingBackslash(currentChild);
        currentChild = current;
        current = ExcludeTrailingBackslash(ExtractFileDir(current));
    }
    return {};
}

void TZelSelectionList::Uncheck(const std::wstring& path)
{
    TSelectionUpdateScope update(paths_);
    bool shortcut = false;
    const std::wstring entry = ResolvedEntry(path, shortcut);
    if (entry.empty())
        return;
    bool inherited = false;
    const int state = StateOfEntry(entry, inherited);
    if (state == ssChecked) {
        if (inherited) {
            // Replace the covering folder entry by entries for everything beside the path;
            // they count what they hold now, and the covering folder takes back its own part.
            const std::wstring stem = EntryStem(entry);
            const std::wstring covering = ExpandAncestor(ExtractFileDir(stem), stem);
            const int index = paths_.IndexOf(NormalizePath(IncludeTrailingBackslash(covering)));
            if (index >= 0)
                DeleteEntry(index);
        } else {
            const int index = paths_.IndexOf(entry);
            if (index >= 0)
                DeleteEntry(index);
        }
    } else if (state == ssGrayed) {
        RemoveDescendants(entry);
    }
}

std::wstring TZelSelectionList::ExpandAncestor(const std::wstring& folder,
                                               const std::wstring& excluded)
{
    std::wstring current = ExcludeTrailingBackslash(folder);
    std::wstring currentExcluded = excluded;
    for (int depth = 0; depth < kMaxFolderDepth; ++depth) {
        if (SameFileName(current, currentExcluded))
            return current;
        // Searched afresh: the new file entries count their sizes as they are now.
        if (const auto listing = listings_.Listing(current, countTotals_)) {
            const std::wstring upperExcluded = UpperCase(currentExcluded);
            for (int index = 0; index < listing->Count(); ++index) {
                const std::wstring full = current + L'\\' + listing->names[index];
                if (UpperCase(full) == upperExcluded)
                    continue;
                const std::wstring added = listing->isDirectory[index] ? full + L"\\*" : full;
                if (countTotals_) {
                    if (listing->isDirectory[index])
                        MeasureFolder(added);
                    else
                        CountFile(added, listing->sizes[index]);
                }
                paths_.Add(added);
            }
        }
        const std::wstring parent = ExcludeTrailingBackslash(ExtractFileDir(current));
        if (parent.empty() || SameFileName(parent, current) ||
            StateOf(IncludeTrailingBackslash(parent)) != ssChecked)
            return current;
        currentExcluded = current;
        current = parent;
    }
    return current;
}

void TZelSelectionList::RemoveDescendants(const std::wstring& path)
{
    std::wstring stem = path;
    if (!stem.empty() && stem.back() == L'*')
        stem.pop_back();
    const std::vector<int> indexes = paths_.IndexesContaining(IncludeTrailingBackslash(stem));
    for (const int index : indexes)
        TakeBack(paths_[index]);
    paths_.DeleteIndexes(indexes);
}

void TZelSelectionList::DeleteEntry(int index)
{
    if (index < 0 || index >= paths_.Count())
        return;
    TakeBack(paths_[index]);
    paths_.Delete(index);
}

// ---------------------------------------------------------------------------------------------
// Walking the selected files

void TZelSelectionList::CloseSearches()
{
    folderCursor_ = 0;
    fileCursor_ = 0;
    fileSearch_.reset();
    fileSearchFirstPending_ = false;
    stack_.Clear();
}

std::wstring TZelSelectionList::NextFile()
{
    const int count = paths_.Count();
    if (folderCursor_ >= count && stack_.Empty() && !fileSearch_)
        folderCursor_ = 0;
    while (fileCursor_ < count) {
        const std::wstring& entry = paths_[fileCursor_++];
        if (!IsFolderEntry(entry))
            return entry;
    }
    for (;;) {
        if (!stack_.Empty()) {
            std::wstring file;
            if (NextFileOfTop(file))
                return file;
            std::wstring name;
            if (NextSubdirectoryOfTop(name)) {
                TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
                WIN32_FIND_DATAW first;
                HANDLE search = FindFirstFileW((stack_.Path() + name + L"\\*").c_str(), &first);
                stack_.Push(search, name, &first);
                continue;
            }
            stack_.Pop();
            continue;
        }
        // Open the next folder entry that can be searched.
        while (stack_.Empty() && folderCursor_ < count) {
            const std::wstring& entry = paths_[folderCursor_++];
            if (!IsFolderEntry(entry))
                continue;
            const std::wstring folder = EntryStem(entry);
            TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
            WIN32_FIND_DATAW first;
            HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &first);
            stack_.Push(search, folder, &first);
        }
        if (stack_.Empty())
            break;
    }
    fileCursor_ = 0;
    return {};
}

bool TZelSelectionList::NextFileOfTop(std::wstring& file)
{
    if (stack_.TopFilesListed())
        return false;
    WIN32_FIND_DATAW data;
    if (!fileSearch_) {
        TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
        fileSearch_.reset(FindFirstFileW((stack_.Path() + L'*').c_str(), &fileSearchFirst_));
        fileSearchFirstPending_ = fileSearch_.valid();
    }
    while (fileSearch_) {
        if (fileSearchFirstPending_) {
            fileSearchFirstPending_ = false;
            data = fileSearchFirst_;
        } else if (!FindNextFileW(fileSearch_.get(), &data)) {
            break;
        }
        if (!IsDirectory(data)) {
            file = stack_.Path() + data.cFileName;
            return true;
        }
    }
    fileSearch_.reset();
    stack_.SetTopFilesListed();
    return false;
}

bool TZelSelectionList::NextSubdirectoryOfTop(std::wstring& name)
{
    WIN32_FIND_DATAW data;
    while (stack_.NextEntry(data)) {
        // A junction or symbolic link is not followed: it may lead back up the tree, and the
        // size totals leave it out too. Other reparse points (cloud folders) are walked.
        if (IsDirectory(data) && !IsDotEntry(data.cFileName) && !IsLinkEntry(data)) {
            name = data.cFileName;
            return true;
        }
    }
    return false;
}
