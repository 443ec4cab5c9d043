#include "controls/common/ChangeBatch.h"

#include "controls/common/DiskWatcher.h"
#include "core/TextCompare.h"
#include "ui/Timer.h"

TChangeTimer::TChangeTimer(UINT delay, DWORD putOffLimit, TClock clock)
    : timer_(std::make_unique<TTimer>(nullptr)),
      delay_(delay),
      putOffLimit_(putOffLimit),
      clock_(clock ? std::move(clock) : TClock([] { return GetTickCount(); }))
{
    timer_->SetEnabled(false);
    timer_->SetInterval(delay_);
    timer_->OnTimer = [this](TObject*) { Tick(); };
}

TChangeTimer::~TChangeTimer()
{
    timer_->SetEnabled(false);
    timer_->OnTimer = nullptr;
}

void TChangeTimer::Start()
{
    const DWORD now = clock_();
    if (!timer_->Enabled())
        waitStart_ = now;
    else if (putOffLimit_ != kNoPutOffLimit && now - waitStart_ >= putOffLimit_)
        return;
    dueAt_ = now + delay_;
    timer_->Restart();
}

void TChangeTimer::Stop()
{
    timer_->SetEnabled(false);
}

bool TChangeTimer::Running() const noexcept
{
    return timer_->Enabled();
}

void TChangeTimer::Tick()
{
    if (Busy && Busy()) {
        dueAt_ = clock_() + delay_;
        return;
    }
    Stop();
    if (OnDue)
        OnDue();
}

void TFolderChanges::NoteName(const std::wstring& name)
{
    if (name.empty())
        NoteWhole();
    else
        Note({UpperCase(name), name});
}

void TFolderChanges::NoteDiskChange(const TDiskChange& change)
{
    switch (change.Kind) {
    case dcAdded:
    case dcRemoved:
    case dcModified: NoteName(change.Name); break;
    case dcRenamed:
        NoteName(change.OldName);
        NoteName(change.Name);
        break;
    case dcOverflow:
    case dcFolderGone: NoteWhole(); break;
    }
}

std::vector<std::wstring> TFolderChanges::TakeNames(bool& whole)
{
    const TTaken taken = Take();
    std::vector<std::wstring> names;
    for (const auto& [key, name] : taken.Changes)
        names.push_back(name);
    whole = taken.Whole || names.empty();
    return names;
}
