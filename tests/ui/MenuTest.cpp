#include "ui/Menus.h"

#include "common/MenuDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

class MenuTest : public testing::Test {
protected:
    TMenuItem* AddItem(TMenuItem* parent, const std::wstring& caption)
    {
        auto* item = new TMenuItem(&owner_);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }
    std::vector<std::wstring> Texts(HMENU menu)
    {
        std::vector<std::wstring> texts;
        for (const TMenuEntry& entry : MenuEntries(menu))
            texts.push_back(entry.Separator ? L"-" : entry.Text);
        return texts;
    }

    TComponent owner_{nullptr};
    TPopupMenu* menu_ = new TPopupMenu(&owner_);
};

TEST_F(MenuTest, TheSystemMenuShowsTheItemsAndFollowsTheirChanges)
{
    TMenuItem* open = AddItem(menu_->Items(), L"&Open");
    open->SetShortCut(ShortCut(L'O', ssCtrl));
    open->SetDefault(true);
    AddItem(menu_->Items(), L"-");
    TMenuItem* disabled = AddItem(menu_->Items(), L"Disabled");
    disabled->SetEnabled(false);
    TMenuItem* hidden = AddItem(menu_->Items(), L"Hidden");
    hidden->SetVisible(false);
    TMenuItem* more = AddItem(menu_->Items(), L"More");
    TMenuItem* child = AddItem(more, L"Child");
    child->SetBreak(TMenuBreak::mbBarBreak);

    const std::vector<TMenuEntry> entries = MenuEntries(menu_->Handle());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Text, L"&Open\tCtrl+O");
    EXPECT_TRUE(entries[0].Default);
    EXPECT_EQ(entries[0].Id, open->Command());
    EXPECT_TRUE(entries[1].Separator);
    EXPECT_TRUE(entries[2].Disabled);
    EXPECT_TRUE(entries[3].HasSubmenu);
    EXPECT_EQ(GetSubMenu(menu_->Handle(), 3), more->Handle());
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(more->Handle(), 0, TRUE, &info);
    EXPECT_NE(info.fType & MFT_MENUBARBREAK, 0u);

    // Changes after the menu exists.
    open->SetCaption(L"&Open file");
    disabled->SetEnabled(true);
    hidden->SetVisible(true);
    AddItem(more, L"Second child");
    EXPECT_EQ(Texts(menu_->Handle()), (std::vector<std::wstring>{L"&Open file\tCtrl+O", L"-",
                                                                 L"Disabled", L"Hidden", L"More"}));
    EXPECT_FALSE(MenuEntries(menu_->Handle())[2].Disabled);
    EXPECT_EQ(Texts(more->Handle()), (std::vector<std::wstring>{L"Child", L"Second child"}));
    more->Delete(0);
    EXPECT_EQ(Texts(more->Handle()), (std::vector<std::wstring>{L"Second child"}));
    more->Clear();
    EXPECT_FALSE(MenuEntries(menu_->Handle())[4].HasSubmenu);
    delete open;  // an item freed by its owner leaves its menu
    EXPECT_EQ(Texts(menu_->Handle()),
              (std::vector<std::wstring>{L"-", L"Disabled", L"Hidden", L"More"}));
}

