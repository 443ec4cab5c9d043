#include "ui/WindowSubclass.h"

#include "ui/Application.h"

#include <commctrl.h>

TWindowSubclass::~TWindowSubclass()
{
    Detach();
}

bool TWindowSubclass::Attach(HWND window, THandler handler)
{
    Detach();
    if (window == nullptr || !IsWindow(window))
        return false;
    handler_ = std::move(handler);
    if (!SetWindowSubclass(window, SubclassProcedure, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        handler_ = nullptr;
        return false;
    }
    window_ = window;
    return true;
}

void TWindowSubclass::Detach()
{
    if (window_ == nullptr)
        return;
    RemoveWindowSubclass(window_, SubclassProcedure, reinterpret_cast<UINT_PTR>(this));
    window_ = nullptr;
    handler_ = nullptr;
}

void TWindowSubclass::DefaultHandler(TMessage& message)
{
    if (window_ != nullptr)
        message.Result = DefSubclassProc(window_, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TWindowSubclass::SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<TWindowSubclass*>(data);
    TMessage msg{message, wParam, lParam, 0};
    bool handled = false;
    if (self->handler_) {
        try {
            // A copy: the handler may detach and so drop the function it runs in.
            const THandler handler = self->handler_;
            handled = handler(msg);
        } catch (...) {
            HandleCallbackException();
        }
    }
    if (!handled)
        msg.Result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY && self->window_ == window) {
        RemoveWindowSubclass(window, SubclassProcedure, reinterpret_cast<UINT_PTR>(self));
        self->window_ = nullptr;
        self->handler_ = nullptr;
    }
    return msg.Result;
}
