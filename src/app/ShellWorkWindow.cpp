#include "app/ShellWorkWindow.h"

#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/Scaling.h"

TfrmShellWork::TfrmShellWork(TComponent* owner) : TForm(owner)
{
    ReasonLabel = MakeOwned<TLabel>(this);
    AdviceLabel = MakeOwned<TLabel>(this);
    QuitButton = MakeOwned<TButton>(this);

    BeginFormLoading();
    Name = L"frmShellWork";
    SetCaption(L"Bivista");
    BorderStyle = TFormBorderStyle::bsDialog;
    Position = TPosition::poScreenCenter;
    SetClientSize(Scale(400), Scale(100));
    Font().SetName(L"Tahoma");
    Font().SetSize(8);

    ReasonLabel->SetParent(this);
    ReasonLabel->SetCaption(L"A file operation started in Bivista is still running.");
    ReasonLabel->SetBounds(Scale(16), Scale(16), Scale(368), Scale(16));
    AdviceLabel->SetParent(this);
    AdviceLabel->SetCaption(L"Bivista closes when it ends. Quitting now may leave it half done.");
    AdviceLabel->SetBounds(Scale(16), Scale(36), Scale(368), Scale(16));
    for (TLabel* label : {ReasonLabel, AdviceLabel}) {
        label->Font().SetName(L"Tahoma");
        label->Font().SetSize(8);
    }

    QuitButton->SetParent(this);
    QuitButton->SetCaption(L"Quit Now");
    QuitButton->SetBounds(Scale(294), Scale(64), Scale(90), Scale(26));
    QuitButton->Font().SetName(L"Tahoma");
    QuitButton->Font().SetSize(8);
    QuitButton->OnClick = [this](TObject*) { quitChosen_ = true; };
    // Alt+F4 and the like keep waiting.
    OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caNone; };
    EndFormLoading();
}

TfrmShellWork::~TfrmShellWork()
{
    DoDestroy();
    DestroyHandle();
    DestroyComponents();
}

void TfrmShellWork::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.Style &= ~WS_SYSMENU;
}
