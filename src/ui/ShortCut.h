#pragma once
// Keyboard shortcuts of menu items and actions: a virtual key plus modifier bits in one word,
// and their texts ("Ctrl+C", "Shift+Del", "F5").
#include "ui/UITypes.h"

#include <string>

using TShortCut = WORD;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(WORD key, TShiftState shift);
// Empty for scNone and for keys that have no name.
std::wstring ShortCutToText(TShortCut shortCut);
// scNone when the text names no shortcut.
TShortCut TextToShortCut(const std::wstring& text);
