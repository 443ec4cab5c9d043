// The shell's context menu merged with the application's popup menu, shown in the virtual
// display and driven from inside the menu loop.
#include "common/DialogAnswerer.h"
#include "common/MenuDriver.h"
#include "common/Screen.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathList.h"
#include "shell/PathUtils.h"
#include "shell/ShellUtils.h"
#include "ui/Application.h"
#include "ui/Menus.h"

#include <stdexcept>

namespace {

const wchar_t kConfirmDeletion[] = L"Confirm file deletion";

// The captions of a menu's entries as shown, separators as "-".
TNames Captions(const std::vector<TMenuEntry>& entries)
{
    TNames captions;
    for (const TMenuEntry& entry : entries)
        captions.push_back(entry.Separator ? L"-" : StripHotkey(entry.Text));
    return captions;
}

// Where a caption stands among the entries; -1 when it is not there.
int PositionOf(const TNames& captions, const std::wstring& caption)
{
    const auto found = std::find(captions.begin(), captions.end(), caption);
    return found == captions.end() ? -1 : static_cast<int>(found - captions.begin());
}

// A 16 by 16 bitmap of one colour.
TScopedGdiObject SolidBitmap(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    TScopedGdiObject bitmap(CreateCompatibleBitmap(screen, 16, 16));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

class NautilexContextMenu : public testing::Test {
protected:
    void SetUp() override
    {
        OleSetClipboard(nullptr);
        a_ = tree_.File(L"a.txt", 10);
        b_ = tree_.File(L"b.txt", 10);
        browser_->SetFolder(tree_.Root());
        browser_->SetObjectName(L"a.txt");
        browser_->OnContextMenuSelect = [this](const std::string& command, bool& execute) {
            events_.push_back("select " + command);
            execute = execute_;
        };
        browser_->OnBeforeShellCommand = [this](TNautilex*, const std::string& command,
                                                TZelPathList& paths, bool&) {
            events_.push_back("before " + command);
            seenPaths_.clear();
            for (const std::wstring& path : paths)
                seenPaths_.push_back(UpperCase(path));
        };
        menu_->OnPopup = [this](TObject*) { events_.push_back("popup"); };
        first_ = AddItem(menu_->Items(), L"&First");
        second_ = AddItem(menu_->Items(), L"&Second");
        second_->SetHint(L"Second|The second item");
    }
    void TearDown() override { OleSetClipboard(nullptr); }

    TMenuItem* AddItem(TMenuItem* parent, const std::wstring& caption)
    {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) {
            events_.push_back("click " + WideToNarrow(StripHotkey(caption)));
        };
        parent->Add(item);
        return item;
    }

    // Shows the merged menu with the driver armed; returns the verb reported.
    std::string Show(TMenuDriver& driver, TMenuItem* insertAfter = nullptr)
    {
        std::string verb = "unset";
        driver.Start();
        browser_->ShowContextMenu(POINT{100, 100}, menu_.get(), verb, insertAfter);
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_FALSE(driver.TimedOut());
        return verb;
    }

    TTempTree tree_;
    std::wstring a_, b_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
    std::unique_ptr<TPopupMenu> menu_ = std::make_unique<TPopupMenu>(nullptr);
    TMenuItem* first_ = nullptr;
    TMenuItem* second_ = nullptr;
    std::vector<std::string> events_;
    TNames seenPaths_;
    bool execute_ = true;
};

using TEvents = std::vector<std::string>;

}  // namespace

TEST_F(NautilexContextMenu, AnApplicationItemIsClickedAndNoVerbReported)
{
    HWND openWindow = nullptr;
    TMenuDriver driver;
    driver.Inspect([&] { openWindow = browser_->ContextMenuWindow(); }).ChooseCaption(L"Second");
    EXPECT_EQ(Show(driver), "");
    EXPECT_EQ(events_, (TEvents{"popup", "click Second"}));
    // The shell's entries follow the application's items, in a copy of its menu.
    const TNames shown = Captions(driver.Entries());
    EXPECT_EQ(PositionOf(shown, L"First"), 0);
    EXPECT_EQ(PositionOf(shown, L"Second"), 1);
    EXPECT_GT(PositionOf(shown, L"Open"), 1);
    EXPECT_EQ(GetMenuItemCount(menu_->Handle()), 2);
    // The hidden window lives only while the menu is open.
    EXPECT_NE(openWindow, nullptr);
    EXPECT_EQ(browser_->ContextMenuWindow(), nullptr);
    EXPECT_FALSE(IsWindow(openWindow));
}

