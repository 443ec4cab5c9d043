#include "app/ShellFailureMessage.h"

#include "shell/ShellState.h"
#include "ui/Application.h"

#include <windows.h>

namespace {

void ShowShellFailure(const std::wstring& message)
{
    // Once the program is ending, later failures of the same kind are not shown again.
    if (Application != nullptr && Application->Terminated())
        return;
    MessageBoxW(nullptr, message.c_str(), nullptr, MB_OK | MB_ICONERROR);
    if (Application != nullptr)
        Application->Terminate();
}

}  // namespace

void InstallShellFailureMessage()
{
    SetShellFailureHook(ShowShellFailure);
}
