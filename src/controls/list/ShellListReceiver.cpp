#include "controls/list/ShellListReceiver.h"

#include "controls/list/ShellList.h"
#include "core/ScopedResource.h"
#include "ui/Application.h"

TShellListReceiver::TShellListReceiver(std::shared_ptr<TShellListResultLink> link, uint32_t item,
                                       uint32_t generation) noexcept
    : link_(std::move(link)), item_(item), generation_(generation)
{
}

HRESULT STDMETHODCALLTYPE TShellListReceiver::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IIconViewer))
        *object = static_cast<IIconViewer*>(this);
    else if (IsEqualIID(iid, IID_IThumbnailViewer))
        *object = static_cast<IThumbnailViewer*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TShellListReceiver::AddRef()
{
    return ++references_;
}

// The last reference may go on a worker thread: nothing here touches the list.
ULONG STDMETHODCALLTYPE TShellListReceiver::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

void STDMETHODCALLTYPE TShellListReceiver::SetImage(int index, BYTE kind, TWorkItemOwner)
{
    try {
        if (TZelShellList* list = link_->List)
            list->IconResult(item_, index, kind);
    } catch (...) {
        // An icon that cannot be shown keeps its placeholder.
    }
}

void STDMETHODCALLTYPE TShellListReceiver::SetThumbnail(HBITMAP bitmap, int imageIndex)
{
    TScopedGdiObject owned(bitmap);
    TZelShellList* list = link_->List;
    if (list == nullptr)
        return;
    try {
        list->ThumbnailResult(item_, generation_, static_cast<HBITMAP>(owned.release()),
                              imageIndex);
    } catch (...) {
        // From the list's OnThumbnailUpdated handler.
        HandleCallbackException(list);
    }
}
