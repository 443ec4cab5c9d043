#include "common/TempTree.h"

#include "core/ComPtr.h"
#include "core/PathText.h"
#include "core/ScopedResource.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

namespace {

void CreateFolders(const std::wstring& path)
{
    const std::wstring trimmed = ExcludeTrailingBackslash(path);
    if (trimmed.empty() || GetFileAttributesW(trimmed.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    CreateFolders(ExtractFilePath(trimmed));
    if (!CreateDirectoryW(trimmed.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a test folder");
}

// Reads a folder's names, and those of its subfolders when `deep`.
void ListFolder(const std::wstring& folder, bool deep)
{
    WIN32_FIND_DATAW data;
    const TScopedFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!search)
        return;
    std::vector<std::wstring> subfolders;
    do {
        const std::wstring name = data.cFileName;
        if (deep && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." &&
            name != L".." && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            subfolders.push_back(folder + L"\\" + name);
    } while (FindNextFileW(search.get(), &data));
    for (const std::wstring& subfolder : subfolders)
        ListFolder(subfolder, true);
}

}  // namespace

TTempTree::TTempTree()
{
    static LONG counter = 0;
    const std::wstring base = TempDirectory();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        root_ = base + L"bivista-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&counter)) + L"\\";
        if (CreateDirectoryW(root_.c_str(), nullptr))
            return;
    }
    throw std::runtime_error("cannot create a temporary test folder");
}

TTempTree::~TTempTree()
{
    RemoveTree(root_);
}

void TTempTree::SettleAccessTimes() const
{
    // Twice: a read in the same clock tick as the last change leaves the folder due for
    // another renewal.
    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            Sleep(20);
        ListFolder(ExcludeTrailingBackslash(root_), true);
        for (std::wstring above = ExtractFilePath(ExcludeTrailingBackslash(root_)); !above.empty();
             above = ExtractFilePath(ExcludeTrailingBackslash(above))) {
            ListFolder(ExcludeTrailingBackslash(above), false);
            if (above.size() <= 3)
                break;  // the drive's root
        }
    }
}

std::wstring TTempTree::Path(const std::wstring& relative) const
{
    return root_ + relative;
}

std::wstring TTempTree::Folder(const std::wstring& relative)
{
    const std::wstring path = Path(relative);
    CreateFolders(path);
    return path;
}

std::wstring TTempTree::File(const std::wstring& relative, uint64_t size, DWORD attributes)
{
    const std::wstring path = Path(relative);
    CreateFolders(ExtractFilePath(path));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create a test file");
    std::vector<char> chunk(64 * 1024, 'x');
    uint64_t left = size;
    while (left > 0) {
        const DWORD part = static_cast<DWORD>(left < chunk.size() ? left : chunk.size());
        DWORD written = 0;
        WriteFile(file, chunk.data(), part, &written, nullptr);
        left -= part;
    }
    CloseHandle(file);
    if (attributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesW(path.c_str(), attributes);
    return path;
}

std::wstring TTempTree::TextFile(const std::wstring& relative, const std::string& content)
{
    const std::wstring path = File(relative);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::wstring TTempTree::Shortcut(const std::wstring& relative, const std::wstring& target)
{
    const std::wstring path = Path(relative);
    CreateFolders(ExtractFilePath(path));
    TComPtr<IShellLinkW> link;
    TComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(link.GetAddressOf()))) ||
        FAILED(link->SetPath(target.c_str())) || FAILED(link.As(&file)) ||
        FAILED(file->Save(path.c_str(), TRUE)))
        throw std::runtime_error("cannot create a test shortcut");
    return path;
}

void TTempTree::SetModifiedTime(const std::wstring& relative, const FILETIME& time,
                                const FILETIME* accessed)
{
    HANDLE file = CreateFileW(Path(relative).c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open a test file");
    SetFileTime(file, nullptr, accessed, &time);
    CloseHandle(file);
}

void TTempTree::RemoveTree(const std::wstring& path)
{
    const std::wstring trimmed = ExcludeTrailingBackslash(path);
    const DWORD attributes = GetFileAttributesW(trimmed.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(trimmed.c_str(),
                       FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW(trimmed.c_str());
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((trimmed + L"\\*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (!IsDotEntry(name))
                    RemoveTree(trimmed + L"\\" + name);
            } while (FindNextFileW(search, &data));
            FindClose(search);
        }
    }
    RemoveDirectoryW(trimmed.c_str());
}
