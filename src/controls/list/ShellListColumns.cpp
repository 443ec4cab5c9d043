// TZelShellList: the report columns, built from the folder's details columns, with the widths
// the user gave them kept while moving between plain file-system folders.
#include "controls/list/ShellList.h"

#include "controls/list/ColumnWidths.h"
#include "controls/list/ShellListColumns.h"
#include "core/CallbackException.h"
#include "shell/Nautilex.h"
#include "ui/Scaling.h"
#include "ui/UpdateScope.h"

namespace {

// List columns whose saved width is ever reused.
constexpr int kSavedWidthColumns = 255;

TAlignment AlignmentOf(TColumnAlignment alignment)
{
    switch (alignment) {
    case TColumnAlignment::RightJustify: return TAlignment::taRightJustify;
    case TColumnAlignment::Center: return TAlignment::taCenter;
    default: return TAlignment::taLeftJustify;
    }
}

}  // namespace

void TZelShellList::CreateColumns()
{
    // The widths as the user left them, read before the update hides the window's columns.
    if (plainFileFolder_) {
        const int count = std::min(Columns()->Count(), kSavedWidthColumns);
        for (int column = 0; column < count; ++column)
            savedWidths_[static_cast<size_t>(column)] = Columns()->Items(column)->Width();
    }
    plainFileFolder_ = browser_->IsFileFolder();
    {
        TUpdateScope<TListColumns> update(Columns());

        Columns()->Clear();
        for (const TShellListColumn& shown :
             CollectShownColumns(*browser_, details_, kMaxColumns)) {
            const int index = Columns()->Count();
            const int saved =
                index < kSavedWidthColumns ? savedWidths_[static_cast<size_t>(index)] : 0;
            TListColumn* column = Columns()->Add();
            column->SetCaption(shown.Caption);
            column->SetAlignment(AlignmentOf(shown.Alignment));
            column->SetWidth(plainFileFolder_ && saved >= 1 ? saved : DefaultWidth(shown));
            columnMap_[static_cast<size_t>(index)] = shown.Details;
        }
    }
    columnCount_ = Columns()->Count();
    CallEventHandler(OnCreateColumns, this);
}

int TZelShellList::DefaultWidth(const TShellListColumn& column)
{
    const HFONT font = Font().Handle();
    const std::wstring typical =
        TypicalColumnText(ColumnContentOf(browser_->ShellFolder(), column.Details));
    return DefaultColumnWidth(column.Width, TextWidth(font, column.Caption),
                              TextWidth(font, typical), ScreenDpi());
}

void TZelShellList::FillSubItems(TListItem* item)
{
    item->ClearSubItems();
    for (int column = 1; column < columnCount_; ++column)
        item->AddSubItem(browser_->DetailsText(columnMap_[static_cast<size_t>(column)], false));
}

// The sub-items of an item that has none yet, read from the browser.
void TZelShellList::EnsureSubItems(TListItem* item)
{
    TZelShellListItem* record = RecordOf(item);
    if (record == nullptr || record->IsParentFolder() || item->SubItemCount() > 0 || !details_ ||
        columnCount_ <= 1)
        return;
    browser_->SetObjectIDList(record->IDList());
    FillSubItems(item);
}
