// Copies of the application's menu items for a merged context menu, and clicks by command.
#include "shell/NautilexTestSupport.h"
#include "ui/Action.h"
#include "ui/Menus.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const std::wstring& caption,
                   std::vector<std::wstring>& clicks)
{
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    item->OnClick = [&clicks, caption](TObject*) { clicks.push_back(caption); };
    parent->Add(item);
    return item;
}

}  // namespace

TEST(NautilexMenuItems, ACopyShowsAndDoesWhatTheItemDoes)
{
    std::vector<std::wstring> clicks;
    TPopupMenu menu(nullptr);
    TMenuItem* item = AddItem(menu.Items(), L"&View", clicks);
    item->Name = L"ViewItem";
    item->SetShortCut(ShortCut('V', ssCtrl));
    item->SetBreak(TMenuBreak::mbBarBreak);
    item->SetGroupIndex(3);
    item->SetRadioItem(true);
    item->SetChecked(true);
    item->SetDefault(true);
    item->SetHelpContext(42);
    item->Tag = 7;
    item->SetImageIndex(2);
    item->SetHint(L"View|Changes the view");

    const auto copy = TNautilex::CopyMenuItem(item);
    EXPECT_EQ(copy->Caption(), L"&View");
    EXPECT_EQ(copy->Name, L"ViewItem2");
    EXPECT_EQ(copy->ShortCut(), item->ShortCut());
    EXPECT_EQ(copy->Break(), TMenuBreak::mbBarBreak);
    EXPECT_EQ(copy->GroupIndex(), 3);
    EXPECT_TRUE(copy->RadioItem() && copy->Checked() && copy->Default() && copy->Enabled());
    EXPECT_EQ(copy->HelpContext(), 42);
    EXPECT_EQ(copy->Tag, 7);
    EXPECT_EQ(copy->ImageIndex(), 2);
    EXPECT_EQ(copy->Hint(), L"View|Changes the view");
    EXPECT_NE(copy->Command(), item->Command());
    copy->Click();
    EXPECT_EQ(clicks, std::vector<std::wstring>{L"&View"});

    // An item run by an action: the action updates it first, and the copy runs it too.
    TAction action(nullptr);
    int executed = 0;
    action.OnUpdate = [&](TObject*) { action.SetEnabled(false); };
    action.OnExecute = [&](TObject*) { ++executed; };
    TMenuItem* acting = AddItem(menu.Items(), L"Acting", clicks);
    acting->OnClick = nullptr;
    acting->SetAction(&action);
    const auto actingCopy = TNautilex::CopyMenuItem(acting);
    EXPECT_EQ(actingCopy->Action(), &action);
    EXPECT_FALSE(actingCopy->Enabled());
    action.SetEnabled(true);
    actingCopy->Click();
    EXPECT_EQ(executed, 1);
}

TEST(NautilexMenuItems, CopiesKeepTheTreeAndClicksFindNestedCommands)
{
    std::vector<std::wstring> clicks;
    TPopupMenu source(nullptr);
    AddItem(source.Items(), L"First", clicks);
    TMenuItem* more = AddItem(source.Items(), L"More", clicks);
    TMenuItem* inner = AddItem(more, L"Inner", clicks);
    TMenuItem* last = AddItem(source.Items(), L"Last", clicks);

    TPopupMenu target(nullptr);
    const UINT found = TNautilex::CopyMenuItems(source.Items(), target.Items(), inner);
    ASSERT_EQ(target.Items()->Count(), 3);
    TMenuItem* innerCopy = target.Items()->Items(1)->Items(0);
    EXPECT_EQ(innerCopy->Caption(), L"Inner");
    EXPECT_EQ(found, innerCopy->Command());
    EXPECT_EQ(TNautilex::CopyMenuItems(source.Items(), target.Items(), nullptr), 0u);

    EXPECT_EQ(TNautilex::ClickMenuCommand(target.Items(), innerCopy->Command()), 0u);
    EXPECT_EQ(TNautilex::ClickMenuCommand(target.Items(), target.Items()->Items(2)->Command()), 0u);
    EXPECT_EQ(clicks, (std::vector<std::wstring>{L"Inner", L"Last"}));
    // Commands that are not ours come back unchanged (they are the shell's), as do the
    // source's: the copies have numbers of their own.
    EXPECT_EQ(TNautilex::ClickMenuCommand(target.Items(), 18), 18u);
    EXPECT_EQ(TNautilex::ClickMenuCommand(target.Items(), last->Command()), last->Command());
    EXPECT_EQ(clicks.size(), 2u);
}
