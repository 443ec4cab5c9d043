#pragma once
// Default widths of the shell list's report columns. A folder suggests a width in characters,
// which the shell turns into pixels for 96 DPI; the list scales it to the screen's DPI and
// widens it wherever the caption (with room for the sort mark) or the usual content of the
// column (a full date and time, a size in thousands of KB) would not fit in the list's font.
#include <windows.h>

#include <shlobj.h>

#include <string>

// What a details column usually shows, as far as its width goes.
enum class TColumnContent { Other, Size, DateTime };

TColumnContent ColumnContentOf(IShellFolder* folder, int column);

// A text as wide as the column's usual content ("4,883 KB", a date with the time), formatted
// as the user's locale has it; empty for other columns.
std::wstring TypicalColumnText(TColumnContent content);

// The width from the folder's suggestion at 96 DPI (`designWidth`) and the pixel widths of the
// caption and of the typical content in the list's font, at `dpi`.
int DefaultColumnWidth(int designWidth, int captionWidth, int contentWidth, int dpi);

// Pixel width of `text` in `font` on the screen.
int TextWidth(HFONT font, const std::wstring& text);
