#include "threadpool/ZelWorkItems.h"

#include "PoolTestItems.h"
#include "common/HostLinks.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "threadpool/ReparsePoint.h"
#include "threadpool/ThreadPool.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

// Receivers live on the test's stack, as controls do not live by their count; the count shows
// when the items let go of them (on the GUI thread, as they apply their result or are aborted).
template <class Interface>
class TReceiver : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
};

class TIconReceiver : public TReceiver<IIconViewer> {
public:
    struct TCall {
        int index;
        BYTE kind;
        TWorkItemOwner owner;
        DWORD thread;
    };
    std::vector<TCall> calls;

    void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) override
    {
        calls.push_back({index, kind, owner, GetCurrentThreadId()});
    }
};

class TThumbnailReceiver : public TReceiver<IThumbnailViewer> {
public:
    struct TCall {
        TScopedGdiObject bitmap;
        int imageIndex;
        DWORD thread;
    };
    std::vector<TCall> calls;

    void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int imageIndex) override
    {
        calls.push_back({TScopedGdiObject(bitmap), imageIndex, GetCurrentThreadId()});
    }
};

int SystemIconIndex(const std::wstring& path, UINT extraFlags)
{
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags) == 0)
        return -1;
    return info.iIcon;
}

TEST(IconWorkItemTest, DeliversIconAndOverlayIndexesOnTheGuiThread)
{
    TTempTree tree;
    const std::wstring file = tree.TextFile(L"notes.txt", "text");
    const std::wstring folder = tree.Folder(L"sub");
    const std::wstring shortcut = tree.Shortcut(L"link.lnk", file);
    const std::wstring gone = tree.TextFile(L"gone.txt", "g");
    struct TCase {
        std::wstring path;
        BYTE kind;
        int expected;
    } cases[] = {
        {file, kIconKindNormal, SystemIconIndex(file, 0)},
        {folder, kIconKindNormal, SystemIconIndex(folder, 0)},
        {folder, kIconKindOpen, SystemIconIndex(folder, SHGFI_OPENICON)},
        {shortcut, kIconKindOverlay, 1},  // the link overlay
        {file, kIconKindOverlay, -1},
        {gone, kIconKindOverlay, -1},  // gone before the item runs: its browser cannot bind it
    };
    ASSERT_GE(cases[0].expected, 0);
    TIconReceiver receiver;
    for (TCase& test : cases)
        WorkerPool->AddWorkItem(
            new TIconWorkItem(IDListFromPath(nullptr, test.path), &test, &receiver, test.kind));
    DeleteFileW(gone.c_str());
    ASSERT_TRUE(PumpMessagesUntil([&] { return receiver.calls.size() == 6; }, 5000));
    for (const auto& call : receiver.calls) {
        const TCase& test = *static_cast<TCase*>(call.owner);
        EXPECT_EQ(call.thread, GetCurrentThreadId());
        EXPECT_EQ(call.kind, test.kind);
        EXPECT_EQ(call.index, test.expected) << WideToNarrow(test.path) << " kind " << +test.kind;
    }
    EXPECT_EQ(receiver.references, 1u);
}

TEST(IconWorkItemTest, CancelledOrAbortedItemsNeverReachTheReceiver)
{
    TTempTree tree;
    TOwnedIDList list = IDListFromPath(nullptr, tree.TextFile(L"a.txt", "a"));
    TIconReceiver receiver;
    int node = 0;
    {
        // Queued behind a busy worker, then cancelled by its owner (a node being deleted).
        TTestPool pool(100);
        pool.AddWorkItem(new TTestItem(NewLog(), 10000));
        pool.AddWorkItem(new TIconWorkItem(CopyIDList(list), &node, &receiver, kIconKindNormal));
        EXPECT_EQ(pool.CancelWorkItems(&node, nullptr), 1);
    }
    // Aborted while running: the result is computed but not handed over.
    TComPtr<TIconWorkItem> item(
        new TIconWorkItem(CopyIDList(list), &node, &receiver, kIconKindNormal));
    item->Execute();
    EXPECT_GE(item->Index(), 0);
    EXPECT_EQ(receiver.references, 2u);
    // The owner may go right after cancelling: the item lets go of the receiver at once.
    item->Abort();
    EXPECT_EQ(receiver.references, 1u);
    item->ApplyResult();
    EXPECT_TRUE(receiver.calls.empty());
}

