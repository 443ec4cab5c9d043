#pragma once
// Loads a DLL from the system directory by full path, never through the search path, so a
// DLL of the same name beside the program or in the current directory is not picked up.
#include <windows.h>

HMODULE LoadSystemLibrary(const wchar_t* fileName);
