#include "controls/common/ShellChangeNotifier.h"

#include "core/Assertion.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

#include <shlobj.h>

#include <algorithm>

namespace {

// Reports of the same kind about the same object closer together than this are one.
constexpr DWORD kRepeatWindow = 2500;
constexpr UINT_PTR kHeldReportsTimer = 1;

// The bytes of a list the shell gave with a report, as far as they may be read.
TByteSpan ReportListBytes(TBorrowedIDList list)
{
    return list != nullptr
               ? TByteSpan(reinterpret_cast<const std::uint8_t*>(list), IDListSize(list))
               : TByteSpan();
}

}  // namespace

// Shared with queued OnChange deliveries, which may outlive the notifier.
struct TZelShellChangeNotifier::TDeliveryState {
    bool alive = true;
    int pending = 0;
};

TZelShellChangeNotifier::TZelShellChangeNotifier(TComponent* owner)
    : TZelBaseComponent(owner), delivery_(std::make_shared<TDeliveryState>())
{
    fEnabled = IsDesigning();
    if (!IsDesigning())
        messageWindow_ = std::make_unique<TMessageWindow>(
            [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                return HandleMessage(message, wParam, lParam, result);
            },
            TMessageWindow::TKind::MessageOnly, this);
    BindDirectoryEvents();
}

TZelShellChangeNotifier::~TZelShellChangeNotifier()
{
    if (!IsDesigning())
        SetEnabled(false);
    FlushPendingDeliveries();
    delivery_->alive = false;
    messageWindow_.reset();
}

void TZelShellChangeNotifier::BindDirectoryEvents()
{
    directories_.OnChanging = [this] { DirectoriesChanging(); };
    directories_.OnChange = [this] { DirectoriesChanged(); };
}

void TZelShellChangeNotifier::Loaded()
{
    TZelBaseComponent::Loaded();
    if (fEnabled)
        Start();
}

void TZelShellChangeNotifier::SetEnabled(bool value)
{
    if (value == fEnabled)
        return;
    fEnabled = value;
    if (IsLoading())
        return;  // Loaded starts an enabled notifier
    if (value)
        Start();
    else
        Stop();
}

void TZelShellChangeNotifier::SetEventFilter(const TNotificationEvents& value)
{
    if (value == eventFilter_)
        return;
    eventFilter_ = value;
    if (active_) {
        Stop();
        Start();
    }
}

void TZelShellChangeNotifier::SetRecursive(bool value)
{
    if (value == recursive_)
        return;
    recursive_ = value;
    if (active_) {
        Stop();
        Start();
    }
}

void TZelShellChangeNotifier::WatchIDList(TBorrowedIDList list)
{
    Stop();
    if (directories_.Count() == 1 && directories_.Strings(0).empty())
        directories_.Quietly([this] { directories_.Delete(0); });
    watchedIDList_ = CopyIDList(list);
    Start();
}

ULONG TZelShellChangeNotifier::RegisterIDList(TBorrowedIDList list)
{
    if (ShellEntries.ChangeNotifyRegisterEntry == nullptr) {
        SetEnabled(false);
        return 0;
    }
    if (!fEnabled || IsDesigning() || MessageWindow() == nullptr)
        return 0;
    int sources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel;
    if (recursive_)
        sources |= SHCNRF_RecursiveInterrupt;
    SHChangeNotifyEntry entry{list, recursive_ ? TRUE : FALSE};
    return ShellEntries.ChangeNotifyRegisterEntry(
        MessageWindow(), sources, ShellFlagsOf(eventFilter_), WM_ZEL_SHELLNOTIFY, 1, &entry);
}

void TZelShellChangeNotifier::DeregisterHandle(ULONG handle)
{
    if (handle == 0)
        return;
    if (IsDesigning())
        AssertionFailed(L"Assertion failure", L"ZELControls", 2298);
    if (ShellEntries.ChangeNotifyDeregisterEntry != nullptr)
        ShellEntries.ChangeNotifyDeregisterEntry(handle);
}

