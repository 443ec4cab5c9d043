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
    // Made at its full size and filled in place (a concatenation makes GCC 12 warn of bounds).
    std::string bytes(2 + sizeof(header) + static_cast<size_t>(pixels), '\x33');
    bytes[0] = 'B';
    bytes[1] = 'M';
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
    // Wine knows drive roots by inode and looks again at most once a second: a folder made
    // sooner (the next test's) may reuse the freed inode and turn up as "Q:\".
    if (RunningOnWine())
        Sleep(1100);
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

// The long form of a path, which reaches names that plain paths cannot: too long, or ending
// in a dot or a space.
std::wstring LongForm(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

bool WriteFileOfSize(const std::wstring& path, DWORD size)
{
    TScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    const std::string bytes(size, 'x');
    return file && WriteFile(file.get(), bytes.data(), size, &written, nullptr) && written == size;
}

// Removes a tree given in long form.
void RemoveLongTree(const std::wstring& path)
{
    const std::wstring folder = ExcludeTrailingBackslash(path);
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring entry = folder + L"\\" + data.cFileName;
            if (IsDotEntry(data.cFileName))
                continue;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                RemoveLongTree(entry);
            else
                DeleteFileW(entry.c_str());
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

TEST(FolderSizeLongPathTest, MeasuresDeepTreesLongFormPathsAndNamesEndingInDotsOrSpaces)
{
    TTempTree tree;
    const std::wstring root = LongForm(tree.Root());
    struct TCleanUp {
        std::wstring root;
        ~TCleanUp() { RemoveLongTree(root + L"odd"); }
    } cleanUp{root};  // before the tree goes, whose removal takes plain paths
    const std::wstring odd = root + L"odd\\";
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((odd + L"dots..").c_str(), nullptr));
    ASSERT_TRUE(WriteFileOfSize(odd + L"dots..\\in dots.bin", 5));
    ASSERT_TRUE(CreateDirectoryW((odd + L"space ").c_str(), nullptr));
    ASSERT_TRUE(WriteFileOfSize(odd + L"space \\in space.bin ", 7));
    std::wstring deep = odd + L"deep";
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    int deepFolders = 1;
    while (deep.size() < 320) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << deep.size();
        ++deepFolders;
    }
    ASSERT_TRUE(WriteFileOfSize(deep + L"\\bottom.bin", 11));

    const int folders = 1 + 2 + deepFolders;  // "odd", the two odd names, the deep chain
    for (const std::wstring& path : {tree.Path(L"odd"), odd, ExcludeTrailingBackslash(odd)})
        ExpectCounts(Measure(path), 23, 3, folders);
    ExpectCounts(Measure(tree.Root()), 23, 3, folders + 1);
    ExpectCounts(Measure(odd + L"dots.."), 5, 1, 1);
    ExpectCounts(Measure(odd + L"space \\in space.bin "), 7, 1, 0);
    ExpectCounts(Measure(deep), 11, 1, 1);
    // Real wildcards still measure nothing.
    ExpectCounts(Measure(odd + L"d*"), 0, 0, 0);
    ExpectCounts(Measure(odd + L"dots.?"), 0, 0, 0);
}

TEST(FolderSizeLinksTest, FoldersAreKnownByWhatTheyAreNotByHowTheyAreSpelled)
{
    TTempTree tree;
    tree.File(L"T\\a.bin", 5);
    tree.File(L"T\\b.bin", 6);
    tree.File(L"P\\x.bin", 3);
    tree.File(L"P\\long folder name\\y.bin", 4);
    tree.File(L"S\\long real name\\z.bin", 100);
    TDirectoryLinks links;
    if (!links.Add(tree.Path(L"R"), tree.Path(L"T")))
        GTEST_SKIP() << "no directory link can be made here";
    ASSERT_TRUE(links.Add(tree.Path(L"T\\to T"), tree.Path(L"T")));
    ASSERT_TRUE(links.Add(tree.Path(L"T\\to R"), tree.Path(L"R")));
    ASSERT_TRUE(links.Add(tree.Path(L"P\\long folder name\\up"), tree.Path(L"P")));
    ASSERT_TRUE(links.Add(tree.Path(L"S\\inner"), tree.Path(L"S\\long real name")));

    // The root is a link to a folder that holds links to itself and to the root.
    for (bool follow : {false, true})
        ExpectCounts(Measure(tree.Path(L"R"), follow), 11, 2, 1);
    // A link to the root's parent: the parent's own file counts, the root not twice.
    ExpectCounts(Measure(tree.Path(L"P\\long folder name"), true), 7, 2, 2);
    // The root spelled with forward slashes, and in its short form.
    std::wstring slashed = tree.Path(L"S");
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    ExpectCounts(Measure(slashed, true), 100, 1, 2);
    // (A volume without short names has no short form to try.)
    wchar_t shortForm[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(tree.Path(L"S").c_str(), shortForm, MAX_PATH);
    if (length > 0 && length < MAX_PATH && !SameText(shortForm, tree.Path(L"S")))
        ExpectCounts(Measure(shortForm, true), 100, 1, 2);
}

TEST(FolderSizeCancelTest, CancellingARunningScanStopsItEarly)
{
    // Says when its scan begins.
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
