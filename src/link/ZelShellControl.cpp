#include "link/ZelShellControl.h"

const IID IID_IZelShellControl = {0xC211C2D9,
                                  0x827E,
                                  0x4D46,
                                  {0xB0, 0x7B, 0xFE, 0xB3, 0xF4, 0x73, 0xDD, 0x7F}};

int TZelShellControlList::Add(IZelShellControl* control)
{
    items_.emplace_back(control);
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
        if (items_[index].Get() == control)
            return static_cast<int>(index);
    return -1;
}
