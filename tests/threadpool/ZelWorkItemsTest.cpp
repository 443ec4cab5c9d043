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

// A receiver that records what reaches it and on which thread.
class TIconReceiver : public IIconViewer {
public:
    struct TCall {
        int index;
        BYTE kind;
        TWorkItemOwner owner;
        DWORD thread;
    };
    std::vector<TCall> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IIconViewer) {
            *object = static_cast<IIconViewer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack; the count only proves the items let go of it.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) override
    {
        calls.push_back({index, kind, owner, GetCurrentThreadId()});
    }

    ULONG references = 1;
};

int SystemIconIndex(TBorrowedIDList list, UINT extraFlags)
{
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags) == 0)
        return -1;
    return info.iIcon;
}

TEST(IconWorkItemTest, DeliversNormalAndOpenIconIndexesOnTheGuiThread)
{
    TTempTree tree;
    const std::wstring file = tree.TextFile(L"notes.txt", "text");
    const std::wstring folder = tree.Folder(L"sub");
    TOwnedIDList fileList = IDListFromPath(nullptr, file);
    TOwnedIDList folderList = IDListFromPath(nullptr, folder);
    ASSERT_TRUE(fileList && folderList);
    const int expectedFile = SystemIconIndex(fileList, 0);
    const int expectedFolder = SystemIconIndex(folderList, 0);
    const int expectedOpenFolder = SystemIconIndex(folderList, SHGFI_OPENICON);
    ASSERT_GE(expectedFile, 0);

    TIconReceiver receiver;
    int fileNode = 0;
    int folderNode = 0;
    WorkerPool->AddWorkItem(
        new TIconWorkItem(CopyIDList(fileList), &fileNode, &receiver, kIconKindNormal));
    WorkerPool->AddWorkItem(
        new TIconWorkItem(CopyIDList(folderList), &folderNode, &receiver, kIconKindNormal));
    WorkerPool->AddWorkItem(
        new TIconWorkItem(CopyIDList(folderList), &folderNode, &receiver, kIconKindOpen));
    ASSERT_TRUE(PumpMessagesUntil([&] { return WorkerPool->PendingCount() == 0; }, 5000));
    ASSERT_EQ(receiver.calls.size(), 3u);
    for (const auto& call : receiver.calls) {
        EXPECT_EQ(call.thread, GetCurrentThreadId());
        if (call.owner == &fileNode) {
            EXPECT_EQ(call.index, expectedFile);
            EXPECT_EQ(call.kind, kIconKindNormal);
        } else {
            EXPECT_EQ(call.owner, &folderNode);
            EXPECT_EQ(call.index, call.kind == kIconKindOpen ? expectedOpenFolder : expectedFolder);
        }
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
        auto blocker = NewLog();
        pool.AddWorkItem(new TTestItem(blocker, 10000));
        pool.AddWorkItem(new TIconWorkItem(CopyIDList(list), &node, &receiver, kIconKindNormal));
        EXPECT_EQ(pool.CancelWorkItems(&node, nullptr), 1);
        pool.CancelWorkItems(nullptr, nullptr);
        PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000);
    }
    // Aborted while running: the result is computed but not handed over.
    TComPtr<TIconWorkItem> item(
        new TIconWorkItem(CopyIDList(list), &node, &receiver, kIconKindNormal));
    item->Execute();
    EXPECT_GE(item->Index(), 0);
    item->Abort();
    item->ApplyResult();
    EXPECT_TRUE(receiver.calls.empty());
    item.Reset();
    EXPECT_EQ(receiver.references, 1u);
}

TEST(IconWorkItemTest, OverlayKindAsksAPrivateBrowserOnTheWorker)
{
    TTempTree tree;
    const std::wstring target = tree.TextFile(L"target.txt", "t");
    const std::wstring shortcut = tree.Shortcut(L"link.lnk", target);
    TIconReceiver receiver;
    int linkNode = 0;
    int fileNode = 0;
    int goneNode = 0;
    WorkerPool->AddWorkItem(new TIconWorkItem(IDListFromPath(nullptr, shortcut), &linkNode,
                                              &receiver, kIconKindOverlay));
    WorkerPool->AddWorkItem(new TIconWorkItem(IDListFromPath(nullptr, target), &fileNode,
                                              &receiver, kIconKindOverlay));
    // An object that has gone by the time the item runs: its browser cannot bind it.
    TOwnedIDList gone = IDListFromPath(nullptr, tree.TextFile(L"gone.txt", "g"));
    DeleteFileW(tree.Path(L"gone.txt").c_str());
    WorkerPool->AddWorkItem(
        new TIconWorkItem(std::move(gone), &goneNode, &receiver, kIconKindOverlay));
    ASSERT_TRUE(PumpMessagesUntil([&] { return receiver.calls.size() == 3; }, 5000));
    for (const auto& call : receiver.calls) {
        EXPECT_EQ(call.kind, kIconKindOverlay);
        EXPECT_EQ(call.thread, GetCurrentThreadId());
        EXPECT_EQ(call.index, call.owner == &linkNode ? 1 : -1);
    }
}

