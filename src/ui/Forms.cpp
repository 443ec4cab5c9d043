#include "ui/Forms.h"

#include "core/CallbackException.h"
#include "core/Exception.h"
#include "core/ScopedResource.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/MainMenu.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

TCustomForm* mainForm = nullptr;

struct TDisabledWindows {
    HWND keep = nullptr;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM parameter)
{
    auto* state = reinterpret_cast<TDisabledWindows*>(parameter);
    if (window != state->keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        state->windows.push_back(window);
    }
    return TRUE;
}

int ShowCommand(TWindowState state)
{
    switch (state) {
    case TWindowState::wsMaximized: return SW_SHOWMAXIMIZED;
    case TWindowState::wsMinimized: return SW_SHOWMINIMIZED;
    default: return SW_SHOWNORMAL;
    }
}

bool Usable(HWND window)
{
    return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window);
}

}  // namespace

TCustomForm* FormOfWindow(HWND window)
{
    HWND top = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    return dynamic_cast<TCustomForm*>(TWinControl::FindControl(top));
}

TCustomForm* ParentForm(TWinControl* control)
{
    while (control != nullptr && control->Parent() != nullptr)
        control = control->Parent();
    return dynamic_cast<TCustomForm*>(control);
}

void RegisterHint(TWinControl* control)
{
    if (control == nullptr || !control->ShowHint || control->Hint.empty() ||
        !control->HandleAllocated())
        return;
    if (TCustomForm* form = ParentForm(control))
        form->AddHintTool(control);
}

void UnregisterHint(TWinControl* control)
{
    if (control == nullptr || !control->HandleAllocated())
        return;
    if (TCustomForm* form = ParentForm(control))
        form->RemoveHintTool(control);
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    visible_ = false;
}

TCustomForm::~TCustomForm()
{
    DoDestroy();
    if (mainForm == this) {
        mainForm = nullptr;
        if (Application != nullptr)
            Application->SetMainFormHandle(nullptr);
    }
    DestroyHandle();
}

void TCustomForm::DoDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    try {
        if (OnDestroy)
            OnDestroy(this);
    } catch (...) {
        HandleCallbackException(this);
    }
}

// ---- Loading ----

void TCustomForm::BeginFormLoading()
{
    BeginLoading();
    for (int i = 0; i < ComponentCount(); ++i)
        Components(i)->BeginLoading();
}

void TCustomForm::EndFormLoading()
{
    EndLoading();
    for (int i = 0; i < ComponentCount(); ++i)
        Components(i)->EndLoading();
    RealignTree(this);
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::RealignTree(TWinControl* control)
{
    control->Realign();
    for (int i = 0; i < control->ControlCount(); ++i)
        RealignTree(control->Controls(i));
}

// ---- Window ----

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"Bivista.Form";
    params.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (BorderStyle == TFormBorderStyle::bsDialog) {
        params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
        params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    } else {
        params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        params.ExStyle = WS_EX_CONTROLPARENT;
    }
    if (Enabled() == false)
        params.Style |= WS_DISABLED;
    if (mainForm == this || mainForm == nullptr) {
        params.WndParent = nullptr;
        params.ExStyle |= WS_EX_APPWINDOW;
    } else {
        // Above the main window, and hidden and shown with it.
        params.WndParent = mainForm->Handle();
    }
    PlaceOnScreen(params);
}

void TCustomForm::PlaceOnScreen(TCreateParams& params) const
{
    if (Position == TPosition::poDesigned)
        return;
    RECT area{};
    HWND owner = params.WndParent;
    if (Position == TPosition::poOwnerFormCenter && owner != nullptr && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        const HMONITOR handle = MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY);
        if (!GetMonitorInfoW(handle, &monitor))
            return;
        area = monitor.rcWork;
    }
    params.X = area.left + (area.right - area.left - params.Width) / 2;
    params.Y = std::max(static_cast<int>(area.top),
                        static_cast<int>(area.top + (area.bottom - area.top - params.Height) / 2));
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = WindowHandle();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (HICON big = LoadIconW(instance, L"MAINICON")) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        const HANDLE small =
            LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_SHARED);
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    if (menu_ != nullptr)
        menu_->AttachTo(window);
    if (mainForm == this && Application != nullptr)
        Application->SetMainFormHandle(window);
}