// Entries another party put into our menu (a shell menu merged into it while shown) stay
// after the item they followed whatever our items do, and ours keep their order.
TEST_F(MenuTest, OthersEntriesStayAfterTheItemTheyFollowedThroughRebuilds)
{
    TMenuItem* early = AddItem(menu_->Items(), L"Early");
    early->SetVisible(false);
    TMenuItem* first = AddItem(menu_->Items(), L"First");
    TMenuItem* second = AddItem(menu_->Items(), L"Second");
    AddItem(menu_->Items(), L"Last");
    HMENU menu = menu_->Handle();
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 1, L"Top");
    InsertMenuW(menu, 2, MF_BYPOSITION | MF_STRING, 2, L"Shell A");
    InsertMenuW(menu, 3, MF_BYPOSITION | MF_STRING, 3, L"Shell B");
    using TTexts = std::vector<std::wstring>;
    ASSERT_EQ(Texts(menu), (TTexts{L"Top", L"First", L"Shell A", L"Shell B", L"Second", L"Last"}));

    TAction action(nullptr);
    action.SetCaption(L"Second");
    second->SetAction(&action);
    action.SetEnabled(false);  // a rebuild of the whole menu
    EXPECT_EQ(Texts(menu), (TTexts{L"Top", L"First", L"Shell A", L"Shell B", L"Second", L"Last"}));
    early->SetVisible(true);
    EXPECT_EQ(Texts(menu),
              (TTexts{L"Top", L"Early", L"First", L"Shell A", L"Shell B", L"Second", L"Last"}));
    AddItem(menu_->Items(), L"Added");
    menu_->Items()->Insert(0, new TMenuItem(&owner_));
    menu_->Items()->Items(0)->SetCaption(L"Inserted");
    EXPECT_EQ(Texts(menu), (TTexts{L"Top", L"Inserted", L"Early", L"First", L"Shell A", L"Shell B",
                                   L"Second", L"Last", L"Added"}));
    // The item they followed leaves: they follow the one before it.
    delete first;
    EXPECT_EQ(Texts(menu), (TTexts{L"Top", L"Inserted", L"Early", L"Shell A", L"Shell B", L"Second",
                                   L"Last", L"Added"}));
    early->SetVisible(false);
    EXPECT_EQ(Texts(menu),
              (TTexts{L"Top", L"Inserted", L"Shell A", L"Shell B", L"Second", L"Last", L"Added"}));
    second->SetAction(nullptr);
}

TEST_F(MenuTest, RadioItemsOfOneGroupExcludeEachOther)
{
    TMenuItem* icons = AddItem(menu_->Items(), L"Icons");
    TMenuItem* list = AddItem(menu_->Items(), L"List");
    TMenuItem* other = AddItem(menu_->Items(), L"Other group");
    for (TMenuItem* item : {icons, list, other}) {
        item->SetRadioItem(true);
        item->SetGroupIndex(1);
    }
    other->SetGroupIndex(2);
    other->SetChecked(true);
    icons->SetChecked(true);
    list->SetChecked(true);
    EXPECT_FALSE(icons->Checked());
    EXPECT_TRUE(list->Checked());
    EXPECT_TRUE(other->Checked());
    const std::vector<TMenuEntry> entries = MenuEntries(menu_->Handle());
    EXPECT_FALSE(entries[0].Checked);
    EXPECT_TRUE(entries[1].Checked);
}

TEST_F(MenuTest, CommandNumbersAreUniqueAndLeadBackToTheirItems)
{
    std::vector<int> clicks;
    TMenuItem* sub = AddItem(menu_->Items(), L"Sub");
    std::set<UINT> commands;
    for (int i = 0; i < 5; ++i) {
        TMenuItem* item = AddItem(i < 3 ? menu_->Items() : sub, L"Item " + std::to_wstring(i));
        item->OnClick = [&clicks, i](TObject*) { clicks.push_back(i); };
        EXPECT_GE(item->Command(), kFirstMenuCommand);
        EXPECT_LE(item->Command(), kLastMenuCommand);
        commands.insert(item->Command());
    }
    EXPECT_EQ(commands.size(), 5u);
    TMenuItem* deep = sub->Items(1);
    EXPECT_EQ(menu_->FindItem(deep->Command(), TFindItemKind::fkCommand), deep);
    EXPECT_EQ(TPopupMenu::FindPopupItem(deep->Command()), deep);
    EXPECT_EQ(menu_->FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(sub->Handle())),
                              TFindItemKind::fkHandle),
              sub);
    deep->SetShortCut(ShortCut(VK_F5, 0));
    EXPECT_EQ(menu_->FindItem(VK_F5, TFindItemKind::fkShortCut), deep);

    EXPECT_TRUE(menu_->DispatchCommand(deep->Command()));
    EXPECT_FALSE(menu_->DispatchCommand(5));  // a number a shell menu would use
    EXPECT_EQ(clicks, (std::vector<int>{4}));
}

