// Shell verbs run without a menu: the default action, deletion and its confirmation, the
// events that see and veto a command, and MultiObjects used up on every way out.
#include "common/DialogAnswerer.h"
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathList.h"
#include "shell/PathUtils.h"
#include "shell/ShellUtils.h"

#include <stdexcept>

namespace {

const wchar_t kConfirmDeletion[] = L"Confirm file deletion";

// Gives the shell's Folder class an "explore" command for the life of the object. Wine's
// prefix has none, so the default entry of a folder's menu ("Explore") would have nothing to
// run; the command leaves a marker file in the folder it is given.
class TFolderExploreCommand {
public:
    TFolderExploreCommand()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
            return;  // someone else's: leave it alone
        }
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kKey) + L"\\command").c_str(), 0,
                            nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        const std::wstring command = L"cmd /c echo opened> \"%1\\opened.txt\"";
        created_ = RegSetValueExW(
                       key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~TFolderExploreCommand()
    {
        if (created_)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
    }
    bool Created() const noexcept { return created_; }

private:
    static constexpr wchar_t kKey[] = L"Software\\Classes\\Folder\\shell\\explore";
    bool created_ = false;
};

class NautilexCommand : public testing::Test {
protected:
    void SetUp() override
    {
        a_ = tree_.File(L"a.txt", 10);
        b_ = tree_.File(L"b.txt", 10);
        tree_.Folder(L"sub");
        browser_->SetFolder(tree_.Root());
        browser_->OnBeforeShellCommand = [this](TNautilex* sender, const std::string& command,
                                                TZelPathList& paths, bool& allow) {
            EXPECT_EQ(sender, browser_.get());
            commands_.push_back(command);
            seenPaths_.clear();
            for (const std::wstring& path : paths)
                seenPaths_.push_back(UpperCase(path));
            allow = allow_;
        };
    }

    TTempTree tree_;
    std::wstring a_, b_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
    std::vector<std::string> commands_;
    TNames seenPaths_;
    bool allow_ = true;
};

}  // namespace

TEST_F(NautilexCommand, EmptyVerbRunsTheDefaultEntryOfTheObjectsMenu)
{
    const TFolderExploreCommand explore;
    if (!explore.Created())
        GTEST_SKIP() << "the Folder class already has an explore command";
    std::vector<std::string> selected;
    browser_->OnContextMenuSelect = [&](const std::string& command, bool&) {
        selected.push_back(command);
    };
    browser_->SetObjectName(L"sub");
    const TDialogAnswerer noDialogs(L"", IDCANCEL);
    EXPECT_TRUE(browser_->ExecuteCommand(""));
    const std::wstring marker = tree_.Path(L"sub\\opened.txt");
    EXPECT_TRUE(PumpMessagesUntil([&] { return PathExists(marker); }, 10000));
    EXPECT_TRUE(noDialogs.Seen().empty());
    // The select event sees the verb as asked; the handler, the verb that runs.
    EXPECT_EQ(selected, std::vector<std::string>{""});
    EXPECT_EQ(commands_, std::vector<std::string>{"default"});
    EXPECT_EQ(seenPaths_, TNames{UpperCase(tree_.Path(L"sub"))});
}

TEST_F(NautilexCommand, EmptyVerbDoesNothingWithoutADefaultEntry)
{
    // Items in the recycle bin offer "Restore" and "Erase", neither of them the default.
    const std::wstring name = L"bin" + std::to_wstring(GetTickCount()) + L".txt";
    std::wstring path = tree_.File(name, 10);
    path.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = path.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);

    const auto inBin = [&] {
        browser_->SetSpecialFolder(SF_BITBUCKET);
        while (browser_->NextObject())
            if (browser_->DisplayName() == name)
                return true;
        return false;
    };
    if (!inBin())
        GTEST_SKIP() << "the shell has no recycle bin here";
    const TDialogAnswerer noDialogs(L"", IDCANCEL);
    EXPECT_FALSE(browser_->ExecuteCommand(""));
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_TRUE(inBin());
}

TEST_F(NautilexCommand, DeleteCountsOnlyWhenTheFileIsGone)
{
    browser_->SetObjectName(L"a.txt");
    {
        const TDialogAnswerer declined(kConfirmDeletion, IDNO);
        EXPECT_FALSE(browser_->ExecuteCommand("delete"));
        EXPECT_EQ(declined.Seen(), TNames{kConfirmDeletion});
        EXPECT_TRUE(PathExists(a_));
    }
    const TDialogAnswerer accepted(kConfirmDeletion, IDYES);
    EXPECT_TRUE(browser_->ExecuteCommand("DELETE"));
    EXPECT_EQ(accepted.Seen(), TNames{kConfirmDeletion});
    EXPECT_FALSE(PathExists(a_));
    EXPECT_FALSE(accepted.TimedOut());
}