void TCustomForm::WindowDestroying()
{
    TWinControl::WindowDestroying();
    if (menu_ != nullptr)
        menu_->DetachFrom(WindowHandle());
    if (toolTips_ != nullptr) {
        DestroyWindow(toolTips_);
        toolTips_ = nullptr;
    }
}

void TCustomForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_COMMAND:
        // A menu's command (0) or an accelerator's (1) carries no control window.
        if (message.LParam == 0 && HIWORD(message.WParam) <= 1 && menu_ != nullptr &&
            menu_->DispatchCommand(LOWORD(message.WParam)))
            return;
        break;
    case WM_INITMENUPOPUP:
        if (menu_ != nullptr)
            menu_->DispatchPopup(reinterpret_cast<HMENU>(message.WParam));
        break;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE && HIWORD(message.WParam) == 0) {
            DefaultHandler(message);
            RestoreFocus();
            message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    TWinControl::WndProc(message);
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == activeControl_)
        activeControl_ = nullptr;
    if (component == focusedControl_)
        focusedControl_ = nullptr;
    if (component == menu_)
        menu_ = nullptr;
}

// ---- Showing and closing ----

void TCustomForm::Show()
{
    HWND window = Handle();
    visible_ = true;
    if (!IsWindowVisible(window))
        ShowWindow(window, ShowCommand(windowState_));
    if (windowState_ != TWindowState::wsMinimized) {
        SetForegroundWindow(window);
        SetActiveWindow(window);
    }
    if (OnShow)
        OnShow(this);
    HWND focus = GetFocus();
    if ((focus == nullptr || (focus != window && !IsChild(window, focus))) &&
        GetActiveWindow() == window)
        RestoreFocus();
}

void TCustomForm::Hide()
{
    windowState_ = WindowState();
    visible_ = false;
    if (HWND window = WindowHandle())
        ShowWindow(window, SW_HIDE);
}

void TCustomForm::Close()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return;
    if (modal_) {
        TCloseAction action = TCloseAction::caHide;
        if (OnClose)
            OnClose(this, action);
        if (action != TCloseAction::caNone)
            modalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (mainForm == this) {
        if (Application != nullptr)
            Application->Terminate();
        else
            PostQuitMessage(0);
    } else if (action == TCloseAction::caMinimize) {
        SetWindowState(TWindowState::wsMinimized);
    } else {
        Hide();
    }
}

