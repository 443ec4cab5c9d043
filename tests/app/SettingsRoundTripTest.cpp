// Settings values read back as they were written, through the system's own profile reader.
#include "app/SettingsFile.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "parse/SettingsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The names of the keys a section holds, as the profile reader lists them.
std::vector<std::string> KeysOf(const std::wstring& file, const wchar_t* section)
{
    std::vector<wchar_t> buffer(65536);
    const DWORD length = GetPrivateProfileStringW(section, nullptr, L"", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> keys;
    for (DWORD at = 0; at < length && buffer[at] != L'\0';) {
        const std::wstring key(buffer.data() + at);
        keys.push_back(WideToNarrow(key));
        at += static_cast<DWORD>(key.size()) + 1;
    }
    return keys;
}

std::vector<std::string> SectionsOf(const std::wstring& file)
{
    return KeysOf(file, nullptr);
}

// A character of the code page beyond ASCII, when it has one for `wide`.
std::string CodePageCharacter(const wchar_t* wide, const char* otherwise)
{
    const std::string narrow = WideToNarrow(wide);
    return NarrowToWide(narrow) == wide ? narrow : otherwise;
}

std::string Quoted(const std::string& text)
{
    return std::string("\"").append(text).append("\"");
}

}  // namespace

// What the model says the reader gives back for a stored text is what the reader gives back.
TEST(SettingsRoundTrip, TheReaderModelAgreesWithTheProfileReader)
{
    const std::string nbsp = CodePageCharacter(L"\u00a0", "~");
    const std::string longPlain(3000, 'p');
    const std::string quotedRest(kSettingsReadCapacity - 2, 'q');  // rest after the quote: 2047
    const std::vector<std::string> stored = {
        "plain",
        "  leading and trailing  ",
        "\t\ttabs\t",
        "\v\f\x1a"
        "controls\x1a\v",
        "\x01"
        "kept\x1f",
        "\"double\"",
        "'single'",
        "\"mixed'",
        "\"",
        "\"\"",
        "''",
        "\"\"\"\"",
        "\"a\"b\"",
        "  \"quoted inside spaces\"  ",
        "\" spaces inside quotes \"",
        "a=b=c",
        "[Section]",
        "; not a comment",
        "before\rafter",
        std::string("before\0after", 12),
        nbsp + "x" + nbsp,
        longPlain,
        longPlain.substr(0, kSettingsReadCapacity - 1),
        longPlain.substr(0, kSettingsReadCapacity),
        Quoted(quotedRest.substr(0, quotedRest.size() - 2)),  // rest 2046: whole
        Quoted(quotedRest.substr(0, quotedRest.size() - 1)),  // rest 2047: whole
        Quoted(quotedRest),                                   // rest 2048: the buffer's size
        Quoted(longPlain),
    };
    TTempTree tree;
    int index = 0;
    for (const std::string& text : stored) {
        const std::wstring path = tree.TextFile(L"model" + std::to_wstring(index++) + L".ini",
                                                "[S]\r\nK=" + text + "\r\nNext=1\r\n");
        const std::string read = TSettingsFile(path).ReadString("S", "K", "default");
        EXPECT_EQ(read, SettingsReadBack(text))
            << "stored [" << text.substr(0, 40) << "] of " << text.size() << " bytes";
    }
}

// Whatever a key is given reads back as given, and the file gains no key of the value's making.
TEST(SettingsRoundTrip, WrittenValuesReadBackAsWritten)
{
    const std::string accented = CodePageCharacter(L"\u00e9", "e");
    const std::vector<std::string> values = {
        "C:\\Some Folder\\",
        "",
        " ",
        "  leading",
        "trailing  ",
        "\ttabs\t",
        "\"double quoted\"",
        "'single quoted'",
        "\"",
        "'",
        "\"\"",
        "\"open only",
        "close only'",
        "\" \"",
        "a=b",
        "=",
        "[Other]",
        "[Other",
        "; comment?",
        "\x1a\v\f",
        "\x01"
        "control\x7f",
        accented + " " + accented,
        std::string(kSettingsReadCapacity - 1, 'x'),
        " " + std::string(kSettingsReadCapacity - 5, 'y') + " ",  // just fits with its quotes
    };
    TTempTree tree;
    const std::wstring path = tree.Path(L"values.ini");
    const TSettingsFile settings(path);
    std::vector<std::string> keys;
    for (size_t index = 0; index < values.size(); ++index) {
        keys.push_back(std::string("V").append(std::to_string(index)));
        settings.WriteString("S", keys.back().c_str(), values[index]);
    }
    const TSettingsFile reread(path);
    for (size_t index = 0; index < values.size(); ++index)
        EXPECT_EQ(reread.ReadString("S", keys[index].c_str(), "missing"), values[index])
            << "value " << index << " [" << values[index].substr(0, 40) << "]";
    EXPECT_EQ(KeysOf(path, L"S"), keys);
    EXPECT_EQ(SectionsOf(path), std::vector<std::string>{"S"});
}

// What no stored text can carry is not written: the key keeps what it had, nothing is added.
TEST(SettingsRoundTrip, ValuesThatCannotBeStoredAreNotWritten)
{
    const std::vector<std::string> values = {
        "x\r\nHidden=1",
        "lone\rreturn",
        "lone\nfeed",
        "\r\n[Other]\r\nKey=1",
        std::string("before\0after", 12),
        std::string(kSettingsReadCapacity, 'z'),
        " " + std::string(kSettingsReadCapacity - 3, 'z'),  // fits only without its quotes
    };
    TTempTree tree;
    const std::wstring path = tree.TextFile(L"refused.ini", "[S]\r\nK=kept\r\n");
    const TSettingsFile settings(path);
    for (const std::string& value : values) {
        settings.WriteString("S", "K", value);
        EXPECT_EQ(TSettingsFile(path).ReadString("S", "K", ""), "kept")
            << "[" << value.substr(0, 40) << "] of " << value.size() << " bytes";
    }
    EXPECT_EQ(KeysOf(path, L"S"), std::vector<std::string>{"K"});
    EXPECT_EQ(SectionsOf(path), std::vector<std::string>{"S"});
}
