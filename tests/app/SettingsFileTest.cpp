#include "app/SettingsFile.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    char buffer[4096];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

}  // namespace

TEST(SettingsFile, LivesBesideTheProgramWithItsName)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring name = TSettingsFile::DefaultFileName();
    EXPECT_TRUE(SameText(ExtractFilePath(name), ExtractFilePath(program)));
    EXPECT_TRUE(SameText(ExtractFileName(name), L"test_app.ini"));
}

TEST(SettingsFile, MissingFileGivesEveryDefault)
{
    TTempTree tree;
    const TSettingsFile settings(tree.Path(L"absent.ini"));
    EXPECT_EQ(settings.ReadInteger("MForm", "Top", 100), 100);
    EXPECT_EQ(settings.ReadInteger("MForm", "Width", 700), 700);
    EXPECT_TRUE(settings.ReadBool("MForm", "wsMaximized", true));
    EXPECT_FALSE(settings.ReadBool("MForm", "Hidden", false));
    EXPECT_EQ(settings.ReadString("GenInfo", "Path1", ""), "");
    EXPECT_EQ(settings.ReadString("GenInfo", "Path1", "fallback"), "fallback");
    EXPECT_FALSE(PathExists(tree.Path(L"absent.ini")));
}

TEST(SettingsFile, IntegersParseDecimalHexOrFallBack)
{
    TTempTree tree;
    const std::wstring path =
        tree.TextFile(L"b.ini", "[MForm]\r\nHex=0x10\r\nUpper=0XfF\r\nBad=1x\r\n"
                                "Empty=\r\nShortHex=0x\r\nNegative=-42\r\n"
                                "Huge=99999999999\r\nSpaced= 77 \r\nAllBits=0xFFFFFFFF\r\n");
    const TSettingsFile settings(path);
    EXPECT_EQ(settings.ReadInteger("MForm", "Hex", 5), 16);
    EXPECT_EQ(settings.ReadInteger("MForm", "Upper", 5), 255);
    EXPECT_EQ(settings.ReadInteger("MForm", "Bad", 5), 5);
    EXPECT_EQ(settings.ReadInteger("MForm", "Empty", 5), 5);
    EXPECT_EQ(settings.ReadInteger("MForm", "ShortHex", 5), 5);
    EXPECT_EQ(settings.ReadInteger("MForm", "Negative", 5), -42);
    EXPECT_EQ(settings.ReadInteger("MForm", "Huge", 5), 5);
    EXPECT_EQ(settings.ReadInteger("MForm", "Spaced", 5), 77);
    EXPECT_EQ(settings.ReadInteger("MForm", "AllBits", 5), -1);
    EXPECT_EQ(settings.ReadInteger("Other", "Hex", 5), 5);
}

TEST(SettingsFile, BooleansAreIntegers)
{
    TTempTree tree;
    const std::wstring path =
        tree.TextFile(L"c.ini", "[MForm]\r\nA=1\r\nB=0\r\nC=2\r\nD=yes\r\nE=0x0\r\n");
    const TSettingsFile settings(path);
    EXPECT_TRUE(settings.ReadBool("MForm", "A", false));
    EXPECT_FALSE(settings.ReadBool("MForm", "B", true));
    EXPECT_TRUE(settings.ReadBool("MForm", "C", false));
    EXPECT_TRUE(settings.ReadBool("MForm", "D", true));  // unparsable: the default
    EXPECT_FALSE(settings.ReadBool("MForm", "D", false));
    EXPECT_FALSE(settings.ReadBool("MForm", "E", true));
}

