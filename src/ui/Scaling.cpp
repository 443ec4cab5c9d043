#include "ui/Scaling.h"

#include "core/ScopedResource.h"

int ScreenDpi() noexcept
{
    static const int dpi = [] {
        const TScopedWindowDC screen;
        const int value = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scale(int designPixels) noexcept
{
    return MulDiv(designPixels, ScreenDpi(), 96);
}