// A receiver of thumbnails that keeps what it was given.
class TThumbnailReceiver : public IThumbnailViewer {
public:
    struct TCall {
        TScopedGdiObject bitmap;
        int imageIndex;
        DWORD thread;
    };
    std::vector<TCall> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IThumbnailViewer) {
            *object = static_cast<IThumbnailViewer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int imageIndex) override
    {
        calls.push_back({TScopedGdiObject(bitmap), imageIndex, GetCurrentThreadId()});
    }

    ULONG references = 1;
};

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

TEST(ThumbnailWorkItemTest, DeliversTheBitmapOnTheGuiThreadAtTheDefaultSizeForZeroWidth)
{
    TTempTree tree;
    TOwnedIDList picture = IDListFromPath(nullptr, tree.TextFile(L"picture.bmp", BitmapFile(320, 240)));
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
        EXPECT_LE(info.bmWidth, limit);
        EXPECT_LE(info.bmHeight, limit);
        EXPECT_GT(std::max(info.bmWidth, info.bmHeight), 64 * (limit / 200));
    }
    EXPECT_EQ(receiver.calls[0].imageIndex + receiver.calls[1].imageIndex, 15);
    EXPECT_EQ(receiver.references, 1u);
}

TEST(ThumbnailWorkItemTest, AbortedItemHandsNothingOver)
{
    TTempTree tree;
    TOwnedIDList picture = IDListFromPath(nullptr, tree.TextFile(L"picture.bmp", BitmapFile(64, 64)));
    TThumbnailReceiver receiver;
    int item = 0;
    TComPtr<TThumbnailWorkItem> thumbnail(
        new TThumbnailWorkItem(picture, &item, 1, &receiver, 0, 0));
    thumbnail->Execute();
    thumbnail->Abort();
    thumbnail->ApplyResult();
    EXPECT_TRUE(receiver.calls.empty());
    thumbnail.Reset();
    EXPECT_EQ(receiver.references, 1u);
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

void BuildSampleTree(TTempTree& tree)
{
    tree.File(L"a.bin", 1000);
    tree.File(L"b.bin", 0);
    tree.File(L"hidden.bin", 10, FILE_ATTRIBUTE_HIDDEN);
    tree.File(L"sub\\c.bin", 5000);
    tree.File(L"sub\\deeper\\d.bin", 70000);
    tree.File(L"sub\\deeper\\e.bin", 3);
    tree.File(L"sub\\\u00fcber \u20ac.bin", 7);
    tree.Folder(L"empty");
    tree.Folder(L"sub\\deeper\\empty too");
}

TEST(FolderSizeWorkItemTest, CountsWhatAnIndependentWalkFinds)
{
    TTempTree tree;
    BuildSampleTree(tree);
    const TWalk walk = Walk(tree.Root());
    ASSERT_EQ(walk.files, 7);
    ASSERT_EQ(walk.folders, 4);

    for (const std::wstring& root : {tree.Root(), ExcludeTrailingBackslash(tree.Root())}) {
        auto item = Measure(root);
        EXPECT_EQ(item->Size(), walk.size);
        EXPECT_EQ(item->FileCount(), walk.files);
        EXPECT_EQ(item->FolderCount(), walk.folders + 1);  // the root counts as a folder
    }
    auto flat = Measure(tree.Root(), false, false);
    EXPECT_EQ(flat->FolderCount(), 1);
    EXPECT_EQ(flat->FileCount(), 0);
    EXPECT_EQ(flat->Size(), 0u);

    auto file = Measure(tree.Path(L"sub\\c.bin"));
    EXPECT_EQ(file->Size(), 5000u);
    EXPECT_EQ(file->FileCount(), 1);
    EXPECT_EQ(file->FolderCount(), 0);

    // A path that does not exist, or a pattern that would match some other entry: nothing.
    for (const std::wstring& path : {tree.Path(L"missing"), tree.Path(L"sub\\*"),
                                     tree.Path(L"?.bin"), std::wstring()}) {
        auto none = Measure(path);
        EXPECT_EQ(none->Size(), 0u);
        EXPECT_EQ(none->FileCount() + none->FolderCount(), 0) << WideToNarrow(path);
    }
}

TEST(FolderSizeWorkItemTest, DeliversThroughTheOwnersHandlerOnTheGuiThread)
{
    TTempTree tree;
    BuildSampleTree(tree);
    const TWalk walk = Walk(tree.Root());
    // As the selection list does: it owns the item, sets the factor and its done handler.
    int owner = 0;
    int64_t total = 0;
    int handled = 0;
    auto add = [&](int factor) {
        auto* item = new TZelFolderSizeWorkItem(tree.Path(L"sub"), false, true);
        item->SetOwner(&owner);
        item->SetFactor(factor);
        item->SetOnWorkDone([&](TBasicWorkItem* done) {
            EXPECT_TRUE(IsMainThread());
            auto* sized = static_cast<TZelFolderSizeWorkItem*>(done);
            if (!sized->Aborted())
                total += sized->Factor() * static_cast<int64_t>(sized->Size());
            ++handled;
        });
        WorkerPool->AddWorkItem(item);
    };
    add(1);
    ASSERT_TRUE(PumpMessagesUntil([&] { return handled == 1; }, 5000));
    EXPECT_EQ(total, static_cast<int64_t>(walk.size - 1000 - 10));
    add(-1);
    ASSERT_TRUE(PumpMessagesUntil([&] { return handled == 2; }, 5000));
    EXPECT_EQ(total, 0);
}

TEST(FolderSizeWorkItemTest, DriveRootCountsAsAFolderWithItsContents)
{
    TTempTree tree;
    BuildSampleTree(tree);
    const wchar_t letter = L'Q';
    if (!MapDrive(letter, tree.Root()))
        GTEST_SKIP() << "no drive letter can be mapped here";
    const TWalk walk = Walk(tree.Root());
    auto item = Measure(L"Q:\\");
    auto bare = Measure(L"Q:");
    UnmapDrive(letter);
    EXPECT_EQ(item->FolderCount(), walk.folders + 1);
    EXPECT_EQ(item->FileCount(), walk.files);
    EXPECT_EQ(item->Size(), walk.size);
    EXPECT_EQ(bare->Size(), walk.size);
}

// Links made for one test, removed when it ends however it ends (the temporary trees are
// removed only after them).
class TDirectoryLinks {
public:
    ~TDirectoryLinks()
    {
        for (const std::wstring& link : links_)
            RemoveDirectoryLink(link);
    }
    bool Add(const std::wstring& link, const std::wstring& target)
    {
        if (!CreateDirectoryLink(link, target))
            return false;
        links_.push_back(link);
        return true;
    }

private:
    std::vector<std::wstring> links_;
};

TEST(FolderSizeWorkItemTest, LinksBackIntoTheTreeAreCountedOnce)
{
    TTempTree tree;
    TTempTree outside;
    tree.File(L"real\\x.bin", 100);
    tree.File(L"real\\y.bin", 200);
    outside.File(L"z.bin", 50);
    TDirectoryLinks links;
    const std::wstring inner = tree.Path(L"inner link");
    if (!links.Add(inner, tree.Path(L"real")))
        GTEST_SKIP() << "no directory link can be made here";
    ASSERT_TRUE(links.Add(tree.Path(L"real\\root link"), tree.Root()));
    ASSERT_TRUE(links.Add(tree.Path(L"out link"), outside.Root()));
    ASSERT_TRUE(links.Add(outside.Path(L"back link"), tree.Root()));
    EXPECT_TRUE(SameFileName(ReparsePointTarget(inner), tree.Path(L"real")))
        << WideToNarrow(ReparsePointTarget(inner));

    // Not following: every link is left out.
    auto skipped = Measure(tree.Root(), false);
    EXPECT_EQ(skipped->Size(), 300u);
    EXPECT_EQ(skipped->FileCount(), 2);
    EXPECT_EQ(skipped->FolderCount(), 2);
    // Following: the links into the tree (and the way back from outside) are left out; the
    // folder outside is counted once, with its link.
    auto followed = Measure(tree.Root(), true);
    EXPECT_EQ(followed->Size(), 350u);
    EXPECT_EQ(followed->FileCount(), 3);
    EXPECT_EQ(followed->FolderCount(), 3);
}

TEST(FolderSizeWorkItemTest, CancellingARunningScanStopsItEarly)
{
    // A test subclass that says when its scan begins.
    class TObservedItem : public TZelFolderSizeWorkItem {
    public:
        TObservedItem(const std::wstring& path, std::atomic<bool>& started)
            : TZelFolderSizeWorkItem(path, false, true), started_(started)
        {
        }
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

    TTestPool pool(0);
    int owner = 0;
    std::atomic<bool> started{false};
    int files = -1;
    bool aborted = false;
    auto* item = new TObservedItem(big, started);
    item->SetOwner(&owner);
    item->SetOnWorkDone([&](TBasicWorkItem* done) {
        aborted = done->Aborted();
        files = static_cast<TZelFolderSizeWorkItem*>(done)->FileCount();
    });
    pool.AddWorkItem(item);
    while (!started)
        Sleep(0);
    EXPECT_EQ(pool.CancelWorkItems(&owner, nullptr), 1);
    ASSERT_TRUE(PumpMessagesUntil([&] { return files >= 0; }, 5000));
    EXPECT_TRUE(aborted);
    EXPECT_LT(files, full);
}

}  // namespace
