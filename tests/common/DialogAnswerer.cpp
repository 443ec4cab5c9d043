#include "common/DialogAnswerer.h"

#include <algorithm>

namespace {

TDialogAnswerer* activeAnswerer = nullptr;

BOOL CALLBACK CollectDialog(HWND window, LPARAM data)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770")
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

}  // namespace

TDialogAnswerer::TDialogAnswerer(std::wstring title, int button, DWORD timeLimit)
    : title_(std::move(title)), button_(button), timeLimit_(timeLimit), startTime_(GetTickCount())
{
    activeAnswerer = this;
    timer_ = SetTimer(nullptr, 0, 50, TimerProcedure);
}

TDialogAnswerer::~TDialogAnswerer()
{
    if (timer_ != 0)
        KillTimer(nullptr, timer_);
    if (activeAnswerer == this)
        activeAnswerer = nullptr;
}

void CALLBACK TDialogAnswerer::TimerProcedure(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeAnswerer != nullptr)
        activeAnswerer->Tick();
}

void TDialogAnswerer::Answer(HWND dialog, int button)
{
    HWND control = GetDlgItem(dialog, button);
    if (control == nullptr) {
        button = IDCANCEL;
        control = GetDlgItem(dialog, IDCANCEL);
    }
    if (control == nullptr && GetDlgItem(dialog, IDOK) != nullptr) {
        button = IDOK;
        control = GetDlgItem(dialog, IDOK);
    }
    // As the button itself would: a command from that control.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

void TDialogAnswerer::Tick()
{
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    const bool late = GetTickCount() - startTime_ > timeLimit_;
    for (HWND dialog : dialogs) {
        // A dialog answered once is given time to close.
        if (std::find(answered_.begin(), answered_.end(), dialog) != answered_.end()) {
            if (late)
                PostMessageW(dialog, WM_CLOSE, 0, 0);
            continue;
        }
        answered_.push_back(dialog);
        const std::wstring title = WindowText(dialog);
        seen_.push_back(title);
        if (late) {
            timedOut_ = true;
            Answer(dialog, IDCANCEL);
        } else {
            Answer(dialog, title.compare(0, title_.size(), title_) == 0 ? button_ : IDCANCEL);
        }
    }
}
