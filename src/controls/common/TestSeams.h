#pragma once
// What tests may put in place of the controls' own work, and why: each stands for something a
// test cannot make happen or cannot wait for (a result that comes late, twice or for an item
// that has gone; a user's drag; the other platform's answer; a dropped network connection).
// All are off in the program. A test sets one on the GUI thread and puts it back when done.
#include <windows.h>

#include <oleidl.h>

#include <functional>
#include <optional>
#include <string>

struct IWorkItem;
class TDiskWatcher;

// Sees every icon and thumbnail request of a shell list, with the receiver its result goes
// to, before the pool does; answering true keeps the request from the pool, so that the test
// answers it when and as often as it likes.
extern std::function<bool(IWorkItem* item, IUnknown* receiver)> WorkRequestHook;

// Replaces DoDragDrop (same arguments and result) while set: the system's drag loop runs until
// a real mouse button goes up.
extern std::function<HRESULT(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect)>
    DoDragDropHook;

// Decides TDiskWatcher::Needed as given (nullopt: by the platform again), so that both sides
// run on either platform.
void SetDiskWatchNeeded(std::optional<bool> needed);

// The watcher's next read of `folder` fails with `error`, as a dropped network connection
// makes it.
void FailNextDiskWatchRead(TDiskWatcher& watcher, const std::wstring& folder, DWORD error);
