#pragma once
// What a thread shows, read from another thread while that one serves messages (a wait loop
// under test): its visible top-level windows with their captions and their controls' texts.
#include <windows.h>

#include <string>
#include <vector>

struct TShownWindow {
    HWND handle = nullptr;
    std::wstring caption;
    // The child windows (labels, buttons) and their texts, in the same order.
    std::vector<HWND> children;
    std::vector<std::wstring> texts;
    // Null when no child shows `text`.
    HWND ChildWithText(const std::wstring& text) const;
};

std::vector<TShownWindow> ShownWindowsOfThread(DWORD thread);
// Polls until `thread` shows at least one window; empty past `limit` milliseconds.
std::vector<TShownWindow> WaitForShownWindows(DWORD thread, DWORD limit);
