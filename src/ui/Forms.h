#pragma once
// Forms: top-level windows that own their components. A form applies its components' stored
// properties inside one loading bracket (so that values that wait for the end of loading,
// such as a tree's selected folder, are taken together), then raises OnCreate. It keeps track
// of its active control and fires the controls' enter and exit events only when that control
// changes (not when the focus merely leaves the program and comes back, or returns from a
// label edit), moves the focus with Tab among the controls that allow it, runs its menu's
// shortcuts, shows tool-tip hints, and can run modally with a modal result.
#include "ui/WinControl.h"

#include <functional>

class TMainMenu;

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormBorderStyle { bsSizeable, bsDialog };
enum class TPosition { poDesigned, poScreenCenter, poOwnerFormCenter };
enum class TCloseAction { caNone, caHide, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    // Raises OnDestroy (unless the derived form did), then frees the window and components.
    ~TCustomForm() override;

    // The loading bracket over the form and every component it owns: the derived form's
    // constructor creates its components, calls BeginFormLoading, sets their properties and
    // calls EndFormLoading, which ends loading for the form and then for each component in
    // the order they were created, and raises OnCreate.
    void BeginFormLoading();
    void EndFormLoading();

    // The window shown (made first when needed) in its window state and brought to the front;
    // raises OnShow, then gives the focus to the active control (or the first in tab order).
    void Show();
    void Hide();
    // Asks OnCloseQuery and OnClose; the main form ends the program, a modal form ends its
    // loop with mrCancel, others hide.
    void Close();
    // Runs the form modally: the program's other windows are disabled until ModalResult is
    // set (by a button, by the code, or mrCancel by closing). Returns the result.
    TModalResult ShowModal();
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult result) noexcept { modalResult_ = result; }
    bool Modal() const noexcept { return modal_; }

    // The window state; while hidden, the state the window will show in.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    TPosition Position = TPosition::poDesigned;
    // Client-area size (the window's frame comes on top).
    void SetClientSize(int width, int height);

    // The control that has (or, while the form is inactive, last had) the focus.
    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) control in tab order after `current`: the
    // controls that allow it, in reading order of their places (top to bottom, then left to
    // right), containers before what they hold.
    void SelectNext(TWinControl* current, bool forward);

    TMainMenu* Menu() const noexcept { return menu_; }
    void SetMenu(TMainMenu* menu);

    // Tool-tip hints for the controls that register (see RegisterHint).
    bool ShowHints = true;
    void AddHintTool(TWinControl* control);
    void RemoveHintTool(TWinControl* control);

    // The program's main form: closing it ends the program, and other forms sit above it.
    void MakeMainForm();
    static TCustomForm* MainForm() noexcept;

    // Keyboard messages for a window in this form, before they are dispatched: Tab moves
    // the focus unless the window wants it (WM_GETDLGCODE); Enter clicks the focused button
    // or else the default one, Escape the cancel button or else ends a modal form, unless
    // the window wants the key; menu shortcuts run their item unless the window wants every
    // key. True when the message was used.
    bool PreTranslateMessage(MSG& message);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    bool FocusMoved(TWinControl* control, bool entering, HWND other) override;
    // OnDestroy, once; a derived form calls it first thing in its destructor, while its
    // handlers' members still exist.
    void DoDestroy();

private:
    // Lays out the control's aligned children, then theirs.
    static void RealignTree(TWinControl* control);
    void TabOrderList(TWinControl* parent, std::vector<TWinControl*>& list) const;
    TWinControl* ControlOfWindow(HWND window) const;
    bool DialogKey(const MSG& message, WORD key);
    void RestoreFocus();
    void PlaceOnScreen(TCreateParams& params) const;

    TWinControl* activeControl_ = nullptr;
    // The control whose enter event fired last.
    TWinControl* focusedControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TWindowState windowState_ = TWindowState::wsNormal;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool destroyed_ = false;
    HWND toolTips_ = nullptr;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The form a window belongs to (the form of the top-level control that holds it); null when
// none.
TCustomForm* FormOfWindow(HWND window);
TCustomForm* ParentForm(TWinControl* control);
// A control with ShowHint and a Hint shows it as a tool tip of its form; call when its
// window exists (a control that registers removes itself when its window goes).
void RegisterHint(TWinControl* control);
void UnregisterHint(TWinControl* control);
