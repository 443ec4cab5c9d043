// The network drive dialogs. Wine has no network provider: its connection and disconnection
// dialogs fail at once without showing anything, so the system's answers for cancel and
// success come from stand-ins put in place of the system's entries.
#include "controls/common/NetDialogs.h"
#include "common/DialogAnswerer.h"
#include "common/TestForm.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct TConnectionCall {
    DWORD size = 0;
    HWND owner = nullptr;
    DWORD flags = 0;
    DWORD type = 0;
    std::wstring remoteName;
    bool remoteNameNull = false;
    DWORD deviceNumber = 99;
};

TConnectionCall lastConnection;
DWORD connectionAnswer = 0;
DWORD connectionDevice = 0;

DWORD APIENTRY FakeConnectionDialog(LPCONNECTDLGSTRUCTW info)
{
    lastConnection.size = info->cbStructure;
    lastConnection.owner = info->hwndOwner;
    lastConnection.flags = info->dwFlags;
    lastConnection.type = info->lpConnRes->dwType;
    lastConnection.remoteNameNull = info->lpConnRes->lpRemoteName == nullptr;
    lastConnection.remoteName =
        info->lpConnRes->lpRemoteName != nullptr ? info->lpConnRes->lpRemoteName : L"";
    lastConnection.deviceNumber = info->dwDevNum;
    info->dwDevNum = connectionDevice;
    return connectionAnswer;
}

HWND lastDisconnectOwner = nullptr;
DWORD lastDisconnectType = 0;
DWORD disconnectAnswer = 0;

DWORD APIENTRY FakeDisconnectDialog(HWND owner, DWORD type)
{
    lastDisconnectOwner = owner;
    lastDisconnectType = type;
    return disconnectAnswer;
}

// Puts the stand-ins in place for one test.
class TFakeEntries {
public:
    TFakeEntries()
    {
        TZelNetConnectionDialog::DialogEntry = FakeConnectionDialog;
        TZelNetDisconnectDialog::DialogEntry = FakeDisconnectDialog;
    }
    ~TFakeEntries()
    {
        TZelNetConnectionDialog::DialogEntry = saved_;
        TZelNetDisconnectDialog::DialogEntry = savedDisconnect_;
    }

private:
    TZelNetConnectionDialog::TDialogEntry saved_ = TZelNetConnectionDialog::DialogEntry;
    TZelNetDisconnectDialog::TDialogEntry savedDisconnect_ = TZelNetDisconnectDialog::DialogEntry;
};

// Execute's answer and the last error right after it.
template <class Dialog>
std::pair<bool, DWORD> ExecuteAndError(Dialog& dialog)
{
    const bool result = dialog.Execute();
    const DWORD error = GetLastError();
    return {result, error};
}

using TAnswer = std::pair<bool, DWORD>;

TEST(NetConnectionDialogTest, OptionsKeepAFixedPathOnlyWithAPathAndWithoutRecentPaths)
{
    TZelNetConnectionDialog dialog(nullptr);
    EXPECT_EQ(dialog.GetOptions(), cdPersist | cdUseMRU);
    dialog.SetRemotePath(L"\\\\server\\share");
    dialog.SetOptions(cdReadOnlyPath | cdUseMRU);
    EXPECT_EQ(dialog.GetOptions(), static_cast<TZelConnectionFlags>(cdUseMRU));
    dialog.SetOptions(cdReadOnlyPath | cdPersist);
    EXPECT_EQ(dialog.GetOptions(), cdReadOnlyPath | cdPersist);
    dialog.SetRemotePath(L"");
    EXPECT_EQ(dialog.GetOptions(), static_cast<TZelConnectionFlags>(cdPersist));
    dialog.SetOptions(cdReadOnlyPath);
    EXPECT_EQ(dialog.GetOptions(), 0u);
}

