// TNautilex: copies of the application's menu items for a merged context menu, and clicks on
// them by command number.
#include "shell/Nautilex.h"

#include "ui/MenuItem.h"

std::unique_ptr<TMenuItem> TNautilex::CopyMenuItem(TMenuItem* item)
{
    // The action may still change the item's look: copy what it will show.
    item->InitiateAction();
    auto copy = std::make_unique<TMenuItem>(nullptr);
    copy->SetCaption(item->Caption());
    copy->SetShortCut(item->ShortCut());
    copy->OnClick = item->OnClick;
    copy->Name = item->Name + L"2";
    copy->SetBreak(item->Break());
    copy->SetChecked(item->Checked());
    copy->SetDefault(item->Default());
    copy->SetEnabled(item->Enabled());
    copy->SetGroupIndex(item->GroupIndex());
    copy->SetHelpContext(item->HelpContext());
    copy->SetRadioItem(item->RadioItem());
    copy->Tag = item->Tag;
    copy->SetVisible(item->Visible());
    copy->SetImageIndex(item->ImageIndex());
    copy->SetHint(item->Hint());
    copy->SetAction(item->Action());
    return copy;
}

UINT TNautilex::CopyMenuItems(TMenuItem* source, TMenuItem* target, TMenuItem* find)
{
    UINT found = 0;
    for (int index = 0; index < source->Count(); ++index) {
        TMenuItem* item = source->Items(index);
        std::unique_ptr<TMenuItem> copy = CopyMenuItem(item);
        TMenuItem* added = copy.get();
        target->Add(added);
        copy.release();  // the target frees it now
        if (item == find)
            found = added->Command();
        if (item->Count() > 0) {
            const UINT inner = CopyMenuItems(item, added, find);
            if (found == 0)
                found = inner;
        }
    }
    return found;
}

UINT TNautilex::ClickMenuCommand(TMenuItem* item, UINT command)
{
    for (int index = 0; index < item->Count(); ++index) {
        TMenuItem* child = item->Items(index);
        if (child->Count() > 0 && ClickMenuCommand(child, command) == 0)
            return 0;
        if (child->Command() == command) {
            child->Click();
            return 0;
        }
    }
    return command;
}