TEST_F(NautilexContextMenu, AShellEntryRunsItsVerbOnTheObjects)
{
    TMenuDriver driver;
    driver.ChooseCaption(L"Copy");
    EXPECT_EQ(Show(driver), "copy");
    EXPECT_EQ(events_, (TEvents{"popup", "before copy", "select copy"}));
    EXPECT_EQ(seenPaths_, TNames{UpperCase(a_)});
    EXPECT_EQ(UpperClipboardFiles(), TNames{UpperCase(a_)});

    events_.clear();
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    TMenuDriver both;
    both.ChooseCaption(L"Copy");
    EXPECT_EQ(Show(both), "copy");
    EXPECT_EQ(seenPaths_, (TNames{UpperCase(a_), UpperCase(b_)}));
    EXPECT_EQ(UpperClipboardFiles(), (TNames{UpperCase(a_), UpperCase(b_)}));
    EXPECT_TRUE(browser_->MultiObjects().empty());
}

TEST_F(NautilexContextMenu, ShellEntriesGoOnTopOrAfterTheGivenItem)
{
    TMenuDriver after;
    after.Cancel();
    EXPECT_EQ(Show(after, first_), "");
    TNames shown = Captions(after.Entries());
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.front(), L"First");
    EXPECT_GT(PositionOf(shown, L"Open"), 0);
    EXPECT_EQ(shown.back(), L"Second");

    browser_->ShowContextMenuOnTop = true;
    TMenuDriver top;
    top.Cancel();
    EXPECT_EQ(Show(top, first_), "");
    shown = Captions(top.Entries());
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(PositionOf(shown, L"Open"), 0);
    EXPECT_EQ(TNames(shown.end() - 2, shown.end()), (TNames{L"First", L"Second"}));
    // Nothing was chosen: no event beyond the menu's own.
    EXPECT_EQ(events_, (TEvents{"popup", "popup"}));
}

TEST_F(NautilexContextMenu, ReadOnlyAndTheSelectHandlerStopVerbs)
{
    const TDialogAnswerer noDialogs(L"", IDCANCEL);
    browser_->ReadOnly = true;
    for (const wchar_t* caption : {L"Delete", L"Cut"}) {
        TMenuDriver driver;
        driver.ChooseCaption(caption);
        EXPECT_EQ(Show(driver), "") << WideToNarrow(caption);
    }
    EXPECT_TRUE(PathExists(a_));
    EXPECT_TRUE(UpperClipboardFiles().empty());
    // Copying changes nothing in the folder.
    TMenuDriver copy;
    copy.ChooseCaption(L"Copy");
    EXPECT_EQ(Show(copy), "copy");
    EXPECT_EQ(UpperClipboardFiles(), TNames{UpperCase(a_)});

    OleSetClipboard(nullptr);
    browser_->ReadOnly = false;
    execute_ = false;
    TMenuDriver refused;
    refused.ChooseCaption(L"Copy");
    EXPECT_EQ(Show(refused), "");
    EXPECT_TRUE(UpperClipboardFiles().empty());
    EXPECT_TRUE(noDialogs.Seen().empty());
    EXPECT_EQ(events_, (TEvents{"popup", "before delete", "select delete", "popup", "before cut",
                                "select cut", "popup", "before copy", "select copy", "popup",
                                "before copy", "select copy"}));
}

TEST_F(NautilexContextMenu, DeleteIsReportedOnlyWhenTheFileIsGone)
{
    {
        const TDialogAnswerer declined(kConfirmDeletion, IDNO);
        TMenuDriver driver;
        driver.ChooseCaption(L"Delete");
        EXPECT_EQ(Show(driver), "");
        EXPECT_EQ(declined.Seen(), TNames{kConfirmDeletion});
        EXPECT_TRUE(PathExists(a_));
    }
    const TDialogAnswerer accepted(kConfirmDeletion, IDYES);
    browser_->SetObjectName(L"a.txt");
    TMenuDriver driver;
    driver.ChooseCaption(L"Delete");
    EXPECT_EQ(Show(driver), "delete");
    EXPECT_EQ(accepted.Seen(), TNames{kConfirmDeletion});
    EXPECT_FALSE(PathExists(a_));
}

