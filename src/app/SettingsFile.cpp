#include "app/SettingsFile.h"

#include "core/TextConversion.h"
#include "parse/SettingsText.h"
#include "parse/SettingsValue.h"
#include "shell/PathUtils.h"

#include <windows.h>

namespace {

std::wstring ModuleFileName()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Section, key or value as the wide profile functions take them; null stands for none.
std::wstring Wide(const char* text)
{
    return text != nullptr ? NarrowToWide(text) : std::wstring();
}

// A line break would end the line and start a key or section of the text's choosing.
bool HasLineBreak(const std::wstring& text)
{
    return text.find_first_of(L"\r\n") != std::wstring::npos;
}

}  // namespace

TSettingsFile::TSettingsFile() : TSettingsFile(DefaultFileName()) {}

TSettingsFile::TSettingsFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

std::wstring TSettingsFile::DefaultFileName()
{
    const std::wstring program = ModuleFileName();
    const std::wstring extension = ExtractFileExt(program);
    return program.substr(0, program.size() - extension.size()) + L".ini";
}

bool TSettingsFile::ParseInteger(const std::string& text, int& value)
{
    return ParseSettingsInteger(text, value);
}

std::string TSettingsFile::ReadString(const char* section, const char* key,
                                      const std::string& defaultValue) const
{
    if (section == nullptr || key == nullptr)
        return defaultValue;
    wchar_t buffer[kSettingsReadCapacity] = {};
    const DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                  NarrowToWide(defaultValue).c_str(), buffer,
                                                  kSettingsReadCapacity, fileName_.c_str());
    return WideToNarrow(std::wstring(buffer, length));
}

int TSettingsFile::ReadInteger(const char* section, const char* key, int defaultValue) const
{
    int value = 0;
    return ParseInteger(ReadString(section, key, std::string()), value) ? value : defaultValue;
}

bool TSettingsFile::ReadBool(const char* section, const char* key, bool defaultValue) const
{
    return ParseSettingsBoolean(ReadString(section, key, std::string()), defaultValue);
}

bool TSettingsFile::Write(const char* section, const char* key, const std::string& value) const
{
    // A null key or value would delete a section or key instead.
    if (section == nullptr || key == nullptr)
        return true;
    const std::wstring wideSection = Wide(section);
    const std::wstring wideKey = Wide(key);
    if (HasLineBreak(wideSection) || HasLineBreak(wideKey))
        return true;
    // A value the reader would not give back as it is is not written: quoting protects its
    // ends, and what quoting cannot save (a line break, a null, too long) is refused.
    const std::optional<std::string> stored = SettingsStoredText(value);
    if (!stored)
        return true;
    // Neither is a byte that is no character of the code page: it would come back as another.
    const std::wstring wideValue = NarrowToWide(*stored);
    if (WideToNarrow(wideValue) != *stored)
        return true;
    const bool written = WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(),
                                                    wideValue.c_str(), fileName_.c_str()) != FALSE;
    // Flush the system's profile cache so that the value is on disk now.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, fileName_.c_str());
    return written;
}

void TSettingsFile::WriteString(const char* section, const char* key,
                                const std::string& value) const
{
    Write(section, key, value);
}

void TSettingsFile::WriteInteger(const char* section, const char* key, int value) const
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(const char* section, const char* key, bool value) const
{
    WriteString(section, key, value ? "1" : "0");
}

TSettingsUpdate::TSettingsUpdate(const TSettingsFile& settings)
    : fileName_(settings.FileName()), copy_(CopyName(settings.FileName()))
{
    // A copy left by a batch that was cut short holds nothing worth keeping.
    RemoveCopy();
    const DWORD attributes = GetFileAttributesW(fileName_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    // A file made read-only stays as its owner made it (Windows would refuse the replace;
    // Wine would not).
    failed_ = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ||
              !CopyFileW(fileName_.c_str(), copy_.FileName().c_str(), FALSE);
}

TSettingsUpdate::~TSettingsUpdate()
{
    if (!done_)
        RemoveCopy();
}

std::wstring TSettingsUpdate::CopyName(const std::wstring& fileName)
{
    return fileName + L".new";
}

void TSettingsUpdate::RemoveCopy() const
{
    const std::wstring& copy = copy_.FileName();
    if (GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
}

void TSettingsUpdate::WriteString(const char* section, const char* key, const std::string& value)
{
    if (failed_ || done_)
        return;
    if (!copy_.Write(section, key, value)) {
        failed_ = true;
        return;
    }
    if (OnKeyWritten)
        OnKeyWritten(section, key);
}

void TSettingsUpdate::WriteInteger(const char* section, const char* key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsUpdate::WriteBool(const char* section, const char* key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool TSettingsUpdate::Commit()
{
    if (done_)
        return false;
    done_ = true;
    const bool replaced =
        !failed_ && MoveFileExW(copy_.FileName().c_str(), fileName_.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!replaced)
        RemoveCopy();
    // Drop any cached view of the file, so that reads see what is on disk now.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, fileName_.c_str());
    return replaced;
}
