#pragma once
// The window base of the controls: a component that owns one window, makes it when first
// needed, destroys and re-creates it keeping its state, and routes the window's messages to
// virtual handlers and On... events. A control's window is a copy of a system class (or a
// class of its own) whose messages pass through the control first; notifications a control
// sends to its parent window come back to the control (see ReflectedMessage).
#include "core/Component.h"
#include "ui/Font.h"
#include "ui/UITypes.h"
#include "ui/WinMessage.h"

#include <functional>
#include <string>
#include <vector>

class TPopupMenu;
class TCustomForm;

// What CreateWnd creates: window styles, position, parent and class.
struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // The class registered for the control. With SystemClassName it copies that class (its
    // procedure becomes the control's default handler); without, DefWindowProc is.
    std::wstring WinClassName;
    std::wstring SystemClassName;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
};

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, wchar_t& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TContextPopupEvent = std::function<void(TObject* Sender, POINT MousePos, bool& Handled)>;

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    // Destroys the window. A derived control whose handlers use its own members destroys the
    // window in its own destructor (DestroyHandle), while those members still exist.
    ~TWinControl() override;

    // The window, made (with the parent's) when first asked for.
    HWND Handle();
    // The window if it exists, else null; never makes one.
    HWND WindowHandle() const noexcept { return handle_; }
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window (and the children's); the control keeps its state for the next one.
    void DestroyHandle();
    // Destroys and makes the window again with the same state; nothing without a window.
    void RecreateWnd();
    HWND ComponentWindow() const override { return handle_; }

    // The control this one sits in, or a foreign window to sit in (not both).
    TWinControl* Parent() const noexcept { return parent_; }
    void SetParent(TWinControl* parent);
    HWND ParentWindow() const noexcept { return parentWindow_; }
    void SetParentWindow(HWND window);
    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TWinControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

    // Position and size within the parent's client area (screen for a top-level window).
    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetBounds(int left, int top, int width, int height);
    // Aligned controls are placed by their parent, which lays them out again after every
    // change of its size or of theirs.
    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign align);
    // Lays out the aligned children now.
    void Realign();
    RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;

    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    TFont& Font() noexcept { return font_; }

    // The focus is on the control's own window.
    bool Focused() const;
    // The focus is on the control's window or on a window inside it (the edit of a combo box).
    bool ContainsFocus() const;
    // The window is the control's own or lies inside it.
    bool ContainsWindow(HWND window) const;
    void SetFocus();
    void Invalidate();
    void Update();
    void Repaint();

    // Shown on a right click or the context-menu key unless OnContextPopup handles it.
    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    bool ShowHint = false;
    std::wstring Hint;
    // Reached by the Tab key (in the order the controls were placed in their parents).
    bool TabStop = false;

    // The control that owns a window, or null.
    static TWinControl* FindControl(HWND window);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TContextPopupEvent OnContextPopup;

protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window from CreateParams; an override calls this first and then gives the new
    // window the control's state.
    virtual void CreateWnd();
    // Destroys the window.
    virtual void DestroyWnd();
    // The window is being destroyed (WM_DESTROY) and still answers: keep what it holds that
    // the next window needs. Runs for every destruction, also one the control did not start.
    virtual void WindowDestroying() {}

    // Every message of the window. An override handles what it wants and passes the rest on
    // to this one, which ends in DefaultHandler.
    virtual void WndProc(TMessage& message);
    // The window class's own procedure.
    void DefaultHandler(TMessage& message);
    // A WM_NOTIFY, WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM or WM_CTLCOLOR... message that the
    // control's window sent to its parent; true when the control answered it.
    virtual bool ReflectedMessage(TMessage& message) { return false; }
    // A child window was created in this control's window (WM_PARENTNOTIFY).
    virtual void ChildWindowCreated(HWND child) {}
    // The part of the client area that the aligned children share (a panel keeps its bevels).
    virtual RECT AlignArea() const { return ClientRect(); }
    // The focus came to (or left for `other`) `control`, which sits in this top-level
    // control. A form answers true and fires the enter and exit events itself, only when its
    // active control changes; otherwise the control fires them on every focus message.
    virtual bool FocusMoved(TWinControl* control, bool entering, HWND other) { return false; }

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Click();
    virtual void DblClick();
    virtual void DoEnter();
    virtual void DoExit();
    virtual void Resize();
    // A context menu was asked for at `mousePos` (client coordinates; (-1, -1) from the
    // keyboard) in the control's window or in a window inside it that passed the request up
    // (an edit or list that makes part of the control). Raises OnContextPopup, then shows
    // PopupMenu unless handled; a request not handled goes on to the parent window.
    virtual void DoContextPopup(POINT mousePos, bool& handled);

    void Notification(TComponent* component, TOperation operation) override;

public:
    // Where the next child-window identifier search starts (tests reach the wrap-around
    // without making 32,767 windows).
    static void SetNextChildId(UINT id) noexcept;

private:
    friend LRESULT CALLBACK ControlWindowProcedure(HWND, UINT, WPARAM, LPARAM);
    friend class TWinControlAccess;
    friend class TCustomForm;
    void CreateHandle();
    bool RouteFocus(bool entering, HWND other);
    // A change of this control's place or visibility: the parent lays its children out again.
    void AlignmentChanged();
    void AttachWindow(HWND window);
    void DetachWindow();
    void InsertControl(TWinControl* control);
    void RemoveControl(TWinControl* control);
    void ReadBounds();
    void FontChanged();
    void HandleMouseMoveTracking();
    HWND ParentHandleForCreation();

    HWND handle_ = nullptr;
    UINT childId_ = 0;  // 0: a top-level window
    WNDPROC defaultProc_ = nullptr;
    TWinControl* parent_ = nullptr;
    HWND parentWindow_ = nullptr;
    std::vector<TWinControl*> controls_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool aligning_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseInside_ = false;
    bool destroyingNotified_ = false;
    std::wstring caption_;
    TFont font_;
    TPopupMenu* popupMenu_ = nullptr;
};