// A 24-bit bitmap file of the given size.
std::string BitmapFile(int32_t width, int32_t height)
{
    const int32_t pixels = (width * 3 + 3) / 4 * 4 * height;
    const int32_t header[] = {54 + pixels, 0,      54, 40, width, height, 0x180001,
                              0,           pixels, 0,  0,  0,     0};
    std::string bytes = "BM" + std::string(sizeof(header), '\0') + std::string(pixels, '\x33');
    std::memcpy(&bytes[2], header, sizeof(header));
    return bytes;
}

TEST(ThumbnailWorkItemTest, DeliversOnTheGuiThreadAtTheDefaultSizeForZeroWidthUnlessAborted)
{
    TTempTree tree;
    TOwnedIDList picture =
        IDListFromPath(nullptr, tree.TextFile(L"picture.bmp", BitmapFile(320, 240)));
    ASSERT_TRUE(picture);
    TThumbnailReceiver receiver;
    int item = 0;
    WorkerPool->AddWorkItem(new TThumbnailWorkItem(picture, &item, 7, &receiver, 96, 0));
    WorkerPool->AddWorkItem(new TThumbnailWorkItem(picture, &item, 8, &receiver, 64, 64));
    ASSERT_TRUE(PumpMessagesUntil([&] { return receiver.calls.size() == 2; }, 5000));
    for (const auto& call : receiver.calls) {
        EXPECT_EQ(call.thread, GetCurrentThreadId());
        // Wine's shell has no thumbnail to give (its image factory answers with one pixel,
        // which the browser turns down): then the receiver gets none.
        if (!call.bitmap)
            continue;
        BITMAP info{};
        ASSERT_NE(GetObjectW(call.bitmap.get(), sizeof(info), &info), 0);
        const int limit = call.imageIndex == 7 ? 200 : 64;
        EXPECT_LE(std::max(info.bmWidth, info.bmHeight), limit);
        EXPECT_GT(std::max(info.bmWidth, info.bmHeight), limit / 2);
    }
    EXPECT_EQ(receiver.calls[0].imageIndex + receiver.calls[1].imageIndex, 15);

    TComPtr<TThumbnailWorkItem> aborted(new TThumbnailWorkItem(picture, &item, 1, &receiver, 0, 0));
    aborted->Execute();
    aborted->Abort();
    EXPECT_EQ(receiver.references, 1u);
    aborted->ApplyResult();
    EXPECT_EQ(receiver.calls.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// Folder sizes

struct TWalk {
    uint64_t size = 0;
    int files = 0;
    int folders = 0;
};

// An independent count of everything below `root` (not the root itself).
TWalk Walk(const std::wstring& root)
{
    TWalk walk;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_directory()) {
            ++walk.folders;
        } else {
            ++walk.files;
            walk.size += entry.file_size();
        }
    }
    return walk;
}

TComPtr<TZelFolderSizeWorkItem> Measure(const std::wstring& path, bool follow = false,
                                        bool recursive = true)
{
    TComPtr<TZelFolderSizeWorkItem> item(new TZelFolderSizeWorkItem(path, follow, recursive));
    item->Execute();
    return item;
}

void ExpectCounts(const TComPtr<TZelFolderSizeWorkItem>& item, uint64_t size, int files,
                  int folders)
{
    EXPECT_EQ(item->Size(), size) << WideToNarrow(item->RootPath());
    EXPECT_EQ(item->FileCount(), files) << WideToNarrow(item->RootPath());
    EXPECT_EQ(item->FolderCount(), folders) << WideToNarrow(item->RootPath());
}

class FolderSizeWorkItemTest : public testing::Test {
protected:
    void SetUp() override
    {
        tree_.File(L"a.bin", 1000);
        tree_.File(L"b.bin", 0);
        tree_.File(L"hidden.bin", 10, FILE_ATTRIBUTE_HIDDEN);
        tree_.File(L"sub\\c.bin", 5000);
        tree_.File(L"sub\\deeper\\d.bin", 70000);
        tree_.File(L"sub\\deeper\\e.bin", 3);
        tree_.File(L"sub\\\u00fcber \u20ac.bin", 7);
        tree_.Folder(L"empty");
        tree_.Folder(L"sub\\deeper\\empty too");
        walk_ = Walk(tree_.Root());
    }

    TTempTree tree_;
    TWalk walk_;
};

