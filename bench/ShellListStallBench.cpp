// How long the window stops answering while the shell list does everyday things to a big
// folder, against a floor measured the same way in the same run: a bare list view of the same
// class and styles with as many owner-data items, answering only texts and one icon.
//
// A watcher thread sends a message to a window of the list's thread every 10 ms; an answer that
// takes more than 100 ms is a stall. Each case prints its longest stall and the sum of its
// stalls, for the list and the floor, and the ratio of their longest stalls.
//
// Cases (groups): view: details > list > icons > details, details > thumbnails > details, each
// without and with a selection; keys: Ctrl+A, then Home, a click on an item, and Down, each
// deselecting everything but one item; sort: a column click against a refill; burst: 5,000
// files made in 10 bursts of 500, 0.2 s apart, by another thread into the folder the list
// shows (the list must follow and end equal to the folder).
//
// Usage: bench_shelllist_stall.exe <folder of files> [groups, comma separated] [burst folder]
#include "ShellBenchSupport.h"
#include "controls/common/ColumnValues.h"
#include "controls/list/ShellList.h"
#include "core/ScopedResource.h"
#include "shell/PathUtils.h"
#include "ui/Application.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

constexpr DWORD kPingInterval = 10;
constexpr double kStall = 0.100;

// Pings a window every 10 ms from its own thread and keeps the answers slower than 100 ms.
class TStallWatcher {
public:
    explicit TStallWatcher(HWND target) : target_(target), thread_([this] { Run(); }) {}
    ~TStallWatcher()
    {
        stop_ = true;
        // The last ping is answered by the pump of whoever waits here.
        while (!stopped_) {
            PumpMessages();
            Sleep(1);
        }
        thread_.join();
    }
    TStallWatcher(const TStallWatcher&) = delete;
    TStallWatcher& operator=(const TStallWatcher&) = delete;

    void Reset()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        longest_ = 0;
        total_ = 0;
    }
    void Read(double& longest, double& total)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        longest = longest_;
        total = total_;
    }

private:
    void Run()
    {
        while (!stop_) {
            const double start = Seconds();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(target_, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &answer);
            const double took = Seconds() - start;
            if (took > kStall) {
                const std::lock_guard<std::mutex> lock(mutex_);
                longest_ = std::max(longest_, took);
                total_ += took;
            }
            Sleep(kPingInterval);
        }
        stopped_ = true;
    }

    HWND target_;
    std::mutex mutex_;
    double longest_ = 0;
    double total_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

void Pump()
{
    PumpMessages();
    CheckSynchronize(0);
}

// Pumps until `done` (or the limit), then 150 ms more so that a ping waiting meanwhile is
// answered and counted.
bool PumpUntil(const std::function<bool()>& done, double limit = 120)
{
    const double start = Seconds();
    bool reached = false;
    while (!(reached = done()) && Seconds() - start < limit) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    const double settle = Seconds();
    while (Seconds() - settle < 0.15) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return reached;
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_HOME || key == VK_END || key == VK_DOWN || key == VK_UP)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

