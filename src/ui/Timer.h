#pragma once
// A timer component: raises OnTimer every Interval milliseconds while Enabled, on the thread
// that made it (as its messages are pumped).
#include "core/Component.h"
#include "core/MessageWindow.h"

#include <memory>

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    // Milliseconds; 0 stops the timer.
    UINT Interval() const noexcept { return interval_; }
    void SetInterval(UINT interval);
    // Starts the interval afresh (stops, then starts): a burst of calls leads to one tick
    // one interval after the last of them.
    void Restart();

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();

    std::unique_ptr<TMessageWindow> window_;
    bool enabled_ = true;
    bool running_ = false;
    UINT interval_ = 1000;
};
