#pragma once
// The drop side of a shell control, written once for the list and the tree. A drag over the
// control is handed to the shell's drop target of the item under the cursor (or of the
// control's own folder where no item is); the control only answers what its items are, where
// they are, what their targets are and how they look while under a drag.
#include "controls/common/ShellDragDrop.h"
#include "core/ComPtr.h"
#include "shell/ShellUtils.h"

#include <ole2.h>

#include <string>
#include <utility>
#include <vector>

// What a control answers for drops on it; `Item` is its item (list item, tree node).
template <class Item>
class TShellDropSite {
public:
    // The control's window; null while it has none (no drop is taken then).
    virtual HWND DropWindow() const = 0;
    // The effects a drop may have (the copy mode's); none while the control takes no drops.
    virtual DWORD DropEffects() const = 0;
    // The item under a client point; null for none.
    virtual Item* DropItemAt(POINT client) = 0;
    // The shell's target of an item; null when it has none.
    virtual TComPtr<IDropTarget> ItemDropTarget(Item* item) = 0;
    // The shell's target of the control's own folder, entered for the whole drag and taking
    // the drops on no item; null for none.
    virtual TComPtr<IDropTarget> BackgroundDropTarget() { return {}; }
    // Whether an item whose target refuses the drag stays the drop item (shown, taking no
    // drop); otherwise the point is left to the background.
    virtual bool KeepsRefusingItem() const { return false; }
    virtual void ShowDropHighlight(Item* item, bool shown) = 0;
    // Every move over the drop item, with how long it has been the drop item.
    virtual void HoverDropItem(Item*, DWORD /*milliseconds*/) {}
    // The key-state bit of the button of a drag from this control under way; 0 for none.
    virtual DWORD OwnDragButton() const = 0;
    // The folder a drop on the item (null: on the background) is reported with.
    virtual std::wstring DropDestination(Item* item) = 0;
    // OnBeforeShellDrop: `execute` comes in true; false refuses the drop.
    virtual void BeforeShellDrop(Item* item, const std::vector<std::wstring>& files, bool& execute,
                                 DWORD keyState) = 0;
    // After the handler was asked, whether the target then got the drop or not.
    virtual void DropOffered(const std::vector<std::wstring>& /*files*/) {}
    // What a drop that the target took did, when it did anything.
    virtual void ReportDrop(TZelShellOperations operations, const std::vector<std::wstring>& files,
                            const std::wstring& destination) = 0;
    // After a drop the target took and its report, when the item is still the drop item
    // (null: the background).
    virtual void DropArrived(Item*) {}

protected:
    ~TShellDropSite() = default;
};

// One drag over a control at a time, from enter to leave or drop. Points are screen
// coordinates; `effect` comes in as the effects the source allows and goes out as the one
// chosen. Every target that was entered gets either its leave or the drop, once; a target
// that got its leave never gets the drop.
template <class Item>
class TShellDropTarget {
public:
    // Auto-scroll steps are this far apart at least.
    static constexpr DWORD kScrollInterval = 100;

    explicit TShellDropTarget(TShellDropSite<Item>& site) : site_(site) {}
    // A drag still over the control leaves its targets; the control is not asked any more.
    ~TShellDropTarget() { LeaveTargets(); }
    TShellDropTarget(const TShellDropTarget&) = delete;
    TShellDropTarget& operator=(const TShellDropTarget&) = delete;

