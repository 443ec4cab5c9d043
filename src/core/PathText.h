#pragma once
// Path and file-name text helpers: pure string work, no file-system access.
#include <string>

std::wstring IncludeTrailingBackslash(const std::wstring& path);
std::wstring ExcludeTrailingBackslash(const std::wstring& path);
// "C:" for "C:\dir\file", "\\server\share" for a UNC path, empty otherwise.
std::wstring ExtractFileDrive(const std::wstring& path);
// Everything up to and including the last backslash or colon.
std::wstring ExtractFilePath(const std::wstring& path);
// Everything after the last backslash or colon.
std::wstring ExtractFileName(const std::wstring& path);
// The extension with its dot ("" when the name has none).
std::wstring ExtractFileExt(const std::wstring& path);
// "." or "..", the entries a folder search returns for itself and its parent.
bool IsDotEntry(const std::wstring& name);

// The system's folder for temporary files, with its trailing backslash; empty on failure.
std::wstring TempDirectory();
// The Windows folder, without a trailing backslash ("C:\Windows" when it cannot be read).
std::wstring WindowsDirectory();
