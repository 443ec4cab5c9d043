#pragma once
// The check-box selection of a pane: a set of checked files and whole folders kept compact (a
// checked folder stands for everything below it), the state of any object in it, and running
// totals of the selected size and counts, computed in the background for folders.
#include "core/ComPtr.h"
#include "core/Component.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"
#include "link/DirectoryListingCache.h"
#include "link/SelectionPaths.h"
#include "link/ZelSelectionState.h"
#include "link/ZelStack.h"
#include "threadpool/WorkItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

class TZelShellLink;
class TZelFolderSizeWorkItem;

// Holds the entries and the totals.
class TZelBaseSelectionList : public TComponent {
public:
    explicit TZelBaseSelectionList(TComponent* owner) : TComponent(owner) {}

    // Files are entered by their full path, folders by their path followed by "\*".
    const TZelSelectionPaths& Paths() const noexcept { return paths_; }
    virtual void SetPaths(const TWideStringList& paths);
    // Empties the selection and zeroes the totals.
    virtual void Clear();

    // The totals; a value that is negative for the moment (a subtraction that arrived before
    // the matching addition) reads as 0.
    int64_t TotalSize() const noexcept { return totalSize_ < 0 ? 0 : totalSize_; }
    int FileCount() const noexcept { return fileCount_ < 0 ? 0 : fileCount_; }
    int FolderCount() const noexcept { return folderCount_ < 0 ? 0 : folderCount_; }

protected:
    void ZeroTotals() noexcept { totalSize_ = 0, fileCount_ = 0, folderCount_ = 0; }

    TZelSelectionPaths paths_;
    int64_t totalSize_ = 0;
    int fileCount_ = 0;
    int folderCount_ = 0;
};

class TZelSelectionList : public TZelBaseSelectionList {
public:
    // The owner, when it is a shell link, is told to redraw its controls after each change.
    explicit TZelSelectionList(TComponent* owner);
    ~TZelSelectionList() override;

    // Raised after every change of the entries.
    TNotifyEvent OnChange;
    // Raised when a background size result has been added to the totals.
    TNotifyEvent OnCompletedCalculateFiles;

    TZelShellLink* Link() const noexcept { return link_; }

    // A folder holding a "target.lnk" file stands for the shortcut's target (default on).
    bool ResolveFolderShortcuts() const noexcept { return resolveFolderShortcuts_; }
    void SetResolveFolderShortcuts(bool value) noexcept { resolveFolderShortcuts_ = value; }
    // Keep the totals up to date (default on).
    bool CountTotals() const noexcept { return countTotals_; }
    void SetCountTotals(bool value) noexcept { countTotals_ = value; }
    // Whether the size calculations follow junctions and symbolic links (default off).
    bool SizeOption() const noexcept { return sizeOption_; }
    void SetSizeOption(bool value) noexcept { sizeOption_ = value; }

    // State code (TZelSelectionState values 1 to 4) of a path; `inherited` tells that the path
    // is checked through a folder entry above it.
    int StateOf(const std::wstring& path, bool& inherited);
    int StateOf(const std::wstring& path);
    // The same for an absolute ID list; the computer folder and the network folder are partly
    // checked when some drive or network path is selected, and have no state otherwise.
    int StateOfIDList(TBorrowedIDList list, bool& inherited);
    int StateOfIDList(TBorrowedIDList list);
    // True when the path, or everything below it, is selected.
    bool IsChecked(const std::wstring& path);

    void Check(const std::wstring& path);
    void CheckIDList(TBorrowedIDList list);
    void Uncheck(const std::wstring& path);
    void UncheckIDList(TBorrowedIDList list);
    void Clear() override;
    // Replaces the selection by the given paths, each entered as by Check.
    void SetPaths(const TWideStringList& paths) override;
    void Assign(const TZelSelectionList& other);