TEST_F(FolderSizeWorkItemTest, CountsWhatAnIndependentWalkFinds)
{
    ASSERT_EQ(walk_.files, 7);
    ASSERT_EQ(walk_.folders, 4);
    // The root counts as a folder, with or without its trailing backslash.
    ExpectCounts(Measure(tree_.Root()), walk_.size, walk_.files, walk_.folders + 1);
    ExpectCounts(Measure(ExcludeTrailingBackslash(tree_.Root())), walk_.size, walk_.files,
                 walk_.folders + 1);
    ExpectCounts(Measure(tree_.Root(), false, false), 0, 0, 1);
    ExpectCounts(Measure(tree_.Path(L"sub\\c.bin")), 5000, 1, 0);
    // A path that does not exist, or a pattern that would match some other entry: nothing.
    for (const std::wstring& path :
         {tree_.Path(L"missing"), tree_.Path(L"sub\\*"), tree_.Path(L"?.bin"), std::wstring()})
        ExpectCounts(Measure(path), 0, 0, 0);
}

TEST_F(FolderSizeWorkItemTest, DriveRootCountsAsAFolderWithItsContents)
{
    if (!MapDrive(L'Q', tree_.Root()))
        GTEST_SKIP() << "no drive letter can be mapped here";
    auto root = Measure(L"Q:\\");
    auto bare = Measure(L"Q:");
    UnmapDrive(L'Q');
    ExpectCounts(root, walk_.size, walk_.files, walk_.folders + 1);
    ExpectCounts(bare, walk_.size, walk_.files, walk_.folders + 1);
}

TEST(FolderSizeLinksTest, LinksBackIntoTheTreeAreCountedOnce)
{
    TTempTree tree;
    TTempTree outside;
    tree.File(L"real\\x.bin", 100);
    tree.File(L"real\\y.bin", 200);
    outside.File(L"z.bin", 50);
    TDirectoryLinks links;  // declared after the trees: removed before them
    const std::wstring inner = tree.Path(L"inner link");
    if (!links.Add(inner, tree.Path(L"real")))
        GTEST_SKIP() << "no directory link can be made here";
    ASSERT_TRUE(links.Add(tree.Path(L"real\\root link"), tree.Root()));
    ASSERT_TRUE(links.Add(tree.Path(L"out link"), outside.Root()));
    ASSERT_TRUE(links.Add(outside.Path(L"back link"), tree.Root()));
    EXPECT_TRUE(SameFileName(ReparsePointTarget(inner), tree.Path(L"real")))
        << WideToNarrow(ReparsePointTarget(inner));

    // Not following: every link is left out.
    ExpectCounts(Measure(tree.Root(), false), 300, 2, 2);
    // Following: the links into the tree (and the way back from outside) are left out; the
    // folder outside is counted once, with its link.
    ExpectCounts(Measure(tree.Root(), true), 350, 3, 3);
}

TEST(FolderSizeCancelTest, CancellingARunningScanStopsItEarly)
{
    // Says when its scan begins.
    class TObservedItem : public TZelFolderSizeWorkItem {
    public:
        TObservedItem(const std::wstring& path, std::atomic<bool>& started)
            : TZelFolderSizeWorkItem(path, false, true), started_(started)
        {}
        void Execute() override
        {
            started_ = true;
            TZelFolderSizeWorkItem::Execute();
        }

    private:
        std::atomic<bool>& started_;
    };

    const std::wstring big = WindowsDirectory();
    const int full = Measure(big)->FileCount();
    ASSERT_GT(full, 500);
    int owner = 0;
    std::atomic<bool> started{false};
    bool handled = false;
    TTestPool pool(0);
    TComPtr<TObservedItem> item(new TObservedItem(big, started));
    item->SetOwner(&owner);
    item->SetOnWorkDone([&](TBasicWorkItem*) { handled = true; });
    pool.AddWorkItem(item.Get());
    const DWORD start = GetTickCount();
    while (!started && GetTickCount() - start < 3000)
        Sleep(0);
    ASSERT_TRUE(started);
    EXPECT_EQ(pool.CancelWorkItems(&owner, nullptr), 1);
    ASSERT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 5000));
    // The owner, which may be gone by now, hears nothing of the cancelled scan.
    EXPECT_FALSE(handled);
    EXPECT_TRUE(item->Aborted());
    EXPECT_LT(item->FileCount(), full);
}

}  // namespace
