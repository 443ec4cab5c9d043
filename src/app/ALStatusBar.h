#pragma once
// TALStatusBar: a status bar that holds other controls (the path combo of a pane).
#include "ui/StatusBar.h"

class TALStatusBar : public TStatusBar {
public:
    using TStatusBar::TStatusBar;

protected:
    void CreateParams(TCreateParams& params) override;
};
