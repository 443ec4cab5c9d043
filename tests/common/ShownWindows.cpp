#include "common/ShownWindows.h"

namespace {

std::wstring TextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

BOOL CALLBACK AddChild(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

BOOL CALLBACK AddShown(HWND window, LPARAM lParam)
{
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

}  // namespace

HWND TShownWindow::ChildWithText(const std::wstring& text) const
{
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            return children[i];
    return nullptr;
}

std::vector<TShownWindow> ShownWindowsOfThread(DWORD thread)
{
    std::vector<HWND> windows;
    EnumThreadWindows(thread, AddShown, reinterpret_cast<LPARAM>(&windows));
    std::vector<TShownWindow> shown;
    for (HWND window : windows) {
        TShownWindow entry;
        entry.handle = window;
        entry.caption = TextOf(window);
        EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&entry.children));
        for (HWND child : entry.children)
            entry.texts.push_back(TextOf(child));
        shown.push_back(std::move(entry));
    }
    return shown;
}

std::vector<TShownWindow> WaitForShownWindows(DWORD thread, DWORD limit)
{
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<TShownWindow> shown = ShownWindowsOfThread(thread);
        if (!shown.empty() || GetTickCount() - start >= limit)
            return shown;
        Sleep(20);
    }
}
