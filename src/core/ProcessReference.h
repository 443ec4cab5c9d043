#pragma once
// A reference on the process itself, lent to code that runs on its own threads inside the
// process (the shell's copy, move and property-sheet threads): while anyone holds it, the
// program must not end. Counted with interlocked operations from any thread; the program holds
// the first reference, and when the last one goes an event is set that the GUI thread waits on.
#include "core/ScopedResource.h"

#include <windows.h>
#include <unknwn.h>

class TProcessReference final : public IUnknown {
public:
    // Holds the program's own reference. Throws Exception when no event can be made.
    TProcessReference();
    TProcessReference(const TProcessReference&) = delete;
    TProcessReference& operator=(const TProcessReference&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    // The last release sets the event; the object is not freed by it (its owner frees it once
    // it has seen the event).
    ULONG STDMETHODCALLTYPE Release() override;

    // Manual-reset: set once every reference, the program's included, is gone.
    HANDLE ReleasedEvent() const noexcept { return released_.get(); }
    bool Released() const noexcept;

private:
    volatile LONG references_ = 1;
    TScopedHandle released_;
};
