#pragma once
// Work items and a pool for the pool's tests: items that take a set time (ending early when
// aborted unless told to ignore it) and log where and how they ran; a pool whose CPU load is
// whatever the test says.
#include "threadpool/ThreadPool.h"

#include <atomic>
#include <memory>

struct TItemLog {
    std::atomic<int> executed{0};
    std::atomic<int> handled{0};
    std::atomic<int> applied{0};
    std::atomic<int> destroyed{0};
    std::atomic<bool> started{false};
    std::atomic<DWORD> executeThread{0};
    std::atomic<DWORD> handlerThread{0};
};

class TTestItem : public TBasicWorkItem {
public:
    TTestItem(std::shared_ptr<TItemLog> log, DWORD duration, TWorkItemOwner owner = nullptr,
              bool ignoreAbort = false)
        : log_(std::move(log)), duration_(duration), ignoreAbort_(ignoreAbort)
    {
        SetOwner(owner);
        SetCompletionHandler([this] { ApplyResult(); });
    }
    ~TTestItem() override { ++log_->destroyed; }

    void Execute() override
    {
        log_->executeThread = GetCurrentThreadId();
        log_->started = true;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < duration_ && (ignoreAbort_ || !Aborted()))
            Sleep(2);
        ++log_->executed;
    }

    virtual void ApplyResult()
    {
        log_->handlerThread = GetCurrentThreadId();
        ++log_->handled;
        if (WaitIfPausedAndCheckAborted())
            return;
        ++log_->applied;
    }

private:
    std::shared_ptr<TItemLog> log_;
    DWORD duration_;
    bool ignoreAbort_;
};

class TOtherTestItem : public TTestItem {
public:
    using TTestItem::TTestItem;
};

class TTestPool : public TWorkerThreadPool {
public:
    explicit TTestPool(int cpuUsage) : TWorkerThreadPool(true), cpu(cpuUsage) {}
    std::atomic<int> cpu;

protected:
    int ReadCpuUsage() override { return cpu; }
};

inline std::shared_ptr<TItemLog> NewLog()
{
    return std::make_shared<TItemLog>();
}

// Waits (bounded) until the item has begun, without dispatching: the test decides when the GUI
// thread serves calls.
inline bool WaitStarted(const TItemLog& log)
{
    const DWORD start = GetTickCount();
    while (!log.started && GetTickCount() - start < 3000)
        Sleep(2);
    return log.started;
}
