#include "ProgramDriver.h"

#include "core/TextConversion.h"

#include <commctrl.h>

#include <algorithm>

namespace {

std::wstring ProgramSource()
{
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path = own;
    // build/<arch>/tests/test_app.exe -> build/<arch>/bivista.exe
    path.erase(path.find_last_of(L'\\'));
    path.erase(path.find_last_of(L'\\') + 1);
    return path + L"bivista.exe";
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

RECT ScreenRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

struct TWindowSearch {
    DWORD process = 0;
    std::wstring className;
    std::wstring caption;
    bool visibleOnly = true;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TWindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || (search->visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    if (!search->className.empty() && ClassOf(window) != search->className)
        return TRUE;
    if (!search->caption.empty() && TextOf(window) != search->caption)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TWindowSearch*>(parameter);
    if (ClassOf(window) == search->className)
        search->found.push_back(window);
    return TRUE;
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_HOME || key == VK_END || key == VK_UP || key == VK_DOWN || key == VK_LEFT ||
        key == VK_RIGHT)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

INPUT MouseAt(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return input;
}

void Send(std::vector<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

int DesignScale(int pixels)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

bool SaveScreenshot(const std::string& hostPath)
{
    std::wstring command =
        L"\"Z:\\usr\\bin\\import\" -window root \"" + NarrowToWide(hostPath) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A host program's handle may be signalled before it has finished: wait for the file.
    const std::wstring windowsPath = L"Z:" + NarrowToWide(hostPath);
    return TProgramDriver::WaitFor(
        [&] { return GetFileAttributesW(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(1 << 20, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TProgramDriver::TProgramDriver(TTempTree& tree, const std::wstring& workName)
    : programFolder_(tree.Folder(L"program")), workFolder_(tree.Folder(workName))
{
    CopyFileW(ProgramSource().c_str(), (programFolder_ + L"\\bivista.exe").c_str(), FALSE);
}

TProgramDriver::~TProgramDriver()
{
    Kill();
}

void TProgramDriver::Kill()
{
    if (process_.hProcess == nullptr)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    main_ = nullptr;
}

void TProgramDriver::WriteSettings(const std::string& text) const
{
    WriteFileBytes(SettingsFile(), text);
}

std::string TProgramDriver::Setting(const char* section, const char* key, bool* present) const
{
    const std::string file = WideToNarrow(SettingsFile());
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "\x01", value, sizeof(value), file.c_str());
    const bool found = std::string(value) != "\x01";
    if (present != nullptr)
        *present = found;
    return found ? value : "";
}

bool TProgramDriver::Start()
{
    if (!StartShown())
        return false;
    // The panes reach their folders after the window shows: the combos read their drives then,
    // pane 2's last.
    const bool reached = WaitFor(
        [this] {
            HWND combo = Combo(2);
            DWORD_PTR count = 0;
            return !Running() ||
                   (combo != nullptr &&
                    SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &count) &&
                    count > 0);
        },
        30000);
    Settle();
    return reached && Running();
}

bool TProgramDriver::StartShown()
{
    Kill();
    std::wstring command = L"\"" + programFolder_ + L"\\bivista.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workFolder_.c_str(), &startup, &process_))
        return false;
    WaitFor(
        [this] {
            TWindowSearch search;
            search.process = process_.dwProcessId;
            search.className = L"Bivista.Form";
            search.caption = L"Bivista V1.3";
            EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
            main_ = search.found.empty() ? nullptr : search.found.front();
            return main_ != nullptr || !Running();
        },
        30000);
    if (main_ == nullptr)
        return false;
    Settle();
    return Running();
}

bool TProgramDriver::Running() const
{
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD TProgramDriver::Close()
{
    if (process_.hProcess == nullptr)
        return 98;
    if (main_ != nullptr)
        PostMessageW(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) {
        Kill();
        return 97;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    main_ = nullptr;
    return code;
}

std::vector<HWND> TProgramDriver::Children(const wchar_t* className) const
{
    TWindowSearch search;
    search.className = className;
    if (main_ != nullptr)
        EnumChildWindows(main_, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

std::vector<HWND> ByTop(std::vector<HWND> windows)
{
    std::stable_sort(windows.begin(), windows.end(),
                     [](HWND a, HWND b) { return ScreenRect(a).top < ScreenRect(b).top; });
    return windows;
}

HWND Nth(const std::vector<HWND>& windows, int pane)
{
    return static_cast<size_t>(pane) <= windows.size() ? windows[static_cast<size_t>(pane - 1)]
                                                       : nullptr;
}

}  // namespace

HWND TProgramDriver::List(int pane) const
{
    return Nth(ByTop(Children(L"Bivista.ListView")), pane);
}

HWND TProgramDriver::Tree(int pane) const
{
    return Nth(ByTop(Children(L"Bivista.TreeView")), pane);
}

HWND TProgramDriver::Combo(int pane) const
{
    const std::vector<HWND> bars = ByTop(Children(L"Bivista.ALStatusBar"));
    HWND bar = Nth(bars, pane);
    return bar != nullptr ? GetWindow(bar, GW_CHILD) : nullptr;
}

int TProgramDriver::ComboSelection(int pane) const
{
    HWND combo = Combo(pane);
    DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
    if (combo != nullptr)
        SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_NORMAL, 10000, &index);
    return static_cast<int>(index);
}

HWND TProgramDriver::ToolButton(int designLeft) const
{
    for (HWND button : Children(L"Bivista.SpeedButton")) {
        const RECT place = ClientRectIn(button, GetParent(button));
        if (place.left == DesignScale(designLeft))
            return button;
    }
    return nullptr;
}

HWND TProgramDriver::Pane2Panel() const
{
    HWND tree = Tree(2);
    return tree != nullptr ? GetParent(tree) : nullptr;
}

HWND TProgramDriver::TreePanel() const
{
    HWND tree = Tree(1);
    return tree != nullptr ? GetParent(tree) : nullptr;
}

HWND TProgramDriver::Splitter(int number) const
{
    for (HWND splitter : Children(L"Bivista.Splitter")) {
        const RECT rect = ScreenRect(splitter);
        const bool vertical = rect.right - rect.left < rect.bottom - rect.top;
        const bool inMain = GetParent(splitter) == main_;
        if ((number == 1 && inMain && vertical) || (number == 2 && inMain && !vertical) ||
            (number == 3 && !inMain))
            return splitter;
    }
    return nullptr;
}

HWND TProgramDriver::TopWindow(const std::wstring& caption) const
{
    TWindowSearch search;
    search.process = process_.dwProcessId;
    search.caption = caption;
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

HWND TProgramDriver::MessageBoxWindow() const
{
    TWindowSearch search;
    search.process = process_.dwProcessId;
    search.className = L"#32770";
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::wstring TProgramDriver::MessageText(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

HWND TProgramDriver::Focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

void TProgramDriver::Settle() const
{
    // Input goes through the display server first; then the program answers a sent message
    // only after it has dealt with what came before it.
    Sleep(100);
    DWORD_PTR result = 0;
    if (main_ != nullptr)
        SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

bool TProgramDriver::WaitFor(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

void TProgramDriver::Activate() const
{
    SetForegroundWindow(main_);
    Settle();
}

void TProgramDriver::Press(WORD key, bool alt) const
{
    std::vector<INPUT> inputs;
    if (alt)
        inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (alt)
        inputs.push_back(KeyInput(VK_MENU, true));
    Send(inputs);
    Settle();
}

void TProgramDriver::Click(HWND window, POINT client) const
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    Send({MouseAt(screen, 0), MouseAt(screen, MOUSEEVENTF_LEFTDOWN),
          MouseAt(screen, MOUSEEVENTF_LEFTUP)});
    Settle();
}

void TProgramDriver::Drag(HWND window, POINT client, int dx, int dy) const
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    Send({MouseAt(screen, 0)});
    Settle();
    Send({MouseAt(screen, MOUSEEVENTF_LEFTDOWN)});
    Settle();
    for (int step = 1; step <= 4; ++step) {
        Send({MouseAt(POINT{screen.x + dx * step / 4, screen.y + dy * step / 4}, 0)});
        Settle();
    }
    Send({MouseAt(POINT{screen.x + dx, screen.y + dy}, MOUSEEVENTF_LEFTUP)});
    Settle();
}

RECT TProgramDriver::ClientRectIn(HWND window, HWND parent)
{
    RECT rect = ScreenRect(window);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TProgramDriver::ListView(HWND list)
{
    return static_cast<int>(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK);
}

int TProgramDriver::ItemCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool TProgramDriver::Down(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (window == nullptr ||
        !SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             10000, &length))
        return {};
    return std::wstring(text, length);
}