TEST(SettingsFile, WritesReachTheFileAtOnceAndKeepKeysWrittenByHand)
{
    TTempTree tree;
    const std::wstring path = tree.TextFile(L"d.ini", "[MForm]\r\nHidden=1\r\n");
    const TSettingsFile settings(path);
    settings.WriteInteger("MForm", "Top", -20);
    settings.WriteBool("MForm", "Details1", true);
    settings.WriteBool("MForm", "IconList1", false);
    settings.WriteString("GenInfo", "Path1", "C:\\Some Folder\\");

    const std::string text = ReadAll(path);
    EXPECT_NE(text.find("Top=-20"), std::string::npos) << text;
    EXPECT_NE(text.find("Details1=1"), std::string::npos);
    EXPECT_NE(text.find("IconList1=0"), std::string::npos);
    EXPECT_NE(text.find("Path1=C:\\Some Folder\\"), std::string::npos);

    const TSettingsFile reread(path);
    EXPECT_EQ(reread.ReadInteger("MForm", "Top", 100), -20);
    EXPECT_TRUE(reread.ReadBool("MForm", "Hidden", false));
    EXPECT_EQ(reread.ReadString("GenInfo", "Path1", ""), "C:\\Some Folder\\");
}

TEST(SettingsFile, LongStringsStopAtTheBuffer)
{
    TTempTree tree;
    const std::string longValue(3000, 'p');
    const std::wstring path = tree.TextFile(L"e.ini", "[GenInfo]\r\nPath1=" + longValue + "\r\n");
    const TSettingsFile settings(path);
    const std::string value = settings.ReadString("GenInfo", "Path1", "");
    EXPECT_EQ(value.size(), 2047u);
    EXPECT_EQ(value, longValue.substr(0, 2047));
}

TEST(SettingsFile, WorksInAFolderWithCharactersOutsideTheCodePage)
{
    TTempTree tree;
    const std::wstring folder = tree.Folder(L"\u65e5\u672c \u0416");
    const TSettingsFile settings(folder + L"\\s.ini");
    settings.WriteInteger("MForm", "Left", 33);
    EXPECT_EQ(TSettingsFile(folder + L"\\s.ini").ReadInteger("MForm", "Left", 100), 33);
    EXPECT_TRUE(PathExists(folder + L"\\s.ini"));
}

// A program renamed to a name outside the code page (Cyrillic, Japanese) has a settings file
// of that name; no short name stands in for a file that does not exist yet.
TEST(SettingsFile, PersistsUnderNamesOutsideTheCodePage)
{
    const std::wstring cyrillic = L"\u0411\u0438\u0432\u0438\u0441\u0442\u0430.ini";
    const std::wstring japanese = L"\u65e5\u672c.ini";
    TTempTree tree;
    const std::wstring folder = tree.Folder(L"\u0411\u0438\u0432 \u65e5");
    for (const std::wstring& name : {cyrillic, japanese}) {
        const std::wstring path = folder + L"\\" + name;
        TSettingsFile(path).WriteString("GenInfo", "Path1", "C:\\Data\\");
        TSettingsFile(path).WriteInteger("MForm", "Top", 42);
        EXPECT_TRUE(PathExists(path));
        const TSettingsFile reread(path);
        EXPECT_EQ(reread.ReadString("GenInfo", "Path1", ""), "C:\\Data\\");
        EXPECT_EQ(reread.ReadInteger("MForm", "Top", 100), 42);
    }
    // Nothing was written under a name the code page made of the real one.
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            files.push_back(data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{cyrillic, japanese}));
}

// The contents stay text in the code page, byte for byte, as files written before read.
TEST(SettingsFile, ContentsStayInTheCodePage)
{
    TTempTree tree;
    const std::wstring folder = tree.Folder(L"\u65e5\u672c");
    const std::wstring path = folder + L"\\new.ini";
    // Characters the code page has beyond ASCII, when it has any.
    std::string accented = WideToNarrow(L"\u00e9\u00e8");
    if (NarrowToWide(accented) != L"\u00e9\u00e8")
        accented = "plain";
    const TSettingsFile settings(path);
    settings.WriteString("GenInfo", "Path1", "C:\\" + accented + "\\");
    settings.WriteBool("MForm", "Details1", true);
    const std::string text = ReadAll(path);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(static_cast<unsigned char>(text[0]), 0xFFu);  // no UTF-16 mark
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_NE(text.find("Path1=C:\\" + accented + "\\\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Details1=1"), std::string::npos);

    // A file written by hand (or by an earlier version) reads the same.
    const std::wstring old =
        tree.TextFile(L"\u65e5\u672c\\old.ini", "[GenInfo]\r\nPath2=D:\\" + accented + "\\\r\n");
    EXPECT_EQ(TSettingsFile(old).ReadString("GenInfo", "Path2", ""), "D:\\" + accented + "\\");
    TSettingsFile(old).WriteInteger("MForm", "Left", 7);
    EXPECT_NE(ReadAll(old).find("Path2=D:\\" + accented + "\\\r\n"), std::string::npos);
}

