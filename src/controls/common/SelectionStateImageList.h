#pragma once
// The five check-box images that the tree and the list show as state images; an
// image's index is the TZelSelectionState it stands for (0 is never shown: a
// state index of 0 means none).
#include "ui/ImageList.h"

class TZelSelectionStateImageList : public TCustomImageList {
public:
    explicit TZelSelectionStateImageList(TComponent* owner);
};
