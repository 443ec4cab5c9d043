#include "threadpool/WorkItem.h"

#include <windows.h>

HRESULT STDMETHODCALLTYPE TBasicWorkItem::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TBasicWorkItem::AddRef()
{
    return ++refCount_;
}

ULONG STDMETHODCALLTYPE TBasicWorkItem::Release()
{
    const ULONG count = --refCount_;
    if (count == 0)
        delete this;
    return count;
}

void TBasicWorkItem::SetOnWorkDone(TWorkDoneEvent handler)
{
    onWorkDone_ = std::move(handler);
    // Not for an aborted item: its owner cancelled it and may be gone.
    if (onWorkDone_)
        completionHandler_ = [this] {
            if (!WaitIfPausedAndCheckAborted())
                onWorkDone_(this);
        };
    else
        completionHandler_ = nullptr;
}

bool TBasicWorkItem::WaitIfPausedAndCheckAborted()
{
    while (paused_ && !aborted_)
        Sleep(100);
    return aborted_;
}
