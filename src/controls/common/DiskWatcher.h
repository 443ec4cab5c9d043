#pragma once
// Watches folders on disk with ReadDirectoryChangesW, beside the shell's change reports: the
// shell reports only what programs announce, the disk watch sees every program's changes.
// One thread per watcher waits on all its folders (overlapped reads, never on the GUI thread)
// and hands what it saw to the GUI thread in batches through a posted message, so a burst of
// changes costs a few messages, not one per file.
#include "core/Component.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMessageWindow;

enum TDiskChangeKind {
    dcAdded,
    dcRemoved,
    dcModified,
    dcRenamed,
    // More changed than the system could tell one by one: look at the whole folder again.
    dcOverflow,
    // The folder itself went; its watch has ended. (A watch that fails on a folder still
    // there, or one that cannot be asked, is opened again later and reports dcOverflow then.)
    dcFolderGone,
};

struct TDiskChange {
    TDiskChangeKind Kind;
    // The watched folder as it was given.
    std::wstring Folder;
    // The object's name in the folder (the new name of a rename); empty for the folder itself.
    std::wstring Name;
    std::wstring OldName;
};

using TDiskChangesEvent = std::function<void(const std::vector<TDiskChange>& changes)>;

class TDiskWatcher : public TComponent {
public:
    // Each watch holds an open folder and a read buffer; beyond the budget folders go unwatched
    // (the shell's reports still reach them).
    static constexpr size_t kDefaultBudget = 32;

    explicit TDiskWatcher(TComponent* owner, size_t budget = kDefaultBudget);
    ~TDiskWatcher() override;

    // The folders to watch, first ones first when there are more than the budget allows.
    // Folders the system does not let us watch (see IsWatchable) are left out.
    void SetFolders(const std::vector<std::wstring>& folders);
    const std::vector<std::wstring>& Folders() const noexcept { return folders_; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);
    size_t Budget() const noexcept { return budget_; }

    // GUI thread, one call per batch.
    TDiskChangesEvent OnChanges;

    // Watches the thread holds open right now (a folder that could not be opened has none).
    size_t ActiveWatchCount() const;
    // Waits (a second at most) until the thread has opened and closed the watches for the
    // folders as they are now. Under Wine a folder deleted while a watch holds it open goes only
    // when the watch closes: whoever must know whether a folder still exists lets go of it first.
    bool WaitUntilApplied();

    // Whether disk watches run at all: only where the shell does not report the changes other
    // programs make. Windows' shell does (the change reports' interrupt-level source), and
    // there an open watch would keep every folder above it from being renamed or moved;
    // Wine's reports only what programs announce. Elsewhere the watcher watches nothing.
    static bool Needed();
    // A test's stand-in for a dropped connection (controls/common/TestSeams.h).
    friend void FailNextDiskWatchRead(TDiskWatcher& watcher, const std::wstring& folder,
                                      DWORD error);

    // A folder on a local fixed disk or a network share. Removable and optical media are left
    // to the shell's media reports: an open watch would keep the medium from being ejected.
    static bool IsWatchable(const std::wstring& folder);

private:
    struct TShared;

    void Publish();
    void Deliver();

    size_t budget_;
    bool enabled_ = true;
    std::vector<std::wstring> folders_;
    std::shared_ptr<TShared> shared_;
    std::unique_ptr<TMessageWindow> window_;
};
