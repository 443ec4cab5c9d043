#pragma once
// TfrmAbout: the about box, shown modally from the Help menu; "Accept" closes it with OK.
#include "ui/Forms.h"

class TButton;
class TGroupBox;
class TImage;
class TLabel;
class TMemo;

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* owner);
    ~TfrmAbout() override;

    TGroupBox* AboutGroup = nullptr;
    TImage* ProgramIcon = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* ProductLine = nullptr;
    TGroupBox* LicenseGroup = nullptr;
    TMemo* LicenseText = nullptr;
    TButton* AcceptButton = nullptr;
};

// The licence terms the box shows.
const wchar_t* LicenseTerms();
