#pragma once
// The one case-insensitive text comparison of the program. File names, paths and keys compare
// ordinally, ignoring case, as the file system compares them: a linguistic comparison would
// call different names equal ("strasse" and "straße"). Only texts sorted for the user's eyes
// compare linguistically.
#include <string>

bool SameText(const std::wstring& a, const std::wstring& b);
bool StartsWithText(const std::wstring& text, const std::wstring& prefix);
// Negative, zero or positive; ordinal, ignoring case.
int CompareText(const std::wstring& a, const std::wstring& b);
// Negative, zero or positive in the user's locale, ignoring case (display order only).
int CompareTextForDisplay(const std::wstring& a, const std::wstring& b);
std::wstring UpperCase(const std::wstring& text);
