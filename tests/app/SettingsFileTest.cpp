#include "app/SettingsFile.h"
#include "common/TempTree.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <fstream>

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
    const std::wstring path = tree.TextFile(L"b.ini",
                                            "[MForm]\r\nHex=0x10\r\nUpper=0XfF\r\nBad=1x\r\n"
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
