#include "ui/Button.h"

#include "ui/Forms.h"

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    TabStop = true;
    SetBounds(0, 0, 75, 25);
}

TButton::~TButton()
{
    DestroyHandle();
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"BUTTON";
    params.WinClassName = L"Bivista.Button";
    params.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click()
{
    if (ModalResult != 0)
        if (TCustomForm* form = ParentForm(this))
            form->SetModalResult(ModalResult);
    TWinControl::Click();
}

bool TButton::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Click();
        return true;
    }
    return false;
}
