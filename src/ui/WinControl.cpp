#include "ui/WinControl.h"

#include "core/CriticalSection.h"
#include "core/Exception.h"
#include "core/TextConversion.h"
#include "ui/Application.h"
#include "ui/Cursor.h"
#include "ui/Menus.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace {

const wchar_t kControlProperty[] = L"Bivista.Control";

// The controls by window, for the lookup every message makes. (The window property that
// names the control too is a server round trip per lookup under Wine.)
struct TControlsByWindow {
    TCriticalSection lock;
    std::unordered_map<HWND, TWinControl*> controls;
};

TControlsByWindow& ControlsByWindow()
{
    static TControlsByWindow* registry = new TControlsByWindow;  // lives as long as windows
    return *registry;
}

// The control whose window CreateWindowEx is making; its first message attaches it.
thread_local TWinControl* creatingControl = nullptr;

// Child-window identifiers. WM_MEASUREITEM names its control only by identifier, so no two
// live windows may share one; 0 is never used, as it marks a menu there.
class TChildIdPool {
public:
    UINT Take()
    {
        for (UINT tries = 0; tries < kLast; ++tries) {
            const UINT id = next_;
            next_ = next_ >= kLast ? 1 : next_ + 1;
            if (used_.insert(id).second)
                return id;
        }
        throw Exception(L"Error creating window: no free control identifier");
    }
    void Give(UINT id) { used_.erase(id); }
    void SetNext(UINT id) noexcept { next_ = id >= 1 && id <= kLast ? id : 1; }

private:
    static constexpr UINT kLast = 0x7FFF;
    std::set<UINT> used_;
    UINT next_ = 1;
};

TChildIdPool& ChildIds()
{
    static TChildIdPool pool;
    return pool;
}

// The system procedure behind each class registered for controls.
std::map<std::wstring, WNDPROC>& ClassProcedures()
{
    static std::map<std::wstring, WNDPROC> procedures;
    return procedures;
}

WNDPROC RegisterControlClass(const TCreateParams& params, WNDPROC procedure)
{
    auto& procedures = ClassProcedures();
    const auto found = procedures.find(params.WinClassName);
    if (found != procedures.end())
        return found->second;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    WNDPROC original = DefWindowProcW;
    if (!params.SystemClassName.empty()) {
        if (!GetClassInfoExW(nullptr, params.SystemClassName.c_str(), &windowClass))
            throw Exception(L"The window class " + params.SystemClassName + L" is not available");
        original = windowClass.lpfnWndProc;
        windowClass.style &= ~CS_GLOBALCLASS;
    } else {
        windowClass.style = params.ClassStyle;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = params.Background;
    }
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = params.WinClassName.c_str();
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(L"The window class " + params.WinClassName + L" cannot be registered: " +
                        SystemErrorMessage(GetLastError()));
    procedures[params.WinClassName] = original;
    return original;
}

// Called from the window procedure, outside its barrier: must not throw.
WNDPROC ClassProcedureOf(HWND window) noexcept
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    try {
        const auto& procedures = ClassProcedures();
        const auto found = procedures.find(name);
        return found != procedures.end() ? found->second : DefWindowProcW;
    } catch (...) {
        return DefWindowProcW;
    }
}

// The window a message to a parent is about, when the parent should hand it back to that
// window's control.
HWND ReflectionSource(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return draw != nullptr && draw->CtlType != ODT_MENU ? draw->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (measure == nullptr || measure->CtlType == ODT_MENU || wParam == 0)
            return nullptr;
        return GetDlgItem(parent, static_cast<int>(measure->CtlID));
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: return reinterpret_cast<HWND>(lParam);
    default: return nullptr;
    }
}

const UINT_PTR kForeignParentSubclassId = 0xB1F1;

}  // namespace

LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hands a parent's message about a child control back to that control.
class TWinControlAccess {
public:
    static bool Reflect(HWND parent, TMessage& message)
    {
        HWND source = ReflectionSource(parent, message.Msg, message.WParam, message.LParam);
        if (source == nullptr || source == parent)
            return false;
        TWinControl* control = TWinControl::FindControl(source);
        if (control == nullptr)
            return false;
        try {
            return control->ReflectedMessage(message);
        } catch (...) {
            // Reported as the control's own failure, not its parent's.
            HandleCallbackException(control);
            return true;
        }
    }
};