void TZelShellChangeNotifier::Start()
{
    if (!fEnabled || IsDesigning())
        return;
    directories_.Quietly([this] {
        if (directories_.Count() == 0 && !internalCallback_ && !watchedIDList_) {
            directories_.Add(std::wstring());
            recursive_ = true;
        }
        if (watchedIDList_)
            watchedHandle_ = RegisterIDList(watchedIDList_);
        for (int index = 0; index < directories_.Count(); ++index) {
            if (directories_.Handle(index) != 0)
                continue;
            const TOwnedIDList list = IDListFromPath(nullptr, directories_.Strings(index));
            if (list)
                directories_.SetHandle(index, RegisterIDList(list));
        }
    });
    active_ = true;
}

void TZelShellChangeNotifier::Stop()
{
    // What was held belongs to the watches that end here.
    held_.clear();
    if (!active_)
        return;
    active_ = false;
    DeregisterHandle(watchedHandle_);
    watchedHandle_ = 0;
    directories_.Quietly([this] {
        for (int index = 0; index < directories_.Count(); ++index) {
            DeregisterHandle(directories_.Handle(index));
            directories_.SetHandle(index, 0);
        }
    });
}

void TZelShellChangeNotifier::DirectoriesChanging()
{
    Stop();
}

void TZelShellChangeNotifier::DirectoriesChanged()
{
    Stop();
    if (directories_.Count() > 1 && directories_.Strings(0).empty())
        directories_.Quietly([this] { directories_.Delete(0); });
    Start();
}

bool TZelShellChangeNotifier::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT& result)
{
    if (message == WM_TIMER && wParam == kHeldReportsTimer) {
        KillTimer(MessageWindow(), kHeldReportsTimer);
        if (fEnabled)
            PassOnHeldReports();
        result = 0;
        return true;
    }
    if (!fEnabled || message != WM_ZEL_SHELLNOTIFY || wParam == 0)
        return false;
    HandleReport(reinterpret_cast<const LPCITEMIDLIST*>(wParam), static_cast<long>(lParam));
    result = 0;
    return true;
}

void TZelShellChangeNotifier::HandleReport(const LPCITEMIDLIST* lists, long shellFlag)
{
    const TChangeReport report =
        DecodeChangeReport(static_cast<std::uint32_t>(shellFlag), ReportListBytes(lists[0]),
                           ReportListBytes(lists[1]), IsNT);
    const long flag = static_cast<long>(report.Flag);
    const TNotificationEvent event = report.Event;
    if (!eventFilter_.test(static_cast<size_t>(event)))
        return;
    // A list the decoding refused is passed on as none.
    const LPCITEMIDLIST first = report.First.empty() ? nullptr : lists[0];
    const LPCITEMIDLIST second = report.Second.empty() ? nullptr : lists[1];

    if (event == neImageListChange) {
        std::wstring index;
        if (report.HasImageIndex)
            index = std::to_wstring(report.ImageIndex);
        lastEventFlag_ = flag;
        lastIDList_ = CopyIDList(first);
        lastTick_ = GetTickCount();
        CallInternalCallback(event, first, second);
        DispatchChange(this, event, index, L"");
        return;
    }
    const bool repeated = event != neAssociationChange && flag == lastEventFlag_ &&
                          first != nullptr && IDListItemCount(first) > 0 && lastIDList_ &&
                          SameIDLists(first, lastIDList_) &&
                          GetTickCount() - lastTick_ < kRepeatWindow;
    if (repeated)
        Hold(flag, event, first, second);
    else
        PassOn(flag, event, first, second);
}

void TZelShellChangeNotifier::PassOn(long flag, TNotificationEvent event, TBorrowedIDList first,
                                     TBorrowedIDList second)
{
    std::wstring path1, path2;
    if (event != neAssociationChange) {
        path1 = PathFromIDList(first);
        path2 = PathFromIDList(second);
    }
    lastEventFlag_ = flag;
    lastIDList_ = CopyIDList(first);
    lastTick_ = GetTickCount();
    CallInternalCallback(event, first, second);
    DispatchChange(this, event, path1, path2);
}