TEST_F(MenuTest, ClicksRunTheHandlerOrTheActionButNotOnDisabledItems)
{
    auto* action = new TAction(&owner_);
    int executed = 0;
    int updated = 0;
    action->OnExecute = [&](TObject*) { ++executed; };
    action->OnUpdate = [&](TObject*) { ++updated; };
    action->SetCaption(L"&Refresh");
    action->SetShortCut(ShortCut(VK_F5, 0));
    action->SetHint(L"Refresh|Reads the folder again");
    TMenuItem* item = AddItem(menu_->Items(), L"");
    item->SetAction(action);
    EXPECT_EQ(item->Caption(), L"&Refresh");
    EXPECT_EQ(Texts(menu_->Handle())[0], L"&Refresh\tF5");
    EXPECT_EQ(item->Hint(), L"Refresh|Reads the folder again");

    item->Click();
    EXPECT_EQ(executed, 1);
    action->SetEnabled(false);
    EXPECT_TRUE(MenuEntries(menu_->Handle())[0].Disabled);
    item->Click();
    EXPECT_EQ(executed, 1);
    action->SetEnabled(true);
    action->SetVisible(false);
    EXPECT_TRUE(MenuEntries(menu_->Handle()).empty());
    action->SetVisible(true);

    int ownClicks = 0;
    item->OnClick = [&](TObject*) { ++ownClicks; };
    item->Click();
    EXPECT_EQ(ownClicks, 1);
    EXPECT_EQ(executed, 1);

    menu_->Items()->InitiateActions();
    EXPECT_EQ(updated, 1);
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    item->Click();
    EXPECT_EQ(ownClicks, 2);
}

TEST_F(MenuTest, ShortCutTextsAndCaptions)
{
    const TShortCut cases[] = {ShortCut(L'C', ssCtrl), ShortCut(VK_DELETE, ssShift),
                               ShortCut(VK_F5, 0), ShortCut(VK_RETURN, ssAlt),
                               ShortCut(L'Z', ssCtrl | ssShift)};
    const wchar_t* texts[] = {L"Ctrl+C", L"Shift+Del", L"F5", L"Alt+Enter", L"Shift+Ctrl+Z"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ShortCutToText(cases[i]), texts[i]);
        EXPECT_EQ(TextToShortCut(texts[i]), cases[i]);
    }
    EXPECT_EQ(TextToShortCut(L"ctrl+del"), ShortCut(VK_DELETE, ssCtrl));
    EXPECT_EQ(TextToShortCut(L"Ctrl+"), scNone);
    EXPECT_EQ(ShortCutToText(scNone), L"");
    EXPECT_EQ(StripHotkey(L"&File && &Edit"), L"File & Edit");
    TMenuItem* item = AddItem(menu_->Items(), L"&Properties");
    EXPECT_EQ(menu_->Items()->Find(L"properties"), item);
    EXPECT_EQ(menu_->Items()->Find(L"Prop"), nullptr);
}

TEST_F(MenuTest, ItemsWithImagesAskToDrawThem)
{
    auto* images = new TImageList(&owner_);
    images->AddIcon(LoadIconW(nullptr, IDI_INFORMATION));  // a shared icon: not freed
    TMenuItem* item = AddItem(menu_->Items(), L"Picture");
    item->SetImageIndex(0);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu_->Handle(), 0, TRUE, &info);
    EXPECT_EQ(info.hbmpItem, nullptr);  // no image list yet
    menu_->SetImages(images);
    GetMenuItemInfoW(menu_->Handle(), 0, TRUE, &info);
    EXPECT_EQ(info.hbmpItem, HBMMENU_CALLBACK);
    delete images;
    EXPECT_EQ(menu_->Images(), nullptr);
    GetMenuItemInfoW(menu_->Handle(), 0, TRUE, &info);
    EXPECT_EQ(info.hbmpItem, nullptr);
}

TEST_F(MenuTest, FreeingAParentFreesItsChildren)
{
    TMenuItem* parent = AddItem(menu_->Items(), L"Parent");
    AddItem(parent, L"One");
    AddItem(AddItem(parent, L"Two"), L"Grandchild");
    parent->Handle();
    const int before = owner_.ComponentCount();
    delete parent;
    EXPECT_EQ(owner_.ComponentCount(), before - 4);
    EXPECT_EQ(menu_->Items()->Count(), 0);
    EXPECT_EQ(GetMenuItemCount(menu_->Handle()), 0);
}

}  // namespace
