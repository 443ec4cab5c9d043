// The folder picker: its option rules, and the shell's dialog opened in the virtual display
// and driven as a user would, with the keyboard and the dialog's buttons.
#include "controls/common/BrowseForFolder.h"
#include "common/DialogAnswerer.h"
#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct TClassSearch {
    const wchar_t* name;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TClassSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, search->name) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchShownDialog(HWND window, LPARAM data)
{
    if (IsWindowVisible(window))
        return MatchClass(window, data);
    return TRUE;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className)
{
    TClassSearch search{className, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs steps inside a modal dialog's own loop, one per tick of a thread timer, once a dialog
// of the thread is shown. A step that returns false runs again on the next tick. Past the
// time limit the dialog is cancelled, so a test cannot hang on it.
class TDialogDriver {
public:
    using TStep = std::function<bool(HWND dialog)>;

    TDialogDriver(std::vector<TStep> steps, DWORD timeLimit = 8000)
        : steps_(std::move(steps)), timeLimit_(timeLimit), start_(GetTickCount())
    {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 60, TimerProcedure);
    }
    ~TDialogDriver()
    {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    bool Finished() const noexcept { return next_ == steps_.size(); }
    bool TimedOut() const noexcept { return timedOut_; }

private:
    static void CALLBACK TimerProcedure(HWND, UINT, UINT_PTR, DWORD)
    {
        if (active_ != nullptr)
            active_->Tick();
    }
    static HWND ShownDialog()
    {
        TClassSearch search{L"#32770", nullptr};
        EnumThreadWindows(GetCurrentThreadId(), MatchShownDialog,
                          reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    void Tick()
    {
        if (running_)
            return;  // a step that pumps messages must not run the next one inside it
        HWND dialog = ShownDialog();
        if (dialog == nullptr)
            return;
        if (GetTickCount() - start_ > timeLimit_) {
            timedOut_ = true;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (Finished())
            return;
        running_ = true;
        if (steps_[next_](dialog))
            ++next_;
        running_ = false;
    }

    static inline TDialogDriver* active_ = nullptr;
    std::vector<TStep> steps_;
    size_t next_ = 0;
    DWORD timeLimit_;
    DWORD start_;
    UINT_PTR timer_ = 0;
    bool running_ = false;
    bool timedOut_ = false;
};

bool Press(HWND dialog, int button)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    return true;
}

class BrowseForFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        tree.Folder(L"docs\\sub");
        tree.Folder(L"other");
        tree.SettleAccessTimes();
        form = std::make_unique<TTestForm>();
        dialog = new TZelBrowseForFolder(form.get());
        form->Activate();
        dialog->OnShow = [this](TObject*) { events.push_back(L"show"); };
        dialog->OnClose = [this](TObject*) { events.push_back(L"close"); };
        dialog->OnChange = [this](TObject*) { changes.push_back(dialog->GetPath()); };
    }
    void TearDown() override { form.reset(); }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelBrowseForFolder* dialog = nullptr;
    std::vector<std::wstring> events;
    std::vector<std::wstring> changes;
};

TEST_F(BrowseForFolderTest, OptionsKeepTheEditBoxOnlyWithTheNewStyle)
{
    EXPECT_EQ(dialog->GetOptions(), static_cast<TZelBrowseFlags>(bfNewDialogStyle));
    dialog->SetOptions(bfEditBox);
    EXPECT_EQ(dialog->GetOptions(), bfNewDialogStyle | bfEditBox);
    dialog->SetOptions(bfEditBox | bfBrowseForComputer);
    EXPECT_EQ(dialog->GetOptions(), static_cast<TZelBrowseFlags>(bfBrowseForComputer));
    dialog->SetOptions(bfFileSystemOnly | bfReturnInvalidPath);
    EXPECT_EQ(BrowseFlagsOf(dialog->GetOptions()),
              static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_VALIDATE));
    EXPECT_EQ(
        BrowseFlagsOf(bfNewDialogStyle | bfBrowseIncludeFiles | bfEditBox | bfBrowseForComputer),
        static_cast<UINT>(BIF_NEWDIALOGSTYLE | BIF_BROWSEINCLUDEFILES | BIF_EDITBOX |
                          BIF_BROWSEFORCOMPUTER));
}

TEST_F(BrowseForFolderTest, ARootPathChoosesTheFileSystemRootAndWarnsOnlyAtDesignTime)
{
    EXPECT_EQ(dialog->GetRootedAt(), SF_DESKTOP);
    {
        TDialogAnswerer answerer(L"", IDOK, 3000);
        dialog->SetRootedAtFileSystemFolder(tree.Path(L"nothing"));
        EXPECT_TRUE(answerer.Seen().empty());
    }
    EXPECT_EQ(dialog->GetRootedAt(), SF_FILESYSTEMFOLDER);
    dialog->SetDesigning(true);
    {
        TDialogAnswerer answerer(L"", IDOK, 3000);
        dialog->SetRootedAtFileSystemFolder(tree.Path(L"nothing"));
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(dialog->GetRootedAtFileSystemFolder(), tree.Path(L"nothing"));
}

TEST_F(BrowseForFolderTest, AFolderChosenWithTheKeyboardBecomesThePath)
{
    const std::wstring sub = tree.Path(L"docs\\sub");
    dialog->SetRootedAtFileSystemFolder(tree.Root());
    dialog->SetPath(tree.Path(L"docs"));
    HWND treeView = nullptr;
    TDialogDriver driver({
        [&](HWND d) {
            treeView = FindChildOfClass(d, L"SysTreeView32");
            if (treeView == nullptr)
                return false;
            SetForegroundWindow(d);
            SetFocus(treeView);
            return true;
        },
        [&](HWND) {
            // The preselected folder is shown first.
            return !changes.empty() && SameFileName(changes.back(), tree.Path(L"docs"));
        },
        [&](HWND) {
            PressKey(VK_RIGHT);  // opens the folder
            return true;
        },
        [&](HWND) {
            PressKey(VK_RIGHT);  // goes to its first subfolder
            return true;
        },
        [&](HWND) { return !changes.empty() && SameFileName(changes.back(), sub); },
        [&](HWND d) { return Press(d, IDOK); },
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(driver.Finished());
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_TRUE(SameFileName(dialog->GetPath(), sub)) << dialog->GetPath();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"show", L"close"}));
    EXPECT_EQ(dialog->DialogWindow(), nullptr);
}

TEST_F(BrowseForFolderTest, APreselectedFolderIsFoundThoughReadingItRenewsItsAccessTime)
{
    // Changed since they were last read: the dialog's reads renew their access times.
    const FILETIME accessed{0, 0x01D5C000};  // early 2020
    const FILETIME modified{0, 0x01D6E000};  // 2021, after that read
    for (const wchar_t* folder : {L"", L"docs", L"docs\\sub"})
        tree.SetModifiedTime(folder, modified, &accessed);
    const std::wstring sub = tree.Path(L"docs\\sub");
    dialog->SetRootedAtFileSystemFolder(tree.Root());
    dialog->SetPath(sub);
    TDialogDriver driver({
        [&](HWND) { return !changes.empty(); },
        [&](HWND d) { return Press(d, IDCANCEL); },
    });
    EXPECT_FALSE(dialog->Execute());
    ASSERT_FALSE(changes.empty());
    EXPECT_TRUE(SameFileName(changes.front(), sub)) << changes.front();
}

TEST_F(BrowseForFolderTest, CancelReturnsFalseAndKeepsThePath)
{
    dialog->SetPath(tree.Path(L"other"));
    TDialogDriver driver({[&](HWND d) { return Press(d, IDCANCEL); }});
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"show", L"close"}));
}