    // While locked, changes do not make the link redraw its controls; unlocking handles one
    // change.
    void LockRefresh() noexcept { refreshLocked_ = true; }
    void UnlockRefresh();
    bool RefreshLocked() const noexcept { return refreshLocked_; }

    // Every selected file, one per call: the file entries in entry order, then the files below
    // each folder entry, depth first. Empty when all have been given; the next call starts over.
    std::wstring NextFile();

private:
    // NormalizePath of the path, or of its target when it is a folder shortcut and shortcuts
    // are resolved; `shortcut` tells that it is one.
    std::wstring ResolvedEntry(const std::wstring& path, bool& shortcut) const;
    // The state of an entry as NormalizePath gives it, and of one known to be in the list's
    // terms already (no drive, shortcut or existence test).
    int StateOfEntry(const std::wstring& entry, bool& inherited);
    int EntryState(const std::wstring& entry, bool& inherited) const;
    bool AncestorChecked(const std::wstring& entry) const;
    // True when every entry of `folder` other than `excluded` counts as checked; false when
    // the folder cannot be searched. `emptyResult` answers for a folder with no entries.
    bool ChildrenChecked(const std::wstring& folder, const std::wstring& excluded, bool emptyResult,
                         bool& searched);
    // IsChecked for a file and for a folder of a folder listing.
    bool FileChecked(const std::wstring& path) const;
    bool SubfolderChecked(const std::wstring& path);
    // The highest folder, from `folder` up, whose every entry other than the one on the way up
    // (first `child`) is checked, with a trailing backslash at a root; `child` itself when
    // `folder` is not covered; empty when a folder cannot be searched.
    std::wstring CoveredAncestor(const std::wstring& folder, const std::wstring& child);
    // Enters everything in `folder` except `excluded`, and so on upwards while the folder above
    // is checked; returns the covering folder.
    std::wstring ExpandAncestor(const std::wstring& folder, const std::wstring& excluded);
    void RemoveDescendants(const std::wstring& path);
    // Deletes the entry and takes back what it added to the totals.
    void DeleteEntry(int index);

    // The totals are the sum of what each entry added when it came in: a file its size at
    // once, a folder its measurement once that is back. Taking an entry out subtracts exactly
    // that (or drops the measurement still on its way), whatever changed on disk meanwhile.
    void CountFile(const std::wstring& entry, int64_t size);
    void MeasureFolder(const std::wstring& entry);
    void TakeBack(const std::wstring& entry);
    void CancelCalculations();
    void SizeCalculated(TZelFolderSizeWorkItem* item, const std::wstring& key,
                        uint64_t measurement);

    void PathsChanged();
    void CloseSearches();
    bool NextFileOfTop(std::wstring& file);
    bool NextSubdirectoryOfTop(std::wstring& name);

    TZelShellLink* link_ = nullptr;
    TScopedFindHandle fileSearch_;
    WIN32_FIND_DATAW fileSearchFirst_{};
    bool fileSearchFirstPending_ = false;
    TZelStack stack_;
    bool refreshLocked_ = false;
    int folderCursor_ = 0;
    int fileCursor_ = 0;
    bool resolveFolderShortcuts_ = true;
    bool countTotals_ = true;
    bool sizeOption_ = false;

    TOwnedIDList computerIDList_;
    // Folder listings kept between queries, so that checking files one by one does not search
    // the folder again each time.
    TDirectoryListingCache listings_;
    struct TContribution {
        uint64_t measurement = 0;  // the folder measurement still to come; 0 once counted
        TComPtr<IWorkItem> item;   // that measurement's work item
        int64_t size = 0;
        int files = 0;
        int folders = 0;
    };
    // By upper-cased entry.
    std::unordered_map<std::wstring, TContribution> contributions_;
    uint64_t lastMeasurement_ = 0;

    // Completion handlers reach the list through this cell; the destructor empties it, so a
    // result that arrives later finds no list.
    std::shared_ptr<TZelSelectionList*> self_;
};
