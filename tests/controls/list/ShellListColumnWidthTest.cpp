// The report columns' default widths fit their captions and their usual content (a full date
// and time, a size in thousands of KB) in the list's font, and grow with the screen's DPI.
#include "controls/common/ColumnValues.h"
#include "controls/list/ColumnWidths.h"
#include "controls/list/ShellListFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ShellListColumnWidthTest : public ShellListFixture {
protected:
    int Extent(const std::wstring& text)
    {
        const HDC dc = GetDC(list->Handle());
        const HGDIOBJ previous = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(list->Handle(), WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(list->Handle(), dc);
        return size.cx;
    }
    // The width the window gives the column.
    int Width(int column)
    {
        return static_cast<int>(SendMessageW(list->Handle(), LVM_GETCOLUMNWIDTH, column, 0));
    }
    int ColumnShowing(DWORD property)
    {
        for (int column = 1; column < list->ColumnCount(); ++column)
            if (StoragePropertyOf(list->Browser().ShellFolder(), list->ColumnMap(column)) ==
                property)
                return column;
        ADD_FAILURE() << "no column shows property " << property;
        return 0;
    }
};

// Room a cell leaves beside its text in the list view, a few pixels on either side.
constexpr int kCellMargins = 12;

TEST_F(ShellListColumnWidthTest, DefaultWidthsFitCaptionsAWholeDateAndTimeAndThousandsOfKB)
{
    tree.File(L"wide\\large.bin", 5'000'000);
    SYSTEMTIME late{};
    late.wYear = 2026;
    late.wMonth = 12;
    late.wDay = 28;
    late.wHour = 22;
    late.wMinute = 58;
    FILETIME local{};
    FILETIME utc{};
    SystemTimeToFileTime(&late, &local);
    LocalFileTimeToFileTime(&local, &utc);
    tree.SetModifiedTime(L"wide\\large.bin", utc);
    Show(L"wide");
    ASSERT_GT(list->ColumnCount(), 3);
    TListItem* item = list->Items()->Item(0);
    list->FillDisplayData(item);

    for (int column = 0; column < list->Columns()->Count(); ++column) {
        const std::wstring caption = list->Columns()->Items(column)->Caption();
        EXPECT_GE(Width(column), Extent(caption) + kCellMargins)
            << std::string(caption.begin(), caption.end());
    }
    const int size = ColumnShowing(kSizeProperty);
    const std::wstring sizeText = item->SubItem(size - 1);
    EXPECT_EQ(sizeText, L"4,883 KB");
    EXPECT_GE(Width(size), Extent(sizeText) + kCellMargins);
    const int modified = ColumnShowing(kWriteTimeProperty);
    const std::wstring timeText = item->SubItem(modified - 1);
    EXPECT_NE(timeText.find(L"2026"), std::wstring::npos);
    EXPECT_NE(timeText.find(L"58"), std::wstring::npos);
    EXPECT_GE(Width(modified), Extent(timeText) + kCellMargins)
        << std::string(timeText.begin(), timeText.end());
    // The typical texts the widths are made for are as wide as what the list shows.
    EXPECT_GE(Extent(TypicalColumnText(TColumnContent::Size)), Extent(sizeText));
    EXPECT_GE(Extent(TypicalColumnText(TColumnContent::DateTime)), Extent(timeText));
}

TEST(ColumnWidthTest, WidthsGrowWithTheScreensDpi)
{
    // A column whose suggestion rules, one whose caption does, one whose content does; the
    // texts are as wide as the font of that DPI makes them.
    struct TColumn {
        int design, caption, content;
    };
    for (const TColumn column : {TColumn{120, 40, 0}, TColumn{35, 60, 0}, TColumn{84, 50, 110}}) {
        const int at96 = DefaultColumnWidth(column.design, column.caption, column.content, 96);
        for (const int dpi : {120, 144, 192}) {
            const int scaled = DefaultColumnWidth(column.design, MulDiv(column.caption, dpi, 96),
                                                  MulDiv(column.content, dpi, 96), dpi);
            EXPECT_NEAR(scaled, MulDiv(at96, dpi, 96), 1) << dpi;
        }
    }
}

}  // namespace