    // The item under the drag, shown as drop target; null for none.
    Item* DropItem() const noexcept { return item_; }

    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINT point, DWORD& effect)
    {
        End();
        data_ = data;
        keyState_ = keyState;
        lastScroll_ = GetTickCount();
        const DWORD effects = site_.DropEffects();
        effect &= effects;
        if (effects == DROPEFFECT_NONE) {
            effect = DROPEFFECT_NONE;
            return S_OK;
        }
        background_ = site_.BackgroundDropTarget();
        if (FAILED(EnterTarget(background_.Get(), keyState, point, effect)))
            background_.Reset();
        // Without a background target the items may still take the drop.
        if (!background_)
            effect = DROPEFFECT_NONE;
        return S_OK;
    }

    HRESULT DragOver(DWORD keyState, POINT point, DWORD& effect)
    {
        const DWORD effects = site_.DropEffects();
        const DWORD allowed = effect & effects;
        effect = DROPEFFECT_NONE;
        const HWND window = site_.DropWindow();
        if (effects == DROPEFFECT_NONE || !data_ || window == nullptr)
            return S_OK;
        POINT client = point;
        ScreenToClient(window, &client);
        Item* item = site_.DropItemAt(client);
        keyState_ = keyState;
        if (item != item_) {
            LeaveItem();
            if (item != nullptr) {
                TComPtr<IDropTarget> target = site_.ItemDropTarget(item);
                DWORD entered = allowed;
                if (SUCCEEDED(EnterTarget(target.Get(), keyState, point, entered))) {
                    SetItem(item);
                    target_ = std::move(target);
                } else if (site_.KeepsRefusingItem()) {
                    SetItem(item);
                }
            }
            hoverStart_ = GetTickCount();
            UpdateWindow(window);
        }
        if (ScrollDue())
            AutoScrollForDrag(window, client);
        if (item_ != nullptr)
            site_.HoverDropItem(item_, GetTickCount() - hoverStart_);
        IDropTarget* target = item_ != nullptr            ? target_.Get()
                              : BackgroundTakes(keyState) ? background_.Get()
                                                          : nullptr;
        if (target == nullptr)
            return S_OK;
        effect = allowed;
        return target->DragOver(keyState, POINTL{point.x, point.y}, &effect);
    }

    HRESULT DragLeave()
    {
        End();
        return S_OK;
    }

    HRESULT Drop(IDataObject* data, DWORD keyState, POINT point, DWORD& effect)
    {
        const DWORD effects = site_.DropEffects();
        const DWORD allowed = effect & effects;
        effect = DROPEFFECT_NONE;
        std::vector<std::wstring> files;
        if (const auto names = GetFilenamesFromDataObject(data))
            files = *names;
        // The key state of the last move still holds the button, as the shell's targets expect.
        const DWORD lastKeyState = keyState_ != 0 ? keyState_ : keyState;
        Item* item = item_;
        TComPtr<IDropTarget> target = item != nullptr ? target_ : background_;
        if (item == nullptr && !BackgroundTakes(lastKeyState))
            target.Reset();
        bool forwarded = false;
        HRESULT result = E_UNEXPECTED;
        if (target && effects != DROPEFFECT_NONE) {
            const std::wstring destination = site_.DropDestination(item);
            bool execute = true;
            site_.BeforeShellDrop(item, files, execute, lastKeyState);
            // The handler may have taken the item away: its target then got its leave, and a
            // target that was left gets no drop.
            TComPtr<IDropTarget>& entered = item != nullptr ? target_ : background_;
            if (entered != target)
                execute = false;
            if (execute) {
                // The target gets the drop instead of a leave.
                entered.Reset();
                effect = allowed;
                result = target->Drop(data, lastKeyState, POINTL{point.x, point.y}, &effect);
                forwarded = true;
            }
            site_.DropOffered(files);
            if (forwarded && SUCCEEDED(result)) {
                effect = ReportedDropEffect(effect, files);
                if (effect != DROPEFFECT_NONE)
                    site_.ReportDrop(DropOperations(effect), files, destination);
                if (item_ == item)
                    site_.DropArrived(item);
            }
        }
        End();
        if (!forwarded || FAILED(result))
            effect = DROPEFFECT_NONE;
        return forwarded ? result : E_UNEXPECTED;
    }

    // Leaves both targets, takes the highlight away and forgets the drag.
    void End()
    {
        LeaveItem();
        LeaveTargets();
        data_.Reset();
        keyState_ = 0;
    }

    // The item is going: its target gets its leave, and the item is not touched any more.
    void Forget(const Item* item) noexcept
    {
        if (item == nullptr || item != item_)
            return;
        item_ = nullptr;
        LeaveTarget(target_);
    }

private:
    HRESULT EnterTarget(IDropTarget* target, DWORD keyState, POINT point, DWORD& effect)
    {
        if (target == nullptr) {
            effect = DROPEFFECT_NONE;
            return E_FAIL;
        }
        return target->DragEnter(data_.Get(), keyState, POINTL{point.x, point.y}, &effect);
    }
    static void LeaveTarget(TComPtr<IDropTarget>& target) noexcept
    {
        if (target)
            target->DragLeave();
        target.Reset();
    }
    void LeaveTargets() noexcept
    {
        LeaveTarget(target_);
        LeaveTarget(background_);
    }
    // The drop item goes: its highlight first, then its target's leave.
    void LeaveItem()
    {
        if (item_ != nullptr)
            site_.ShowDropHighlight(item_, false);
        LeaveTarget(target_);
        item_ = nullptr;
    }
    void SetItem(Item* item)
    {
        item_ = item;
        site_.ShowDropHighlight(item, true);
    }
    // A left-button drag from this control onto its own folder would do nothing useful; with
    // the right button the shell offers its menu.
    bool BackgroundTakes(DWORD keyState) const
    {
        return background_ && (site_.OwnDragButton() == 0 || (keyState & MK_RBUTTON) != 0);
    }
    bool ScrollDue() noexcept
    {
        const DWORD now = GetTickCount();
        if (now - lastScroll_ <= kScrollInterval)
            return false;
        lastScroll_ = now;
        return true;
    }

    TShellDropSite<Item>& site_;
    TComPtr<IDataObject> data_;
    DWORD keyState_ = 0;
    Item* item_ = nullptr;
    // The target of the drop item, entered when set.
    TComPtr<IDropTarget> target_;
    // The target of the control's own folder, entered when set.
    TComPtr<IDropTarget> background_;
    DWORD hoverStart_ = 0;
    DWORD lastScroll_ = 0;
};

// A control that takes drops through TShellDropTarget: OLE's calls go to the protocol, the
// drag source's questions to the rule of the button that started the drag. The control
// answers the site's questions.
template <class Item>
class TShellDropControl : public TShellDropHandler, protected TShellDropSite<Item> {
public:
    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINT point, DWORD& effect) override
    {
        return dropProtocol_.DragEnter(data, keyState, point, effect);
    }
    HRESULT DragOver(DWORD keyState, POINT point, DWORD& effect) override
    {
        return dropProtocol_.DragOver(keyState, point, effect);
    }
    HRESULT DragLeave() override { return dropProtocol_.DragLeave(); }
    HRESULT Drop(IDataObject* data, DWORD keyState, POINT point, DWORD& effect) override
    {
        return dropProtocol_.Drop(data, keyState, point, effect);
    }
    HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) override
    {
        return ContinueDragAnswer(escapePressed, keyState, this->OwnDragButton());
    }
    HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

protected:
    TShellDropControl() : dropProtocol_(*this) {}
    ~TShellDropControl() = default;
    TShellDropTarget<Item>& DropProtocol() noexcept { return dropProtocol_; }
    const TShellDropTarget<Item>& DropProtocol() const noexcept { return dropProtocol_; }

private:
    // Goes after the control's members, its TShellDragDrop among them (which cuts OLE off).
    TShellDropTarget<Item> dropProtocol_;
};
