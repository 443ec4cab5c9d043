// Thumbnails per second for a folder of 1,000 images that the shell gives no thumbnails for
// (Wine's shell gives none), through the worker pool as the list asks for them, against
// baselines of the same run: the icon look-ups of the same files through the pool, the decoding
// alone on one thread (as a worker decodes, and without the thread's codec cache), the whole
// work item (shell and decoding) on one thread, and the decoding on one plain thread per
// processor (what the platform allows at best).
//
// Then paging: a shell list in thumbnails view of a folder of 5,000 images, Page Down after
// Page Down (0.1 s apart, the results of the pool applied meanwhile) to past item 3,600: the
// cost of a page (the key and the drawing it brings) near item 3,600 against the first pages,
// and the time after the last page until every cell on screen shows its picture.
//
// Usage: bench_thumbnails.exe <folder of images> [folder of 5,000 images]
#include "ShellBenchSupport.h"
#include "core/PathText.h"
#include "threadpool/WicThumbnail.h"
#include "threadpool/ZelWorkItems.h"

#include "threadpool/SystemLoad.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

constexpr int kSize = 96;

// Counts results; lives on the stack, as a control does.
class TCounter : public IIconViewer, public IThumbnailViewer {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void STDMETHODCALLTYPE SetImage(int, BYTE, TWorkItemOwner) override { ++results; }
    void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int) override
    {
        TScopedGdiObject owned(bitmap);
        ++results;
        if (bitmap != nullptr)
            ++pictures;
    }
    int results = 0;
    int pictures = 0;
};

// Pumps until `count` results came; answers the most threads the pool ran meanwhile.
int WaitFor(const TCounter& counter, int count)
{
    int most = 0;
    while (counter.results < count) {
        most = std::max(most, WorkerPool->Count());
        PumpMessages();
        CheckSynchronize(5);
    }
    return most;
}

// Decodes every image once on `threads` plain threads (no pool, no shell): the platform's
// floor for decoding on several processors. Answers how many were decoded.
int DecodeOnThreads(const std::vector<std::wstring>& paths, int threads)
{
    std::atomic<size_t> next{0};
    std::atomic<int> decoded{0};
    std::vector<std::thread> workers;
    for (int thread = 0; thread < threads; ++thread)
        workers.emplace_back([&] {
            const TComInitScope com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            const TWicThreadCache cache;
            for (size_t index = next++; index < paths.size(); index = next++)
                if (WicThumbnail(paths[index], kSize, kSize, RGB(255, 255, 255)))
                    ++decoded;
        });
    for (std::thread& worker : workers)
        worker.join();
    return decoded;
}

bool CellOnScreen(HWND list, int index)
{
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    RECT client{};
    RECT common{};
    GetClientRect(list, &client);
    return SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&bounds)) != 0 &&
           IntersectRect(&common, &bounds, &client) != FALSE;
}

// Cells on screen still waiting for their picture.
int PendingOnScreen(TZelShellList& list)
{
    int pending = 0;
    for (int index = 0; index < list.Items()->Count(); ++index)
        if (list.ThumbnailPending(list.Items()->Item(index)) && CellOnScreen(list.Handle(), index))
            ++pending;
    return pending;
}

