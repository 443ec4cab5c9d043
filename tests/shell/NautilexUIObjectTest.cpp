// The shell's user-interface objects for the current object and for MultiObjects, and the
// info tip and thumbnail built on them.
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathUtils.h"

#include <cstring>

namespace {

// The file names a data object of the browser carries, in order; upper case.
TNames DataObjectFiles(TNautilex& browser)
{
    const TComPtr<IDataObject> data = browser.GetUIObject<IDataObject>();
    const auto names = data ? GetFilenamesFromDataObject(data.Get()) : nullptr;
    TNames files;
    if (names)
        for (const std::wstring& name : *names)
            files.push_back(UpperCase(name));
    return files;
}

// A 24-bit bitmap file of the given size.
std::string BitmapFileBytes(int32_t width, int32_t height)
{
    const int32_t pixels = (width * 3 + 3) / 4 * 4 * height;
    const int32_t header[] = {54 + pixels, 0,      54, 40, width, height, 0x180001,
                              0,           pixels, 0,  0,  0,     0};
    std::string bytes = "BM" + std::string(sizeof(header), '\0') + std::string(pixels, '\x5A');
    std::memcpy(&bytes[2], header, sizeof(header));
    return bytes;
}

class NautilexUIObject : public testing::Test {
protected:
    void SetUp() override
    {
        a_ = UpperCase(tree_.File(L"a.txt"));
        b_ = UpperCase(tree_.File(L"b.txt"));
        c_ = UpperCase(tree_.File(L"sub\\c.txt"));
        browser_->SetFolder(tree_.Root());
    }

    TTempTree tree_;
    std::wstring a_, b_, c_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
};

}  // namespace

TEST_F(NautilexUIObject, CurrentObjectAndNamesInTheFolder)
{
    browser_->SetObjectName(L"a.txt");
    EXPECT_EQ(DataObjectFiles(*browser_), TNames{a_});
    // One entry becomes the current object.
    browser_->MultiObjects() = {L"b.txt"};
    EXPECT_EQ(DataObjectFiles(*browser_), TNames{b_});
    EXPECT_EQ(browser_->GetObjectName(), L"b.txt");
    // Several names leave the current object as it was.
    browser_->SetObjectName(L"sub");
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    EXPECT_EQ(DataObjectFiles(*browser_), (TNames{a_, b_}));
    EXPECT_TRUE(browser_->MultiObjects().empty());
    EXPECT_EQ(browser_->GetObjectName(), L"sub");
}

TEST_F(NautilexUIObject, FullPathsAreTakenInTheirOwnFolderOnly)
{
    browser_->SetFolder(tree_.Path(L"sub"));
    browser_->MultiObjects() = {a_, b_};
    EXPECT_EQ(DataObjectFiles(*browser_), (TNames{a_, b_}));
    EXPECT_TRUE(SameText(browser_->GetFolder(), tree_.Root()));

    // One shell folder speaks only for its own children; anything else would act on
    // objects the caller never named.
    for (const TNames& entries : {TNames{a_, c_}, TNames{L"a.txt", c_}}) {
        browser_->SetFolder(tree_.Root());
        browser_->MultiObjects() = entries;
        SetLastError(0);
        EXPECT_FALSE(browser_->GetUIObject<IDataObject>());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_INVALIDARG));
        EXPECT_TRUE(browser_->MultiObjects().empty());
    }
}

TEST_F(NautilexUIObject, NoObjectOrNoFolder)
{
    browser_->SetObjectName(L"");
    EXPECT_FALSE(browser_->GetUIObject<IDataObject>());
    // A missing entry raises, and the entries are gone all the same.
    browser_->MultiObjects() = {L"absent.txt"};
    EXPECT_THROW(browser_->GetUIObject<IDataObject>(), ENautilexError);
    EXPECT_TRUE(browser_->MultiObjects().empty());
    browser_->MultiObjects() = {L"a.txt", L"b.txt"};
    browser_->InfoTip(false);  // empty under Wine, which offers no IQueryInfo
    EXPECT_TRUE(browser_->MultiObjects().empty());

    auto unbound = MakeBrowser();
    EXPECT_EQ(CaughtMessage([&] { unbound->GetUIObject<IDataObject>(); }),
              L"No valid folder is currently assigned");
    // The operations built on it answer nothing instead.
    EXPECT_EQ(unbound->InfoTip(true), L"");
    EXPECT_FALSE(unbound->ExtractThumbnail(32, 32));
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
