#include "core/ProcessReference.h"

#include "core/Exception.h"

TProcessReference::TProcessReference() : released_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (!released_)
        throw Exception(L"The process reference could not be made");
}

HRESULT STDMETHODCALLTYPE TProcessReference::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid != IID_IUnknown) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TProcessReference::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE TProcessReference::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        SetEvent(released_.get());
    return static_cast<ULONG>(left);
}

bool TProcessReference::Released() const noexcept
{
    return WaitForSingleObject(released_.get(), 0) == WAIT_OBJECT_0;
}
