#include "threadpool/WicThumbnail.h"

#include "core/ComPtr.h"
#include "core/PathText.h"
#include "core/TextCompare.h"

#include <wincodec.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

bool IsWicImageFile(const std::wstring& path)
{
    static const wchar_t* const kExtensions[] = {L".PNG",  L".JPG",  L".JPEG", L".JPE",
                                                 L".JFIF", L".GIF",  L".BMP",  L".DIB",
                                                 L".TIF",  L".TIFF", L".ICO"};
    const std::wstring extension = UpperCase(ExtractFileExt(path));
    return std::find_if(std::begin(kExtensions), std::end(kExtensions), [&](const wchar_t* known) {
               return extension == known;
           }) != std::end(kExtensions);
}

// The decoders that WIC has for the extensions above, in the order of kDecoders.
struct TWicThreadCache::TState {
    TComPtr<IWICImagingFactory> factory;
    std::array<TComPtr<IClassFactory>, 6> decoders;
    std::array<bool, 6> looked{};
};

namespace {

thread_local TWicThreadCache::TState* threadCache = nullptr;

struct TDecoderKind {
    const CLSID* decoder;
    const wchar_t* extensions[4];
};
const TDecoderKind kDecoders[] = {
    {&CLSID_WICPngDecoder, {L".PNG"}},
    {&CLSID_WICJpegDecoder, {L".JPG", L".JPEG", L".JPE", L".JFIF"}},
    {&CLSID_WICGifDecoder, {L".GIF"}},
    {&CLSID_WICBmpDecoder, {L".BMP", L".DIB"}},
    {&CLSID_WICTiffDecoder, {L".TIF", L".TIFF"}},
    {&CLSID_WICIcoDecoder, {L".ICO"}},
};

int DecoderKindOf(const std::wstring& path)
{
    const std::wstring extension = UpperCase(ExtractFileExt(path));
    for (size_t kind = 0; kind < std::size(kDecoders); ++kind)
        for (const wchar_t* known : kDecoders[kind].extensions)
            if (known != nullptr && extension == known)
                return static_cast<int>(kind);
    return -1;
}

// The decoder that the extension names, from the thread's cache, on the file: WIC's own search
// asks the registry for every decoder and reads the file's first bytes against each. Null when
// the thread keeps no cache, or the file is not what its extension says.
TComPtr<IWICBitmapDecoder> CachedDecoder(IWICImagingFactory* factory, const std::wstring& path)
{
    TWicThreadCache::TState* cache = threadCache;
    const int kind = DecoderKindOf(path);
    if (cache == nullptr || kind < 0)
        return {};
    TComPtr<IClassFactory>& classObject = cache->decoders[static_cast<size_t>(kind)];
    if (!cache->looked[static_cast<size_t>(kind)]) {
        cache->looked[static_cast<size_t>(kind)] = true;
        CoGetClassObject(*kDecoders[kind].decoder, CLSCTX_INPROC_SERVER, nullptr,
                         IID_PPV_ARGS(classObject.GetAddressOf()));
    }
    TComPtr<IWICStream> stream;
    TComPtr<IWICBitmapDecoder> decoder;
    if (!classObject || FAILED(factory->CreateStream(stream.GetAddressOf())) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_READ)) ||
        FAILED(classObject->CreateInstance(nullptr, IID_PPV_ARGS(decoder.GetAddressOf()))) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)))
        return {};
    return decoder;
}

// The frame as straight BGRA pixels of `size`, or nothing.
bool DecodeScaled(IWICImagingFactory* factory, const std::wstring& path, int width, int height,
                  SIZE& size, std::vector<BYTE>& pixels)
{
    TComPtr<IWICBitmapDecoder> decoder = CachedDecoder(factory, path);
    if (!decoder && FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                              WICDecodeMetadataCacheOnDemand,
                                                              decoder.GetAddressOf())))
        return false;
    TComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.GetAddressOf())))
        return false;
    UINT sourceWidth = 0, sourceHeight = 0;
    if (FAILED(frame->GetSize(&sourceWidth, &sourceHeight)) || sourceWidth == 0 ||
        sourceHeight == 0)
        return false;
    const double scale = std::min({1.0, static_cast<double>(width) / sourceWidth,
                                   static_cast<double>(height) / sourceHeight});
    size.cx = std::clamp(static_cast<int>(std::lround(sourceWidth * scale)), 1, width);
    size.cy = std::clamp(static_cast<int>(std::lround(sourceHeight * scale)), 1, height);

    TComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    TComPtr<IWICBitmapSource> source = converter;
    if (static_cast<UINT>(size.cx) != sourceWidth || static_cast<UINT>(size.cy) != sourceHeight) {
        TComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory->CreateBitmapScaler(scaler.GetAddressOf())) ||
            FAILED(scaler->Initialize(converter.Get(), static_cast<UINT>(size.cx),
                                      static_cast<UINT>(size.cy), WICBitmapInterpolationModeFant)))
            return false;
        source = scaler;
    }
    const UINT stride = static_cast<UINT>(size.cx) * 4;
    pixels.resize(static_cast<size_t>(stride) * static_cast<size_t>(size.cy));
    return SUCCEEDED(
        source->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()));
}

}  // namespace

TScopedGdiObject WicThumbnail(const std::wstring& path, int width, int height, COLORREF background)
{
    if (path.empty() || width <= 0 || height <= 0)
        return {};
    TComInitScope com;  // a thread of the pool has COM already; this only balances
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    TComPtr<IWICImagingFactory> factory;
    if (threadCache != nullptr)
        factory = threadCache->factory;
    if (!factory) {
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory.GetAddressOf()))))
            return {};
        if (threadCache != nullptr)
            threadCache->factory = factory;
    }
    SIZE size{};
    std::vector<BYTE> pixels;
    try {
        if (!DecodeScaled(factory.Get(), path, width, height, size, pixels))
            return {};
    } catch (const std::bad_alloc&) {
        return {};
    }

    // Opaque throughout: an image list of 32-bit images draws pixels whose alpha is zero as
    // see-through.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as WIC gives its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TScopedGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr)
        return {};
    const BYTE backgroundPixel[4] = {GetBValue(background), GetGValue(background),
                                     GetRValue(background), 255};
    auto* target = static_cast<BYTE*>(bits);
    for (size_t index = 0; index < static_cast<size_t>(width) * height; ++index)
        std::copy_n(backgroundPixel, 4, &target[index * 4]);
    // Centred; transparent parts show the background.
    const int left = (width - size.cx) / 2;
    const int top = (height - size.cy) / 2;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const BYTE* source = &pixels[(static_cast<size_t>(y) * size.cx + x) * 4];
            BYTE* pixel = &target[(static_cast<size_t>(top + y) * width + left + x) * 4];
            const int alpha = source[3];
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] = static_cast<BYTE>(
                    (source[channel] * alpha + pixel[channel] * (255 - alpha) + 127) / 255);
        }
    GdiFlush();
    return bitmap;
}

TWicThreadCache::TWicThreadCache() : state_(new TState)
{
    threadCache = state_;
}

TWicThreadCache::~TWicThreadCache()
{
    threadCache = nullptr;
    delete state_;
}
