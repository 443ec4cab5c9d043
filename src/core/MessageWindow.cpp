#include "core/MessageWindow.h"

#include "core/CallbackException.h"

namespace {

const wchar_t kMessageWindowClass[] = L"Bivista.MessageWindow";

}  // namespace

TMessageWindow::TMessageWindow(THandler handler, TKind kind, TObject* sender)
    : handler_(std::move(handler)), sender_(sender)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMessageWindowClass;
    RegisterClassExW(&windowClass);  // already registered is fine
    HWND parent = kind == TKind::MessageOnly ? HWND_MESSAGE : nullptr;
    handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kMessageWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                              parent, nullptr, instance, this);
}

TMessageWindow::~TMessageWindow()
{
    if (handle_ != nullptr) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

LRESULT CALLBACK TMessageWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
        TObject* sender = self->sender_;
        try {
            LRESULT result = 0;
            if (self->handler_(message, wParam, lParam, result))
                return result;
        } catch (...) {
            HandleCallbackException(sender);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
