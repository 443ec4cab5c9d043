#pragma once
// A splitter: a thin bar aligned to an edge that the user drags to resize the control aligned
// next to it on that side. Every proposed size goes to OnCanResize first, which may change or
// refuse it; the control follows the drag at once. A size at or below MinSize snaps to 0
// (AutoSnap), and the size never exceeds what leaves MinSize for the rest of the parent. It
// shows as a raised bar with the resize cursor.
#include "ui/WinControl.h"

#include <functional>

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TWinControl {
public:
    // Aligned left, 3 pixels wide; MinSize 30 design pixels.
    explicit TSplitter(TComponent* owner);

    int MinSize;
    bool AutoSnap = true;
    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

    // The sibling this splitter resizes: the visible one aligned to the same edge that
    // touches it on that side; null when none.
    TWinControl* ResizeControl() const;
    bool Dragging() const noexcept { return dragging_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool Horizontal() const noexcept;  // the split runs left to right (top or bottom aligned)
    int MaxSize(const TWinControl* control) const;
    void Paint(HDC dc) const;
    void StartDrag(POINT screen);
    void Drag(POINT screen);
    void EndDrag();

    bool dragging_ = false;
    TWinControl* control_ = nullptr;
    POINT start_{};
    int startSize_ = 0;
    int maxSize_ = 0;
    int lastSize_ = 0;
};
