#include "app/SettingsFile.h"

#include "core/TextConversion.h"
#include "shell/PathUtils.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr DWORD kStringCapacity = 2048;

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

// The narrow profile API needs a narrow file name; when the wide one has characters the code
// page cannot show, the folder's short name stands in for it.
std::string NarrowFileName(const std::wstring& fileName)
{
    const std::string narrow = WideToNarrow(fileName);
    if (NarrowToWide(narrow) == fileName)
        return narrow;
    const std::wstring folder = ExtractFilePath(fileName);
    const DWORD needed = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (needed == 0)
        return narrow;
    std::wstring shortFolder(needed, L'\0');
    const DWORD length = GetShortPathNameW(folder.c_str(), shortFolder.data(), needed);
    if (length == 0 || length >= needed)
        return narrow;
    shortFolder.resize(length);
    return WideToNarrow(IncludeTrailingBackslash(shortFolder) + ExtractFileName(fileName));
}

}  // namespace

TSettingsFile::TSettingsFile() : TSettingsFile(DefaultFileName()) {}

TSettingsFile::TSettingsFile(std::wstring fileName)
    : fileName_(std::move(fileName)), narrowFileName_(NarrowFileName(fileName_))
{
}

std::wstring TSettingsFile::DefaultFileName()
{
    const std::wstring program = ModuleFileName();
    const std::wstring extension = ExtractFileExt(program);
    return program.substr(0, program.size() - extension.size()) + L".ini";
}

bool TSettingsFile::ParseInteger(const std::string& text, int& value)
{
    size_t index = 0;
    int base = 10;
    bool negative = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        index = 2;
    } else if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        index = 1;
    }
    if (index >= text.size())
        return false;
    int64_t number = 0;
    for (; index < text.size(); ++index) {
        const char c = text[index];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        number = number * base + digit;
        // Hexadecimal may use all 32 bits ("0xFFFFFFFF" is -1); decimal must fit an int.
        const int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
        if (number > limit)
            return false;
    }
    value = base == 16 ? static_cast<int>(static_cast<uint32_t>(number))
                       : static_cast<int>(negative ? -number : number);
    return true;
}

std::string TSettingsFile::ReadString(const char* section, const char* key,
                                      const std::string& defaultValue) const
{
    char buffer[kStringCapacity] = {};
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue.c_str(), buffer,
                                                  kStringCapacity, narrowFileName_.c_str());
    return std::string(buffer, length);
}

int TSettingsFile::ReadInteger(const char* section, const char* key, int defaultValue) const
{
    int value = 0;
    return ParseInteger(ReadString(section, key, std::string()), value) ? value : defaultValue;
}

bool TSettingsFile::ReadBool(const char* section, const char* key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TSettingsFile::WriteString(const char* section, const char* key,
                                const std::string& value) const
{
    WritePrivateProfileStringA(section, key, value.c_str(), narrowFileName_.c_str());
    // Flush the system's profile cache so that the value is on disk now.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, narrowFileName_.c_str());
}

void TSettingsFile::WriteInteger(const char* section, const char* key, int value) const
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(const char* section, const char* key, bool value) const
{
    WriteString(section, key, value ? "1" : "0");
}