// A line break would end the line and start a key (or a section) of the writer's choosing.
TEST(SettingsFile, LineBreaksCannotAddKeys)
{
    TTempTree tree;
    const std::wstring path = tree.TextFile(L"f.ini", "[MForm]\r\nHidden=0\r\n");
    const TSettingsFile settings(path);
    settings.WriteString("GenInfo", "Path1", "x\r\nHidden=1");
    settings.WriteString("MForm", "Path2", "y\nTop=5\r[GenInfo]\rPath1=z");
    settings.WriteString("MForm", "Key\r\nHidden", "1");
    settings.WriteString("MForm\r\n[Other", "Left", "9");
    settings.WriteString("GenInfo", "Path3", "fine");

    const TSettingsFile reread(path);
    EXPECT_FALSE(reread.ReadBool("MForm", "Hidden", false));
    EXPECT_EQ(reread.ReadInteger("MForm", "Top", 100), 100);
    EXPECT_EQ(reread.ReadInteger("Other", "Left", 100), 100);
    EXPECT_EQ(reread.ReadInteger("MForm", "Left", 100), 100);
    EXPECT_EQ(reread.ReadString("GenInfo", "Path1", "none"), "none");
    EXPECT_EQ(reread.ReadString("GenInfo", "Path3", ""), "fine");
    const std::string text = ReadAll(path);
    EXPECT_EQ(text.find("Hidden=1"), std::string::npos) << text;
    EXPECT_EQ(text.find("[Other"), std::string::npos) << text;
}

namespace {

// The keys the program writes when it shuts down, in its order.
const std::vector<std::pair<const char*, const char*>> kShutDownKeys = {
    {"MForm", "Top"},        {"MForm", "Left"},       {"MForm", "Height"},
    {"MForm", "Width"},      {"MForm", "Expl1Focus"}, {"MForm", "Expl2Height"},
    {"MForm", "Expl1Width"}, {"GenInfo", "Path1"},    {"GenInfo", "Path2"},
    {"MForm", "IconList1"},  {"MForm", "Details1"},   {"MForm", "wsMaximized"},
};

void WriteShutDownKeys(TSettingsUpdate& update)
{
    int value = 900;
    for (const auto& [section, key] : kShutDownKeys)
        update.WriteInteger(section, key, value++);
}

const char kOldSettings[] = "[GenInfo]\r\nPath1=C:\\Old\\\r\n[MForm]\r\nTop=5\r\nLeft=6\r\n"
                            "Hidden=1\r\n[Extra]\r\nMine=keep me\r\n";

struct TCutShort {};

}  // namespace

// Power lost or the process killed half-way through the shut-down's writes: the file that was
// there before is whole, and until the end it is what reads see.
TEST(SettingsFile, AnUpdateCutShortLeavesTheFileAsItWas)
{
    TTempTree tree;
    const std::wstring path = tree.TextFile(L"g.ini", kOldSettings);
    const std::wstring copy = TSettingsUpdate::CopyName(path);
    int written = 0;
    EXPECT_THROW(
        {
            TSettingsUpdate update{TSettingsFile(path)};
            update.OnKeyWritten = [&](const char*, const char*) {
                if (++written < static_cast<int>(kShutDownKeys.size()) / 2)
                    return;
                EXPECT_TRUE(PathExists(copy));
                EXPECT_EQ(ReadAll(path), kOldSettings);
                EXPECT_EQ(TSettingsFile(path).ReadInteger("MForm", "Top", 100), 5);
                throw TCutShort();
            };
            WriteShutDownKeys(update);
            update.Commit();
        },
        TCutShort);
    EXPECT_EQ(written, static_cast<int>(kShutDownKeys.size()) / 2);
    EXPECT_EQ(ReadAll(path), kOldSettings);
    EXPECT_FALSE(PathExists(copy));

    // A copy left by a killed process does not leak into the next shut-down's file.
    tree.TextFile(L"g.ini.new", "[MForm]\r\nStale=1\r\n");
    TSettingsUpdate update{TSettingsFile(path)};
    update.WriteInteger("MForm", "Top", 1);
    EXPECT_TRUE(update.Commit());
    const TSettingsFile reread(path);
    EXPECT_EQ(reread.ReadInteger("MForm", "Stale", 100), 100);
    EXPECT_EQ(reread.ReadInteger("MForm", "Left", 100), 6);
    EXPECT_FALSE(PathExists(copy));
}

