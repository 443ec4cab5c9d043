#pragma once
// Ties the shell controls of one pane together: when one of them moves to another folder or
// object, the link tells all the others, so the whole pane shows the same place. It also
// relays select-all and refresh requests and carries the pane's "can go up" flag.
#include "link/ZelBaseComponent.h"
#include "link/ZelShellControl.h"

#include <string>

class TZelShellLink : public TZelBaseComponent {
public:
    explicit TZelShellLink(TComponent* owner);
    ~TZelShellLink() override;

    // Raised after each folder or object broadcast (sender = the link).
    TNotifyEvent OnChange;

    std::wstring Version() const { return L"TZelShellLink V6.2.3"; }

    void AddControl(IZelShellControl* control);
    void RemoveControl(IZelShellControl* control);
    const TZelShellControlList& Controls() const noexcept { return controls_; }

    // The broadcasts skip their sender; while a folder or object broadcast runs the link is
    // disabled, so a control that navigates in answer is not echoed back.
    void BroadcastFolderChanged(IZelShellControl* sender, TBorrowedIDList folder);
    void BroadcastObjectChanged(IZelShellControl* sender, TBorrowedIDList folder,
                                TBorrowedIDList object);
    void BroadcastSelectAll(IZelShellControl* sender);
    void BroadcastRefresh(IZelShellControl* sender);
    void RefreshAll() { BroadcastRefresh(nullptr); }
    void BroadcastRefreshChanges(IZelShellControl* sender);
    void RefreshChangesAll() { BroadcastRefreshChanges(nullptr); }

    bool CanGoUp() const noexcept { return canGoUp_; }
    void SetCanGoUp(bool value) noexcept { canGoUp_ = value; }

private:
    template <class Call>
    void ForEachOther(IZelShellControl* sender, Call call);
    template <class Call>
    void Broadcast(IZelShellControl* sender, Call call);

    TZelShellControlList controls_;
    bool canGoUp_ = true;
};
