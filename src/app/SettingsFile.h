#pragma once
// The program's settings: an INI file beside the program with its name and the extension
// ".ini". Sections, keys and values are narrow text in the system code page, and so is the
// file; the file itself is reached by its wide name, which may hold any character (a program
// renamed to a name outside the code page, a folder on a volume without short names). Every
// write reaches the file at once; a missing or unparsable value reads as the caller's default.
#include <string>

class TSettingsFile {
public:
    // The file beside the running program.
    TSettingsFile();
    // An explicit file (tests, tools).
    explicit TSettingsFile(std::wstring fileName);

    const std::wstring& FileName() const noexcept { return fileName_; }

    int ReadInteger(const char* section, const char* key, int defaultValue) const;
    bool ReadBool(const char* section, const char* key, bool defaultValue) const;
    std::string ReadString(const char* section, const char* key,
                           const std::string& defaultValue) const;

    // Failed writes are not reported: settings are a convenience, never a reason to stop. A
    // section, key or value with a line break is not written: it would add keys of its own.
    void WriteInteger(const char* section, const char* key, int value) const;
    void WriteBool(const char* section, const char* key, bool value) const;
    void WriteString(const char* section, const char* key, const std::string& value) const;

    // The program's own file name with ".ini" in place of its extension.
    static std::wstring DefaultFileName();
    // Decimal, or hexadecimal after "0x"/"0X" when longer than two characters; false when
    // the text is not a whole 32-bit number.
    static bool ParseInteger(const std::string& text, int& value);

private:
    std::wstring fileName_;
};
