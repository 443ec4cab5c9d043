#pragma once
// Answers the modal dialogs that code under test shows on this thread (the shell's delete
// confirmation, its error boxes). A timer armed before the call runs inside the dialog's own
// message loop, finds the dialog by its title and presses a button. Past the time limit every
// dialog of the thread is cancelled, so a test cannot hang on one.
#include <windows.h>

#include <string>
#include <vector>

class TDialogAnswerer {
public:
    // `title`: the start of the dialog's title ("" for any dialog); `button`: the control
    // identifier to press (IDYES, IDNO, IDOK...). A dialog without that button is cancelled.
    TDialogAnswerer(std::wstring title, int button, DWORD timeLimit = 5000);
    ~TDialogAnswerer();
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;

    // Titles of the dialogs seen, in order.
    const std::vector<std::wstring>& Seen() const noexcept { return seen_; }
    bool TimedOut() const noexcept { return timedOut_; }

private:
    static void CALLBACK TimerProcedure(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Tick();
    void Answer(HWND dialog, int button);

    std::wstring title_;
    int button_;
    DWORD timeLimit_;
    DWORD startTime_;
    UINT_PTR timer_ = 0;
    std::vector<HWND> answered_;
    std::vector<std::wstring> seen_;
    bool timedOut_ = false;
};
