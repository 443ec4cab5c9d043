#include "ui/Timer.h"

namespace {

const UINT_PTR kTimerId = 1;

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    window_ = std::make_unique<TMessageWindow>(
        [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
            if (message != WM_TIMER || wParam != kTimerId)
                return false;
            Timer();
            result = 0;
            return true;
        },
        TMessageWindow::TKind::MessageOnly, this);
    UpdateTimer();
}

TTimer::~TTimer()
{
    enabled_ = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(UINT interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    UpdateTimer();
}

void TTimer::Restart()
{
    enabled_ = true;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    HWND window = window_ != nullptr ? window_->Handle() : nullptr;
    if (window == nullptr)
        return;
    if (running_) {
        KillTimer(window, kTimerId);
        running_ = false;
    }
    if (enabled_ && interval_ > 0)
        running_ = SetTimer(window, kTimerId, interval_, nullptr) != 0;
}

void TTimer::Timer()
{
    // A tick that arrives after the timer was stopped (already queued) is dropped.
    if (enabled_ && running_ && OnTimer)
        OnTimer(this);
}