TModalResult TCustomForm::ShowModal()
{
    if (modal_)
        throw EInvalidOperation(L"The window is already shown modally");
    HWND window = Handle();
    const HWND previous = GetActiveWindow();
    TDisabledWindows disabled;
    disabled.keep = window;
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow,
                      reinterpret_cast<LPARAM>(&disabled));
    modal_ = true;
    modalResult_ = mrNone;
    {
        const TScopeExit restore([&] {
            // Enabled again before this one hides, so that the owner gets the activation.
            for (HWND other : disabled.windows)
                if (IsWindow(other))
                    EnableWindow(other, TRUE);
            modal_ = false;
            Hide();
            if (previous != nullptr && IsWindow(previous))
                SetActiveWindow(previous);
        });
        Show();
        while (modalResult_ == mrNone) {
            if (Application != nullptr) {
                if (!Application->HandleMessage())
                    modalResult_ = mrCancel;
            } else {
                MSG message;
                const BOOL result = GetMessageW(&message, nullptr, 0, 0);
                if (result == 0 || result == -1) {
                    if (result == 0)
                        PostQuitMessage(static_cast<int>(message.wParam));
                    modalResult_ = mrCancel;
                    break;
                }
                if (!PreTranslateMessage(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
        }
    }
    return modalResult_;
}

TWindowState TCustomForm::WindowState() const
{
    HWND window = WindowHandle();
    if (window == nullptr || !IsWindowVisible(window))
        return windowState_;
    if (IsIconic(window))
        return TWindowState::wsMinimized;
    if (IsZoomed(window))
        return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TCustomForm::SetWindowState(TWindowState state)
{
    windowState_ = state;
    HWND window = WindowHandle();
    if (window == nullptr || !IsWindowVisible(window))
        return;
    switch (state) {
    case TWindowState::wsNormal:
        // A minimised window comes back as it was before (maximised, maybe): once more.
        ShowWindow(window, SW_RESTORE);
        if (IsZoomed(window))
            ShowWindow(window, SW_RESTORE);
        break;
    case TWindowState::wsMinimized: ShowWindow(window, SW_MINIMIZE); break;
    case TWindowState::wsMaximized: ShowWindow(window, SW_MAXIMIZE); break;
    }
}

void TCustomForm::SetClientSize(int width, int height)
{
    TCreateParams params;
    CreateParams(params);
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, params.Style, menu_ != nullptr, params.ExStyle);
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
}

// ---- Focus ----

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (control == activeControl_ && (control == nullptr || control->Focused()))
        return;
    if (activeControl_ != nullptr && activeControl_ != focusedControl_)
        activeControl_->RemoveFreeNotification(this);
    activeControl_ = control;
    if (control != nullptr)
        control->FreeNotification(this);
    HWND window = WindowHandle();
    if (control != nullptr && window != nullptr && IsWindowVisible(window) &&
        GetActiveWindow() == window && Usable(control->WindowHandle()))
        control->SetFocus();
}

bool TCustomForm::FocusMoved(TWinControl* control, bool entering, HWND other)
{
    if (!entering) {
        // Leaving says nothing by itself: the exit event fires when another control of the
        // form takes over, not when the focus goes to another program or into a window inside
        // the control. A window that is no control of its own (the edit of a combo box)
        // stands for the control that holds it.
        if (other != nullptr && FindControl(other) == nullptr && IsChild(WindowHandle(), other))
            if (TWinControl* holder = ControlOfWindow(other);
                holder != nullptr && holder != control)
                FocusMoved(holder, true, nullptr);
        return true;
    }
    if (control == focusedControl_)
        return true;
    TWinControl* previous = focusedControl_;
    if (previous != nullptr && previous != activeControl_)
        previous->RemoveFreeNotification(this);
    focusedControl_ = control;
    control->FreeNotification(this);
    if (activeControl_ != control) {
        if (activeControl_ != nullptr && activeControl_ != focusedControl_)
            activeControl_->RemoveFreeNotification(this);
        activeControl_ = control;
    }
    if (previous != nullptr)
        previous->DoExit();
    // The exit handler may have moved the focus on.
    if (focusedControl_ == control)
        control->DoEnter();
    return true;
}

void TCustomForm::RestoreFocus()
{
    HWND window = WindowHandle();
    if (window == nullptr)
        return;
    if (activeControl_ != nullptr && Usable(activeControl_->WindowHandle())) {
        ::SetFocus(activeControl_->WindowHandle());
        return;
    }
    SelectNext(nullptr, true);
}

void TCustomForm::TabOrderList(TWinControl* parent, std::vector<TWinControl*>& list) const
{
    // In reading order of the places, whatever the order the controls were made in.
    std::vector<TWinControl*> children = parent->controls_;
    std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
        return a->top_ != b->top_ ? a->top_ < b->top_ : a->left_ < b->left_;
    });
    for (TWinControl* child : children) {
        if (!Usable(child->handle_))
            continue;
        if (child->TabStop)
            list.push_back(child);
        TabOrderList(child, list);
    }
}

TWinControl* TCustomForm::ControlOfWindow(HWND window) const
{
    for (; window != nullptr && window != WindowHandle(); window = GetParent(window))
        if (TWinControl* control = FindControl(window))
            return control;
    return nullptr;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward)
{
    std::vector<TWinControl*> order;
    TabOrderList(this, order);
    if (order.empty())
        return;
    auto at = std::find(order.begin(), order.end(), current);
    // A window inside a control (the edit of a combo box) stands for the control.
    for (TWinControl* holder = current; at == order.end() && holder != nullptr;
         holder = holder->parent_)
        at = std::find(order.begin(), order.end(), holder);
    size_t next = 0;
    if (at == order.end()) {
        next = forward ? 0 : order.size() - 1;
    } else {
        const size_t index = static_cast<size_t>(at - order.begin());
        next = forward ? (index + 1) % order.size() : (index + order.size() - 1) % order.size();
    }
    order[next]->SetFocus();
}

// ---- Keyboard ----

