#include "app/DllSearch.h"

#include "core/SystemLibrary.h"

#include <windows.h>

#include <initializer_list>

namespace {

// Windows 8 and Windows 7 with KB2533623 have it; the headers of our target version lack it.
using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void RestrictDllSearch() noexcept
{
    // The working directory leaves the search path even where the call below is missing.
    SetDllDirectoryW(L"");
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr)
        return;
    const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr)
        setDefault(kSearchSystem32);
    // System libraries that other system libraries load by bare name, some through paths that
    // ignore the setting above (Wine's delay loads use the program's folder first): loaded
    // now from the system directory, every later load by name finds them loaded.
    for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll"})
        LoadSystemLibrary(name);
}
