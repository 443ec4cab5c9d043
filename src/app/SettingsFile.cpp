#include "app/SettingsFile.h"

#include "core/TextConversion.h"
#include "parse/SettingsValue.h"
#include "shell/PathUtils.h"

#include <windows.h>

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
    wchar_t buffer[kStringCapacity] = {};
    const DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                  NarrowToWide(defaultValue).c_str(), buffer,
                                                  kStringCapacity, fileName_.c_str());
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

void TSettingsFile::WriteString(const char* section, const char* key,
                                const std::string& value) const
{
    // A null key or value would delete a section or key instead.
    if (section == nullptr || key == nullptr)
        return;
    const std::wstring wideSection = Wide(section);
    const std::wstring wideKey = Wide(key);
    const std::wstring wideValue = NarrowToWide(value);
    if (HasLineBreak(wideSection) || HasLineBreak(wideKey) || HasLineBreak(wideValue))
        return;
    WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(),
                               fileName_.c_str());
    // Flush the system's profile cache so that the value is on disk now.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, fileName_.c_str());
}

void TSettingsFile::WriteInteger(const char* section, const char* key, int value) const
{
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(const char* section, const char* key, bool value) const
{
    WriteString(section, key, value ? "1" : "0");
}
