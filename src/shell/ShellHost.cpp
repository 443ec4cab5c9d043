#include "shell/ShellHost.h"

#include "core/CriticalSection.h"

#include <memory>
#include <utility>

namespace {

// Replaced whole, so that a worker that asks for the window keeps the host it read.
struct TInstalledHost {
    TCriticalSection lock;
    std::shared_ptr<const TShellHost> host = std::make_shared<const TShellHost>();
};

TInstalledHost& Installed()
{
    static TInstalledHost installed;
    return installed;
}

std::shared_ptr<const TShellHost> CurrentHost()
{
    TInstalledHost& installed = Installed();
    const TCriticalSectionLock lock(installed.lock);
    return installed.host;
}

}  // namespace

TShellHost SetShellHost(TShellHost host)
{
    auto next = std::make_shared<const TShellHost>(std::move(host));
    TInstalledHost& installed = Installed();
    std::shared_ptr<const TShellHost> previous;
    {
        const TCriticalSectionLock lock(installed.lock);
        previous = std::exchange(installed.host, std::move(next));
    }
    return *previous;
}

HWND ShellHostWindow()
{
    const std::shared_ptr<const TShellHost> host = CurrentHost();
    return host->Window ? host->Window() : nullptr;
}

HWND MainWindowHandle()
{
    const std::shared_ptr<const TShellHost> host = CurrentHost();
    HWND main = host->MainWindow ? host->MainWindow() : nullptr;
    return main != nullptr ? main : ShellHostWindow();
}

bool ShellHostTakesHints()
{
    return static_cast<bool>(CurrentHost()->ShowHint);
}

void ShowShellHostHint(const std::wstring& hint)
{
    const std::shared_ptr<const TShellHost> host = CurrentHost();
    if (host->ShowHint)
        host->ShowHint(hint);
}

bool ShellHostTerminated()
{
    const std::shared_ptr<const TShellHost> host = CurrentHost();
    return host->Terminated && host->Terminated();
}
