#pragma once
// A panel: a plain container with up to two bevels (outer and inner, each raised or
// lowered) and an optional centred caption. Aligned children share what the bevels leave.
#include "ui/WinControl.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    // A raised outer bevel, no inner one.
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int width);
    // Pixels that the bevels take from each edge.
    int BorderExtent() const noexcept;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    RECT AlignArea() const override;

private:
    void Paint(HDC dc);
    void BevelsChanged();

    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
};
