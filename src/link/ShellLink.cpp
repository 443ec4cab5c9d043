#include "link/ShellLink.h"

#include "core/CallbackException.h"
#include "core/ScopedResource.h"
#include "link/ZelSelectionList.h"

TZelShellLink::TZelShellLink(TComponent* owner) : TZelBaseComponent(owner)
{
    fEnabled = true;
    selection_ = MakeOwned<TZelSelectionList>(this);
}

TZelShellLink::~TZelShellLink()
{
    // Every control detaches itself, last registered first.
    while (controls_.Count() > 0) {
        TComPtr<IZelShellControl> control = controls_.Items(controls_.Count() - 1);
        controls_.Remove(control.Get());
        control->SetShellLink(nullptr);
    }
    // The selection goes while the link is still whole: it may still call back into it.
    delete selection_;
    selection_ = nullptr;
}

void TZelShellLink::AddControl(IZelShellControl* control)
{
    if (control != nullptr && controls_.IndexOf(control) < 0)
        controls_.Add(control);
}

void TZelShellLink::RemoveControl(IZelShellControl* control)
{
    controls_.Remove(control);
}

template <class Call>
void TZelShellLink::ForEachOther(IZelShellControl* sender, Call call)
{
    // A control may leave the link, or be destroyed, while another one is being told. Walk a
    // snapshot of the registrations and call only those that still stand; the snapshot keeps
    // no references, since releasing one of a destroyed control would touch freed memory.
    struct TTarget {
        IZelShellControl* control;
        uint64_t registration;
    };
    std::vector<TTarget> targets;
    for (int index = 0; index < controls_.Count(); ++index)
        if (controls_.Items(index) != sender)
            targets.push_back({controls_.Items(index), controls_.Registration(index)});
    for (const TTarget& target : targets)
        if (controls_.Registered(target.control, target.registration))
            call(target.control);
}

template <class Call>
void TZelShellLink::Broadcast(IZelShellControl* sender, Call call)
{
    if (!GetEnabled())
        return;
    SetEnabled(false);
    {
        const TScopeExit enable([this] { SetEnabled(true); });
        ForEachOther(sender, call);
    }
    CallEventHandler(OnChange, this);
}

void TZelShellLink::BroadcastFolderChanged(IZelShellControl* sender, TBorrowedIDList folder)
{
    Broadcast(sender, [folder](IZelShellControl* control) { control->FolderChanged(folder); });
}

void TZelShellLink::BroadcastObjectChanged(IZelShellControl* sender, TBorrowedIDList folder,
                                           TBorrowedIDList object)
{
    Broadcast(sender, [folder, object](IZelShellControl* control) {
        control->ObjectChanged(folder, object);
    });
}

void TZelShellLink::BroadcastSelectAll(IZelShellControl* sender)
{
    if (GetEnabled())
        ForEachOther(sender, [](IZelShellControl* control) { control->SelectAll(); });
}

void TZelShellLink::BroadcastRefresh(IZelShellControl* sender)
{
    if (GetEnabled())
        ForEachOther(sender, [](IZelShellControl* control) { control->RefreshContents(); });
}

void TZelShellLink::BroadcastRefreshChanges(IZelShellControl* sender)
{
    if (GetEnabled())
        ForEachOther(sender, [](IZelShellControl* control) { control->RefreshChanges(); });
}
