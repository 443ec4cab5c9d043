#include "link/ShellLink.h"

TZelShellLink::TZelShellLink(TComponent* owner) : TZelBaseComponent(owner)
{
    fEnabled = true;
}

TZelShellLink::~TZelShellLink()
{
    // Every control detaches itself, last registered first.
    while (controls_.Count() > 0) {
        TComPtr<IZelShellControl> control = controls_.Items(controls_.Count() - 1);
        controls_.Remove(control.Get());
        control->SetShellLink(nullptr);
    }
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
    // A control may leave the link while it is being told; walk a snapshot.
    std::vector<TComPtr<IZelShellControl>> snapshot;
    for (int index = 0; index < controls_.Count(); ++index)
        snapshot.emplace_back(controls_.Items(index));
    for (const auto& control : snapshot)
        if (control.Get() != sender)
            call(control.Get());
}

template <class Call>
void TZelShellLink::Broadcast(IZelShellControl* sender, Call call)
{
    if (!GetEnabled())
        return;
    SetEnabled(false);
    try {
        ForEachOther(sender, call);
    } catch (...) {
        SetEnabled(true);
        throw;
    }
    SetEnabled(true);
    if (OnChange)
        OnChange(this);
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
