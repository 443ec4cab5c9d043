#pragma once
// What makes the shell list, tree and combo members of a pane's shell link, written once: the
// COM face the link holds them by, joining and leaving a link, forgetting a link that is freed
// before them, and the option word they are configured by.
#include "controls/common/ShellOptions.h"
#include "core/Component.h"
#include "link/ShellLink.h"
#include "link/ZelShellControl.h"

// `Control` is the control class itself: a component with Browser(). `Receivers` are the
// further interfaces the control answers QueryInterface for (the worker pool's result
// receivers). The control still implements the rest of IZelShellControl, answers a change of
// the option word in OptionsChanged and calls the protected steps below from its own
// destructor, CreateWnd and Notification.
template <class Control, class... Receivers>
class TZelShellLinkMember : public IZelShellControl,
                            public Receivers...,
                            public TZelShellOptionFlags<Control> {
public:
    // ---- IUnknown: the control is a component; its owner decides its life ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IZelShellControl))
            *object = static_cast<IZelShellControl*>(this);
        else
            static_cast<void>((OfferReceiver<Receivers>(iid, object) || ...));
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // ---- IZelShellControl: the link ----
    void STDMETHODCALLTYPE SetShellLink(TZelShellLink* link) override
    {
        if (link == shellLink_)
            return;
        LeaveShellLink();
        shellLink_ = link;
        if (link != nullptr) {
            link->AddControl(this);
            link->FreeNotification(&AsControl());
        }
    }
    TZelShellLink* STDMETHODCALLTYPE GetShellLink() override { return shellLink_; }

    // ---- The option word; TZelShellOptionFlags reads and writes its bits ----
    TZelShellOptions GetOptions() const noexcept { return options_; }
    // Bits the control never keeps are dropped; a new word reaches the browser's error
    // messages and then the control's OptionsChanged.
    void SetOptions(TZelShellOptions value)
    {
        value &= static_cast<TZelShellOptions>(~neverKept_);
        if (value == options_)
            return;
        options_ = value;
        AsControl().Browser().ShowErrorMessages = HasOption(value, soShowErrorMessages);
        OptionsChanged();
    }

protected:
    explicit TZelShellLinkMember(TZelShellOptions options, TZelShellOptions neverKept = 0) noexcept
        : options_(options), neverKept_(neverKept)
    {
    }
    ~TZelShellLinkMember() = default;
    TZelShellLinkMember(const TZelShellLinkMember&) = delete;
    TZelShellLinkMember& operator=(const TZelShellLinkMember&) = delete;

    // The control's answer to a new option word (refill, new notifier filter, ...).
    virtual void OptionsChanged() = 0;

    // From the control's destructor, and before joining another link.
    void LeaveShellLink()
    {
        if (shellLink_ == nullptr)
            return;
        shellLink_->RemoveControl(this);
        shellLink_->RemoveFreeNotification(&AsControl());
        shellLink_ = nullptr;
    }
    // From CreateWnd when the window is made again: the control is back in its link.
    void RejoinShellLink()
    {
        if (shellLink_ != nullptr)
            shellLink_->AddControl(this);
    }
    // Reads the control again and has the other members of its link do the same.
    void RefreshWithLink()
    {
        RefreshContents();
        if (shellLink_ != nullptr)
            shellLink_->BroadcastRefresh(this);
    }
    // From the control's Notification: a link freed before the control is forgotten.
    void ForgetRemovedLink(TComponent* component, TOperation operation) noexcept
    {
        if (operation == TOperation::opRemove && component == shellLink_)
            shellLink_ = nullptr;
    }

    TZelShellLink* shellLink_ = nullptr;
    TZelShellOptions options_;

private:
    template <class Receiver>
    bool OfferReceiver(REFIID iid, void** object) noexcept
    {
        if (!IsEqualIID(iid, __uuidof(Receiver)))
            return false;
        *object = static_cast<Receiver*>(this);
        return true;
    }
    Control& AsControl() noexcept { return static_cast<Control&>(*this); }

    const TZelShellOptions neverKept_;
};
