#include "ui/SpeedButton.h"

#include "core/ScopedResource.h"
#include "ui/AccessibleClient.h"
#include "ui/Forms.h"

#include <oleacc.h>
#include <uxtheme.h>
#include <vsstyle.h>
#include <windowsx.h>

TSpeedButton::TSpeedButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton()
{
    if (images_ != nullptr)
        images_->RemoveFreeNotification(this);
    DestroyHandle();
}

void TSpeedButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"Bivista.SpeedButton";
    params.ClassStyle = CS_HREDRAW | CS_VREDRAW;  // no double clicks: two quick clicks are two
}

void TSpeedButton::CreateWnd()
{
    TWinControl::CreateWnd();
    RegisterHint(this);
}

void TSpeedButton::WindowDestroying()
{
    UnregisterHint(this);
    TWinControl::WindowDestroying();
}

template <class Action>
void TSpeedButton::ForEachInGroup(Action action)
{
    TWinControl* parent = Parent();
    if (parent == nullptr || groupIndex_ == 0)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
        if (other != nullptr && other != this && other->groupIndex_ == groupIndex_)
            action(other);
    }
}

void TSpeedButton::SetGroupIndex(int index)
{
    groupIndex_ = index;
    if (index == 0)
        SetDown(false);
}

void TSpeedButton::SetDown(bool down)
{
    if (groupIndex_ == 0)
        down = false;
    if (down == down_)
        return;
    down_ = down;
    if (down)
        ForEachInGroup([](TSpeedButton* other) {
            if (other->down_) {
                other->down_ = false;
                other->Invalidate();
            }
        });
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool allow)
{
    allowAllUp_ = allow;
    ForEachInGroup([allow](TSpeedButton* other) { other->allowAllUp_ = allow; });
}

void TSpeedButton::SetGlyph(TCustomImageList* images, int index)
{
    if (images_ != nullptr && images_ != images)
        images_->RemoveFreeNotification(this);
    images_ = images;
    imageIndex_ = index;
    if (images_ != nullptr)
        images_->FreeNotification(this);
    Invalidate();
}

void TSpeedButton::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_)
        images_ = nullptr;
}

void TSpeedButton::Click()
{
    if (groupIndex_ != 0) {
        if (!down_)
            SetDown(true);
        else if (allowAllUp_)
            SetDown(false);
    }
    TWinControl::Click();
}

void TSpeedButton::MouseEnter()
{
    hot_ = true;
    Invalidate();
    TWinControl::MouseEnter();
}

void TSpeedButton::MouseLeave()
{
    hot_ = false;
    Invalidate();
    TWinControl::MouseLeave();
}

void TSpeedButton::TellAccessibleFacts(TAccessibleFacts& facts) const
{
    facts.Name = Hint.empty() ? Caption() : Hint;
    facts.Role = ROLE_SYSTEM_PUSHBUTTON;
    if (groupIndex_ != 0 && down_)
        facts.State |= STATE_SYSTEM_PRESSED;
    if (!Enabled())
        facts.State |= STATE_SYSTEM_UNAVAILABLE;
    if (hot_)
        facts.State |= STATE_SYSTEM_HOTTRACKED;
    facts.DefaultAction = L"Press";
}

void TSpeedButton::WndProc(TMessage& message)
{
    if (message.Msg == AccessibleFactsMessage()) {
        TellAccessibleFacts(*reinterpret_cast<TAccessibleFacts*>(message.LParam));
        message.Result = TRUE;
        return;
    }
    switch (message.Msg) {
    case WM_GETOBJECT:
        message.Result = AnswerAccessibleClient(WindowHandle(), message.WParam, message.LParam);
        if (message.Result != 0)
            return;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(WindowHandle(), &paint);
        Paint(dc);
        EndPaint(WindowHandle(), &paint);
        return;
    }
    case WM_MOUSEACTIVATE:
        // A click activates the window but leaves the focus where it was.
        message.Result = MA_ACTIVATE;
        return;
    case WM_LBUTTONDOWN:
        TWinControl::WndProc(message);
        if (Enabled()) {
            pressed_ = true;
            SetCapture(WindowHandle());
            Invalidate();
        }
        return;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (GetCapture() == WindowHandle())
            ReleaseCapture();
        TWinControl::WndProc(message);
        const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        const RECT client = ClientRect();
        Invalidate();
        if (wasPressed && Enabled() && PtInRect(&client, point))
            Click();
        return;
    }
    case WM_CAPTURECHANGED:
        if (pressed_ && reinterpret_cast<HWND>(message.LParam) != WindowHandle()) {
            pressed_ = false;
            Invalidate();
        }
        break;
    case WM_ENABLE: Invalidate(); break;
    case BM_GETCHECK: message.Result = down_ ? BST_CHECKED : BST_UNCHECKED; return;
    case BM_SETCHECK:
        SetDown(message.WParam == BST_CHECKED);
        message.Result = 0;
        return;
    case BM_CLICK:
        if (Enabled())
            Click();
        message.Result = 0;
        return;
    default: break;
    }
    TWinControl::WndProc(message);
}

void TSpeedButton::Paint(HDC dc)
{
    RECT rect = ClientRect();
    const bool enabled = Enabled();
    const bool sunken = down_ || pressed_;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));

    bool themed = false;
    if (IsThemeActive() && IsAppThemed()) {
        if (HTHEME theme = OpenThemeData(WindowHandle(), L"TOOLBAR")) {
            int state = TS_NORMAL;
            if (!enabled)
                state = TS_DISABLED;
            else if (down_)
                state = hot_ ? TS_HOTCHECKED : TS_CHECKED;
            else if (pressed_)
                state = TS_PRESSED;
            else if (hot_)
                state = TS_HOT;
            if (state != TS_NORMAL || !Flat)
                DrawThemeBackground(theme, dc, TP_BUTTON, state, &rect, nullptr);
            CloseThemeData(theme);
            themed = true;
        }
    }
    if (!themed) {
        if (down_ && !pressed_) {
            // The checked look: a light dither behind the picture.
            static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            const TScopedGdiObject bits(CreateBitmap(8, 8, 1, 1, pattern));
            const TScopedGdiObject brush(bits ? CreatePatternBrush(static_cast<HBITMAP>(bits.get()))
                                              : nullptr);
            if (brush) {
                SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
                SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
                RECT inner = rect;
                InflateRect(&inner, -1, -1);
                FillRect(dc, &inner, static_cast<HBRUSH>(brush.get()));
            }
        }
        if (sunken)
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
        else if (hot_ && enabled)
            DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
        else if (!Flat)
            DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    }

    const int shift = sunken ? 1 : 0;
    if (images_ != nullptr && imageIndex_ >= 0 && imageIndex_ < images_->Count()) {
        const int x = (rect.right - rect.left - images_->Width()) / 2 + shift;
        const int y = (rect.bottom - rect.top - images_->Height()) / 2 + shift;
        images_->Draw(dc, x, y, imageIndex_,
                      enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50);
        return;
    }
    const std::wstring text = Caption();
    if (text.empty())
        return;
    const int saved = SaveDC(dc);
    SelectObject(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    OffsetRect(&rect, shift, shift);
    if (!enabled) {
        RECT shadow = rect;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, text.c_str(), -1, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, Font().Color());
    }
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
}
