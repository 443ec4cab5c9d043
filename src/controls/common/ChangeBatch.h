#pragma once
// The changes reported to a control wait in a batch for its refresh timer, so that a burst of
// reports is answered once, a delay after its last report. With a put-off limit a long burst
// is followed as it goes on: the answer is not put off past the limit (after the first waiting
// report) plus the delay. While the control is busy (filling, editing, inside its own work) the
// changes wait and the timer asks again a delay later.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TTimer;
struct TDiskChange;

class TChangeTimer {
public:
    // Every report puts the answer off by the whole delay.
    static constexpr DWORD kNoPutOffLimit = INFINITE;
    // Milliseconds; GetTickCount when none is given.
    using TClock = std::function<DWORD()>;

    explicit TChangeTimer(UINT delay, DWORD putOffLimit = kNoPutOffLimit, TClock clock = {});
    ~TChangeTimer();
    TChangeTimer(const TChangeTimer&) = delete;
    TChangeTimer& operator=(const TChangeTimer&) = delete;

    // True while the changes must wait.
    std::function<bool()> Busy;
    // The changes are due (the timer has stopped by then).
    std::function<void()> OnDue;

    // A report came: the delay starts again, unless the limit has put it off long enough.
    void Start();
    void Stop();
    bool Running() const noexcept;
    // By the clock, when the running timer runs out.
    DWORD DueAt() const noexcept { return dueAt_; }
    // The timer ran out.
    void Tick();

private:
    std::unique_ptr<TTimer> timer_;
    UINT delay_;
    DWORD putOffLimit_;
    TClock clock_;
    DWORD waitStart_ = 0;
    DWORD dueAt_ = 0;
};

// `TChanges` keeps the changes its own way: a vector each one in order, a map one per key (the
// first noted). Past `limit` changes the batch stands for everything instead.
template <class TChanges>
class TChangeBatch : public TChangeTimer {
public:
    using TChange = typename TChanges::value_type;
    static constexpr size_t kNoLimit = SIZE_MAX;
    struct TTaken {
        bool Whole;
        TChanges Changes;
    };

    explicit TChangeBatch(UINT delay, size_t limit = kNoLimit, DWORD putOffLimit = kNoPutOffLimit,
                          TClock clock = {})
        : TChangeTimer(delay, putOffLimit, std::move(clock)), limit_(limit)
    {
    }

    void Note(TChange change)
    {
        if (whole_)
            return;
        if (changes_.size() >= limit_) {
            NoteWhole();
            return;
        }
        changes_.insert(changes_.end(), std::move(change));
    }
    void NoteWhole() noexcept
    {
        whole_ = true;
        changes_.clear();
    }
    void Clear() noexcept
    {
        whole_ = false;
        changes_.clear();
    }
    bool Whole() const noexcept { return whole_; }
    const TChanges& Changes() const noexcept { return changes_; }
    bool Empty() const noexcept { return !whole_ && changes_.empty(); }
    // What was noted so far; the batch starts again empty.
    TTaken Take()
    {
        TTaken taken{whole_, std::move(changes_)};
        Clear();
        return taken;
    }

private:
    size_t limit_;
    bool whole_ = false;
    TChanges changes_;
};

// The changes of one folder, by the names of its objects (case ignored, as the file system
// compares them), or the whole folder.
class TFolderChanges : public TChangeBatch<std::map<std::wstring, std::wstring>> {
public:
    using TChangeBatch::TChangeBatch;

    // An object of the folder; no name stands for the folder itself.
    void NoteName(const std::wstring& name);
    // What the disk watch saw in the folder.
    void NoteDiskChange(const TDiskChange& change);
    // The names to look at again, in the order of their keys; `whole` when the folder is to be
    // looked at as a whole, as it is too when nothing was noted (the timer was started by
    // another way than a report).
    std::vector<std::wstring> TakeNames(bool& whole);
};
