#pragma once
// OLE drag and drop shared by the shell list and the shell tree. The controls never handle
// dropped data themselves: they hand each drag to the shell's drop target of the object under
// the cursor, and start drags with the shell's data object of the objects being dragged. What
// is shared lives here: the COM objects OLE calls (forwarding to the control, behind an
// exception barrier), the window registration, the running of a drag, the allowed effects,
// the continue-drag rule, the reports after a drag or a drop, and the drag auto-scroll. The
// protocol of a drag over a control is in ShellDropTarget.h.
#include "controls/common/ShellOperations.h"
#include "core/ComPtr.h"
#include "core/IDListPtr.h"

#include <ole2.h>
#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TShellDropAdapter;

// The drag-and-drop operations of a control, on the GUI thread. Points are screen
// coordinates; `effect` comes in as the effects the source allows and goes out as the one
// chosen.
class TShellDropHandler {
public:
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINT point, DWORD& effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINT point, DWORD& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINT point, DWORD& effect) = 0;
    virtual HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) = 0;
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~TShellDropHandler() = default;
};

// The drop effects a copy mode allows: all three, copy, move or link.
DWORD CopyModeEffects(TZelCopyMode mode) noexcept;

// The effects allowed for dragging `items` (relative to `folder`): the copy mode's, limited to
// what every item allows (SFGAO_CANCOPY, SFGAO_CANMOVE and SFGAO_CANLINK have the values of
// the copy, move and link effects).
DWORD AllowedDragEffects(TZelCopyMode mode, IShellFolder* folder,
                         const std::vector<TBorrowedIDList>& items);

// The shell's data object for `items` of `folder`; null when the shell has none. Every item is
// carried, however many there are.
TComPtr<IDataObject> DragDataObject(IShellFolder* folder, const std::vector<TBorrowedIDList>& items,
                                    HWND owner);

// The shell's drop target of one object of `folder`; null when it has none.
TComPtr<IDropTarget> ObjectDropTarget(IShellFolder* folder, TBorrowedIDList item, HWND owner);

// The shell's drop target of the folder at an absolute ID list, asked of the folder's parent.
// Files dropped on the desktop go to the desktop directory, so the desktop stands for that.
TComPtr<IDropTarget> FolderDropTarget(TBorrowedIDList absolute, HWND owner);

// Whether a drag started with `dragButton` goes on: cancelled by Escape or by another mouse
// button, dropped when its own button is released.
HRESULT ContinueDragAnswer(bool escapePressed, DWORD keyState, DWORD dragButton) noexcept;

// What a drag from a control reports when it ended with `effect` (0 for none: no report).
TZelShellOperations DragOperations(DWORD effect) noexcept;
// What a drop onto a control reports when the shell's target chose `effect`.
TZelShellOperations DropOperations(DWORD effect) noexcept;
// The effect a drop is reported with. A target that moved files may answer no effect (the NT
// family's shell does so for optimised moves): with the first dropped file gone, it was a move.
DWORD ReportedDropEffect(DWORD effect, const std::vector<std::wstring>& files);

// Scrolls a list or tree window one line toward the edge the client point is near (25 pixels
// at the left and right, 20 at the top and bottom), in each direction whose scroll bar has
// room. Returns whether it asked for any scrolling.
bool AutoScrollForDrag(HWND window, POINT client);

// The OLE side of one control: its registration as a drop target and the drags it runs as a
// source (a drag over it is TShellDropTarget's). Owned by the control; the COM object OLE holds is
// cut from the control when this goes, so a late call from OLE finds nobody and does nothing.
class TShellDragDrop {
public:
    // `owner` is named to the exception handler when a handler call throws.
    TShellDragDrop(TObject* owner, TShellDropHandler& handler);
    ~TShellDragDrop();
    TShellDragDrop(const TShellDragDrop&) = delete;
    TShellDragDrop& operator=(const TShellDragDrop&) = delete;

    // RegisterDragDrop for the window (revoking an earlier registration); false on failure.
    bool Register(HWND window);
    void Revoke() noexcept;
    bool Registered() const noexcept { return registeredWindow_ != nullptr; }
    // Follows the control's OleDragDrop property set to `wanted`: registers or revokes
    // `window`, or nothing while there is none to do it for (null: designing, loading, not
    // created yet). Returns the property's value: false when the registration failed.
    bool Follow(bool wanted, HWND window);

    // Runs DoDragDrop with the control as source, remembering the button meanwhile. Returns
    // the effect the drop chose; 0 when the drag was cancelled or failed; nothing when the
    // control was destroyed while the drag ran (the drag ends at once then, and the caller
    // must touch nothing of the control).
    std::optional<DWORD> RunDrag(IDataObject* data, DWORD allowedEffects, DWORD button);

    // Tells, after something that dispatches messages, whether the control is still there.
    class TPresence {
    public:
        TPresence(TPresence&& other) noexcept;
        ~TPresence();
        TPresence(const TPresence&) = delete;
        TPresence& operator=(const TPresence&) = delete;
        bool Present() const noexcept;

    private:
        friend class TShellDragDrop;
        explicit TPresence(const TComPtr<TShellDropAdapter>& adapter);
        TComPtr<TShellDropAdapter> adapter_;
    };
    TPresence Presence() const;
    // The key-state bit of the button that started the drag under way from this control; 0
    // when none is.
    DWORD DragButton() const noexcept { return dragButton_; }

private:
    TComPtr<TShellDropAdapter> adapter_;
    HWND registeredWindow_ = nullptr;
    DWORD dragButton_ = 0;
};
