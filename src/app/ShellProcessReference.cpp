#include "app/ShellProcessReference.h"

#include "app/ShellWorkWindow.h"
#include "ui/Application.h"

#include <shlobj.h>

#include <functional>

namespace {

void DispatchPendingMessages()
{
    if (Application != nullptr) {
        Application->ProcessMessages();
        return;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;  // the program is ending already
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Serves messages until `event` is set (true), or `stop` answers true or `timeout` milliseconds
// have passed (false).
bool ServeMessagesUntilSet(HANDLE event, DWORD timeout, const std::function<bool()>& stop)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0)
            return true;
        if (stop && stop())
            return false;
        DWORD wait = INFINITE;
        if (timeout != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeout)
                return false;
            wait = timeout - elapsed;
        }
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &event, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0 + 1)
            DispatchPendingMessages();
        else if (result == WAIT_FAILED)
            Sleep(10);  // never spin
    }
}

}  // namespace

TShellProcessReference::TShellProcessReference() : reference_(std::make_unique<TProcessReference>())
{
    SHSetInstanceExplorer(reference_.get());
    registered_ = true;
}

TShellProcessReference::~TShellProcessReference()
{
    if (!reference_)
        return;
    LetGo();
    // The shell's threads may still call Release on it: freed only once nobody holds it.
    if (reference_->Released())
        reference_.reset();
    else
        static_cast<void>(reference_.release());
}

void TShellProcessReference::LetGo()
{
    if (!registered_)
        return;
    registered_ = false;
    SHSetInstanceExplorer(nullptr);
    reference_->Release();
}

TShellWaitResult TShellProcessReference::WaitForShell(DWORD grace)
{
    LetGo();
    const HANDLE released = reference_->ReleasedEvent();
    if (ServeMessagesUntilSet(released, grace, nullptr))
        return TShellWaitResult::NotHeld;
    TfrmShellWork window(nullptr);
    window.Show();
    if (ServeMessagesUntilSet(released, INFINITE, [&window] { return window.QuitChosen(); }))
        return TShellWaitResult::Released;
    return TShellWaitResult::Abandoned;
}
