#pragma once
// TfrmShellWork: shown at exit while the shell still copies, moves or deletes on threads of
// this process, so that a program that seems closed is not left running unexplained. It says
// why, and offers to quit anyway; only that button ends the wait early.
#include "ui/Forms.h"

class TButton;
class TLabel;

class TfrmShellWork : public TForm {
public:
    explicit TfrmShellWork(TComponent* owner);
    ~TfrmShellWork() override;

    TLabel* ReasonLabel = nullptr;
    TLabel* AdviceLabel = nullptr;
    TButton* QuitButton = nullptr;

    bool QuitChosen() const noexcept { return quitChosen_; }

protected:
    // No close box: closing the window is not a way to quit by mistake.
    void CreateParams(TCreateParams& params) override;

private:
    bool quitChosen_ = false;
};
