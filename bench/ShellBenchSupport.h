#pragma once
// What the shell control benches share: the shell and pool for the bench's life, a clock, the
// median of rounds, the baselines that walk a folder through the shell (a: enumeration, b: with
// every display name), a top-level window to hold a control, the wait for icon work to settle,
// and the peak working set.
#include "controls/list/ShellList.h"
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"
#include "ui/WinControl.h"

#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

// COM, the shell and the worker pool for the life of a bench, shut down on every way out
// (after the bench's windows, which are made inside it).
class TShellBenchSession {
public:
    TShellBenchSession() : started_(ShellStartup())
    {
        if (started_)
            ThreadPoolStartup();
    }
    ~TShellBenchSession()
    {
        if (!started_)
            return;
        ThreadPoolShutdown();
        ShellShutdown();
    }
    TShellBenchSession(const TShellBenchSession&) = delete;
    TShellBenchSession& operator=(const TShellBenchSession&) = delete;
    bool Started() const noexcept { return started_; }

private:
    TComInitScope com_;
    bool started_;
};

inline double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Walks the folder as the controls' browser does; with `names`, reads every display name too.
// The number of objects, -1 when the folder cannot be walked.
inline int Enumerate(const std::wstring& path, bool names)
{
    TComPtr<IShellFolder> folder;
    const TOwnedIDList list = IDListFromPath(nullptr, path);
    if (!list ||
        FAILED(DesktopFolder->BindToObject(list, nullptr, IID_IShellFolder,
                                           reinterpret_cast<void**>(folder.GetAddressOf()))) ||
        !folder)
        return -1;
    TComPtr<IEnumIDList> enumerator;
    if (FAILED(folder->EnumObjects(nullptr,
                                   SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                                   enumerator.GetAddressOf())) ||
        !enumerator)
        return -1;
    int count = 0;
    for (;;) {
        TOwnedIDList item;
        ULONG fetched = 0;
        if (enumerator->Next(1, item.put(), &fetched) != S_OK || !item)
            break;
        ++count;
        if (names) {
            STRRET text{};
            if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &text)))
                StrRetToString(item, text);
        }
    }
    return count;
}

class TBenchForm : public TWinControl {
public:
    TBenchForm(int width, int height) : TWinControl(nullptr) { SetBounds(0, 0, width, height); }
    ~TBenchForm() override { DestroyHandle(); }

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        params.WndParent = nullptr;
        params.WinClassName = L"Bivista.BenchForm";
    }
};

// A shell list filling the bench form (880 x 660), the form on screen.
inline TZelShellList* ShowBenchList(TBenchForm& form, bool automaticRefresh = true)
{
    auto* list = new TZelShellList(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 880, 660);
    list->SetAutomaticRefresh(automaticRefresh);
    form.Handle();
    UpdateWindow(form.Handle());
    return list;
}

inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Lets the icon work of what was drawn finish, so that it does not weigh on what follows.
inline void SettlePool()
{
    while (WorkerPool->PendingCount() > 0) {
        PumpMessages();
        CheckSynchronize(10);
    }
    PumpMessages();
}

inline double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace bench
