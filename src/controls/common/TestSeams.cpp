#include "controls/common/TestSeams.h"

// SetDiskWatchNeeded and FailNextDiskWatchRead reach the watcher's own state (DiskWatcher.cpp).

std::function<bool(IWorkItem* item, IUnknown* receiver)> WorkRequestHook;
std::function<HRESULT(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect)>
    DoDragDropHook;
