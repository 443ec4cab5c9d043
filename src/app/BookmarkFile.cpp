#include "app/BookmarkFile.h"

#include "core/ScopedResource.h"
#include "core/TextConversion.h"

namespace {

std::wstring ErrorText(DWORD code)
{
    std::wstring text = SystemErrorMessage(code);
    while (!text.empty() && (text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? L"error " + std::to_wstring(code) : text;
}

enum class TReadOutcome {
    roRead,
    roMissing,
    roNotRead,  // it could not be opened or read just now (in use, no access)
    roTooLarge,
};

// Reads the whole file, or tells why it could not.
TReadOutcome ReadWhole(const std::wstring& fileName, std::string& bytes, std::wstring& problem)
{
    TScopedHandle file(CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return TReadOutcome::roMissing;
        problem = ErrorText(error);
        return TReadOutcome::roNotRead;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        problem = ErrorText(GetLastError());
        return TReadOutcome::roNotRead;
    }
    if (size.QuadPart > static_cast<LONGLONG>(kMaxBookmarkFileSize)) {
        problem = L"it is far too large for a bookmark list";
        return TReadOutcome::roTooLarge;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        problem = ErrorText(GetLastError());
        return TReadOutcome::roNotRead;
    }
    return TReadOutcome::roRead;
}

// A name beside the file that is not taken: "<name>.unreadable", then "-2", "-3"...
std::wstring FreeAsideName(const std::wstring& fileName)
{
    const std::wstring base = fileName + L".unreadable";
    std::wstring name = base;
    for (int n = 2; n < 1000 && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        name = base + L"-" + std::to_wstring(n);
    return name;
}

}  // namespace

TBookmarkReadResult LoadBookmarkFile(const std::wstring& fileName)
{
    TBookmarkReadResult result;
    result.State.Lines = InitialBookmarkLines();
    std::string bytes;
    std::wstring problem;
    switch (ReadWhole(fileName, bytes, problem)) {
    case TReadOutcome::roMissing: return result;
    case TReadOutcome::roNotRead:
        // Not its content's fault: the file stays as it is for the next run.
        result.Status = TBookmarkLoad::blNotRead;
        result.Problem = problem;
        return result;
    case TReadOutcome::roRead:
        try {
            result.State = ReadBookmarkStream(bytes);
            result.Status = TBookmarkLoad::blLoaded;
            return result;
        } catch (const EBookmarkStreamError& e) {
            problem = e.Message();
        }
        break;
    case TReadOutcome::roTooLarge: break;
    }
    result.Problem = problem;
    const std::wstring aside = FreeAsideName(fileName);
    if (MoveFileExW(fileName.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
        result.Status = TBookmarkLoad::blKeptAside;
        result.KeptAs = aside;
    } else {
        result.Status = TBookmarkLoad::blUnreadable;
        result.Problem +=
            L"; it could not be moved aside either (" + ErrorText(GetLastError()) + L")";
    }
    return result;
}

void SaveBookmarkFile(const std::wstring& fileName, const TBookmarkListState& state)
{
    const std::string bytes = WriteBookmarkStream(state);
    const std::wstring temporary = fileName + L".new";
    {
        TScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw Exception(ErrorText(GetLastError()));
        DWORD written = 0;
        const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &written, nullptr) &&
                              written == bytes.size() && FlushFileBuffers(file.get());
        if (!complete) {
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileW(temporary.c_str());
            throw Exception(ErrorText(error));
        }
    }
    if (!MoveFileExW(temporary.c_str(), fileName.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throw Exception(ErrorText(error));
    }
}

std::wstring BookmarkProblemText(const std::wstring& fileName, const TBookmarkReadResult& result)
{
    if (result.Status == TBookmarkLoad::blNotRead)
        return L"The bookmark list \"" + fileName + L"\" could not be opened: " + result.Problem +
               L".\r\n\r\nIt may be in use by another program. It is left as it is and will "
               L"not be written over: the list starts from its first lines for now, and changes "
               L"to it are not saved.";
    std::wstring text = L"The bookmark list \"" + fileName + L"\" could not be read: " +
                        result.Problem + L".\r\n\r\n";
    if (result.Status == TBookmarkLoad::blKeptAside)
        text += L"It was kept as \"" + result.KeptAs + L"\", and the bookmarks start afresh.";
    else
        text += L"The bookmarks start afresh, and the file will not be written over.";
    return text;
}
