// The shell's user-interface objects for the current object and for MultiObjects, and the
// info tip and thumbnail built on them.
#include "common/TempTree.h"
#include "shell/PathUtils.h"
#include "shell/NautilexTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The file names a data object of the browser carries, in order.
TWideStringList DataObjectFiles(TNautilex& browser)
{
    const TComPtr<IDataObject> data = browser.GetUIObject<IDataObject>();
    if (!data)
        return {};
    const auto names = GetFilenamesFromDataObject(data.Get());
    return names ? *names : TWideStringList{};
}

bool SameFiles(const TWideStringList& actual, const TWideStringList& expected)
{
    if (actual.size() != expected.size())
        return false;
    for (size_t index = 0; index < actual.size(); ++index)
        if (!SameText(actual[index], expected[index]))
            return false;
    return true;
}

// A small 24-bit bitmap file.
std::string BitmapFileBytes(int width, int height)
{
    const int row = (width * 3 + 3) / 4 * 4;
    const int pixels = row * height;
    std::string bytes(54 + pixels, '\0');
    auto put32 = [&](size_t at, int32_t value) { std::memcpy(&bytes[at], &value, 4); };
    auto put16 = [&](size_t at, int16_t value) { std::memcpy(&bytes[at], &value, 2); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<int32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put16(26, 1);
    put16(28, 24);
    put32(34, pixels);
    for (size_t index = 54; index < bytes.size(); ++index)
        bytes[index] = static_cast<char>(index * 7);
    return bytes;
}

class NautilexUIObject : public testing::Test {
protected:
    void SetUp() override
    {
        a_ = tree_.File(L"a.txt");
        b_ = tree_.File(L"b.txt");
        c_ = tree_.File(L"sub\\c.txt");
        browser_->SetFolder(tree_.Root());
    }

    TTempTree tree_;
    std::wstring a_, b_, c_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
};

}  // namespace

TEST_F(NautilexUIObject, CurrentObject)
{
    browser_->SetObjectName(L"a.txt");
    EXPECT_TRUE(SameFiles(DataObjectFiles(*browser_), {a_}));

    // One entry becomes the current object.
    browser_->MultiObjects() = {L"b.txt"};
    EXPECT_TRUE(SameFiles(DataObjectFiles(*browser_), {b_}));
    EXPECT_EQ(browser_->GetObjectName(), L"b.txt");
    EXPECT_TRUE(browser_->MultiObjects().empty());
}

TEST_F(NautilexUIObject, SeveralNamesInTheFolderKeepTheCurrentObject)
{
    browser_->SetObjectName(L"sub");
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    EXPECT_TRUE(SameFiles(DataObjectFiles(*browser_), {a_, b_}));
    EXPECT_TRUE(browser_->MultiObjects().empty());
    EXPECT_EQ(browser_->GetObjectName(), L"sub");
}

TEST_F(NautilexUIObject, FullPathsAreTakenInTheirOwnFolder)
{
    browser_->SetFolder(tree_.Path(L"sub"));
    browser_->MultiObjects() = {a_, b_};
    EXPECT_TRUE(SameFiles(DataObjectFiles(*browser_), {a_, b_}));
    EXPECT_TRUE(SameText(browser_->GetFolder(), tree_.Root()));
}

TEST_F(NautilexUIObject, ObjectsOfDifferentFoldersGiveNoObject)
{
    // One shell folder can only speak for its own children; anything else would act on
    // objects the caller never named.
    browser_->MultiObjects() = {a_, c_};
    SetLastError(0);
    EXPECT_FALSE(browser_->GetUIObject<IDataObject>());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_INVALIDARG));
    EXPECT_TRUE(browser_->MultiObjects().empty());

    browser_->SetFolder(tree_.Root());
    browser_->MultiObjects() = {L"a.txt", c_};
    EXPECT_FALSE(browser_->GetUIObject<IDataObject>());
}

TEST_F(NautilexUIObject, NoObjectOrNoFolder)
{
    browser_->SetObjectName(L"");
    SetLastError(0);
    EXPECT_FALSE(browser_->GetUIObject<IDataObject>());
    EXPECT_NE(GetLastError(), 0u);

    // A missing entry raises, and the entries are gone all the same.
    browser_->MultiObjects() = {L"absent.txt"};
    EXPECT_THROW(browser_->GetUIObject<IDataObject>(), ENautilexError);
    EXPECT_TRUE(browser_->MultiObjects().empty());

    auto unbound = MakeBrowser();
    try {
        unbound->GetUIObject<IDataObject>();
        ADD_FAILURE() << "no exception";
    } catch (const ENautilexError& error) {
        EXPECT_EQ(error.Message(), L"No valid folder is currently assigned");
    }
    // The operations built on it report no answer instead.
    EXPECT_EQ(unbound->InfoTip(true), L"");
    EXPECT_FALSE(unbound->ExtractThumbnail(32, 32));
}

TEST_F(NautilexUIObject, InfoTipConsumesTheEntries)
{
    browser_->SetObjectName(L"sub");
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    browser_->InfoTip(false);  // Wine offers no IQueryInfo: the text is empty there
    EXPECT_TRUE(browser_->MultiObjects().empty());
}

TEST_F(NautilexUIObject, ThumbnailOfARealImage)
{
    tree_.TextFile(L"picture.bmp", BitmapFileBytes(96, 64));
    browser_->SetObjectName(L"picture.bmp");
    const TScopedGdiObject bitmap = browser_->ExtractThumbnail(48, 40);
    // Without IExtractImage the shell item's image factory is asked.
    if (!browser_->GetUIObject<IExtractImage>()) {
        EXPECT_EQ(browser_->QueryCounts().ImageFactory, 1);
    }
    if (bitmap) {
        BITMAP info{};
        ASSERT_NE(GetObjectW(bitmap.get(), sizeof(info), &info), 0);
        EXPECT_LE(info.bmWidth, 48);
        EXPECT_LE(info.bmHeight, 40);
        EXPECT_GT(info.bmWidth + info.bmHeight, 2);
    }
}
