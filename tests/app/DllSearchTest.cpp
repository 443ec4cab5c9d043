// Libraries named like the system's, put beside the program and in its working directory, are
// never loaded: neither those it imports nor those it or the shell loads by name later.
#include "ProgramDriver.h"

#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Libraries that the program, the shell or the common controls load by name once the program
// runs. Not those Wine itself loads by name before the program's entry, where nothing the
// program does can reach: "version" (Wine's user32 imports it) and "uxtheme" (Wine's start-up
// of the window classes); on Windows user32 is a known DLL and imports neither.
const std::vector<std::wstring> kPlantedNames = {
    L"msimg32", L"dwmapi", L"propsys", L"windowscodecs", L"mpr", L"psapi",
};

std::wstring OwnFolder()
{
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path = own;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine prefers its own built-in libraries to any file; told to prefer files for the program
// (its per-program library settings), it searches for them where Windows would.
class TPreferFilesScope {
public:
    explicit TPreferFilesScope(const std::vector<std::wstring>& names)
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            return;
        const wchar_t order[] = L"native,builtin";
        for (const std::wstring& name : names)
            RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                           sizeof(order));
    }
    ~TPreferFilesScope()
    {
        if (key_ == nullptr)
            return;
        RegCloseKey(key_);
        RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    }
    TPreferFilesScope(const TPreferFilesScope&) = delete;
    TPreferFilesScope& operator=(const TPreferFilesScope&) = delete;

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Wine\\AppDefaults\\bivista.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

}  // namespace

TEST(DllSearch, LibrariesPlantedBesideTheProgramOrInTheWorkingDirectoryAreNotLoaded)
{
    TTempTree tree;
    TProgramDriver program(tree);
    const std::wstring planted = OwnFolder() + L"planted.dll";
    ASSERT_TRUE(Exists(planted));
    for (const std::wstring& name : kPlantedNames)
        for (const std::wstring& folder : {program.ProgramFolder(), program.WorkFolder()})
            ASSERT_TRUE(
                CopyFileW(planted.c_str(), (folder + L"\\" + name + L".dll").c_str(), FALSE));
    const TPreferFilesScope preferFiles(kPlantedNames);
    // A planted library refuses to load: a program that needed one does not come up.
    const bool started = program.Start();
    EXPECT_TRUE(started);
    if (started) {
        program.Settle();
        EXPECT_EQ(program.Close(), 0u);
    }
    for (const std::wstring& name : kPlantedNames)
        for (const std::wstring& folder : {program.ProgramFolder(), program.WorkFolder()})
            EXPECT_FALSE(Exists(folder + L"\\" + name + L".dll.loaded"))
                << "loaded " << std::string(folder.begin(), folder.end()) << "\\"
                << std::string(name.begin(), name.end()) << ".dll";
}