namespace {

// A foreign window that holds one of our controls still hands the control's notifications
// back to it.
LRESULT CALLBACK ForeignParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, ForeignParentProcedure, kForeignParentSubclassId);
    TMessage msg{message, wParam, lParam, 0};
    try {
        if (TWinControlAccess::Reflect(window, msg))
            return msg.Result;
    } catch (...) {
        HandleCallbackException();
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner)
{
    font_.OnChange = [this] { FontChanged(); };
}

TWinControl::~TWinControl()
{
    const auto children = controls_;
    for (TWinControl* child : children) {
        child->DestroyHandle();
        child->parent_ = nullptr;
    }
    controls_.clear();
    DestroyHandle();
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
}

HWND TWinControl::Handle()
{
    if (handle_ == nullptr)
        CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle()
{
    if (handle_ != nullptr)
        return;
    if (parent_ != nullptr)
        parent_->HandleNeeded();
    CreateWnd();
    for (TWinControl* child : controls_)
        if (child->handle_ == nullptr)
            child->CreateHandle();
}

void TWinControl::DestroyHandle()
{
    if (handle_ == nullptr)
        return;
    for (TWinControl* child : controls_)
        child->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (handle_ == nullptr)
        return;
    DestroyHandle();
    CreateHandle();
}

HWND TWinControl::ParentHandleForCreation()
{
    if (parent_ != nullptr)
        return parent_->Handle();
    return parentWindow_;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = caption_;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_)
        params.Style |= WS_VISIBLE;
    if (!enabled_)
        params.Style |= WS_DISABLED;
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    params.WndParent = ParentHandleForCreation();
    params.WinClassName = L"Bivista.Control";
    params.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) != 0 && params.WndParent == nullptr)
        throw Exception(L"Control '" + Name + L"' has no parent window");
    RegisterControlClass(params, ControlWindowProcedure);

    if (TabStop)
        params.Style |= WS_TABSTOP;
    const UINT childId = (params.Style & WS_CHILD) != 0 ? ChildIds().Take() : 0;
    TWinControl* const previous = creatingControl;
    creatingControl = this;
    childId_ = childId;
    HWND window =
        CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                        params.Style, params.X, params.Y, params.Width, params.Height,
                        params.WndParent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId)),
                        GetModuleHandleW(nullptr), nullptr);
    const DWORD error = GetLastError();
    creatingControl = previous;
    if (window == nullptr) {
        if (childId_ == childId && childId != 0)
            ChildIds().Give(childId);
        childId_ = 0;
        throw Exception(L"Error creating window: " + SystemErrorMessage(error));
    }
    if (handle_ == nullptr)  // a class that sent no message during creation
        AttachWindow(window);

    if (params.WndParent != nullptr && FindControl(params.WndParent) == nullptr)
        SetWindowSubclass(params.WndParent, ForeignParentProcedure, kForeignParentSubclassId, 0);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    ReadBounds();
}

void TWinControl::DestroyWnd()
{
    if (handle_ != nullptr)
        DestroyWindow(handle_);
    // A window that refused to go is forgotten anyway; the control starts afresh.
    if (handle_ != nullptr)
        DetachWindow();
}

void TWinControl::AttachWindow(HWND window)
{
    handle_ = window;
    destroyingNotified_ = false;
    defaultProc_ = ClassProcedureOf(window);
    SetPropW(window, kControlProperty, this);
    TControlsByWindow& registry = ControlsByWindow();
    TCriticalSectionLock guard(registry.lock);
    registry.controls[window] = this;
}

void TWinControl::DetachWindow()
{
    if (handle_ == nullptr)
        return;
    RemovePropW(handle_, kControlProperty);
    {
        TControlsByWindow& registry = ControlsByWindow();
        TCriticalSectionLock guard(registry.lock);
        const auto found = registry.controls.find(handle_);
        if (found != registry.controls.end() && found->second == this)
            registry.controls.erase(found);
    }
    handle_ = nullptr;
    if (childId_ != 0)
        ChildIds().Give(childId_);
    childId_ = 0;
    mouseInside_ = false;
}

void TWinControl::SetNextChildId(UINT id) noexcept
{
    ChildIds().SetNext(id);
}

TWinControl* TWinControl::FindControl(HWND window)
{
    if (window == nullptr)
        return nullptr;
    TControlsByWindow& registry = ControlsByWindow();
    TCriticalSectionLock guard(registry.lock);
    const auto found = registry.controls.find(window);
    return found != registry.controls.end() ? found->second : nullptr;
}

LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = TWinControl::FindControl(window);
    if (control == nullptr) {
        control = creatingControl;
        if (control == nullptr)
            return CallWindowProcW(ClassProcedureOf(window), window, message, wParam, lParam);
        creatingControl = nullptr;
        control->AttachWindow(window);
    }
    TMessage msg{message, wParam, lParam, 0};
    try {
        control->WndProc(msg);
    } catch (...) {
        HandleCallbackException(control);
    }
    if (message == WM_NCDESTROY)
        control->DetachWindow();
    return msg.Result;
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (handle_ == nullptr)
        return;
    message.Result = CallWindowProcW(defaultProc_ != nullptr ? defaultProc_ : DefWindowProcW,
                                     handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(message.WParam);
        KeyDown(key, KeyboardShiftState());
        if (key == 0)
            return;
        message.WParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(message.WParam);
        KeyUp(key, KeyboardShiftState());
        if (key == 0)
            return;
        message.WParam = key;
        break;
    }
    case WM_CHAR: {
        wchar_t key = static_cast<wchar_t>(message.WParam);
        KeyPress(key);
        if (key == 0)
            return;
        message.WParam = key;
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const TMouseButton button = message.Msg == WM_LBUTTONDOWN   ? TMouseButton::mbLeft
                                    : message.Msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                                    : TMouseButton::mbMiddle;
        MouseDown(button, MouseShiftState(message.WParam), GET_X_LPARAM(message.LParam),
                  GET_Y_LPARAM(message.LParam));
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        DefaultHandler(message);
        const TMouseButton button = message.Msg == WM_LBUTTONUP   ? TMouseButton::mbLeft
                                    : message.Msg == WM_RBUTTONUP ? TMouseButton::mbRight
                                                                  : TMouseButton::mbMiddle;
        MouseUp(button, MouseShiftState(message.WParam), GET_X_LPARAM(message.LParam),
                GET_Y_LPARAM(message.LParam));
        return;
    }
    case WM_LBUTTONDBLCLK:
        DefaultHandler(message);
        DblClick();
        return;
    case WM_MOUSEMOVE:
        HandleMouseMoveTracking();
        MouseMove(MouseShiftState(message.WParam), GET_X_LPARAM(message.LParam),
                  GET_Y_LPARAM(message.LParam));
        break;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        MouseLeave();
        break;
    case WM_SETFOCUS:
        DefaultHandler(message);
        if (!RouteFocus(true, reinterpret_cast<HWND>(message.WParam)))
            DoEnter();
        return;
    case WM_KILLFOCUS:
        DefaultHandler(message);
        if (!RouteFocus(false, reinterpret_cast<HWND>(message.WParam)))
            DoExit();
        return;
    case WM_SIZE:
        DefaultHandler(message);
        ReadBounds();
        Realign();
        Resize();
        return;
    case WM_MOVE:
        DefaultHandler(message);
        ReadBounds();
        return;
    case WM_SETCURSOR:
        if (ScreenCursor() != crDefault) {
            SetCursor(CursorHandle(ScreenCursor()));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_CONTEXTMENU: {
        // A window inside the control that has no menu of its own passes the request up: it
        // is the control's. One from another window is left to the system.
        if (!ContainsWindow(reinterpret_cast<HWND>(message.WParam)))
            break;
        POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (point.x != -1 || point.y != -1)
            point = ScreenToClient(point);
        bool handled = false;
        DoContextPopup(point, handled);
        if (handled)
            return;
        break;
    }
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
        if (TWinControlAccess::Reflect(handle_, message))
            return;
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(message.WParam) == WM_CREATE)
            ChildWindowCreated(reinterpret_cast<HWND>(message.LParam));
        break;
    case WM_DESTROY:
        // Wine may send it twice to a child whose parent is being destroyed.
        if (!destroyingNotified_) {
            destroyingNotified_ = true;
            WindowDestroying();
        }
        break;
    default: break;
    }
    DefaultHandler(message);
}

void TWinControl::HandleMouseMoveTracking()
{
    if (mouseInside_ || handle_ == nullptr)
        return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = handle_;
    if (TrackMouseEvent(&track)) {
        mouseInside_ = true;
        MouseEnter();
    }
}

