// Reading a folder ahead of time on a thread of its own, and a browser walking what was read.
#include "shell/FolderPreread.h"
#include "common/TempTree.h"
#include "shell/IDList.h"
#include "shell/NautilexTestSupport.h"
#include "shell/ShellState.h"

#include <functional>

namespace {

class FolderPreread : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"a.txt", L"B.TXT", L"\u00e9t\u00e9 \u00fc\u00f1.doc"})
            tree_.File(name, 10);
        tree_.File(L"hidden.txt", 0, FILE_ATTRIBUTE_HIDDEN);
        tree_.Folder(L"sub");
    }

    // What a browser on the folder walks when the read is offered to it, or nothing when the
    // read was refused.
    TNames TakenNames(TFolderPreread& preread) { return TakenNames(preread, tree_); }
    TNames TakenNames(TFolderPreread& preread, const TTempTree& tree)
    {
        TOwnedIDList folder;
        std::vector<TOwnedIDList> objects;
        if (!preread.Take(folder, objects))
            return {};
        EXPECT_TRUE(SameIDLists(folder, IDListFromPath(DesktopFolder.Get(), tree.Root())));
        browser_->OfferObjects(folder.get(), std::move(objects));
        browser_->SetFolder(tree.Root());
        return EnumeratedNames(*browser_);
    }

    TTempTree tree_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
};

}  // namespace

TEST_F(FolderPreread, GivesWhatTheFolderEnumeratesOnce)
{
    TFolderPreread preread(tree_.Root());
    const TNames taken = TakenNames(preread);
    EXPECT_EQ(taken, (TNames{L"B.TXT", L"a.txt", L"hidden.txt", L"sub",
                             L"\u00e9t\u00e9 \u00fc\u00f1.doc"}));
    EXPECT_EQ(EnumeratedNames(*browser_), taken);  // the folder's own walk
    EXPECT_TRUE(TakenNames(preread).empty());
}

TEST_F(FolderPreread, AnyChangeAfterTheReadBeganRefusesIt)
{
    using TChange = std::function<void(TTempTree&)>;
    const std::vector<std::pair<const char*, TChange>> changes{
        {"new file", [](TTempTree& tree) { tree.File(L"new.txt"); }},
        {"rename",
         [](TTempTree& tree) {
             MoveFileW(tree.Path(L"a.txt").c_str(), tree.Path(L"z.txt").c_str());
         }},
        {"hidden mark",
         [](TTempTree& tree) {
             SetFileAttributesW(tree.Path(L"B.TXT").c_str(), FILE_ATTRIBUTE_HIDDEN);
         }},
        {"new contents",
         [](TTempTree& tree) { tree.TextFile(L"a.txt", "longer contents than before"); }},
        {"deletion", [](TTempTree& tree) { DeleteFileW(tree.Path(L"B.TXT").c_str()); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        TTempTree tree;
        tree.File(L"a.txt", 10);
        tree.File(L"B.TXT", 10);
        TFolderPreread preread(tree.Root());
        change(tree);
        Sleep(50);  // the system reports changes a moment later
        EXPECT_TRUE(TakenNames(preread, tree).empty());
    }
}

TEST_F(FolderPreread, ReadsNothingThatCouldWaitOrIsNotThere)
{
    for (const std::wstring& path :
         {std::wstring(), std::wstring(L"\\\\no-such-server\\share"), std::wstring(L"relative"),
          tree_.Path(L"missing"), tree_.Path(L"a.txt")}) {
        SCOPED_TRACE(path);
        TFolderPreread preread(path);
        TOwnedIDList folder;
        std::vector<TOwnedIDList> objects;
        EXPECT_FALSE(preread.Take(folder, objects));
        EXPECT_FALSE(folder);
        EXPECT_TRUE(objects.empty());
    }
}

TEST_F(FolderPreread, OfferedObjectsServeOnePassOverTheirFolderOnly)
{
    // Two of the folder's objects offered: the walk shows exactly those, then the folder's own.
    const TOwnedIDList root = IDListFromPath(DesktopFolder.Get(), tree_.Root());
    const auto offerTwo = [&] {
        std::vector<TOwnedIDList> two;
        for (const wchar_t* name : {L"a.txt", L"sub"})
            two.push_back(IDListLastItem(IDListFromPath(DesktopFolder.Get(), tree_.Path(name))));
        browser_->OfferObjects(root.get(), std::move(two));
    };
    offerTwo();
    browser_->SetFolder(tree_.Root());
    EXPECT_EQ(EnumeratedNames(*browser_), (TNames{L"a.txt", L"sub"}));
    EXPECT_EQ(EnumeratedNames(*browser_).size(), 5u);

    // Another folder bound in between drops the offer, also after coming back.
    offerTwo();
    browser_->SetFolder(tree_.Path(L"sub"));
    EXPECT_TRUE(EnumeratedNames(*browser_).empty());
    browser_->SetFolder(tree_.Root());
    EXPECT_EQ(EnumeratedNames(*browser_).size(), 5u);

    // A pass broken off by going elsewhere drops the rest of the offer.
    offerTwo();
    ASSERT_TRUE(browser_->NextObject());
    browser_->SetFolder(tree_.Path(L"sub"));
    browser_->SetFolder(tree_.Root());
    EXPECT_EQ(EnumeratedNames(*browser_).size(), 5u);
}