TEST(NetConnectionDialogTest, AnEmptyPathWarnsOnlyAtDesignTime)
{
    TZelNetConnectionDialog dialog(nullptr);
    {
        TDialogAnswerer answerer(L"", IDOK, 3000);
        dialog.SetOptions(cdReadOnlyPath);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    dialog.SetDesigning(true);
    {
        TDialogAnswerer answerer(L"", IDOK, 3000);
        dialog.SetOptions(cdReadOnlyPath);
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    dialog.SetRemotePath(L"\\\\server\\share");
    dialog.SetOptions(cdReadOnlyPath);
    {
        TDialogAnswerer answerer(L"", IDOK, 3000);
        dialog.SetRemotePath(L"");
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(dialog.GetOptions(), 0u);
}

TEST(NetConnectionDialogTest, WithoutANetworkTheSystemDialogFailsAndNamesNoDrive)
{
    TZelNetConnectionDialog dialog(nullptr);
    std::vector<std::string> events;
    dialog.OnShow = [&](TObject*) { events.push_back("show"); };
    dialog.OnClose = [&](TObject*) { events.push_back("close"); };
    dialog.SetRemotePath(L"\\\\nowhere\\share");
    TDialogAnswerer answerer(L"", IDCANCEL, 3000);  // in case a system shows one after all
    const TAnswer answer = ExecuteAndError(dialog);
    EXPECT_FALSE(answer.first);
    EXPECT_NE(answer.second, 0u);
    EXPECT_TRUE(dialog.ConnectedDrive().empty());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));

    TZelNetDisconnectDialog disconnect(nullptr);
    const TAnswer disconnected = ExecuteAndError(disconnect);
    EXPECT_FALSE(disconnected.first);
    EXPECT_NE(disconnected.second, 0u);
}

TEST(NetConnectionDialogTest, AsksTheSystemForADiskWithTheOwnerPathAndFlags)
{
    TFakeEntries fakes;
    TTestForm form;
    auto* dialog = new TZelNetConnectionDialog(&form);
    (void)form.Handle();
    dialog->SetRemotePath(L"\\\\server\\share");
    dialog->SetOptions(cdPersist | cdReadOnlyPath);

    connectionAnswer = NO_ERROR;
    connectionDevice = 26;
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->ConnectedDrive(), L"Z:");
    EXPECT_EQ(lastConnection.size, sizeof(CONNECTDLGSTRUCTW));
    EXPECT_EQ(lastConnection.owner, form.WindowHandle());
    EXPECT_EQ(lastConnection.flags, static_cast<DWORD>(CONNDLG_PERSIST | CONNDLG_RO_PATH));
    EXPECT_EQ(lastConnection.type, static_cast<DWORD>(RESOURCETYPE_DISK));
    EXPECT_EQ(lastConnection.remoteName, L"\\\\server\\share");
    EXPECT_EQ(lastConnection.deviceNumber, 0u);

    dialog->SetRemotePath(L"");
    dialog->SetOptions(cdUseMRU);
    connectionDevice = 1;
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->ConnectedDrive(), L"A:");
    EXPECT_TRUE(lastConnection.remoteNameNull);
    EXPECT_EQ(lastConnection.flags, static_cast<DWORD>(CONNDLG_USE_MRU));

    // A connection without a drive letter names no drive rather than a made-up one.
    connectionDevice = static_cast<DWORD>(-1);
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->ConnectedDrive(), L"");

    // Cancel: false with last error 0; a failure: false with the system's code.
    connectionDevice = 5;
    connectionAnswer = static_cast<DWORD>(-1);
    EXPECT_EQ(ExecuteAndError(*dialog), TAnswer(false, 0));
    EXPECT_EQ(dialog->ConnectedDrive(), L"");
    connectionAnswer = ERROR_BAD_NET_NAME;
    EXPECT_EQ(ExecuteAndError(*dialog), TAnswer(false, ERROR_BAD_NET_NAME));
}

TEST(NetDisconnectDialogTest, AsksForADiskWithTheOwnerAndReportsCancelAndFailure)
{
    TFakeEntries fakes;
    TTestForm form;
    auto* dialog = new TZelNetDisconnectDialog(&form);
    (void)form.Handle();
    std::vector<std::string> events;
    dialog->OnShow = [&](TObject*) { events.push_back("show"); };
    dialog->OnClose = [&](TObject*) { events.push_back("close"); };

    disconnectAnswer = NO_ERROR;
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(lastDisconnectOwner, form.WindowHandle());
    EXPECT_EQ(lastDisconnectType, static_cast<DWORD>(RESOURCETYPE_DISK));
    disconnectAnswer = static_cast<DWORD>(-1);
    EXPECT_EQ(ExecuteAndError(*dialog), TAnswer(false, 0));
    disconnectAnswer = ERROR_NOT_CONNECTED;
    EXPECT_EQ(ExecuteAndError(*dialog), TAnswer(false, ERROR_NOT_CONNECTED));
    EXPECT_EQ(events.size(), 6u);
}

}  // namespace
