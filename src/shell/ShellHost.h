#pragma once
// The program the shell layer runs in, as far as the shell needs to know it: the window that
// owns the windows the shell opens (a network log-on, a context menu), the main window, the
// hint line where a context-menu entry's help text goes, and whether the program is ending.
// The program installs it once its application window exists; the shell reads no application
// object of its own. Without a host the shell's windows have no owner, hints go nowhere and
// the program is never ending.
#include <windows.h>

#include <functional>
#include <string>

struct TShellHost {
    // The window that owns the program's other top-level windows; may be asked on any thread.
    std::function<HWND()> Window;
    // The main form's window; null while there is none. GUI thread.
    std::function<HWND()> MainWindow;
    // GUI thread.
    std::function<void(const std::wstring& hint)> ShowHint;
    // GUI thread.
    std::function<bool()> Terminated;
};

// Installs `host` (an empty one for none) on the GUI thread; gives back the one it replaces.
TShellHost SetShellHost(TShellHost host);

// The host's window; null without one.
HWND ShellHostWindow();
// The main form's window, else the host's window; null without a host.
HWND MainWindowHandle();
// Whether the host takes hints, and showing one there.
bool ShellHostTakesHints();
void ShowShellHostHint(const std::wstring& hint);
bool ShellHostTerminated();

// Installs a host for a scope and puts the one before back at its end.
class TShellHostScope {
public:
    explicit TShellHostScope(TShellHost host) : previous_(SetShellHost(std::move(host))) {}
    ~TShellHostScope() { SetShellHost(std::move(previous_)); }
    TShellHostScope(const TShellHostScope&) = delete;
    TShellHostScope& operator=(const TShellHostScope&) = delete;

private:
    TShellHost previous_;
};
