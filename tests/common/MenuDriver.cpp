#include "common/MenuDriver.h"

#include "ui/MenuItem.h"

#include <algorithm>
#include <cwctype>

namespace {

TMenuDriver* activeDriver = nullptr;

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM data)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32768")
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

// The open menu windows of this thread, the top-level menu first.
std::vector<HWND> OpenMenuWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
    // Submenus open on top of their parent: the one whose menu is not a submenu of another's
    // goes first.
    std::vector<HWND> ordered;
    for (HWND window : windows) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        bool isSubmenu = false;
        for (HWND other : windows) {
            HMENU parent = reinterpret_cast<HMENU>(SendMessageW(other, MN_GETHMENU, 0, 0));
            for (int i = 0; parent != nullptr && i < GetMenuItemCount(parent); ++i)
                if (GetSubMenu(parent, i) == menu)
                    isSubmenu = true;
        }
        if (isSubmenu)
            ordered.push_back(window);
        else
            ordered.insert(ordered.begin(), window);
    }
    return ordered;
}

std::wstring DisplayedCaption(const std::wstring& text)
{
    std::wstring caption = StripHotkey(text.substr(0, text.find(L'\t')));
    for (wchar_t& c : caption)
        c = static_cast<wchar_t>(std::towupper(c));
    return caption;
}

// The positions leading to the entry that matches, level by level.
bool FindPath(HMENU menu, const std::function<bool(HMENU, int)>& matches, std::vector<int>& path)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        path.push_back(i);
        if (matches(menu, i))
            return true;
        HMENU submenu = GetSubMenu(menu, i);
        if (submenu != nullptr && FindPath(submenu, matches, path))
            return true;
        path.pop_back();
    }
    return false;
}

bool IsSeparator(HMENU menu, int position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return (info.fType & MFT_SEPARATOR) != 0;
}

}  // namespace

std::vector<TMenuEntry> MenuEntries(HMENU menu)
{
    std::vector<TMenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        TMenuEntry entry;
        entry.Text = text;
        entry.Id = info.wID;
        entry.Separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.Disabled = (info.fState & MFS_DISABLED) != 0;
        entry.Checked = (info.fState & MFS_CHECKED) != 0;
        entry.Default = (info.fState & MFS_DEFAULT) != 0;
        entry.HasSubmenu = info.hSubMenu != nullptr;
        entries.push_back(entry);
    }
    return entries;
}

TMenuDriver::TStep TMenuDriver::TStep::Key(WORD key)
{
    TStep step;
    step.key = key;
    return step;
}

TMenuDriver::TStep TMenuDriver::TStep::Command(TKind kind, UINT command)
{
    TStep step;
    step.kind = kind;
    step.command = command;
    return step;
}

TMenuDriver::TMenuDriver(DWORD timeLimit) : timeLimit_(timeLimit) {}

TMenuDriver::~TMenuDriver()
{
    Stop();
}

TMenuDriver& TMenuDriver::PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        steps_.push_back(TStep::Key(key));
    return *this;
}

TMenuDriver& TMenuDriver::Choose(UINT command)
{
    steps_.push_back(TStep::Command(TStep::TKind::Choose, command));
    return *this;
}

TMenuDriver& TMenuDriver::ChooseCaption(const std::wstring& path)
{
    TStep step;
    step.kind = TStep::TKind::ChooseCaption;
    step.caption = path;
    steps_.push_back(step);
    return *this;
}

TMenuDriver& TMenuDriver::Click(UINT command)
{
    steps_.push_back(TStep::Command(TStep::TKind::Click, command));
    return *this;
}

TMenuDriver& TMenuDriver::Inspect(std::function<void()> check)
{
    TStep step;
    step.kind = TStep::TKind::Inspect;
    step.check = std::move(check);
    steps_.push_back(step);
    return *this;
}

TMenuDriver& TMenuDriver::Cancel()
{
    return PressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
}

void TMenuDriver::Start()
{
    Stop();
    if (activeDriver != nullptr)
        activeDriver->Stop();  // one driver at a time
    activeDriver = this;
    startTime_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 30, TimerProcedure);
}

void TMenuDriver::Stop()
{
    if (timer_ != 0)
        KillTimer(nullptr, timer_);
    timer_ = 0;
    if (activeDriver == this)
        activeDriver = nullptr;
}

void CALLBACK TMenuDriver::TimerProcedure(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeDriver != nullptr)
        activeDriver->Tick();
}

