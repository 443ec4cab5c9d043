#include "core/CallbackException.h"

#include "core/Exception.h"
#include "core/TextConversion.h"

#include <windows.h>

#include <exception>
#include <string>

namespace {

TCallbackExceptionHandler& Handler()
{
    static TCallbackExceptionHandler handler;
    return handler;
}

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
