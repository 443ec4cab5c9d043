#include "common/ImageFiles.h"

#include "core/ComPtr.h"
#include "core/ScopedResource.h"

#include <wincodec.h>

#include <cstdlib>
#include <vector>

bool WriteSolidImage(const std::wstring& path, REFGUID container, UINT width, UINT height,
                     COLORREF colour)
{
    TComInitScope com;
    TComPtr<IWICImagingFactory> factory;
    TComPtr<IWICStream> stream;
    TComPtr<IWICBitmapEncoder> encoder;
    TComPtr<IWICBitmapFrameEncode> frame;
    TComPtr<IPropertyBag2> options;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf()))) ||
        FAILED(factory->CreateStream(stream.GetAddressOf())) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(container, nullptr, encoder.GetAddressOf())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.GetAddressOf(), options.GetAddressOf())) ||
        FAILED(frame->Initialize(options.Get())) || FAILED(frame->SetSize(width, height)))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)))
        return false;
    UINT bytesPerPixel = 0;
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        bytesPerPixel = 3;
    else if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) ||
             IsEqualGUID(format, GUID_WICPixelFormat32bppBGR))
        bytesPerPixel = 4;
    else
        return false;
    const UINT stride = (width * bytesPerPixel + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            BYTE* pixel = &pixels[y * stride + x * bytesPerPixel];
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
            if (bytesPerPixel == 4)
                pixel[3] = 255;
        }
    return SUCCEEDED(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()),
                                        pixels.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

namespace {

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    if (bitmap == nullptr)
        return CLR_INVALID;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

}  // namespace

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    return PixelOf(bitmap, x, y);
}

// The list keeps its strip selected in a device context of its own: the image is drawn out.
COLORREF ImageListPixel(HIMAGELIST images, int index, int x, int y)
{
    int width = 0, height = 0;
    if (images == nullptr || index < 0 || index >= ImageList_GetImageCount(images) ||
        !ImageList_GetIconSize(images, &width, &height))
        return CLR_INVALID;
    const HDC screen = GetDC(nullptr);
    TScopedGdiObject copy(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, copy.get());
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

bool NearColour(COLORREF actual, COLORREF expected, int tolerance)
{
    if (actual == CLR_INVALID)
        return false;
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}
