#pragma once
// The last stop for an exception that reaches an entry point from the system (a window
// procedure, a timer, a COM method, a callback): it must not unwind into system code. The
// application object installs the handler that shows it to the user; until then it goes to the
// debugger output.
#include <functional>
#include <type_traits>
#include <utility>

class TObject;

// Call from inside a catch block only. Never throws.
void HandleCallbackException(TObject* sender = nullptr) noexcept;

// Call from inside a catch block only. Never throws. Reports the exception once the GUI thread is
// back in its message loop, for failures in the middle of work that must finish first (a
// message box now would run a modal loop inside that work). While one such report waits,
// further ones are dropped: a handler that fails for every item of a folder gives one message.
void HandleCallbackExceptionLater() noexcept;

// Calls an application's event handler (an `On...` property) when it is assigned. What the
// handler raises is reported by HandleCallbackExceptionLater and the caller goes on with
// whatever the handler had set: a failing handler costs its own effect, not the operation
// that raised the event.
template <class Handler, class... Arguments>
void CallEventHandler(const Handler& handler, Arguments&&... arguments) noexcept
{
    if constexpr (std::is_constructible_v<bool, const Handler&>)
        if (!handler)
            return;
    try {
        handler(std::forward<Arguments>(arguments)...);
    } catch (...) {
        HandleCallbackExceptionLater();
    }
}

using TCallbackExceptionHandler = std::function<void(TObject* sender)>;
// The handler runs inside the catch block, so it can rethrow to look at the exception.
void SetCallbackExceptionHandler(TCallbackExceptionHandler handler);
