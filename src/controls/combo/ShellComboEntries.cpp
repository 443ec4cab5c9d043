// TZelShellCombo: the entries: the base list (desktop, its folders, the drives), the filter,
// adding and trimming entries.
#include "controls/combo/ShellCombo.h"

#include "controls/combo/ShellComboItem.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/ShellState.h"
#include "ui/Edit.h"

#include <algorithm>
#include <memory>

namespace {

// A drive root as an object name: "C:\".
bool IsDriveName(const std::wstring& name)
{
    return name.size() == 3 && name[1] == L':';
}

}  // namespace

void TZelShellCombo::EnsureInitialized()
{
    if (initialized_) {
        if (Items()->Count() == 0)
            BuildBaseList();
        return;
    }
    Items()->Clear();
    browser_->SetSpecialFolder(SF_DESKTOP);
    if (IsDesigning())
        return;
    if (!GetNoFillOnStartup())
        BuildBaseList();
    initialized_ = true;
}

void TZelShellCombo::BuildBaseList()
{
    const TZelComboItem* selected = ItemOf(ItemIndex());
    const TOwnedIDList remembered =
        selected != nullptr ? CopyIDList(selected->IDList()) : TOwnedIDList();
    Items()->Clear();
    AddEntry(0, TNautilex::DesktopDisplayName(), TNautilex::DesktopDisplayName(), 0, true,
             TNautilex::DesktopImageIndex(), CopyIDList(DesktopIDList));
    TZelVisibilityRule rule(options_);
    browser_->SetSpecialFolder(SF_DESKTOP);
    AddFolderChildren(1, 1, rule);
    if (Items()->Count() >= 2) {
        // The drives go below the computer's entry (the desktop's first folder on most
        // systems, but not on all).
        const TOwnedIDList computer = SpecialFolderIDList(SF_DRIVES);
        const int computerIndex = computer ? FindEntry(computer, 1) : -1;
        browser_->SetSpecialFolder(SF_DRIVES);
        AddFolderChildren(computerIndex > 0 ? computerIndex + 1 : 2, 2, rule);
    }

    if (remembered) {
        const bool linkEnabled = shellLink_ != nullptr && shellLink_->GetEnabled();
        if (shellLink_ != nullptr)
            shellLink_->SetEnabled(false);
        try {
            ShowIDList(remembered);
        } catch (...) {
            SelectEntry(0);
        }
        if (shellLink_ != nullptr)
            shellLink_->SetEnabled(linkEnabled);
    } else if (shellLink_ == nullptr && Items()->Count() > 1) {
        SelectEntry(1);
        ShowSelectionText();
    }
    if (Edit() != nullptr)
        Edit()->Invalidate();
}

void TZelShellCombo::AddFolderChildren(int start, int level, TZelVisibilityRule& rule)
{
    int drivePosition = start;
    int position = start;
    while (browser_->NextObject()) {
        const bool folder = browser_->IsFolder();
        if (!folder || !rule.Accepts(*browser_, 1))
            continue;
        const std::wstring name = browser_->GetObjectName();
        const bool drive = IsDriveName(name);
        const int index = AddEntry(drive ? drivePosition : position, name, browser_->DisplayName(),
                                   level, true, -1, CopyIDList(browser_->AbsoluteIDList()));
        if (index < 0)
            continue;
        if (drive)
            ++drivePosition;
        ++position;
    }
}

int TZelShellCombo::AddEntry(int index, const std::wstring& name, const std::wstring& displayName,
                             int level, bool fixed, int imageIndex, TOwnedIDList list)
{
    const std::wstring& text = name.empty() ? displayName : name;
    if (text.empty())
        return -1;
    auto item = std::make_unique<TZelComboItem>();
    item->SetName(text);
    item->DisplayName = displayName.empty() ? text : displayName;
    item->Level = level;
    item->Fixed = fixed;
    item->SetImageIndex(imageIndex);
    item->SetIDList(std::move(list));
    if (index < 0 || index > Items()->Count())
        index = Items()->Count();
    Items()->Insert(index, text, std::move(item));
    return index;
}

void TZelShellCombo::TrimAfter(int index)
{
    for (int entry = Items()->Count() - 1; entry > index; --entry) {
        const TZelComboItem* item = ItemOf(entry);
        if (item != nullptr && !item->Fixed)
            Items()->Delete(entry);
    }
}

int TZelShellCombo::FindEntry(TBorrowedIDList list, int start) const
{
    for (int index = std::max(start, 0); index < Items()->Count(); ++index) {
        const TZelComboItem* item = ItemOf(index);
        if (item != nullptr && SameIDLists(item->IDList(), list))
            return index;
    }
    return -1;
}
