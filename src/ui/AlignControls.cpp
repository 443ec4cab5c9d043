// Laying out aligned children: top-aligned controls from the top down, bottom-aligned from
// the bottom up, then left and right ones in the height that is left, and the client-aligned
// ones fill the rest. Within each edge the controls keep the order in which they were placed.
#include "ui/WinControl.h"

#include "core/ScopedResource.h"

#include <algorithm>

void TWinControl::Realign()
{
    // While stored properties are applied, sizes and alignments arrive in any order: the
    // layout waits for the end of loading.
    if (aligning_ || IsDestroying() || IsLoading())
        return;
    bool any = false;
    for (const TWinControl* child : controls_)
        any = any || child->align_ != TAlign::alNone;
    if (!any)
        return;

    const TRestoreOnExit aligning(aligning_, true);
    RECT area = AlignArea();
    const auto place = [](TWinControl* child, int left, int top, int width, int height) {
        child->SetBounds(left, top, std::max(width, 0), std::max(height, 0));
    };
    const auto visibleWith = [this](TAlign align) {
        std::vector<TWinControl*> result;
        for (TWinControl* child : controls_)
            if (child->align_ == align && child->visible_)
                result.push_back(child);
        return result;
    };
    for (TWinControl* child : visibleWith(TAlign::alTop)) {
        place(child, area.left, area.top, area.right - area.left, child->height_);
        area.top += child->height_;
    }
    for (TWinControl* child : visibleWith(TAlign::alBottom)) {
        area.bottom -= child->height_;
        place(child, area.left, area.bottom, area.right - area.left, child->height_);
    }
    const int height = std::max(0, static_cast<int>(area.bottom - area.top));
    for (TWinControl* child : visibleWith(TAlign::alLeft)) {
        place(child, area.left, area.top, child->width_, height);
        area.left += child->width_;
    }
    for (TWinControl* child : visibleWith(TAlign::alRight)) {
        area.right -= child->width_;
        place(child, area.right, area.top, child->width_, height);
    }
    for (TWinControl* child : visibleWith(TAlign::alClient))
        place(child, area.left, area.top, area.right - area.left, height);
}
