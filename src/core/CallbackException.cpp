#include "core/CallbackException.h"

#include "core/Exception.h"
#include "core/SyncCall.h"
#include "core/TextConversion.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <string>

namespace {

TCallbackExceptionHandler& Handler()
{
    static TCallbackExceptionHandler handler;
    return handler;
}

std::atomic<bool> reportWaiting{false};

}  // namespace

void SetCallbackExceptionHandler(TCallbackExceptionHandler handler)
{
    Handler() = std::move(handler);
}

void HandleCallbackException(TObject* sender) noexcept
{
    try {
        if (Handler()) {
            Handler()(sender);
            return;
        }
        try {
            throw;
        } catch (const Exception& e) {
            OutputDebugStringW((L"Unhandled exception: " + e.Message() + L"\n").c_str());
        } catch (const std::exception& e) {
            OutputDebugStringW((L"Unhandled exception: " + NarrowToWide(e.what()) + L"\n").c_str());
        } catch (...) {
            OutputDebugStringW(L"Unhandled exception\n");
        }
    } catch (...) {
    }
}

void HandleCallbackExceptionLater() noexcept
{
    try {
        if (reportWaiting.exchange(true))
            return;
        // The mark goes with the last copy of the call: after the report (failures while its
        // message box is up are dropped too), or when the call is dropped unrun.
        std::shared_ptr<void> waiting(nullptr, [](void*) { reportWaiting = false; });
        std::exception_ptr error = std::current_exception();
        // No sender: the object may be gone by the time the report runs.
        Queue([error, waiting] {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                HandleCallbackException();
            }
        });
    } catch (...) {
        reportWaiting = false;
    }
}
