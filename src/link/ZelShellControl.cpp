#include "link/ZelShellControl.h"

const IID IID_IZelShellControl = {
    0xC211C2D9, 0x827E, 0x4D46, {0xB0, 0x7B, 0xFE, 0xB3, 0xF4, 0x73, 0xDD, 0x7F}};

int TZelShellControlList::Add(IZelShellControl* control)
{
    items_.push_back(TEntry{TComPtr<IZelShellControl>(control), nextRegistration_++});
    return Count() - 1;
}

void TZelShellControlList::Remove(IZelShellControl* control)
{
    const int index = IndexOf(control);
    if (index >= 0)
        items_.erase(items_.begin() + index);
}

int TZelShellControlList::IndexOf(IZelShellControl* control) const
{
    for (size_t index = 0; index < items_.size(); ++index)
        if (items_[index].control.Get() == control)
            return static_cast<int>(index);
    return -1;
}

bool TZelShellControlList::Registered(IZelShellControl* control, uint64_t registration) const
{
    const int index = IndexOf(control);
    return index >= 0 && items_[static_cast<size_t>(index)].registration == registration;
}
