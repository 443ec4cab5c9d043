#include "ui/Image.h"

TImage::TImage(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 32, 32);
}

TImage::~TImage()
{
    DestroyHandle();
}

void TImage::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"Bivista.Image";
}

void TImage::SetIcon(HICON icon)
{
    icon_ = icon;
    Invalidate();
}

void TImage::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(WindowHandle(), &paint);
        if (icon_ != nullptr)
            DrawIconEx(dc, 0, 0, icon_, Width(), Height(), 0, nullptr, DI_NORMAL);
        EndPaint(WindowHandle(), &paint);
        return;
    }
    TWinControl::WndProc(message);
}
