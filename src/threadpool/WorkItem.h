#pragma once
// Work for the worker pool. An item is reference-counted (the pool and the worker running it
// hold it), tagged with an owner for cancellation, and may have a completion handler that the
// worker runs on the GUI thread after Execute. Aborting sets a flag: a running item finishes,
// and its result is not applied.
#include <unknwn.h>

#include <atomic>
#include <functional>
#include <typeinfo>

// The owner tag: whatever queued the item (a control, a tree node, a list item); never owned.
using TWorkItemOwner = void*;
using TWorkItemHandler = std::function<void()>;

struct IWorkItem : public IUnknown {
    // Empty when the item has none.
    virtual TWorkItemHandler GetCompletionHandler() = 0;
    virtual TWorkItemOwner GetOwner() = 0;
    // Runs on a worker thread.
    virtual void Execute() = 0;
    virtual void Abort() = 0;
    virtual void SetPaused(bool paused) = 0;
    // The implementing class, for cancelling by class.
    virtual const std::type_info& ClassType() = 0;
};

class TBasicWorkItem : public IWorkItem {
public:
    using TWorkDoneEvent = std::function<void(TBasicWorkItem* item)>;

    TBasicWorkItem() = default;
    TBasicWorkItem(const TBasicWorkItem&) = delete;
    TBasicWorkItem& operator=(const TBasicWorkItem&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    TWorkItemHandler GetCompletionHandler() override { return completionHandler_; }
    TWorkItemOwner GetOwner() override { return owner_; }
    void Abort() override { aborted_ = true; }
    void SetPaused(bool paused) override { paused_ = paused; }
    const std::type_info& ClassType() override { return typeid(*this); }

    void SetOwner(TWorkItemOwner owner) noexcept { owner_ = owner; }
    bool Aborted() const noexcept { return aborted_; }
    bool Paused() const noexcept { return paused_; }

    // Set before the item is queued. A handler makes the completion handler call it with the
    // item (on the GUI thread) unless the item was aborted; an empty one removes both.
    void SetOnWorkDone(TWorkDoneEvent handler);
    const TWorkDoneEvent& OnWorkDone() const noexcept { return onWorkDone_; }

    // While paused and not aborted, sleeps in steps of 100 ms; then answers the aborted flag.
    // Result appliers call it first and apply nothing when it answers true.
    bool WaitIfPausedAndCheckAborted();

protected:
    virtual ~TBasicWorkItem() = default;
    void SetCompletionHandler(TWorkItemHandler handler) { completionHandler_ = std::move(handler); }

private:
    std::atomic<bool> paused_{false};
    TWorkItemHandler completionHandler_;
    TWorkDoneEvent onWorkDone_;
    TWorkItemOwner owner_ = nullptr;
    std::atomic<bool> aborted_{false};
    std::atomic<ULONG> refCount_{0};
};
