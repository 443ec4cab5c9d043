#pragma once
// The process-wide shell state that every component reads: the desktop folder, the desktop
// and network ID lists, the version flags, the localized new-folder name, and the entry
// points bound at start-up from the system's shell32 and shlwapi.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "core/SystemLibrary.h"

#include <shlobj.h>

#include <functional>
#include <string>

// A failure that leaves the shell unusable for the whole program (no desktop folder, a
// missing system entry point) is reported here with the text to show the user. The shell
// layer itself only reports and returns its failure value; the program installs the hook
// that tells the user and ends. Without a hook the report goes to the debugger output.
using TShellFailureHook = std::function<void(const std::wstring& message)>;
void SetShellFailureHook(TShellFailureHook hook);
void ReportShellFailure(const std::wstring& message) noexcept;

// Both calls nest: only the outermost pair acts. ShellStartup throws Exception when shell32
// or shlwapi cannot be loaded; it returns false when the desktop folder is unavailable (after
// reporting it through the failure hook).
bool ShellStartup();
void ShellShutdown();
bool ShellStarted();

extern TComPtr<IShellFolder> DesktopFolder;
extern const TBorrowedIDList DesktopIDList;  // static empty list; never freed
extern TOwnedIDList NetworkIDList;

extern bool IsNT;
extern bool IsNT5;
extern bool IsXPOrLater;
extern bool IsWinXP;
extern bool IsWin2000OrLater;
extern bool IsVistaOrLater;
extern bool IsWin9x;
extern std::wstring WindowsRootPath;
extern std::wstring NewFolderName;

// Entry points that may be absent on a given system; null when absent.
struct TShellEntryPoints {
    using SHChangeNotifyRegisterProc = ULONG(WINAPI*)(HWND, int, LONG, UINT, int,
                                                      const SHChangeNotifyEntry*);
    using SHChangeNotifyDeregisterProc = BOOL(WINAPI*)(ULONG);
    using SHAutoCompleteProc = HRESULT(WINAPI*)(HWND, DWORD);
    using PathMatchSpecWProc = BOOL(WINAPI*)(LPCWSTR, LPCWSTR);
    using StrRetToStrWProc = HRESULT(WINAPI*)(STRRET*, LPCITEMIDLIST, LPWSTR*);
    using StrCmpLogicalWProc = int(WINAPI*)(LPCWSTR, LPCWSTR);
    using StrFormatByteSizeWProc = LPWSTR(WINAPI*)(LONGLONG, LPWSTR, UINT);

    SHChangeNotifyRegisterProc ChangeNotifyRegisterEntry = nullptr;      // shell32 ordinal 2
    SHChangeNotifyDeregisterProc ChangeNotifyDeregisterEntry = nullptr;  // shell32 ordinal 4
    SHAutoCompleteProc AutoCompleteEntry = nullptr;
    PathMatchSpecWProc PathMatchSpecEntry = nullptr;
    StrRetToStrWProc StrRetToStrEntry = nullptr;
    StrCmpLogicalWProc StrCmpLogicalEntry = nullptr;
    StrFormatByteSizeWProc StrFormatByteSizeEntry = nullptr;
};
extern TShellEntryPoints ShellEntries;
