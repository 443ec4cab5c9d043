#pragma once
// Asks the shell to report changes below a set of folders (and optionally one ID list),
// turns each report into a TNotificationEvent with the paths involved, drops reports outside
// the filter, and hands the rest to its owner: at once through the internal callback, and
// later, on the GUI thread, through OnChange. A report repeated within 2.5 seconds is held and
// passed on once when that time is up: a file written again and again costs one report per
// 2.5 seconds, and its last state is never lost.
#include "controls/common/NotificationEvents.h"
#include "controls/common/NotifierDirectories.h"
#include "core/IDListPtr.h"
#include "core/MessageWindow.h"
#include "link/ZelBaseComponent.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TZelShellChangeNotifier;

using TZelShellNotifierEvent =
    std::function<void(TObject* Sender, TNotificationEvent Event, const std::wstring& path1,
                       const std::wstring& path2)>;
// Called synchronously with the two raw ID lists of the report (either may be null).
using TZelNotifierCallback =
    std::function<void(TZelShellChangeNotifier* Sender, TNotificationEvent Event,
                       TBorrowedIDList first, TBorrowedIDList second)>;

// The window message through which the shell delivers reports.
constexpr UINT WM_ZEL_SHELLNOTIFY = 2011;

class TZelShellChangeNotifier : public TZelBaseComponent {
public:
    explicit TZelShellChangeNotifier(TComponent* owner);
    ~TZelShellChangeNotifier() override;

    void SetEnabled(bool value) override;

    TNotifierDirectories& Directories() noexcept { return directories_; }
    void SetDirectories(const std::vector<std::wstring>& paths) { directories_.Assign(paths); }

    const TNotificationEvents& EventFilter() const noexcept { return eventFilter_; }
    void SetEventFilter(const TNotificationEvents& value);
    bool Recursive() const noexcept { return recursive_; }
    void SetRecursive(bool value);

    TZelShellNotifierEvent OnChange;

    // Watch this absolute ID list besides the directories (a copy is kept); an only entry of
    // Directories that is the empty placeholder is dropped.
    void WatchIDList(TBorrowedIDList list);
    TBorrowedIDList WatchedIDList() const noexcept { return watchedIDList_; }
    void SetInternalCallback(TZelNotifierCallback callback)
    {
        internalCallback_ = std::move(callback);
    }

    bool Active() const noexcept { return active_; }
    HWND MessageWindow() const noexcept
    {
        return messageWindow_ != nullptr ? messageWindow_->Handle() : nullptr;
    }
    std::wstring Version() const { return L"TZelShellChangeNotifier V6.2.3"; }

    // Called for every delivered report; queues OnChange for the GUI thread when assigned.
    virtual void DispatchChange(TObject* Sender, TNotificationEvent Event,
                                const std::wstring& path1, const std::wstring& path2);

protected:
    void Loaded() override;

private:
    struct TDeliveryState;
    // A repeated report waiting for its turn (the newest of its kind).
    struct THeldReport {
        long flag = 0;
        TNotificationEvent event{};
        TOwnedIDList first;
        TOwnedIDList second;
        DWORD due = 0;
    };

    void Start();
    void Stop();
    void FlushPendingDeliveries();
    ULONG RegisterIDList(TBorrowedIDList list);
    void DeregisterHandle(ULONG handle);
    void DirectoriesChanging();
    void DirectoriesChanged();
    void BindDirectoryEvents();
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void HandleReport(const LPCITEMIDLIST* lists, long shellFlag);
    void PassOn(long flag, TNotificationEvent event, TBorrowedIDList first, TBorrowedIDList second);
    void Hold(long flag, TNotificationEvent event, TBorrowedIDList first, TBorrowedIDList second);
    void PassOnHeldReports();
    void ScheduleHeldReports();
    void CallInternalCallback(TNotificationEvent event, TBorrowedIDList first,
                              TBorrowedIDList second);

    // Its window procedure stops any exception from the handlers at the system's boundary.
    std::unique_ptr<TMessageWindow> messageWindow_;
    TNotifierDirectories directories_;
    TNotificationEvents eventFilter_ = AllKnownNotificationEvents();
    bool recursive_ = true;
    long lastEventFlag_ = 0;
    TOwnedIDList lastIDList_;
    DWORD lastTick_ = 0;
    std::vector<THeldReport> held_;
    bool active_ = false;
    TOwnedIDList watchedIDList_;
    ULONG watchedHandle_ = 0;
    TZelNotifierCallback internalCallback_;
    std::shared_ptr<TDeliveryState> delivery_;
};
