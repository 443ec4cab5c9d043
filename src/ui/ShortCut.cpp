#include "ui/ShortCut.h"

#include <cwctype>

namespace {

struct TKeyName {
    WORD key;
    const wchar_t* name;
};

const TKeyName kKeyNames[] = {
    {VK_BACK, L"BkSp"},      {VK_TAB, L"Tab"},        {VK_ESCAPE, L"Esc"},   {VK_RETURN, L"Enter"},
    {VK_SPACE, L"Space"},    {VK_PRIOR, L"PgUp"},     {VK_NEXT, L"PgDn"},    {VK_END, L"End"},
    {VK_HOME, L"Home"},      {VK_LEFT, L"Left"},      {VK_UP, L"Up"},        {VK_RIGHT, L"Right"},
    {VK_DOWN, L"Down"},      {VK_INSERT, L"Ins"},     {VK_DELETE, L"Del"},   {VK_ADD, L"Num +"},
    {VK_SUBTRACT, L"Num -"}, {VK_MULTIPLY, L"Num *"}, {VK_DIVIDE, L"Num /"},
};

const wchar_t kShift[] = L"Shift+";
const wchar_t kCtrl[] = L"Ctrl+";
const wchar_t kAlt[] = L"Alt+";

std::wstring KeyName(WORD key)
{
    if ((key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9'))
        return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return L"F" + std::to_wstring(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return L"Num " + std::to_wstring(key - VK_NUMPAD0);
    for (const TKeyName& entry : kKeyNames)
        if (entry.key == key)
            return entry.name;
    return {};
}

bool StartsWithNoCase(const std::wstring& text, size_t at, const wchar_t* prefix)
{
    for (size_t i = 0; prefix[i] != L'\0'; ++i)
        if (at + i >= text.size() || std::towupper(text[at + i]) != std::towupper(prefix[i]))
            return false;
    return true;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i]))
            return false;
    return true;
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift)
{
    if ((key & 0xFF00) != 0)
        return scNone;
    TShortCut result = key;
    if (shift & ssShift)
        result |= scShift;
    if (shift & ssCtrl)
        result |= scCtrl;
    if (shift & ssAlt)
        result |= scAlt;
    return result;
}

std::wstring ShortCutToText(TShortCut shortCut)
{
    const std::wstring name = KeyName(shortCut & 0xFF);
    if (name.empty())
        return {};
    std::wstring text;
    if (shortCut & scShift)
        text += kShift;
    if (shortCut & scCtrl)
        text += kCtrl;
    if (shortCut & scAlt)
        text += kAlt;
    return text + name;
}

TShortCut TextToShortCut(const std::wstring& text)
{
    TShortCut modifiers = 0;
    size_t at = 0;
    for (;;) {
        if (StartsWithNoCase(text, at, kShift)) {
            modifiers |= scShift;
            at += 6;
        } else if (StartsWithNoCase(text, at, kCtrl)) {
            modifiers |= scCtrl;
            at += 5;
        } else if (StartsWithNoCase(text, at, kAlt)) {
            modifiers |= scAlt;
            at += 4;
        } else {
            break;
        }
    }
    const std::wstring rest = text.substr(at);
    if (rest.empty())
        return scNone;
    for (WORD key = 1; key < 0xFF; ++key) {
        const std::wstring name = KeyName(key);
        if (!name.empty() && SameNoCase(name, rest))
            return static_cast<TShortCut>(key | modifiers);
    }
    return scNone;
}