void PumpFor(double seconds)
{
    const double start = Seconds();
    while (Seconds() - start < seconds) {
        PumpMessages();
        CheckSynchronize(0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

int PagingCase(const std::wstring& folder)
{
    constexpr int kFarItem = 3600;
    TBenchForm form(900, 700);
    TZelShellList* list = ShowBenchList(form);
    list->SetThumbnails(true);
    list->SetPath(folder);
    const HWND window = list->Handle();
    UpdateWindow(window);
    SettlePool();
    const int count = list->Items()->Count();
    if (count <= kFarItem) {
        std::fprintf(stderr, "%d items in %ls: too few to page\n", count, folder.c_str());
        return 1;
    }
    SetFocus(window);
    list->Items()->Item(0)->SetFocused(true);
    std::vector<double> first;
    std::vector<double> deep;
    int focused = 0;
    double lastKey = 0;
    while (focused < kFarItem + 200) {
        const double start = Seconds();
        lastKey = start;
        SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(window, WM_KEYUP, VK_NEXT, 0);
        UpdateWindow(window);
        const double cost = Seconds() - start;
        focused = static_cast<int>(
            SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (first.size() < 5)
            first.push_back(cost);
        else if (focused >= kFarItem - 100)
            deep.push_back(cost);
        PumpFor(0.1);
    }
    while (PendingOnScreen(*list) > 0 && Seconds() - lastKey < 60)
        PumpFor(0.01);
    const double filled = Seconds() - lastKey;
    SettlePool();
    std::printf("\npaging %d thumbnails to item %d, Page Down every 0.1 s\n", count, focused);
    std::printf("%34s %9.3fs\n", "a page at the top (median of 5)", Median(first));
    std::printf("%34s %9.3fs %8.2f x the top\n", "a page near item 3,600 (median)", Median(deep),
                Median(deep) / Median(first));
    std::printf("%34s %9.3fs\n", "screen filled after the last key", filled);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_thumbnails <image folder>\n");
        return 2;
    }
    const std::wstring folder = IncludeTrailingBackslash(argv[1]);
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    int result = 0;
    {
        std::vector<std::wstring> paths;
        WIN32_FIND_DATAW data{};
        TScopedFindHandle search(FindFirstFileW((folder + L"*.png").c_str(), &data));
        if (search)
            do
                paths.push_back(folder + data.cFileName);
            while (FindNextFileW(search.get(), &data));
        std::vector<TOwnedIDList> lists;
        for (const std::wstring& path : paths)
            lists.push_back(IDListFromPath(nullptr, path));
        const int count = static_cast<int>(paths.size());

        TCounter thumbnails;
        double start = Seconds();
        for (int index = 0; index < count; ++index) {
            // As the list asks: it knows the file's path.
            auto* item =
                new TThumbnailWorkItem(lists[index], &thumbnails, index, &thumbnails, kSize, kSize);
            item->SetPath(paths[index]);
            WorkerPool->AddWorkItem(item);
        }
        const int poolThreads = WaitFor(thumbnails, count);
        const double pooled = Seconds() - start;
        SettlePool();

        TCounter icons;
        start = Seconds();
        for (int index = 0; index < count; ++index)
            WorkerPool->AddWorkItem(
                new TIconWorkItem(CopyIDList(lists[index]), &icons, &icons, kIconKindNormal));
        WaitFor(icons, count);
        const double iconTime = Seconds() - start;
        SettlePool();

        // As a worker decodes: with the thread's codec cache.
        int decoded = 0;
        double single = 0;
        {
            const TWicThreadCache cache;
            start = Seconds();
            for (const std::wstring& path : paths)
                if (WicThumbnail(path, kSize, kSize, RGB(255, 255, 255)))
                    ++decoded;
            single = Seconds() - start;
        }
        // Without it: a factory made and a decoder searched for each image.
        start = Seconds();
        for (const std::wstring& path : paths)
            WicThumbnail(path, kSize, kSize, RGB(255, 255, 255));
        const double uncached = Seconds() - start;

        // The whole item (shell first, then decoding) on this thread, as a worker runs it.
        TCounter items;
        std::optional<TWicThreadCache> itemCache(std::in_place);
        start = Seconds();
        for (int index = 0; index < count; ++index) {
            const TComPtr<TThumbnailWorkItem> item(
                new TThumbnailWorkItem(lists[index], &items, index, &items, kSize, kSize));
            item->SetPath(paths[index]);
            item->Execute();
            item->ApplyResult();
        }
        const double itemTime = Seconds() - start;
        itemCache.reset();

        const int processors = ProcessorCount();
        start = Seconds();
        const int decodedOnThreads = DecodeOnThreads(paths, processors);
        const double floorTime = Seconds() - start;

        if (count == 0 || thumbnails.pictures != count || decoded != count ||
            items.pictures != count || decodedOnThreads != count) {
            std::fprintf(stderr, "%d images in %ls, %d thumbnails, %d decoded\n", count,
                         folder.c_str(), thumbnails.pictures, decoded);
            result = 1;
        } else {
            std::printf("%d images, thumbnails of %d x %d\n", count, kSize, kSize);
            std::printf("%34s %10s %12s %12s\n", "", "seconds", "per second", "thumbs/this");
            std::printf("%34s %9.3fs %12.0f %12.2f\n", "thumbnails through the pool", pooled,
                        count / pooled, 1.0);
            std::printf("%34s %9.3fs %12.0f %12.2f\n", "icons through the pool (baseline)",
                        iconTime, count / iconTime, pooled / iconTime);
            std::printf("%34s %9.3fs %12.0f %12.2f\n", "decoding on one thread (baseline)", single,
                        count / single, pooled / single);
            std::printf("%34s %9.3fs %12.0f %12.2f\n", "decoding on one thread, no cache", uncached,
                        count / uncached, pooled / uncached);
            std::printf("%34s %9.3fs %12.0f %12.2f\n", "work items on one thread", itemTime,
                        count / itemTime, pooled / itemTime);
            char floorName[64];
            std::snprintf(floorName, sizeof(floorName), "decoding on %d plain threads", processors);
            std::printf("%34s %9.3fs %12.0f %12.2f\n", floorName, floorTime, count / floorTime,
                        pooled / floorTime);
            std::printf("pool: %.2f x one thread's decoding with at most %d threads; %d plain "
                        "threads decode at %.2f x one (the platform's floor)\n",
                        single / pooled, poolThreads, processors, single / floorTime);
        }
    }
    if (result == 0 && argc > 2)
        result = PagingCase(argv[2]);
    return result;
}
