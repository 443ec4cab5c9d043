#include "ui/Application.h"

#include "core/Exception.h"
#include "core/TextConversion.h"
#include "ui/Forms.h"

TApplication* Application = nullptr;

namespace {

std::wstring MessageOf(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message();
    return NarrowToWide(e.what());
}

bool IsUserInput(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: return true;
    default: return false;
    }
}

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    // Hidden but top-level: it owns the program's other top-level windows.
    window_ = std::make_unique<TMessageWindow>(nullptr, TMessageWindow::TKind::HiddenTopLevel);
    handle_ = window_->Handle();
    if (Application == nullptr) {
        Application = this;
        SetCallbackExceptionHandler([](TObject* sender) {
            if (Application != nullptr)
                Application->HandleException(sender);
        });
    }
}

TApplication::~TApplication()
{
    if (Application == this) {
        Application = nullptr;
        SetCallbackExceptionHandler(nullptr);
    }
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
    Dispatch(message);
    return true;
}

bool TApplication::PreTranslate(MSG& message)
{
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    TCustomForm* form = FormOfWindow(message.hwnd);
    return form != nullptr && form->PreTranslateMessage(message);
}

void TApplication::Dispatch(MSG& message)
{
    try {
        if (Application != nullptr && Application->OnUserInput && IsUserInput(message.message))
            Application->OnUserInput(message.hwnd);
        if (PreTranslate(message))
            return;
    } catch (...) {
        HandleCallbackException();
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool TApplication::HandleMessage()
{
    MSG message;
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0 || result == -1) {
        terminated_ = true;
        if (result == 0)
            PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    Dispatch(message);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG message;
    while (ProcessMessage(message)) {}
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
        Dispatch(message);
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
