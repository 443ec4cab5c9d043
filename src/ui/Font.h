#pragma once
// A font a control draws its text with: a logical font description plus a text colour; the
// GDI font is made when first asked for and remade after every change.
#include "core/ScopedResource.h"

#include <functional>
#include <string>

class TFont {
public:
    // The system's message font in the window text colour.
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    HFONT Handle() const;
    const LOGFONTW& LogFont() const noexcept { return logFont_; }

    // Takes the description of another font (the handle stays the caller's).
    void Assign(const LOGFONTW& logFont);
    void Assign(const TFont& font);
    bool AssignHandle(HFONT font);

    std::wstring Name() const { return logFont_.lfFaceName; }
    void SetName(const std::wstring& name);
    // Character height in pixels (negative LOGFONT heights as their positive value).
    int Height() const noexcept
    {
        return logFont_.lfHeight < 0 ? -logFont_.lfHeight : logFont_.lfHeight;
    }
    void SetHeight(int pixels);
    // Size in points, for the screen's DPI ("Tahoma 8 pt").
    int Size() const noexcept;
    void SetSize(int points);
    bool Bold() const noexcept { return logFont_.lfWeight >= FW_BOLD; }
    void SetBold(bool bold);
    bool Underline() const noexcept { return logFont_.lfUnderline != 0; }
    void SetUnderline(bool underline);
    COLORREF Color() const noexcept { return color_; }
    void SetColor(COLORREF color);

    // Told after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    LOGFONTW logFont_{};
    COLORREF color_;
    mutable TScopedGdiObject handle_;
};
