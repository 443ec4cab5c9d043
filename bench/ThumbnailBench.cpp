// Thumbnails per second for a folder of 1,000 images that the shell gives no thumbnails for
// (Wine's shell gives none), through the worker pool as the list asks for them, against two
// baselines of the same run: the icon look-ups of the same files through the pool, and the
// decoding alone on one thread.
//
// Usage: bench_thumbnails.exe <folder of images>
#include "ShellBenchSupport.h"
#include "core/PathText.h"
#include "threadpool/WicThumbnail.h"
#include "threadpool/ZelWorkItems.h"

#include <cstdio>
#include <string>
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

void WaitFor(const TCounter& counter, int count)
{
    while (counter.results < count) {
        PumpMessages();
        CheckSynchronize(5);
    }
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
        for (int index = 0; index < count; ++index)
            WorkerPool->AddWorkItem(new TThumbnailWorkItem(lists[index], &thumbnails, index,
                                                           &thumbnails, kSize, kSize));
        WaitFor(thumbnails, count);
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

        int decoded = 0;
        start = Seconds();
        for (const std::wstring& path : paths)
            if (WicThumbnail(path, kSize, kSize, RGB(255, 255, 255)))
                ++decoded;
        const double single = Seconds() - start;

        if (count == 0 || thumbnails.pictures != count || decoded != count) {
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
        }
    }
    return result;
}