void TZelShellChangeNotifier::Hold(long flag, TNotificationEvent event, TBorrowedIDList first,
                                   TBorrowedIDList second)
{
    for (THeldReport& held : held_)
        if (held.flag == flag && SameIDLists(held.first, first)) {
            held.second = CopyIDList(second);
            return;
        }
    held_.push_back(
        THeldReport{flag, event, CopyIDList(first), CopyIDList(second), lastTick_ + kRepeatWindow});
    ScheduleHeldReports();
}

void TZelShellChangeNotifier::PassOnHeldReports()
{
    const DWORD now = GetTickCount();
    std::vector<THeldReport> due;
    for (size_t index = held_.size(); index-- > 0;)
        if (static_cast<LONG>(held_[index].due - now) <= 0) {
            due.insert(due.begin(), std::move(held_[index]));
            held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(index));
        }
    ScheduleHeldReports();
    for (const THeldReport& held : due)
        PassOn(held.flag, held.event, held.first, held.second);
}

void TZelShellChangeNotifier::ScheduleHeldReports()
{
    if (held_.empty() || MessageWindow() == nullptr)
        return;
    const DWORD now = GetTickCount();
    LONG wait = kRepeatWindow;
    for (const THeldReport& held : held_)
        wait = std::min(wait, static_cast<LONG>(held.due - now));
    SetTimer(MessageWindow(), kHeldReportsTimer, static_cast<UINT>(std::max<LONG>(wait, 0)) + 1,
             nullptr);
}

void TZelShellChangeNotifier::CallInternalCallback(TNotificationEvent event, TBorrowedIDList first,
                                                   TBorrowedIDList second)
{
    if (!internalCallback_)
        return;
    // The owner's refresh failing is its own failure: OnChange still hears of the report.
    try {
        const TZelNotifierCallback callback = internalCallback_;
        callback(this, event, first, second);
    } catch (...) {
        HandleCallbackException(this);
    }
}

// ---------------------------------------------------------------------------------------------
// OnChange delivery: a work item that passes through a worker of the pool and synchronises
// back, so OnChange runs on the GUI thread after the report's message has been handled.

namespace {

class TZelNotifyWorkItem : public TBasicWorkItem {
public:
    TZelNotifyWorkItem(std::function<void()> deliver) : deliver_(std::move(deliver)) {}
    void Execute() override { Synchronize(deliver_); }

private:
    std::function<void()> deliver_;
};

}  // namespace

void TZelShellChangeNotifier::DispatchChange(TObject* Sender, TNotificationEvent Event,
                                             const std::wstring& path1, const std::wstring& path2)
{
    if (!OnChange)
        return;
    std::shared_ptr<TDeliveryState> state = delivery_;
    TZelShellNotifierEvent handler = OnChange;
    ++state->pending;
    TComPtr<IWorkItem> item = new TZelNotifyWorkItem([=] {
        --state->pending;
        if (!state->alive)
            return;
        // Runs on the GUI thread from the synchronised call: a failing handler is reported
        // here rather than handed back to the worker, which could only drop it.
        try {
            handler(Sender, Event, path1, path2);
        } catch (...) {
            HandleCallbackException(Sender);
        }
    });
    if (WorkerPool == nullptr) {
        --state->pending;
        return;  // no pool (start-up or shutdown): nothing can carry the call
    }
    // Nothing waits for a delivery that never left.
    TScopeExit notPending([&state] { --state->pending; });
    WorkerPool->AddWorkItem(item.Get());
    notPending.Dismiss();
}

void TZelShellChangeNotifier::FlushPendingDeliveries()
{
    // Deliver the OnChange calls already queued before the notifier goes away.
    if (!IsMainThread())
        return;
    const DWORD start = GetTickCount();
    CheckSynchronize();
    while (delivery_->pending > 0 && GetTickCount() - start < 3000)
        CheckSynchronize(20);
}