TEST_F(NautilexContextMenu, TheApplicationsMenuCanBeShownDirectly)
{
    for (int showing = 0; showing < 2; ++showing) {
        TMenuDriver driver;
        driver.ChooseCaption(L"Copy");
        driver.Start();
        std::string verb;
        browser_->SetObjectName(L"a.txt");
        browser_->PopupContextMenu(POINT{100, 100}, menu_.get(), verb, second_);
        EXPECT_EQ(verb, "copy");
        const TNames shown = Captions(driver.Entries());
        EXPECT_EQ(std::count(shown.begin(), shown.end(), L"Copy"), 1);
        EXPECT_GT(PositionOf(shown, L"Copy"), PositionOf(shown, L"Second"));
        // The shell's entries leave with the menu.
        EXPECT_EQ(Captions(MenuEntries(menu_->Handle())), (TNames{L"First", L"Second"}));
    }
    // No pop-up event: that belongs to ShowContextMenu.
    EXPECT_EQ(events_, (TEvents{"before copy", "select copy", "before copy", "select copy"}));
}

TEST_F(NautilexContextMenu, MenuStateAndEntriesGoWhenAHandlerThrows)
{
    browser_->OnBeforeShellCommand = [](TNautilex*, const std::string&, TZelPathList&, bool&) {
        throw std::runtime_error("handler failed");
    };
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    TMenuDriver driver;
    driver.ChooseCaption(L"Copy");
    driver.Start();
    std::string verb;
    EXPECT_THROW(browser_->ShowContextMenu(POINT{100, 100}, menu_.get(), verb, nullptr),
                 std::runtime_error);
    EXPECT_TRUE(browser_->MultiObjects().empty());
    EXPECT_EQ(browser_->ContextMenuWindow(), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu_->Handle()), 2);

    // Without a bound folder the browser raises its own error, and still uses the entries up.
    auto unbound = MakeBrowser();
    unbound->MultiObjects() = {L"a.txt", L"b.txt"};
    EXPECT_THROW(unbound->PopupContextMenu(POINT{100, 100}, nullptr, verb, nullptr),
                 ENautilexError);
    EXPECT_TRUE(unbound->MultiObjects().empty());
}

TEST_F(NautilexContextMenu, ApplicationItemsKeepTheirHintsSubmenusAndImages)
{
    TMenuItem* more = AddItem(menu_->Items(), L"&More");
    AddItem(more, L"&Inner");
    more->OnClick = [this](TObject*) { events_.push_back("more opens"); };
    TImageList images(nullptr);
    images.Add(static_cast<HBITMAP>(SolidBitmap(RGB(255, 0, 0)).get()), nullptr);
    menu_->SetImages(&images);
    second_->SetImageIndex(0);

    TApplication application(nullptr);
    application.OnException = [](TObject*, const std::exception& e) {
        ADD_FAILURE() << "exception in a window procedure: " << e.what();
    };
    std::vector<std::wstring> hints;
    int redPixels = -1;
    TMenuDriver driver;
    driver.PressKeys({VK_HOME, VK_DOWN})
        .Inspect([&] { hints.push_back(application.Hint()); })
        .Inspect([&] {
            HWND window = FindWindowW(L"#32768", nullptr);
            redPixels = CountPixels(
                window, [](BYTE r, BYTE g, BYTE b) { return r > 200 && g < 60 && b < 60; });
        })
        .PressKeys({VK_DOWN, VK_DOWN})  // past More to the shell's first entry
        .Inspect([&] { hints.push_back(application.Hint()); })
        .ChooseCaption(L"More\\Inner");
    EXPECT_EQ(Show(driver), "");
    EXPECT_EQ(events_, (TEvents{"popup", "more opens", "click Inner"}));
    // The shell has no help text for its entries here: the hint is cleared for them.
    EXPECT_EQ(hints, (TNames{L"The second item", L""}));
    EXPECT_GE(redPixels, 16 * 12);
    EXPECT_EQ(application.Hint(), L"");
}

