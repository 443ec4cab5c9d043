#include "ui/Splitter.h"

#include "ui/Scaling.h"

#include <windowsx.h>

#include <algorithm>

TSplitter::TSplitter(TComponent* owner) : TWinControl(owner), MinSize(Scale(30))
{
    SetBounds(0, 0, 3, 100);
    SetAlign(TAlign::alLeft);
}

void TSplitter::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"Bivista.Splitter";
    params.ClassStyle = 0;  // two quick drags are two drags, not a double click
}

bool TSplitter::Horizontal() const noexcept
{
    return Align() == TAlign::alTop || Align() == TAlign::alBottom;
}

TWinControl* TSplitter::ResizeControl() const
{
    TWinControl* parent = Parent();
    if (parent == nullptr || Align() == TAlign::alNone || Align() == TAlign::alClient)
        return nullptr;
    POINT probe{};
    switch (Align()) {
    case TAlign::alLeft: probe = {Left() - 1, Top()}; break;
    case TAlign::alRight: probe = {Left() + Width(), Top()}; break;
    case TAlign::alTop: probe = {Left(), Top() - 1}; break;
    default: probe = {Left(), Top() + Height()}; break;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TWinControl* sibling = parent->Controls(i);
        if (sibling == this || !sibling->Visible() || sibling->Align() != Align())
            continue;
        RECT bounds{sibling->Left(), sibling->Top(), sibling->Left() + sibling->Width(),
                    sibling->Top() + sibling->Height()};
        // A control squeezed to nothing still counts as touching.
        if (bounds.right == bounds.left) {
            if (Align() == TAlign::alLeft || Align() == TAlign::alTop)
                --bounds.left;
            else
                ++bounds.right;
        }
        if (bounds.bottom == bounds.top) {
            if (Align() == TAlign::alLeft || Align() == TAlign::alTop)
                --bounds.top;
            else
                ++bounds.bottom;
        }
        if (PtInRect(&bounds, probe))
            return sibling;
    }
    return nullptr;
}

int TSplitter::MaxSize(const TWinControl* control) const
{
    const TWinControl* parent = Parent();
    int size = (Horizontal() ? parent->ClientHeight() : parent->ClientWidth()) - MinSize;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const TWinControl* sibling = parent->Controls(i);
        if (!sibling->Visible())
            continue;
        if (Horizontal() &&
            (sibling->Align() == TAlign::alTop || sibling->Align() == TAlign::alBottom))
            size -= sibling->Height();
        if (!Horizontal() &&
            (sibling->Align() == TAlign::alLeft || sibling->Align() == TAlign::alRight))
            size -= sibling->Width();
    }
    return size + (Horizontal() ? control->Height() : control->Width());
}

void TSplitter::StartDrag(POINT screen)
{
    control_ = ResizeControl();
    if (control_ == nullptr)
        return;
    dragging_ = true;
    start_ = screen;
    startSize_ = Horizontal() ? control_->Height() : control_->Width();
    lastSize_ = startSize_;
    maxSize_ = MaxSize(control_);
    SetCapture(WindowHandle());
}

void TSplitter::Drag(POINT screen)
{
    if (!dragging_ || control_ == nullptr)
        return;
    int delta = 0;
    switch (Align()) {
    case TAlign::alLeft: delta = screen.x - start_.x; break;
    case TAlign::alRight: delta = start_.x - screen.x; break;
    case TAlign::alTop: delta = screen.y - start_.y; break;
    default: delta = start_.y - screen.y; break;
    }
    int size = std::clamp(startSize_ + delta, std::min(MinSize, maxSize_), std::max(maxSize_, 0));
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, size, accept);
    if (!accept)
        return;
    if (AutoSnap && size <= MinSize)
        size = 0;
    if (size == lastSize_)
        return;
    lastSize_ = size;
    if (Horizontal())
        control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), size);
    else
        control_->SetBounds(control_->Left(), control_->Top(), size, control_->Height());
    if (TWinControl* parent = Parent())
        parent->Update();
}

void TSplitter::EndDrag()
{
    if (!dragging_)
        return;
    dragging_ = false;
    control_ = nullptr;
    if (GetCapture() == WindowHandle())
        ReleaseCapture();
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::Paint(HDC dc) const
{
    // A raised bar: a light and a dark line along its length, visible beside a white list
    // as beside a grey panel.
    RECT rect = ClientRect();
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rect, BDR_RAISEDINNER, Horizontal() ? BF_TOP | BF_BOTTOM : BF_LEFT | BF_RIGHT);
}

void TSplitter::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = TRUE; return;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(WindowHandle(), &paint);
        Paint(dc);
        EndPaint(WindowHandle(), &paint);
        return;
    }
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, Horizontal() ? IDC_SIZENS : IDC_SIZEWE));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
        TWinControl::WndProc(message);
        StartDrag(
            ClientToScreen(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}));
        return;
    case WM_MOUSEMOVE:
        TWinControl::WndProc(message);
        if (dragging_)
            Drag(ClientToScreen(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}));
        return;
    case WM_LBUTTONUP:
        TWinControl::WndProc(message);
        EndDrag();
        return;
    case WM_CAPTURECHANGED:
        if (dragging_ && reinterpret_cast<HWND>(message.LParam) != WindowHandle())
            EndDrag();
        break;
    default: break;
    }
    TWinControl::WndProc(message);
}
