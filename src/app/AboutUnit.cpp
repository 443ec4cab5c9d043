#include "app/AboutUnit.h"

#include "ui/Button.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/Scaling.h"

const wchar_t* LicenseTerms()
{
    return L"Bivista V1.3 - a two-pane file explorer.\r\n"
           L"\r\n"
           L"Permission is hereby granted, free of charge, to any person obtaining a copy of "
           L"this software and associated documentation files (the \"Software\"), to deal in "
           L"the Software without restriction, including without limitation the rights to use, "
           L"copy, modify, merge, publish, distribute, sublicense, and/or sell copies of the "
           L"Software, and to permit persons to whom the Software is furnished to do so, "
           L"subject to the following conditions:\r\n"
           L"\r\n"
           L"The above copyright notice and this permission notice shall be included in all "
           L"copies or substantial portions of the Software.\r\n"
           L"\r\n"
           L"THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR "
           L"IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS "
           L"FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR "
           L"COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN "
           L"AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION "
           L"WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.\r\n";
}

TfrmAbout::TfrmAbout(TComponent* owner) : TForm(owner)
{
    AboutGroup = MakeOwned<TGroupBox>(this);
    ProgramIcon = MakeOwned<TImage>(this);
    ProductName = MakeOwned<TLabel>(this);
    ProductLine = MakeOwned<TLabel>(this);
    LicenseGroup = MakeOwned<TGroupBox>(this);
    LicenseText = MakeOwned<TMemo>(this);
    AcceptButton = MakeOwned<TButton>(this);

    BeginFormLoading();
    Name = L"frmAbout";
    SetCaption(L"About Bivista");
    BorderStyle = TFormBorderStyle::bsDialog;
    Position = TPosition::poScreenCenter;
    SetBounds(0, 0, Scale(650), Scale(532));
    Font().SetName(L"Tahoma");
    Font().SetSize(8);

    AboutGroup->SetParent(this);
    AboutGroup->SetCaption(L"About");
    AboutGroup->SetBounds(Scale(8), Scale(8), Scale(626), Scale(96));
    ProgramIcon->SetParent(AboutGroup);
    ProgramIcon->SetBounds(Scale(16), Scale(28), Scale(32), Scale(32));
    ProgramIcon->SetIcon(static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Scale(32), Scale(32), LR_SHARED)));
    ProductName->SetParent(AboutGroup);
    ProductName->SetCaption(L"Bivista V1.3");
    ProductName->SetBounds(Scale(64), Scale(24), Scale(300), Scale(24));
    ProductName->Font().SetName(L"Tahoma");
    ProductName->Font().SetSize(14);
    ProductName->Font().SetBold(true);
    ProductLine->SetParent(AboutGroup);
    ProductLine->SetCaption(L"A two-pane file explorer for the whole shell namespace.");
    ProductLine->SetBounds(Scale(64), Scale(58), Scale(400), Scale(16));
    ProductLine->Font().SetName(L"Tahoma");
    ProductLine->Font().SetSize(8);

    LicenseGroup->SetParent(this);
    LicenseGroup->SetCaption(L"License");
    LicenseGroup->SetBounds(Scale(8), Scale(112), Scale(626), Scale(336));
    LicenseText->SetParent(LicenseGroup);
    LicenseText->ReadOnly = true;
    LicenseText->SetBounds(Scale(12), Scale(22), Scale(602), Scale(302));
    LicenseText->SetText(LicenseTerms());
    LicenseText->Font().SetName(L"Tahoma");
    LicenseText->Font().SetSize(8);

    AcceptButton->SetParent(this);
    AcceptButton->SetCaption(L"Accept");
    AcceptButton->ModalResult = mrOk;
    AcceptButton->Default = true;
    AcceptButton->SetBounds(Scale(280), Scale(460), Scale(90), Scale(28));
    AcceptButton->Font().SetName(L"Tahoma");
    AcceptButton->Font().SetSize(8);
    EndFormLoading();
}

TfrmAbout::~TfrmAbout()
{
    DoDestroy();
    DestroyHandle();
    DestroyComponents();
}