bool TMenuDriver::ExpandChoice(const TStep& step, HMENU menu)
{
    std::vector<int> path;
    std::function<bool(HMENU, int)> matches;
    if (step.kind == TStep::TKind::Choose) {
        matches = [&](HMENU parent, int i) {
            return GetSubMenu(parent, i) == nullptr && GetMenuItemID(parent, i) == step.command;
        };
        if (!FindPath(menu, matches, path))
            return false;
    } else {
        // Caption path: one level per part.
        std::vector<std::wstring> parts;
        size_t start = 0;
        for (;;) {
            const size_t bar = step.caption.find(L'\\', start);
            parts.push_back(DisplayedCaption(step.caption.substr(start, bar - start)));
            if (bar == std::wstring::npos)
                break;
            start = bar + 1;
        }
        HMENU level = menu;
        for (const std::wstring& part : parts) {
            const std::vector<TMenuEntry> entries = MenuEntries(level);
            const auto found =
                std::find_if(entries.begin(), entries.end(), [&](const TMenuEntry& e) {
                    return !e.Separator && DisplayedCaption(e.Text) == part;
                });
            if (found == entries.end())
                return false;
            const int position = static_cast<int>(found - entries.begin());
            path.push_back(position);
            level = GetSubMenu(level, position);
        }
    }
    // Home puts the highlight on the first entry; Down skips separators, Right opens a
    // submenu on its first entry.
    std::vector<TStep> keys;
    HMENU level = menu;
    for (size_t depth = 0; depth < path.size(); ++depth) {
        keys.push_back(TStep::Key(static_cast<WORD>(depth == 0 ? VK_HOME : VK_RIGHT)));
        int first = 0;
        while (first < path[depth] && IsSeparator(level, first))
            ++first;
        for (int i = first + 1; i <= path[depth]; ++i)
            if (!IsSeparator(level, i))
                keys.push_back(TStep::Key(VK_DOWN));
        level = GetSubMenu(level, path[depth]);
    }
    keys.push_back(TStep::Key(VK_RETURN));
    steps_.insert(steps_.begin() + static_cast<long>(next_), keys.begin(), keys.end());
    return true;
}

void TMenuDriver::Tick()
{
    const std::vector<HWND> windows = OpenMenuWindows();
    if (windows.empty()) {
        if (GetTickCount() - startTime_ > timeLimit_ || (shown_ && next_ >= steps_.size()))
            Stop();
        return;
    }
    HMENU top = reinterpret_cast<HMENU>(SendMessageW(windows.front(), MN_GETHMENU, 0, 0));
    if (!shown_) {
        shown_ = true;
        entries_ = MenuEntries(top);
    }
    if (GetTickCount() - startTime_ > timeLimit_) {
        timedOut_ = true;
        EndMenu();
        for (HWND window : windows)
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    if (next_ >= steps_.size())
        return;
    const TStep step = steps_[next_++];
    switch (step.kind) {
    case TStep::TKind::Key: PostMessageW(windows.back(), WM_KEYDOWN, step.key, 0); break;
    case TStep::TKind::Choose:
    case TStep::TKind::ChooseCaption:
        if (!ExpandChoice(step, top))
            steps_.insert(steps_.begin() + static_cast<long>(next_), TStep::Key(VK_ESCAPE));
        break;
    case TStep::TKind::Click: {
        RECT rect{};
        for (int i = 0; i < GetMenuItemCount(top); ++i) {
            if (GetMenuItemID(top, i) == step.command &&
                GetMenuItemRect(nullptr, top, static_cast<UINT>(i), &rect)) {
                const int width = GetSystemMetrics(SM_CXSCREEN);
                const int height = GetSystemMetrics(SM_CYSCREEN);
                INPUT inputs[3]{};
                inputs[0].type = INPUT_MOUSE;
                inputs[0].mi.dx = (rect.left + rect.right) / 2 * 65535 / (width - 1);
                inputs[0].mi.dy = (rect.top + rect.bottom) / 2 * 65535 / (height - 1);
                inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
                inputs[1].type = INPUT_MOUSE;
                inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                inputs[2].type = INPUT_MOUSE;
                inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(3, inputs, sizeof(INPUT));
                break;
            }
        }
        break;
    }
    case TStep::TKind::Inspect:
        if (step.check)
            step.check();
        break;
    }
}
