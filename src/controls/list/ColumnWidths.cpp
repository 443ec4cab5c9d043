#include "controls/list/ColumnWidths.h"

#include "controls/common/ColumnValues.h"
#include "core/ScopedResource.h"

#include <shlwapi.h>

#include <algorithm>

namespace {

// Room beside a caption: the header's margins and the sort mark that a sorted column shows.
constexpr int kCaptionRoom = 32;
// Room beside a cell's text: the list view's margins on either side.
constexpr int kCellRoom = 16;

// A size as wide as sizes of files usually are (thousands of KB).
constexpr ULONGLONG kTypicalSize = 5'000'000;

}  // namespace

TColumnContent ColumnContentOf(IShellFolder* folder, int column)
{
    switch (StoragePropertyOf(folder, column)) {
    case kSizeProperty: return TColumnContent::Size;
    case kWriteTimeProperty:
    case kCreationTimeProperty:
    case kAccessTimeProperty: return TColumnContent::DateTime;
    default: return TColumnContent::Other;
    }
}

std::wstring TypicalColumnText(TColumnContent content)
{
    switch (content) {
    case TColumnContent::Size: {
        wchar_t text[64] = L"";
        StrFormatKBSizeW(kTypicalSize, text, 64);
        return text;
    }
    case TColumnContent::DateTime: {
        // Two-digit month, day and hours: as wide as a date and time get.
        SYSTEMTIME time{};
        time.wYear = 2028;
        time.wMonth = 12;
        time.wDay = 28;
        time.wHour = 22;
        time.wMinute = 58;
        time.wSecond = 58;
        wchar_t date[80] = L"";
        wchar_t clock[80] = L"";
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 80);
        GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, 80);
        return std::wstring(date) + L" " + clock;
    }
    default: return {};
    }
}

int DefaultColumnWidth(int designWidth, int captionWidth, int contentWidth, int dpi)
{
    const int scaled = MulDiv(designWidth, dpi, 96);
    int width = std::max(scaled, captionWidth + MulDiv(kCaptionRoom, dpi, 96));
    if (contentWidth > 0)
        width = std::max(width, contentWidth + MulDiv(kCellRoom, dpi, 96));
    return width;
}

int TextWidth(HFONT font, const std::wstring& text)
{
    if (text.empty())
        return 0;
    const TScopedWindowDC dc;
    const TSelectObjectScope selectFont(dc.get(), font);
    SIZE size{};
    if (!dc || !GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size))
        return 0;
    return size.cx;
}