void PressKey(WORD key, bool ctrl = false)
{
    std::vector<INPUT> inputs;
    if (ctrl)
        inputs.push_back(KeyInput(VK_CONTROL, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (ctrl)
        inputs.push_back(KeyInput(VK_CONTROL, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    INPUT inputs[3]{};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    inputs[0].mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

int SelectedCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

int FocusedIndex(HWND list)
{
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// The floor: a bare list view of owner-data items in a window of its own.
class TFloorList {
public:
    TFloorList(HWND model, int count) : count_(count)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &TFloorList::ParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Bivista.BenchFloor";
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        RECT bounds;
        GetWindowRect(GetAncestor(model, GA_ROOT), &bounds);
        parent_ =
            CreateWindowExW(0, L"Bivista.BenchFloor", L"floor", WS_OVERLAPPEDWINDOW, bounds.left,
                            bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
        RECT client;
        GetWindowRect(model, &client);
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(model, GWL_STYLE)) &
                            ~static_cast<DWORD>(WS_VISIBLE);
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(model, GWL_EXSTYLE));
        list_ = CreateWindowExW(exStyle, WC_LISTVIEWW, L"", style | WS_VISIBLE, 0, 0,
                                client.right - client.left, client.bottom - client.top, parent_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, ~0u,
                     SendMessageW(model, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        SetWindowTheme(list_, L"explorer", nullptr);
        SHFILEINFOW info{};
        const auto small = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        icon_ = info.iIcon;
        const auto large = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
        const HWND header = ListView_GetHeader(model);
        const int columns = header != nullptr ? Header_GetItemCount(header) : 1;
        for (int column = 0; column < columns; ++column) {
            LVCOLUMNW native{};
            native.mask = LVCF_TEXT | LVCF_WIDTH;
            native.cx = ListView_GetColumnWidth(model, column);
            wchar_t caption[] = L"Column";
            native.pszText = caption;
            SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&native));
        }
        SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
    }
    ~TFloorList() { DestroyWindow(parent_); }
    TFloorList(const TFloorList&) = delete;
    TFloorList& operator=(const TFloorList&) = delete;

    HWND Parent() const noexcept { return parent_; }
    HWND List() const noexcept { return list_; }
    int Count() const noexcept { return count_; }

    void SetView(DWORD view)
    {
        const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
        SetWindowLongPtrW(list_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | view);
        SetWindowPos(list_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        UpdateWindow(list_);
    }
    void SetState(int index, UINT state, UINT mask)
    {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }

private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<TFloorList*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NOTIFY && self != nullptr) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code == LVN_GETDISPINFOW) {
                LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
                if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr)
                    _snwprintf(item.pszText, static_cast<size_t>(item.cchTextMax),
                               item.iSubItem == 0 ? L"file%06d.txt" : L"%d KB", item.iItem);
                if ((item.mask & LVIF_IMAGE) != 0)
                    item.iImage = self->icon_;
                return 0;
            }
            if (header->code == LVN_ODFINDITEMW)
                return -1;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    int count_;
    int icon_ = 0;
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
};

struct TResult {
    std::string name;
    double longest = 0;
    double total = 0;
    double floorLongest = -1;
    double floorTotal = 0;
    std::string note;
};

class TBench {
public:
    TBench(TBenchForm& form, TZelShellList& list, TFloorList& floor)
        : form_(form),
          list_(list),
          floor_(floor),
          watcher_(form.Handle()),
          floorWatcher_(floor.Parent())
    {
    }

    // Times an action of the list (and of the floor when given) by the stalls it causes.
    void Case(const std::string& name, const std::function<void()>& prepare,
              const std::function<bool()>& action, const std::function<void()>& floorPrepare,
              const std::function<bool()>& floorAction)
    {
        TResult result;
        result.name = name;
        ShowOurs(true);
        if (prepare)
            prepare();
        SettlePool();
        PumpUntil([] { return false; }, 0.2);
        watcher_.Reset();
        if (!action())
            result.note = "did not finish";
        SettlePool();
        watcher_.Read(result.longest, result.total);
        if (floorAction) {
            ShowOurs(false);
            if (floorPrepare)
                floorPrepare();
            PumpUntil([] { return false; }, 0.2);
            floorWatcher_.Reset();
            if (!floorAction())
                result.note += " floor did not finish";
            floorWatcher_.Read(result.floorLongest, result.floorTotal);
            ShowOurs(true);
        }
        Print(result);
    }

    void Print(const TResult& result)
    {
        std::printf("%-32s %9.3fs %9.3fs", result.name.c_str(), result.longest, result.total);
        if (result.floorLongest > 0)
            std::printf(" %9.3fs %9.3fs %8.2f", result.floorLongest, result.floorTotal,
                        result.longest / result.floorLongest);
        else if (result.floorLongest == 0)
            std::printf(" %9.3fs %9.3fs %8s", result.floorLongest, result.floorTotal, "-");
        std::printf(" %s\n", result.note.c_str());
        std::fflush(stdout);
    }

    void ShowOurs(bool ours)
    {
        ShowWindow(ours ? floor_.Parent() : form_.Handle(), SW_HIDE);
        const HWND shown = ours ? form_.Handle() : floor_.Parent();
        ShowWindow(shown, SW_SHOW);
        SetForegroundWindow(shown);
        SetFocus(ours ? list_.Handle() : floor_.List());
        UpdateWindow(shown);
        PumpUntil([] { return false; }, 0.1);
    }

    TStallWatcher& Watcher() noexcept { return watcher_; }

private:
    TBenchForm& form_;
    TZelShellList& list_;
    TFloorList& floor_;
    TStallWatcher watcher_;
    TStallWatcher floorWatcher_;
};

// Some items selected, spread over the list, and the focus on one of them.
void SelectSome(TZelShellList& list)
{
    list.ClearSelection();
    const int count = list.Items()->Count();
    const TListView::TStateBatch batch(list);
    for (int index = 0; index < count; index += std::max(1, count / 100))
        list.Items()->Item(index)->SetSelected(true);
    list.Items()->Item(count / 2)->SetFocused(true);
}

void SelectSomeFloor(TFloorList& floor)
{
    floor.SetState(-1, 0, LVIS_SELECTED);
    for (int index = 0; index < floor.Count(); index += std::max(1, floor.Count() / 100))
        floor.SetState(index, LVIS_SELECTED, LVIS_SELECTED);
    floor.SetState(floor.Count() / 2, LVIS_FOCUSED, LVIS_FOCUSED);
}

bool Wanted(const std::wstring& groups, const wchar_t* group)
{
    return groups.empty() ||
           (L"," + groups + L",").find(L"," + std::wstring(group) + L",") != std::wstring::npos;
}

void ViewCases(TBench& bench, TZelShellList& list, TFloorList& floor, bool selection)
{
    const std::string suffix = selection ? ", selection" : "";
    struct TStep {
        const char* name;
        TViewStyle style;
        bool thumbnails;
        DWORD floorView;
    };
    const TStep steps[] = {{"details > list", vsList, false, LVS_LIST},
                           {"list > icons", vsIcon, false, LVS_ICON},
                           {"icons > details", vsReport, false, LVS_REPORT},
                           {"details > thumbnails", vsIcon, true, LVS_ICON},
                           {"thumbnails > details", vsReport, false, LVS_REPORT}};
    auto prepare = [&list, selection] {
        if (selection)
            SelectSome(list);
        else
            list.ClearSelection();
    };
    auto floorPrepare = [&floor, selection] {
        if (selection)
            SelectSomeFloor(floor);
        else
            floor.SetState(-1, 0, LVIS_SELECTED);
    };
    for (const TStep& step : steps) {
        const int count = list.Items()->Count();
        bench.Case(
            step.name + suffix, prepare,
            [&list, step, count] {
                if (step.thumbnails)
                    list.SetThumbnails(true);
                else
                    list.SetViewStyle(step.style);
                UpdateWindow(list.Handle());
                return PumpUntil([&] { return list.Items()->Count() == count; });
            },
            floorPrepare,
            [&floor, step] {
                floor.SetView(step.floorView);
                return PumpUntil([] { return true; });
            });
    }
}

void KeyCases(TBench& bench, TZelShellList& list, TFloorList& floor)
{
    const HWND ours = list.Handle();
    const HWND bare = floor.List();
    const int count = list.Items()->Count();
    auto clear = [&list] {
        list.ClearSelection();
        list.Items()->Item(0)->SetFocused(true);
    };
    auto floorClear = [&floor] {
        floor.SetState(-1, 0, LVIS_SELECTED);
        floor.SetState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    };
    bench.Case(
        "ctrl+a", clear,
        [ours, count] {
            PressKey('A', true);
            return PumpUntil([&] { return SelectedCount(ours) == count; });
        },
        floorClear,
        [&floor, bare, count] {
            // The bare list view has no key for it: what a program does on Ctrl+A.
            floor.SetState(-1, LVIS_SELECTED, LVIS_SELECTED);
            return PumpUntil([&] { return SelectedCount(bare) == count; });
        });
    auto selectAll = [&list] {
        list.SelectAll();
        list.Items()->Item(list.Items()->Count() / 2)->SetFocused(true);
    };
    auto floorSelectAll = [&floor] {
        floor.SetState(-1, LVIS_SELECTED, LVIS_SELECTED);
        floor.SetState(floor.Count() / 2, LVIS_FOCUSED, LVIS_FOCUSED);
    };
    bench.Case(
        "home after ctrl+a", selectAll,
        [ours] {
            PressKey(VK_HOME);
            return PumpUntil([&] { return SelectedCount(ours) == 1 && FocusedIndex(ours) == 0; });
        },
        floorSelectAll,
        [bare] {
            PressKey(VK_HOME);
            return PumpUntil([&] { return SelectedCount(bare) == 1 && FocusedIndex(bare) == 0; });
        });
    bench.Case(
        "down after ctrl+a", selectAll,
        [ours, count] {
            PressKey(VK_DOWN);
            return PumpUntil([&] { return SelectedCount(ours) == 1; });
        },
        floorSelectAll,
        [bare] {
            PressKey(VK_DOWN);
            return PumpUntil([&] { return SelectedCount(bare) == 1; });
        });
    auto itemPoint = [](HWND window) {
        RECT bounds{LVIR_LABEL, 0, 0, 0};
        const int top = static_cast<int>(SendMessageW(window, LVM_GETTOPINDEX, 0, 0));
        SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(top + 3),
                     reinterpret_cast<LPARAM>(&bounds));
        return POINT{bounds.left + 5, (bounds.top + bounds.bottom) / 2};
    };
    bench.Case(
        "click after ctrl+a", selectAll,
        [ours, itemPoint] {
            ClickAt(ours, itemPoint(ours));
            return PumpUntil([&] { return SelectedCount(ours) == 1; });
        },
        floorSelectAll,
        [bare, itemPoint] {
            ClickAt(bare, itemPoint(bare));
            return PumpUntil([&] { return SelectedCount(bare) == 1; });
        });
}

int ColumnShowing(TZelShellList& list, DWORD property)
{
    for (int column = 1; column < list.ColumnCount(); ++column)
        if (StoragePropertyOf(list.Browser().ShellFolder(), list.ColumnMap(column)) == property)
            return column;
    return -1;
}

void SortCases(TBench& bench, TZelShellList& list)
{
    double refill = 0, refillTotal = 0;
    bench.Case(
        "refill (F5)", nullptr,
        [&list] {
            list.RefreshContents();
            return PumpUntil([] { return true; });
        },
        nullptr, nullptr);
    bench.Watcher().Read(refill, refillTotal);
    const int size = ColumnShowing(list, kSizeProperty);
    const int type = ColumnShowing(list, kTypeProperty);
    for (const auto& [name, column] : {std::pair<const char*, int>{"sort by size", size},
                                       {"sort by type", type},
                                       {"sort by name", 0}}) {
        if (column < 0)
            continue;
        double longest = 0, total = 0;
        bench.Case(
            name, nullptr,
            [&list, column = column] {
                list.ColumnClick(column);
                UpdateWindow(list.Handle());
                return PumpUntil([] { return true; });
            },
            nullptr, nullptr);
        bench.Watcher().Read(longest, total);
        std::printf("%-32s %9.2f (longest stall / refill's)\n", "",
                    longest / std::max(refill, 0.001));
    }
}

// Another program writing many files into the folder shown.
void BurstCase(TBench& bench, TZelShellList& list, const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    // From a former run.
    WIN32_FIND_DATAW found;
    TScopedFindHandle find(
        FindFirstFileW((IncludeTrailingBackslash(folder) + L"*").c_str(), &found));
    if (find) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileW((IncludeTrailingBackslash(folder) + found.cFileName).c_str());
        } while (FindNextFileW(find.get(), &found));
    }
    find.reset();
    list.SetSpecialFolder(SF_DRIVES);
    list.SetPath(folder);
    PumpUntil([] { return false; }, 1.0);
    constexpr int kBursts = 10;
    constexpr int kPerBurst = 500;
    double longestGap = 0;
    bool equal = false;
    bench.Case(
        "burst 10 x 500 files", nullptr,
        [&] {
            std::atomic<bool> written{false};
            std::thread writer([&] {
                for (int burst = 0; burst < kBursts; ++burst) {
                    for (int file = 0; file < kPerBurst; ++file) {
                        wchar_t name[32];
                        _snwprintf(name, 32, L"burst%02d-%04d.txt", burst, file);
                        TScopedHandle handle(CreateFileW(
                            (IncludeTrailingBackslash(folder) + name).c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
                    }
                    Sleep(200);
                }
                written = true;
            });
            int lastCount = list.Items()->Count();
            double lastChange = Seconds();
            PumpUntil(
                [&] {
                    const int count = list.Items()->Count();
                    const double now = Seconds();
                    if (count != lastCount) {
                        lastCount = count;
                        lastChange = now;
                    } else if (!written) {
                        longestGap = std::max(longestGap, now - lastChange);
                    }
                    return written && count == kBursts * kPerBurst;
                },
                60);
            writer.join();
            equal = list.Items()->Count() == kBursts * kPerBurst;
            return equal;
        },
        nullptr, nullptr);
    std::printf("%-32s %9.3fs (longest time the list did not follow during the burst)\n", "",
                longestGap);
    std::printf("%-32s %9s (list equal to the folder at the end)\n", "", equal ? "yes" : "NO");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_shelllist_stall <folder> [groups] [burst folder]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring groups = argc > 2 ? argv[2] : L"";
    const std::wstring burstFolder =
        argc > 3 ? argv[3] : ExcludeTrailingBackslash(ExtractFilePath(folder)) + L"\\burst";
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    TApplication application;
    TBenchForm form(900, 700);
    TZelShellList* list = ShowBenchList(form);
    list->SetPath(folder);
    UpdateWindow(list->Handle());
    const int count = list->Items()->Count();
    if (count < 2) {
        std::fprintf(stderr, "%ls is missing or empty\n", folder.c_str());
        return 1;
    }
    SettlePool();
    TFloorList floor(list->Handle(), count);
    {
        TBench bench(form, *list, floor);
        std::printf("%d items\n%-32s %10s %10s %10s %10s %8s\n", count, "case", "longest", "total",
                    "floor", "floor tot.", "ratio");
        if (Wanted(groups, L"view")) {
            ViewCases(bench, *list, floor, false);
            ViewCases(bench, *list, floor, true);
        }
        if (Wanted(groups, L"keys")) {
            list->SetViewStyle(vsReport);
            floor.SetView(LVS_REPORT);
            KeyCases(bench, *list, floor);
        }
        if (Wanted(groups, L"sort"))
            SortCases(bench, *list);
        if (Wanted(groups, L"burst"))
            BurstCase(bench, *list, burstFolder);
    }
    return 0;
}