// The application's menu builds itself again while it is open when an action's update
// changes an item or a submenu's click shows a hidden child. The shell's entries stay after
// the item they were put after, and leave exactly as they came: the application's entries and
// submenus stay.
TEST_F(NautilexContextMenu, TheApplicationsMenuSurvivesRebuildingItselfWhileOpen)
{
    TAction toggled(nullptr);
    toggled.SetCaption(L"&Toggled");
    toggled.OnUpdate = [&](TObject*) { toggled.SetEnabled(!toggled.Enabled()); };
    auto* toggledItem = new TMenuItem(nullptr);
    toggledItem->SetAction(&toggled);
    menu_->Items()->Insert(1, toggledItem);
    TMenuItem* more = AddItem(menu_->Items(), L"&More");
    AddItem(more, L"&Inner");
    TMenuItem* extra = AddItem(more, L"&Extra");
    extra->SetVisible(false);
    more->OnClick = [&](TObject*) {
        events_.push_back("more opens");
        extra->SetVisible(!extra->Visible());
    };
    AddItem(menu_->Items(), L"&Last");
    const HMENU moreMenu = more->Handle();
    const TNames ours{L"First", L"Toggled", L"Second", L"More", L"Last"};
    ASSERT_EQ(Captions(MenuEntries(menu_->Handle())), ours);

    for (int showing = 0; showing < 2; ++showing) {
        TNames whileOpen;
        TMenuDriver driver;
        driver.Inspect([&] { whileOpen = Captions(MenuEntries(menu_->Handle())); })
            .ChooseCaption(L"More\\Inner");
        driver.Start();
        std::string verb = "unset";
        browser_->SetObjectName(L"a.txt");
        browser_->PopupContextMenu(POINT{100, 100}, menu_.get(), verb, first_);
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(verb, "");

        // Open: the shell's entries directly after First, ours in their order after them.
        ASSERT_GT(whileOpen.size(), ours.size()) << showing;
        EXPECT_EQ(whileOpen.front(), L"First");
        EXPECT_EQ(PositionOf(whileOpen, L"Open"), 1) << showing;
        EXPECT_EQ(TNames(whileOpen.end() - 4, whileOpen.end()),
                  (TNames{L"Toggled", L"Second", L"More", L"Last"}))
            << showing;

        // Closed: exactly the application's entries, with its submenu.
        EXPECT_EQ(Captions(MenuEntries(menu_->Handle())), ours) << showing;
        EXPECT_TRUE(IsMenu(moreMenu));
        EXPECT_EQ(GetSubMenu(menu_->Handle(), 3), moreMenu);
        EXPECT_EQ(more->Handle(), moreMenu);
        const TNames inner = showing == 0 ? TNames{L"Inner", L"Extra"} : TNames{L"Inner"};
        EXPECT_EQ(Captions(MenuEntries(moreMenu)), inner) << showing;
    }
    EXPECT_EQ(events_, (TEvents{"more opens", "click Inner", "more opens", "click Inner"}));
}

// The shell's entries in a submenu of the application's that shows a hidden child when it
// opens: the entries before them move, and they leave all the same.
TEST_F(NautilexContextMenu, ShellEntriesInASubmenuLeaveWhenItsItemsMove)
{
    menu_->Items()->Delete(1);  // First, More, Last
    TMenuItem* more = AddItem(menu_->Items(), L"&More");
    TMenuItem* extra = AddItem(more, L"&Extra");
    TMenuItem* inner = AddItem(more, L"&Inner");
    extra->SetVisible(false);
    more->OnClick = [&](TObject*) { extra->SetVisible(!extra->Visible()); };
    AddItem(menu_->Items(), L"&Last");
    const HMENU moreMenu = more->Handle();

    for (int showing = 0; showing < 2; ++showing) {
        TNames whileOpen;
        TMenuDriver driver;
        driver.PressKeys({VK_HOME, VK_DOWN, VK_RIGHT})
            .Inspect([&] { whileOpen = Captions(MenuEntries(moreMenu)); })
            .Cancel();
        driver.Start();
        std::string verb = "unset";
        browser_->SetObjectName(L"a.txt");
        browser_->PopupContextMenu(POINT{100, 100}, menu_.get(), verb, inner);
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_EQ(verb, "");

        const TNames ours = showing == 0 ? TNames{L"Extra", L"Inner"} : TNames{L"Inner"};
        ASSERT_GT(whileOpen.size(), ours.size()) << showing;
        EXPECT_EQ(TNames(whileOpen.begin(), whileOpen.begin() + static_cast<long>(ours.size())),
                  ours)
            << showing;
        EXPECT_TRUE(Contains(whileOpen, L"Open")) << showing;
        EXPECT_EQ(Captions(MenuEntries(moreMenu)), ours) << showing;
        EXPECT_EQ(Captions(MenuEntries(menu_->Handle())), (TNames{L"First", L"More", L"Last"}));
        EXPECT_TRUE(IsMenu(moreMenu));
    }
}
