#pragma once
// Paths stored as narrow text in the system code page (the settings and the bookmarks). A
// path that the code page cannot show is stored as its short (8.3) form, which leads back to
// the same folder; never as a "?"-mangled text that names nothing.
#include <string>

// The path in the code page, or its short form there; false when neither can be stored.
bool CodePagePath(const std::wstring& path, std::string& narrow);
// The path itself when it converts, else the nearest of its parent folders that does (an
// empty text when none does).
std::string NearestCodePagePath(const std::wstring& path);
