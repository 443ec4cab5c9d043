#pragma once
// The system's dialogs that map a network drive and disconnect one.
#include "controls/common/ZelBaseDialog.h"

#include <windows.h>
#include <winnetwk.h>

#include <string>

enum TZelConnectionFlag : unsigned {
    cdPersist = 0x1,
    cdReadOnlyPath = 0x2,
    cdUseMRU = 0x4,
};
using TZelConnectionFlags = unsigned;

// The drive name of a connected device number (1 is "A:"); empty for a connection without a
// drive letter.
std::wstring ConnectedDriveName(DWORD deviceNumber);

class TZelNetConnectionDialog : public TZelBaseDialog {
public:
    using TDialogEntry = DWORD(APIENTRY*)(LPCONNECTDLGSTRUCTW);
    // The system's entry; tests put another in its place, since not every system has a
    // network provider that shows the dialog.
    static TDialogEntry DialogEntry;

    explicit TZelNetConnectionDialog(TComponent* owner);

    // True when a drive was connected; otherwise the thread's last error tells why (0 when the
    // user cancelled).
    bool Execute() override;

    const std::wstring& GetRemotePath() const noexcept { return remotePath_; }
    void SetRemotePath(const std::wstring& value);
    TZelConnectionFlags GetOptions() const noexcept { return options_; }
    void SetOptions(TZelConnectionFlags value);
    // The drive connected by the last Execute ("Z:"); empty after a failure.
    const std::wstring& ConnectedDrive() const noexcept { return connectedDrive_; }

private:
    void WarnEmptyRemotePath() const;

    std::wstring remotePath_;
    TZelConnectionFlags options_ = cdPersist | cdUseMRU;
    std::wstring connectedDrive_;
};

class TZelNetDisconnectDialog : public TZelBaseDialog {
public:
    using TDialogEntry = DWORD(APIENTRY*)(HWND, DWORD);
    static TDialogEntry DialogEntry;

    explicit TZelNetDisconnectDialog(TComponent* owner) : TZelBaseDialog(owner) {}

    // True when a drive was disconnected; otherwise the thread's last error tells why.
    bool Execute() override;
};
