#include "controls/combo/ShellComboItem.h"

#include "shell/PathUtils.h"
#include "shell/SystemImageList.h"

void TZelComboItem::SetName(const std::wstring& value)
{
    name_ = value;
    IsDriveRoot = ::IsDriveRoot(value);
}

int TZelComboItem::ImageIndex()
{
    if (imageIndex_ == kUnknownImage)
        imageIndex_ = idList_ ? TZelSystemImageList::IndexOfIDList(idList_, si_small, false) : -1;
    return imageIndex_;
}
