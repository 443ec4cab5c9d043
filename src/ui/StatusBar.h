#pragma once
// A status bar (the common control) with panels of fixed widths. It is laid out like any
// aligned control (bottom by default) and never places itself: the common control's own
// habit of sticking to its parent's bottom edge is switched off.
#include "ui/WinControl.h"

#include <string>
#include <vector>

struct TStatusPanel {
    int Width = 50;
    std::wstring Text;
    // Drawn in the selection's colours, to single the bar out among others.
    bool Marked = false;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    int PanelCount() const noexcept { return static_cast<int>(panels_.size()); }
    const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }
    void SetPanels(std::vector<TStatusPanel> panels);
    void SetPanelText(int index, const std::wstring& text);
    void SetPanelMarked(int index, bool marked);
    bool SizeGrip = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    bool ReflectedMessage(TMessage& message) override;

private:
    void ApplyPanels();
    void SendPanelText(int index) const;

    std::vector<TStatusPanel> panels_;
};
