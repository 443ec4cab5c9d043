#pragma once
// The interface through which a shell link reaches the tree, the list and the combo of a pane,
// and the list of such interfaces the link keeps.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"

#include <unknwn.h>

#include <cstdint>
#include <vector>

class TZelShellLink;

struct IZelShellControl : public IUnknown {
    // Attach to a link (none detaches); the control leaves its old link and joins the new one.
    virtual void STDMETHODCALLTYPE SetShellLink(TZelShellLink* link) = 0;
    virtual TZelShellLink* STDMETHODCALLTYPE GetShellLink() = 0;
    // Show this absolute folder.
    virtual void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) = 0;
    // Show the absolute folder and select the relative object in it.
    virtual void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder,
                                                 TBorrowedIDList object) = 0;
    virtual void STDMETHODCALLTYPE SelectAll() = 0;
    // Full re-read.
    virtual void STDMETHODCALLTYPE RefreshContents() = 0;
    // Light refresh in place.
    virtual void STDMETHODCALLTYPE RefreshChanges() = 0;
    // Show the parent folder; false when there is none or the control cannot.
    virtual bool STDMETHODCALLTYPE GoUp() = 0;
};

extern const IID IID_IZelShellControl;
__CRT_UUID_DECL(IZelShellControl, 0xC211C2D9, 0x827E, 0x4D46, 0xB0, 0x7B, 0xFE, 0xB3, 0xF4, 0x73,
                0xDD, 0x7F)

// Registered controls in registration order, held as counted references. Each registration
// gets a number of its own that is never reused, so that a control that left (or was destroyed,
// and another one made at its address) is told apart from the one registered earlier: a
// control's reference count is no proof that it still exists.
class TZelShellControlList {
public:
    int Add(IZelShellControl* control);
    void Remove(IZelShellControl* control);
    int IndexOf(IZelShellControl* control) const;
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    IZelShellControl* Items(int index) const { return Entry(index).control.Get(); }
    uint64_t Registration(int index) const { return Entry(index).registration; }
    // True while that registration of the control stands.
    bool Registered(IZelShellControl* control, uint64_t registration) const;

private:
    struct TEntry {
        TComPtr<IZelShellControl> control;
        uint64_t registration = 0;
    };
    const TEntry& Entry(int index) const { return items_.at(static_cast<size_t>(index)); }

    std::vector<TEntry> items_;
    uint64_t nextRegistration_ = 1;
};
