#include "shell/ShellState.h"

#include "core/Exception.h"
#include "core/PathText.h"
#include "core/ScopedResource.h"

#include <ole2.h>

namespace {

alignas(ITEMIDLIST) const BYTE kEmptyIDList[sizeof(ITEMIDLIST)] = {};

TShellFailureHook& FailureHook()
{
    static TShellFailureHook hook;
    return hook;
}

int startupCount = 0;
bool oleInitialized = false;
TScopedModule shell32Module;
TScopedModule shlwapiModule;

template <class Proc>
void BindEntry(HMODULE module, const char* name, Proc& entry)
{
    entry = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void ReadVersionFlags()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    IsNT5 = IsNT && major == 5;
    IsXPOrLater = (major == 5 && minor != 0) || major > 5;
    IsWinXP = major == 5 && minor == 1;
    IsWin2000OrLater = IsNT5 || IsXPOrLater;
    IsVistaOrLater = major >= 6;
    IsWin9x = major == 4 && minor <= 10;
}

void LoadShellLibraries()
{
    shell32Module.reset(LoadSystemLibrary(L"shell32.dll"));
    if (!shell32Module)
        throw Exception(L"Nautilex Components: Cannot open SHELL32.DLL!");
    BindEntry(shell32Module.get(), MAKEINTRESOURCEA(2), ShellEntries.ChangeNotifyRegisterEntry);
    BindEntry(shell32Module.get(), MAKEINTRESOURCEA(4), ShellEntries.ChangeNotifyDeregisterEntry);
    wchar_t name[261] = {};
    const int length = LoadStringW(shell32Module.get(), 30320, name, 261);
    NewFolderName.assign(name, length > 0 ? static_cast<size_t>(length) : 0);

    shlwapiModule.reset(LoadSystemLibrary(L"shlwapi.dll"));
    if (!shlwapiModule)
        throw Exception(L"Nautilex Components: Cannot open SHLWAPI.DLL!");
    BindEntry(shlwapiModule.get(), "SHAutoComplete", ShellEntries.AutoCompleteEntry);
    BindEntry(shlwapiModule.get(), "PathMatchSpecW", ShellEntries.PathMatchSpecEntry);
    BindEntry(shlwapiModule.get(), "StrRetToStrW", ShellEntries.StrRetToStrEntry);
    BindEntry(shlwapiModule.get(), "StrCmpLogicalW", ShellEntries.StrCmpLogicalEntry);
    BindEntry(shlwapiModule.get(), "StrFormatByteSizeW", ShellEntries.StrFormatByteSizeEntry);
}

void ReleaseState()
{
    ShellEntries = {};
    NetworkIDList.reset();
    NewFolderName.clear();
    WindowsRootPath.clear();
    DesktopFolder.Reset();
    shlwapiModule.reset();
    shell32Module.reset();
    if (oleInitialized) {
        OleUninitialize();
        oleInitialized = false;
    }
}

}  // namespace

TComPtr<IShellFolder> DesktopFolder;
const TBorrowedIDList DesktopIDList = reinterpret_cast<TBorrowedIDList>(kEmptyIDList);
TOwnedIDList NetworkIDList;
bool IsNT = false;
bool IsNT5 = false;
bool IsXPOrLater = false;
bool IsWinXP = false;
bool IsWin2000OrLater = false;
bool IsVistaOrLater = false;
bool IsWin9x = false;
std::wstring WindowsRootPath;
std::wstring NewFolderName;
TShellEntryPoints ShellEntries;

void SetShellFailureHook(TShellFailureHook hook)
{
    FailureHook() = std::move(hook);
}

void ReportShellFailure(const std::wstring& message) noexcept
{
    try {
        if (FailureHook()) {
            FailureHook()(message);
            return;
        }
    } catch (...) {
        // A failing hook must not turn a reported failure into a crash.
    }
    OutputDebugStringW(message.c_str());
}

bool ShellStarted()
{
    return startupCount > 0 && DesktopFolder;
}

bool ShellStartup()
{
    if (startupCount++ > 0)
        return ShellStarted();
    TScopeExit undoStartup([] {
        ReleaseState();
        --startupCount;
    });
    oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    LoadShellLibraries();
    undoStartup.Dismiss();

    if (FAILED(SHGetDesktopFolder(DesktopFolder.ReleaseAndGetAddressOf())) || !DesktopFolder) {
        ReportShellFailure(L"Nautilex Components: Cannot open Shell!");
        return false;
    }
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, NetworkIDList.put())))
        NetworkIDList.reset();
    ReadVersionFlags();
    const std::wstring windowsDirectory = WindowsDirectory();
    WindowsRootPath =
        windowsDirectory.size() >= 2 ? windowsDirectory.substr(0, 2) + L"\\" : L"C:\\";
    return true;
}

void ShellShutdown()
{
    if (startupCount == 0)
        return;
    if (--startupCount > 0)
        return;
    ReleaseState();
}
