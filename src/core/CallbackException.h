#pragma once
// The last stop for an exception that reaches an entry point from the system (a window
// procedure, a timer, a COM method, a callback): it must not unwind into system code. The
// application object installs the handler that shows it to the user; until then it goes to the
// debugger output.
#include <functional>

class TObject;

// Call from inside a catch block only. Never throws.
void HandleCallbackException(TObject* sender = nullptr) noexcept;

using TCallbackExceptionHandler = std::function<void(TObject* sender)>;
// The handler runs inside the catch block, so it can rethrow to look at the exception.
void SetCallbackExceptionHandler(TCallbackExceptionHandler handler);
