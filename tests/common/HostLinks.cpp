#include "common/HostLinks.h"

#include "core/PathText.h"

#include <windows.h>

#include <vector>

namespace {

using WineGetUnixFileNameProc = char*(CDECL*)(const wchar_t*);

WineGetUnixFileNameProc UnixFileNameEntry()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<WineGetUnixFileNameProc>(
                                   GetProcAddress(kernel, "wine_get_unix_file_name"));
}

}  // namespace

std::wstring UnixPathOf(const std::wstring& path)
{
    WineGetUnixFileNameProc entry = UnixFileNameEntry();
    char* name = entry == nullptr ? nullptr : entry(path.c_str());
    if (name == nullptr)
        return {};
    std::wstring result(name, name + strlen(name));  // host paths of the tests are ASCII
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program (an absolute host path such as "/bin/ln") through Wine and waits for
// it, at most five seconds. Wine starts a host program outside its own process table: it
// then hands back no process handle and leaves whatever was on its stack in the thread
// handle; closing that value would close some other handle of ours (the desktop's, say, after
// which no new thread can post a message).
bool RunHostProgram(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    std::wstring application = L"Z:" + program;
    for (wchar_t& c : application)
        if (c == L'/')
            c = L'\\';
    std::wstring line = L"\"" + application + L"\"";
    for (const std::wstring& argument : arguments)
        line += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    if (process.hProcess == nullptr)
        return true;
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

namespace {

// A host program started through Wine may still be running when its process handle is
// signalled: the caller polls for the program's effect.
template <class Predicate>
bool WaitUntil(Predicate done)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 3000)
            return false;
        Sleep(10);
    }
    return true;
}

bool IsLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ==
               (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DriveRoot(wchar_t letter)
{
    return std::wstring(1, letter) + L":\\";
}

// Wine keeps its drive letters as host links in the prefix's "dosdevices" folder.
std::wstring DosDevicesEntry(wchar_t letter)
{
    std::wstring drive = UnixPathOf(L"C:\\");
    const size_t at = drive.rfind(L"/c:");
    if (at == std::wstring::npos)
        return {};
    return drive.substr(0, at + 1) + static_cast<wchar_t>(towlower(letter)) + L":";
}

}  // namespace

bool RunningOnWine()
{
    return UnixFileNameEntry() != nullptr;
}

bool RunHostScript(const std::wstring& script, const std::vector<std::wstring>& arguments)
{
    if (!RunningOnWine())
        return false;
    std::vector<std::wstring> line{L"-c", script, L"sh"};
    line.insert(line.end(), arguments.begin(), arguments.end());
    return RunHostProgram(L"/bin/sh", line);
}

bool CreateDirectoryLink(const std::wstring& link, const std::wstring& target)
{
    const std::wstring linkPath = ExcludeTrailingBackslash(link);
    if (CreateSymbolicLinkW(linkPath.c_str(), ExcludeTrailingBackslash(target).c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsLink(linkPath))
        return true;
    if (!RunningOnWine())
        return false;
    const std::wstring unixTarget = ExcludeTrailingBackslash(UnixPathOf(target));
    const std::wstring unixLink = UnixPathOf(linkPath);
    if (unixTarget.empty() || unixLink.empty())
        return false;
    return RunHostProgram(L"/bin/ln", {L"-s", unixTarget, unixLink}) &&
           WaitUntil([&] { return IsLink(linkPath); });
}

void RemoveDirectoryLink(const std::wstring& link)
{
    const std::wstring linkPath = ExcludeTrailingBackslash(link);
    if (RemoveDirectoryW(linkPath.c_str()) || DeleteFileW(linkPath.c_str()))
        return;
    if (RunningOnWine() && RunHostProgram(L"/bin/rm", {L"-f", UnixPathOf(linkPath)}))
        WaitUntil([&] { return GetFileAttributesW(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

bool MapDrive(wchar_t letter, const std::wstring& folder)
{
    if (GetFileAttributesW(DriveRoot(letter).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;  // the letter is taken
    if (!RunningOnWine()) {
        const std::wstring device = std::wstring(1, letter) + L":";
        return DefineDosDeviceW(0, device.c_str(), ExcludeTrailingBackslash(folder).c_str()) &&
               GetFileAttributesW(DriveRoot(letter).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    const std::wstring entry = DosDevicesEntry(letter);
    const std::wstring unixFolder = ExcludeTrailingBackslash(UnixPathOf(folder));
    if (entry.empty() || unixFolder.empty())
        return false;
    const std::wstring root = DriveRoot(letter);
    if (RunHostProgram(L"/bin/ln", {L"-sfn", unixFolder, entry}) &&
        WaitUntil([&] { return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        return true;
    UnmapDrive(letter);
    return false;
}

void UnmapDrive(wchar_t letter)
{
    if (!RunningOnWine()) {
        const std::wstring device = std::wstring(1, letter) + L":";
        DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
        return;
    }
    const std::wstring entry = DosDevicesEntry(letter);
    const std::wstring root = DriveRoot(letter);
    if (!entry.empty() && RunHostProgram(L"/bin/rm", {L"-f", entry}))
        WaitUntil([&] { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

bool SetHostMode(const std::wstring& path, const std::wstring& mode)
{
    if (!RunningOnWine())
        return false;
    const std::wstring unixPath = ExcludeTrailingBackslash(UnixPathOf(path));
    return !unixPath.empty() && RunHostProgram(L"/bin/chmod", {mode, unixPath});
}

std::wstring HostPathOf(const std::wstring& path)
{
    return RunningOnWine() ? ExcludeTrailingBackslash(UnixPathOf(path)) : std::wstring();
}

bool RunHostShell(const std::wstring& command)
{
    return RunningOnWine() && RunHostProgram(L"/bin/sh", {L"-c", command});
}
