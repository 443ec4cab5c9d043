#include "common/TestForm.h"

TTestForm::TTestForm(TComponent* owner, int width, int height) : TWinControl(owner)
{
    SetBounds(0, 0, width, height);
    SetCaption(L"Bivista test");
}

TTestForm::~TTestForm()
{
    DestroyHandle();
}

void TTestForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    params.WndParent = nullptr;
    params.WinClassName = L"Bivista.TestForm";
}

void TTestForm::Activate()
{
    HWND window = Handle();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    UpdateWindow(window);
}
