#include "ui/Application.h"

#include "core/Exception.h"
#include "core/TextConversion.h"

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

std::wstring MessageOf(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message();
    return NarrowToWide(e.what());
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

void TApplication::SetHint(const std::wstring& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    if (OnHint)
        OnHint(this);
}

void TApplication::HandleException(TObject* sender)
{
    try {
        throw;
    } catch (const std::exception& e) {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (...) {
        const Exception unknown(L"An unknown error occurred.");
        if (OnException)
            OnException(sender, unknown);
        else
            ShowException(unknown);
    }
}

void TApplication::ShowException(const std::exception& e)
{
    std::wstring text = MessageOf(e);
    if (!text.empty() && text.back() != L'.')
        text += L'.';
    MessageBoxW(mainFormHandle_ != nullptr ? mainFormHandle_ : handle_, text.c_str(), Title.c_str(),
                MB_OK | MB_ICONSTOP);
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

void HandleCallbackException(TObject* sender)
{
    // Whatever happens here must not throw: the caller is a callback from system code.
    try {
        if (Application != nullptr) {
            Application->HandleException(sender);
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            OutputDebugStringW((L"Unhandled exception: " + MessageOf(e) + L"\n").c_str());
        } catch (...) {
            OutputDebugStringW(L"Unhandled exception\n");
        }
    } catch (...) {
    }
}

std::wstring GetShortHint(const std::wstring& hint)
{
    const size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

std::wstring GetLongHint(const std::wstring& hint)
{
    const size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}
