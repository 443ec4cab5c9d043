#include "ui/Font.h"

#include "ui/Scaling.h"

#include <cwchar>

TFont::TFont() : color_(GetSysColor(COLOR_WINDOWTEXT))
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        logFont_ = metrics.lfMessageFont;
    else
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont_), &logFont_);
}

HFONT TFont::Handle() const
{
    if (!handle_)
        handle_.reset(CreateFontIndirectW(&logFont_));
    return static_cast<HFONT>(handle_.get());
}

void TFont::Assign(const LOGFONTW& logFont)
{
    logFont_ = logFont;
    Changed();
}

void TFont::Assign(const TFont& font)
{
    if (&font == this)
        return;
    logFont_ = font.logFont_;
    color_ = font.color_;
    Changed();
}

bool TFont::AssignHandle(HFONT font)
{
    LOGFONTW logFont{};
    if (font == nullptr || GetObjectW(font, sizeof(logFont), &logFont) == 0)
        return false;
    Assign(logFont);
    return true;
}

void TFont::SetName(const std::wstring& name)
{
    wcsncpy(logFont_.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    logFont_.lfFaceName[LF_FACESIZE - 1] = L'\0';
    Changed();
}

void TFont::SetHeight(int pixels)
{
    logFont_.lfHeight = -pixels;
    Changed();
}

int TFont::Size() const noexcept
{
    return MulDiv(Height(), 72, ScreenDpi());
}

void TFont::SetSize(int points)
{
    SetHeight(MulDiv(points, ScreenDpi(), 72));
}

void TFont::SetUnderline(bool underline)
{
    logFont_.lfUnderline = underline ? TRUE : FALSE;
    Changed();
}

void TFont::SetBold(bool bold)
{
    logFont_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    Changed();
}

void TFont::SetColor(COLORREF color)
{
    if (color == color_)
        return;
    color_ = color;
    if (OnChange)
        OnChange();
}

void TFont::Changed()
{
    // The old font goes only after the users have switched to the new one.
    TScopedGdiObject old(handle_.release());
    if (OnChange)
        OnChange();
}
