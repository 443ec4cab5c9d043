#include "ui/Application.h"

TApplication* Application = nullptr;

namespace {

const wchar_t kApplicationWindowClass[] = L"TApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterApplicationWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ApplicationWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kApplicationWindowClass;
    RegisterClassExW(&windowClass);  // already registered is fine
}

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterApplicationWindowClass(instance);
    handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, instance, nullptr);
    if (Application == nullptr)
        Application = this;
}

TApplication::~TApplication()
{
    if (Application == this)
        Application = nullptr;
    if (handle_ != nullptr)
        DestroyWindow(handle_);
}

void TApplication::Terminate()
{
    if (!terminated_)
        PostQuitMessage(0);
    terminated_ = true;
}

bool TApplication::ProcessMessage(MSG& message)
{
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG message;
    while (ProcessMessage(message)) {
    }
}

void TApplication::Run()
{
    MSG message;
    while (!terminated_) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0 || result == -1) {
            terminated_ = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
