#include "controls/common/NetDialogs.h"

TZelNetConnectionDialog::TDialogEntry TZelNetConnectionDialog::DialogEntry = WNetConnectionDialog1W;
TZelNetDisconnectDialog::TDialogEntry TZelNetDisconnectDialog::DialogEntry = WNetDisconnectDialog;

std::wstring ConnectedDriveName(DWORD deviceNumber)
{
    if (deviceNumber < 1 || deviceNumber > 26)
        return {};
    return std::wstring(1, static_cast<wchar_t>(L'@' + deviceNumber)) + L":";
}

TZelNetConnectionDialog::TZelNetConnectionDialog(TComponent* owner) : TZelBaseDialog(owner) {}

void TZelNetConnectionDialog::WarnEmptyRemotePath() const
{
    if (IsDesigning())
        MessageBoxW(OwnerWindow(), L"Please enter directory in property RemotePath!", nullptr,
                    MB_OK | MB_ICONWARNING);
}

void TZelNetConnectionDialog::SetOptions(TZelConnectionFlags value)
{
    options_ = value;
    if ((options_ & cdReadOnlyPath) == 0)
        return;
    // A fixed path needs a path, and the list of recent paths would offer others.
    if (remotePath_.empty()) {
        WarnEmptyRemotePath();
        options_ &= ~cdReadOnlyPath;
    } else if ((options_ & cdUseMRU) != 0) {
        options_ &= ~cdReadOnlyPath;
    }
}

void TZelNetConnectionDialog::SetRemotePath(const std::wstring& value)
{
    remotePath_ = value;
    if (remotePath_.empty() && (options_ & cdReadOnlyPath) != 0) {
        WarnEmptyRemotePath();
        options_ &= ~cdReadOnlyPath;
    }
}

bool TZelNetConnectionDialog::Execute()
{
    DoShow();
    std::wstring remoteName = remotePath_;
    NETRESOURCEW resource{};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpRemoteName = remoteName.empty() ? nullptr : remoteName.data();
    CONNECTDLGSTRUCTW info{};
    info.cbStructure = sizeof(info);
    info.hwndOwner = OwnerWindow();
    info.lpConnRes = &resource;
    if ((options_ & cdPersist) != 0)
        info.dwFlags |= CONNDLG_PERSIST;
    if ((options_ & cdReadOnlyPath) != 0)
        info.dwFlags |= CONNDLG_RO_PATH;
    if ((options_ & cdUseMRU) != 0)
        info.dwFlags |= CONNDLG_USE_MRU;
    info.dwDevNum = 0;
    const DWORD result = DialogEntry(&info);
    if (result == NO_ERROR) {
        connectedDrive_ = ConnectedDriveName(info.dwDevNum);
    } else {
        connectedDrive_.clear();
    }
    DoClose();
    // The last error is set after OnClose, whose handler may make calls of its own.
    SetLastError(result == NO_ERROR || result == static_cast<DWORD>(-1) ? 0 : result);
    return result == NO_ERROR;
}

bool TZelNetDisconnectDialog::Execute()
{
    DoShow();
    const DWORD result = DialogEntry(OwnerWindow(), RESOURCETYPE_DISK);
    DoClose();
    SetLastError(result == static_cast<DWORD>(-1) ? 0 : result);
    return result == NO_ERROR;
}