bool TCustomForm::PreTranslateMessage(MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    const WORD key = static_cast<WORD>(message.wParam);
    const TShiftState shift = KeyboardShiftState();
    if (key == VK_TAB && message.message == WM_KEYDOWN && (shift & (ssCtrl | ssAlt)) == 0) {
        const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                          reinterpret_cast<LPARAM>(&message));
        if ((code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0)
            return false;
        SelectNext(ControlOfWindow(message.hwnd), (shift & ssShift) == 0);
        return true;
    }
    if ((key == VK_RETURN || key == VK_ESCAPE) && message.message == WM_KEYDOWN &&
        (shift & (ssCtrl | ssAlt)) == 0 && DialogKey(message, key))
        return true;
    if (menu_ == nullptr)
        return false;
    const TShortCut shortCut = ShortCut(key, shift);
    TMenuItem* item = menu_->FindItem(shortCut, TFindItemKind::fkShortCut);
    if (item == nullptr)
        return false;
    // The item's action says whether it applies now, as it would before its menu is shown.
    item->InitiateAction();
    if (!item->Enabled() || !item->Visible())
        return false;
    const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                      reinterpret_cast<LPARAM>(&message));
    if ((code & DLGC_WANTALLKEYS) != 0)
        return false;
    item->Click();
    return true;
}

namespace {

// The first usable button of the form's controls that `wanted` accepts.
TButton* FindButton(const TWinControl* parent, bool (*wanted)(const TButton&))
{
    for (int index = 0; index < parent->ControlCount(); ++index) {
        TWinControl* child = parent->Controls(index);
        if (!Usable(child->WindowHandle()))
            continue;
        if (auto* button = dynamic_cast<TButton*>(child); button != nullptr && wanted(*button))
            return button;
        if (TButton* inner = FindButton(child, wanted))
            return inner;
    }
    return nullptr;
}

}  // namespace

bool TCustomForm::DialogKey(const MSG& message, WORD key)
{
    MSG copy = message;
    const LRESULT code =
        SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&copy));
    // The window may want the key for itself (a dropped list, a text of several lines), but
    // a text that is only read has no use for it.
    const bool readOnlyEdit = (code & DLGC_HASSETSEL) != 0 &&
                              (GetWindowLongPtrW(message.hwnd, GWL_STYLE) & ES_READONLY) != 0;
    if ((code & DLGC_WANTMESSAGE) != 0 && !readOnlyEdit)
        return false;
    if (key == VK_ESCAPE) {
        if (TButton* cancel = FindButton(this, [](const TButton& b) { return b.Cancel; })) {
            cancel->Click();
            return true;
        }
        if (!modal_)
            return false;
        Close();
        return true;
    }
    if (auto* focused = dynamic_cast<TButton*>(FindControl(message.hwnd))) {
        focused->Click();
        return true;
    }
    if (TButton* preferred = FindButton(this, [](const TButton& b) { return b.Default; })) {
        preferred->Click();
        return true;
    }
    return false;
}

// ---- Menu, hints, main form ----

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu == menu_)
        return;
    HWND window = WindowHandle();
    if (menu_ != nullptr) {
        if (window != nullptr)
            menu_->DetachFrom(window);
        menu_->RemoveFreeNotification(this);
    }
    menu_ = menu;
    if (menu_ != nullptr) {
        menu_->FreeNotification(this);
        if (window != nullptr)
            menu_->AttachTo(window);
    }
}

void TCustomForm::AddHintTool(TWinControl* control)
{
    if (!ShowHints || control == nullptr || !control->HandleAllocated())
        return;
    HWND window = Handle();
    if (toolTips_ == nullptr) {
        toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        if (toolTips_ == nullptr)
            return;
    }
    std::wstring text = GetShortHint(control->Hint);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control->WindowHandle());
    tool.lpszText = text.data();
    SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TCustomForm::RemoveHintTool(TWinControl* control)
{
    if (toolTips_ == nullptr || control == nullptr || !control->HandleAllocated())
        return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = WindowHandle();
    tool.uId = reinterpret_cast<UINT_PTR>(control->WindowHandle());
    SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TCustomForm::MakeMainForm()
{
    mainForm = this;
    if (Application != nullptr && HandleAllocated())
        Application->SetMainFormHandle(WindowHandle());
}

TCustomForm* TCustomForm::MainForm() noexcept
{
    return mainForm;
}
