// TZelShellCombo: the dropped list, and measuring and drawing the entries (indented by level
// in the list, with their icons, the current folder's open).
#include "controls/combo/ShellCombo.h"

#include "controls/combo/ShellComboItem.h"
#include "core/ScopedResource.h"
#include "shell/SystemImageList.h"
#include "ui/Edit.h"

#include <algorithm>

void TZelShellCombo::DropDown()
{
    // The box itself: the dropped list's keys come through it.
    if (!Focused())
        FocusBox();
    if (Width() < kMinDroppedWidth)
        SetDroppedWidth(kMinDroppedWidth);
    TZelCustomFolderCombo::DropDown();
}

void TZelShellCombo::MeasureItem(int index, int& height)
{
    height = std::max(Font().Height() + 5, drawImages_->Height());
    TZelCustomFolderCombo::MeasureItem(index, height);
}

void TZelShellCombo::DrawItem(int index, HDC dc, const RECT& rect, UINT state)
{
    if (OnDrawItem) {
        TZelCustomFolderCombo::DrawItem(index, dc, rect, state);
        return;
    }
    drawingInList_ = (state & ODS_COMBOBOXEDIT) == 0;
    const bool selected = (state & ODS_SELECTED) != 0;
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    TZelComboItem* item = ItemOf(index);
    if (item == nullptr)
        return;

    const int indent = drawingInList_ ? item->Level * kIndent : 0;
    HIMAGELIST images = drawImages_->Handle();
    const int imageWidth = images != nullptr ? drawImages_->Width() : 0;
    const int imageHeight = images != nullptr ? drawImages_->Height() : 0;
    if (images != nullptr) {
        // The icon is looked up now, when the entry is first drawn.
        const int image = item->ImageIndex();
        const int x = rect.left + 2 + indent;
        const int y = rect.top + (rect.bottom - rect.top - imageHeight) / 2;
        if (image >= 0) {
            if (selected && drawingInList_)
                ImageList_DrawEx(images, image, dc, x, y, 0, 0, CLR_NONE,
                                 GetSysColor(COLOR_HIGHLIGHT), ILD_SELECTED);
            else
                ImageList_Draw(images, image, dc, x, y, selected ? ILD_NORMAL : ILD_TRANSPARENT);
        }
    }
    if (item->Name().empty())
        return;

    std::wstring text;
    if (drawingInList_) {
        text = item->DisplayName;
    } else if (Edit() != nullptr) {
        Edit()->Invalidate();  // the edit shows the text
        return;
    } else if (showFullPath_) {
        text = SelectedPath();
        if (text.empty())
            text = item->Name();
    } else {
        text = item->DisplayName;
    }

    const TSelectObjectScope selectFont(dc, Font().Handle());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int x = rect.left + (images != nullptr ? imageWidth + 6 : 6) + indent;
    const int y = rect.top + (rect.bottom - rect.top - extent.cy) / 2;
    // A selected entry's highlight covers only its text.
    RECT cell{x - 1, y, std::min<LONG>(x + extent.cx + 1, rect.right), y + extent.cy};
    if (selected) {
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &cell, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    } else {
        SetBkMode(dc, TRANSPARENT);
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &rect, text.c_str(), static_cast<UINT>(text.size()),
                    nullptr);
    }
}
