#include "app/ALStatusBar.h"

void TALStatusBar::CreateParams(TCreateParams& params)
{
    TStatusBar::CreateParams(params);
    // Its children draw themselves; the bar paints around them.
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
    params.WinClassName = L"Bivista.ALStatusBar";
}
