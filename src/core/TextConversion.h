#pragma once
// Conversions between UTF-16 and the system code page, and the system's error texts.
#include <windows.h>

#include <string>

std::string WideToNarrow(const std::wstring& text, UINT codePage = CP_ACP);
std::wstring NarrowToWide(const std::string& text, UINT codePage = CP_ACP);

// The system's message text for an error code (HRESULT or Win32 code), without the
// trailing line break; empty when the system has none.
std::wstring SystemErrorMessage(DWORD code);
