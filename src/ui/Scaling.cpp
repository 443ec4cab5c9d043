#include "ui/Scaling.h"

int ScreenDpi() noexcept
{
    static const int dpi = [] {
        const HDC screen = GetDC(nullptr);
        const int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen != nullptr)
            ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scale(int designPixels) noexcept
{
    return MulDiv(designPixels, ScreenDpi(), 96);
}
