// The process entry: the shell and the worker pool start before any window; then the main
// window, the bookmark window and the about box are made in that order, the message loop runs
// until the main window closes, and everything ends in the reverse order, once the shell's own
// threads in the process have finished their work.
#include "app/AboutUnit.h"
#include "app/Bookmark.h"
#include "app/DllSearch.h"
#include "app/Main.h"
#include "app/ShellFailureMessage.h"
#include "app/ShellProcessReference.h"
#include "core/Exception.h"
#include "core/StartupTrace.h"
#include "core/SyncCall.h"
#include "core/TextConversion.h"
#include "shell/FolderPreread.h"
#include "shell/ShellHost.h"
#include "shell/ShellState.h"
#include "shell/SystemImageList.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

#include <memory>

namespace {

const wchar_t kTitle[] = L"Bivista";

// The shell (with OLE for the GUI thread) and the pool, started for the life of the scope and
// stopped in reverse order.
class TShellScope {
public:
    TShellScope() : started_(ShellStartup()) {}
    ~TShellScope()
    {
        if (started_)
            ShellShutdown();
    }
    TShellScope(const TShellScope&) = delete;
    TShellScope& operator=(const TShellScope&) = delete;
    bool Started() const noexcept { return started_; }

private:
    bool started_;
};

class TPoolScope {
public:
    TPoolScope() { ThreadPoolStartup(); }
    ~TPoolScope() { ThreadPoolShutdown(); }
    TPoolScope(const TPoolScope&) = delete;
    TPoolScope& operator=(const TPoolScope&) = delete;
};

class TSyncCallScope {
public:
    TSyncCallScope() { SyncCallStartup(); }
    ~TSyncCallScope() { SyncCallShutdown(); }
    TSyncCallScope(const TSyncCallScope&) = delete;
    TSyncCallScope& operator=(const TSyncCallScope&) = delete;
};

void ShowFatal(const std::wstring& message)
{
    MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

int Run()
{
    // Pane 1's folder is read from the start, while the program makes its windows.
    auto firstFolder = std::make_unique<TFolderPreread>(TfrmMain::StoredFirstFolder());
    InstallShellFailureMessage();
    TSyncCallScope syncCalls;
    TShellScope shell;
    if (!shell.Started())
        return 1;  // the failure was shown through the installed message
    TPoolScope pool;
    const TSystemImageListWarmUp iconsWarmUp;
    TraceStartup("shell and pool");

    TApplication application;
    application.Title = kTitle;
    // The shell's windows belong to the program's, and its menu hints go to the hint line.
    const TShellHostScope shellHost(
        TShellHost{[&application] { return application.Handle(); },
                   [&application] { return application.MainFormHandle(); },
                   [&application](const std::wstring& hint) { application.SetHint(hint); },
                   [&application] { return application.Terminated(); }});
    TraceStartup("application");
    // Pastes, drops and property sheets run on the shell's threads in this process: they hold
    // this reference, and the program waits for them at exit.
    TShellProcessReference shellReference;
    auto main = std::make_unique<TfrmMain>(nullptr, std::move(firstFolder));
    main->MakeMainForm();
    auto bookmark = std::make_unique<TfrmBookmark>(nullptr);
    auto about = std::make_unique<TfrmAbout>(nullptr);
    TraceStartup("windows made");
    bookmark->SetTarget(main.get());
    main->SetBookmarkWindow(bookmark.get());
    main->SetAboutBox(about.get());

    if (!application.Terminated()) {
        main->Show();
        TraceStartup("shown");
        application.Run();
    }

    // The bookmark window writes its file and the main window the settings as they go.
    main->SetBookmarkWindow(nullptr);
    main->SetAboutBox(nullptr);
    about.reset();
    bookmark.reset();
    main.reset();
    // A copy or move the shell still runs would die half done with the process.
    shellReference.WaitForShell();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    TraceStartup("entry");
    RestrictDllSearch();
    try {
        return Run();
    } catch (const Exception& e) {
        ShowFatal(e.Message());
    } catch (const std::exception& e) {
        ShowFatal(NarrowToWide(e.what()));
    } catch (...) {
        ShowFatal(L"An unknown error ended the program.");
    }
    return 1;
}