void TWinControl::ReadBounds()
{
    if (handle_ == nullptr)
        return;
    RECT rect{};
    GetWindowRect(handle_, &rect);
    HWND parent = GetAncestor(handle_, GA_PARENT);
    if ((GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) != 0 && parent != nullptr)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    left_ = rect.left;
    top_ = rect.top;
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
}

void TWinControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    if (parent == this)
        throw Exception(L"A control cannot be its own parent");
    const bool hadWindow = handle_ != nullptr;
    DestroyHandle();
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    parentWindow_ = nullptr;
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->InsertControl(this);
        if (hadWindow || parent_->handle_ != nullptr)
            CreateHandle();
    }
}

void TWinControl::SetParentWindow(HWND window)
{
    if (window == parentWindow_ && parent_ == nullptr)
        return;
    DestroyHandle();
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
        parent_ = nullptr;
    }
    parentWindow_ = window;
}

void TWinControl::InsertControl(TWinControl* control)
{
    controls_.push_back(control);
    if (control->align_ != TAlign::alNone)
        Realign();
}

void TWinControl::RemoveControl(TWinControl* control)
{
    std::erase(controls_, control);
    if (control->align_ != TAlign::alNone && !IsDestroying())
        Realign();
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    const bool changed = left != left_ || top != top_ || width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_ != nullptr)
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (changed)
        AlignmentChanged();
}

void TWinControl::SetAlign(TAlign align)
{
    if (align == align_)
        return;
    align_ = align;
    if (parent_ != nullptr)
        parent_->Realign();
}

void TWinControl::AlignmentChanged()
{
    if (align_ != TAlign::alNone && parent_ != nullptr && !parent_->aligning_)
        parent_->Realign();
}

bool TWinControl::RouteFocus(bool entering, HWND other)
{
    TWinControl* top = parent_;
    if (top == nullptr)
        return false;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return top->FocusMoved(this, entering, other);
}

RECT TWinControl::ClientRect() const
{
    RECT rect{0, 0, width_, height_};
    if (handle_ != nullptr)
        GetClientRect(handle_, &rect);
    return rect;
}

int TWinControl::ClientWidth() const
{
    const RECT rect = ClientRect();
    return rect.right - rect.left;
}

int TWinControl::ClientHeight() const
{
    const RECT rect = ClientRect();
    return rect.bottom - rect.top;
}

POINT TWinControl::ClientToScreen(POINT point) const
{
    if (handle_ != nullptr)
        ::ClientToScreen(handle_, &point);
    return point;
}

POINT TWinControl::ScreenToClient(POINT point) const
{
    if (handle_ != nullptr)
        ::ScreenToClient(handle_, &point);
    return point;
}

void TWinControl::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (handle_ != nullptr)
        ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    AlignmentChanged();
}

void TWinControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (handle_ != nullptr)
        EnableWindow(handle_, enabled);
}

std::wstring TWinControl::Caption() const
{
    if (handle_ == nullptr)
        return caption_;
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), length + 1)));
    return text;
}

void TWinControl::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    if (handle_ != nullptr)
        SetWindowTextW(handle_, caption.c_str());
}

void TWinControl::FontChanged()
{
    if (handle_ != nullptr)
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

bool TWinControl::Focused() const
{
    return handle_ != nullptr && GetFocus() == handle_;
}

bool TWinControl::ContainsWindow(HWND window) const
{
    return handle_ != nullptr && window != nullptr &&
           (window == handle_ || IsChild(handle_, window));
}

bool TWinControl::ContainsFocus() const
{
    return ContainsWindow(GetFocus());
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

void TWinControl::Invalidate()
{
    if (handle_ != nullptr)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update()
{
    if (handle_ != nullptr)
        UpdateWindow(handle_);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::SetPopupMenu(TPopupMenu* menu)
{
    if (menu == popupMenu_)
        return;
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (popupMenu_ != nullptr)
        popupMenu_->FreeNotification(this);
}

void TWinControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_)
        popupMenu_ = nullptr;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TWinControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TWinControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TWinControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TWinControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TWinControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TWinControl::DoContextPopup(POINT mousePos, bool& handled)
{
    if (OnContextPopup)
        OnContextPopup(this, mousePos, handled);
    if (handled || popupMenu_ == nullptr || !popupMenu_->AutoPopup)
        return;
    POINT screen = mousePos;
    if (screen.x == -1 && screen.y == -1)
        screen = POINT{0, 0};
    screen = ClientToScreen(screen);
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(screen.x, screen.y);
    handled = true;
}