TEST_F(BrowseForFolderTest, TheOpenDialogTakesPositionTitlesAndEnablesOKForFileSystemFolders)
{
    dialog->SetDialogLeft(40);
    dialog->SetDialogTop(50);
    dialog->WindowTitle = L"Pick one";
    dialog->DialogButtonCaption = L"Take";
    dialog->SetOptions(bfNewDialogStyle | bfFileSystemOnly);
    dialog->SetPath(tree.Path(L"other"));
    const TOwnedIDList computer = SpecialFolderIDList(SF_DRIVES);
    auto okEnabled = [](HWND d) { return IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE; };
    bool placed = false, titled = false, computerDisablesOK = false, folderEnablesOK = false;
    TDialogDriver driver({
        [&](HWND d) {
            placed = dialog->GetDialogLeft() == 40 && dialog->GetDialogTop() == 50;
            wchar_t text[64] = {};
            GetWindowTextW(d, text, 64);
            wchar_t button[64] = {};
            GetDlgItemTextW(d, IDOK, button, 64);
            titled = std::wstring(text) == L"Pick one" && std::wstring(button) == L"Take";
            // Moving while open moves the window.
            dialog->SetDialogLeft(70);
            return true;
        },
        [&](HWND d) {
            SendMessageW(d, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer.get()));
            return true;
        },
        // The dialog answers a selection in its own time: a check waits for it (up to the
        // driver's time limit, which then cancels and leaves the flag false).
        [&](HWND d) {
            computerDisablesOK = dialog->GetPath().empty() && !okEnabled(d);
            if (!computerDisablesOK)
                return false;
            const std::wstring other = tree.Path(L"other");
            SendMessageW(d, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
            return true;
        },
        [&](HWND d) {
            folderEnablesOK = !dialog->GetPath().empty() && okEnabled(d);
            return folderEnablesOK && Press(d, IDCANCEL);
        },
    });
    const int leftWhileOpen = [&] {
        const bool result = dialog->Execute();
        EXPECT_FALSE(result);
        return dialog->GetDialogLeft();
    }();
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(placed);
    EXPECT_TRUE(titled);
    EXPECT_TRUE(computerDisablesOK);
    EXPECT_TRUE(folderEnablesOK);
    EXPECT_EQ(leftWhileOpen, 70);  // the value set while open stays once it is closed
}

}  // namespace
