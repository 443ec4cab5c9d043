#pragma once
// The program's settings: an INI file beside the program with its name and the extension
// ".ini". Sections, keys and values are narrow text in the system code page, and so is the
// file; the file itself is reached by its wide name, which may hold any character (a program
// renamed to a name outside the code page, a folder on a volume without short names). Every
// write reaches the file at once; a missing or unparsable value reads as the caller's default.
// A set of writes that must not be cut in half (the shut-down's) goes through TSettingsUpdate.
#include <functional>
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
    // section or key with a line break is not written: it would add keys of its own. A value
    // is stored so that it reads back as written (in quotes when its ends need them), or not
    // at all when it cannot be (a line break, a null, longer than a read takes, a byte that is
    // no character of the code page).
    void WriteInteger(const char* section, const char* key, int value) const;
    void WriteBool(const char* section, const char* key, bool value) const;
    void WriteString(const char* section, const char* key, const std::string& value) const;

    // The program's own file name with ".ini" in place of its extension.
    static std::wstring DefaultFileName();
    // Decimal, or hexadecimal after "0x"/"0X" when longer than two characters; false when
    // the text is not a whole 32-bit number.
    static bool ParseInteger(const std::string& text, int& value);

private:
    friend class TSettingsUpdate;
    // False only when the file did not take the value (a refused value is no failure).
    bool Write(const char* section, const char* key, const std::string& value) const;

    std::wstring fileName_;
};

// Writes a batch of keys so that the file changes all at once or not at all: the writes go
// to a copy beside it, begun as a copy of the file so that keys nobody writes stay, and
// Commit puts the copy in the file's place in one step. A batch cut short (an exception, a
// killed process) or one that fails leaves the file as it was; the copy is removed. Reads
// of the settings file meanwhile see the file, not the copy.
class TSettingsUpdate {
public:
    explicit TSettingsUpdate(const TSettingsFile& settings);
    ~TSettingsUpdate();
    TSettingsUpdate(const TSettingsUpdate&) = delete;
    TSettingsUpdate& operator=(const TSettingsUpdate&) = delete;

    // The copy the writes go to: the file's name with ".new" appended.
    static std::wstring CopyName(const std::wstring& fileName);

    void WriteInteger(const char* section, const char* key, int value);
    void WriteBool(const char* section, const char* key, bool value);
    void WriteString(const char* section, const char* key, const std::string& value);

    // Replaces the file with the copy; false (the file untouched) when the copy could not be
    // made or written or the file could not be replaced. A second Commit does nothing.
    bool Commit();

    // Called after each key has reached the copy (tests cut a batch short from here).
    std::function<void(const char* section, const char* key)> OnKeyWritten;

private:
    void RemoveCopy() const;

    std::wstring fileName_;
    TSettingsFile copy_;
    bool failed_ = false;
    bool done_ = false;
};