TEST(SettingsFile, ACommittedUpdateReplacesTheFileAndKeepsKeysItDoesNotWrite)
{
    TTempTree tree;
    const std::wstring path = tree.TextFile(L"h.ini", kOldSettings);
    {
        TSettingsUpdate update{TSettingsFile(path)};
        WriteShutDownKeys(update);
        EXPECT_EQ(ReadAll(path), kOldSettings) << "nothing reaches the file before the end";
        EXPECT_TRUE(update.Commit());
        EXPECT_FALSE(update.Commit());
    }
    EXPECT_FALSE(PathExists(TSettingsUpdate::CopyName(path)));
    const TSettingsFile reread(path);
    int value = 900;
    for (const auto& [section, key] : kShutDownKeys)
        EXPECT_EQ(reread.ReadInteger(section, key, 0), value++) << key;
    EXPECT_TRUE(reread.ReadBool("MForm", "Hidden", false));
    EXPECT_EQ(reread.ReadString("Extra", "Mine", ""), "keep me");
}

// Without a file, the first shut-down writes its keys, and only those, in its order.
TEST(SettingsFile, AFirstUpdateWritesItsKeysInOrder)
{
    TTempTree tree;
    const std::wstring path = tree.Path(L"first.ini");
    TSettingsUpdate update{TSettingsFile(path)};
    WriteShutDownKeys(update);
    EXPECT_FALSE(PathExists(path));
    ASSERT_TRUE(update.Commit());

    const std::string text = ReadAll(path);
    size_t position = 0;
    int value = 900;
    for (const auto& [section, key] : kShutDownKeys) {
        const std::string line = std::string(key) + "=" + std::to_string(value++) + "\r\n";
        const size_t found = text.find(line);
        ASSERT_NE(found, std::string::npos) << line << text;
        if (std::string(section) == "MForm") {
            EXPECT_GE(found, position) << key << " out of order in\n" << text;
            position = found;
        }
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '='),
              static_cast<std::ptrdiff_t>(kShutDownKeys.size()));
}

// A copy that cannot be made or written, or a file that cannot be replaced: the file stays.
TEST(SettingsFile, AFailedUpdateLeavesTheFileAlone)
{
    struct TCase {
        const char* name;
        bool readOnlyFile;
        bool folderAtCopyName;
    };
    for (const TCase& test :
         {TCase{"read-only file", true, false}, TCase{"folder in the copy's way", false, true}}) {
        TTempTree tree;
        const std::wstring path = tree.TextFile(L"i.ini", kOldSettings);
        const std::wstring copy = TSettingsUpdate::CopyName(path);
        if (test.readOnlyFile)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        if (test.folderAtCopyName)
            tree.Folder(L"i.ini.new");
        {
            TSettingsUpdate update{TSettingsFile(path)};
            WriteShutDownKeys(update);
            EXPECT_FALSE(update.Commit()) << test.name;
        }
        EXPECT_EQ(ReadAll(path), kOldSettings) << test.name;
        const DWORD attributes = GetFileAttributesW(copy.c_str());
        if (test.folderAtCopyName)
            EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << test.name;
        else
            EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES) << test.name;
    }
}