TEST_F(NautilexCommand, DeleteNeedsAnObjectTheShellCanDelete)
{
    browser_->SetSpecialFolder(SF_DRIVES);
    browser_->SetObjectName(L"C:\\");
    ASSERT_TRUE(browser_->HasObject());
    ASSERT_EQ(browser_->GetAttributes(SFGAO_CANDELETE), 0u);
    const TDialogAnswerer noDialogs(L"", IDCANCEL);
    EXPECT_FALSE(browser_->ExecuteCommand("delete"));
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_TRUE(commands_.empty());
}

TEST_F(NautilexCommand, HandlerSeesThePathsTheVerbActsOn)
{
    OleSetClipboard(nullptr);
    browser_->SetObjectName(L"a.txt");
    EXPECT_TRUE(browser_->ExecuteCommand("copy"));
    EXPECT_EQ(seenPaths_, TNames{UpperCase(a_)});
    EXPECT_EQ(UpperClipboardFiles(), TNames{UpperCase(a_)});

    // Names inside the folder reach the handler as full paths.
    browser_->MultiObjects() = {L"b.txt", L"a.txt"};
    EXPECT_TRUE(browser_->ExecuteCommand("copy"));
    EXPECT_EQ(seenPaths_, (TNames{UpperCase(a_), UpperCase(b_)}));
    EXPECT_EQ(UpperClipboardFiles(), (TNames{UpperCase(b_), UpperCase(a_)}));
    EXPECT_TRUE(browser_->MultiObjects().empty());
    EXPECT_EQ(commands_, (std::vector<std::string>{"copy", "copy"}));
    OleSetClipboard(nullptr);
}

TEST_F(NautilexCommand, HandlersCanStopACommand)
{
    const TDialogAnswerer noDialogs(L"", IDCANCEL);
    allow_ = false;
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    EXPECT_FALSE(browser_->ExecuteCommand("delete"));
    EXPECT_EQ(commands_, std::vector<std::string>{"delete"});
    EXPECT_EQ(seenPaths_, (TNames{UpperCase(a_), UpperCase(b_)}));

    allow_ = true;
    std::vector<std::string> selected;
    browser_->OnContextMenuSelect = [&](const std::string& command, bool& execute) {
        selected.push_back(command);
        execute = false;
    };
    browser_->MultiObjects() = {L"a.txt"};
    EXPECT_FALSE(browser_->ExecuteCommand("delete"));
    EXPECT_EQ(selected, std::vector<std::string>{"delete"});
    EXPECT_EQ(commands_.size(), 1u);  // stopped before the shell was asked
    // Neither run leaves its objects behind for the next command.
    EXPECT_TRUE(browser_->MultiObjects().empty());
    EXPECT_TRUE(PathExists(a_) && PathExists(b_));
    EXPECT_TRUE(noDialogs.Seen().empty());
}

TEST_F(NautilexCommand, RenameGoesToTheHandlerWhenThereIsOne)
{
    int renames = 0;
    browser_->OnRename = [&](TObject* sender) {
        EXPECT_EQ(sender, browser_.get());
        ++renames;
    };
    browser_->SetObjectName(L"a.txt");
    EXPECT_TRUE(browser_->ExecuteCommand("Rename"));
    EXPECT_EQ(renames, 1);
    EXPECT_TRUE(PathExists(a_));
}

TEST_F(NautilexCommand, MultiObjectsIsEmptyAfterEveryWayOut)
{
    // Nothing to act on: no object, and no entries either once the list is used.
    EXPECT_FALSE(browser_->ExecuteCommand("copy"));
    EXPECT_TRUE(commands_.empty());

    // An event handler that throws.
    browser_->OnBeforeShellCommand = [](TNautilex*, const std::string&, TZelPathList&, bool&) {
        throw std::runtime_error("handler failed");
    };
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    EXPECT_THROW(browser_->ExecuteCommand("copy"), std::runtime_error);
    EXPECT_TRUE(browser_->MultiObjects().empty());

    browser_->OnBeforeShellCommand = nullptr;
    browser_->OnContextMenuSelect = [](const std::string&, bool&) {
        throw std::runtime_error("handler failed");
    };
    browser_->MultiObjects() = {L"a.txt"};
    EXPECT_THROW(browser_->ExecuteCommand("copy"), std::runtime_error);
    EXPECT_TRUE(browser_->MultiObjects().empty());

    // An object that is not there any more.
    browser_->OnContextMenuSelect = nullptr;
    browser_->MultiObjects() = {L"missing.txt", L"a.txt"};
    EXPECT_THROW(browser_->ExecuteCommand("copy"), ENautilexError);
    EXPECT_TRUE(browser_->MultiObjects().empty());
}
