#include "common/HostLinks.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "threadpool/ZelWorkItems.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Entries read with the reparse tags Windows gives its other kinds of reparse point (cloud
// placeholders and the like), which neither Wine nor a test can make: here they are links
// made for the test, told apart by name.
class TTaggedFolderSizeWorkItem : public TZelFolderSizeWorkItem {
public:
    TTaggedFolderSizeWorkItem(std::wstring path, bool follow, std::map<std::wstring, DWORD> tags)
        : TZelFolderSizeWorkItem(std::move(path), follow, true), tags_(std::move(tags))
    {
    }

protected:
    DWORD ReparseTagOf(const WIN32_FIND_DATAW& data) const override
    {
        const auto tag = tags_.find(data.cFileName);
        return tag != tags_.end() ? tag->second : TZelFolderSizeWorkItem::ReparseTagOf(data);
    }

private:
    std::map<std::wstring, DWORD> tags_;
};

TEST(FolderSizeReparseTest, ReparsePointsThatAreNoLinksCountAsWhatTheyHold)
{
    TTempTree tree;
    TTempTree cloudContents;
    TTempTree elsewhere;
    tree.File(L"real\\x.bin", 100);
    cloudContents.File(L"p.bin", 40);
    cloudContents.File(L"sub\\q.bin", 2);
    elsewhere.File(L"j.bin", 7);
    TDirectoryLinks links;  // declared after the trees: removed before them
    if (!links.Add(tree.Path(L"cloud folder"), cloudContents.Root()))
        GTEST_SKIP() << "no directory link can be made here";
    ASSERT_TRUE(links.Add(tree.Path(L"mount"), elsewhere.Root()));
    ASSERT_TRUE(links.Add(cloudContents.Path(L"inner link"), elsewhere.Root()));
    const std::map<std::wstring, DWORD> tags = {{L"cloud folder", IO_REPARSE_TAG_CLOUD_3},
                                                {L"mount", IO_REPARSE_TAG_MOUNT_POINT}};

    struct TRow {
        const char* name;
        std::wstring root;
        bool follow;
        uint64_t size;
        int files;
        int folders;
    };
    const TRow rows[] = {
        // The cloud folder is walked like any folder; the mount point and the link inside
        // the cloud folder (a real link, as the system reports it) are left out.
        {"links not followed", tree.Root(), false, 142, 3, 4},
        // The one folder two links lead to is counted once.
        {"links followed", tree.Root(), true, 149, 4, 5},
        // Measured itself, the cloud folder is no link: the links inside it stay links.
        {"cloud folder as the root", tree.Path(L"cloud folder"), false, 42, 2, 2},
    };
    for (const TRow& row : rows) {
        TComPtr<TTaggedFolderSizeWorkItem> item(
            new TTaggedFolderSizeWorkItem(row.root, row.follow, tags));
        item->Execute();
        EXPECT_EQ(item->Size(), row.size) << row.name;
        EXPECT_EQ(item->FileCount(), row.files) << row.name;
        EXPECT_EQ(item->FolderCount(), row.folders) << row.name;
    }
}

}  // namespace
