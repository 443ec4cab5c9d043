#pragma once
// The image lists a control shows in its window, one per role (normal, small, state): the
// control holds them without owning them, hears when one changes or goes, and hands each to
// its window by the role's number whenever the window is made or the list changes.
#include "ui/ImageList.h"

#include <array>
#include <functional>

class TComponent;

template <size_t Roles>
class TImageListSlots {
public:
    // Hands `images` (null for none) to the window for the role numbered `which`.
    using TAttach = std::function<void(int which, TCustomImageList* images)>;

    TImageListSlots(TComponent* control, std::array<int, Roles> which, TAttach attach)
        : control_(control), which_(which), attach_(std::move(attach))
    {
        for (size_t role = 0; role < Roles; ++role)
            links_[role].OnChange = [this, role] { attach_(which_[role], lists_[role]); };
    }
    TImageListSlots(const TImageListSlots&) = delete;
    TImageListSlots& operator=(const TImageListSlots&) = delete;

    TCustomImageList* Get(size_t role) const noexcept { return lists_[role]; }

    void Set(size_t role, TCustomImageList* images)
    {
        TCustomImageList*& member = lists_[role];
        if (images == member)
            return;
        if (member != nullptr) {
            member->UnRegisterChanges(&links_[role]);
            TCustomImageList* old = member;
            member = nullptr;
            // Still watched while it serves in another role.
            if (!Holds(old))
                old->RemoveFreeNotification(control_);
        }
        member = images;
        if (member != nullptr) {
            member->RegisterChanges(&links_[role]);
            member->FreeNotification(control_);
        }
        attach_(which_[role], member);
    }

    // A new window gets every list.
    void AttachAll()
    {
        for (size_t role = 0; role < Roles; ++role)
            attach_(which_[role], lists_[role]);
    }

    // From the control's Notification: a list that is going leaves every role it had.
    void Removed(TComponent* component)
    {
        for (size_t role = 0; role < Roles; ++role)
            if (component == lists_[role]) {
                lists_[role] = nullptr;
                attach_(which_[role], nullptr);
            }
    }

    // Lets go of every list as the control goes (the links leave with this object).
    void Release() noexcept
    {
        for (TCustomImageList* images : lists_)
            if (images != nullptr)
                images->RemoveFreeNotification(control_);
    }

private:
    bool Holds(const TCustomImageList* images) const noexcept
    {
        for (const TCustomImageList* held : lists_)
            if (held == images)
                return true;
        return false;
    }

    TComponent* control_;
    std::array<int, Roles> which_;
    TAttach attach_;
    std::array<TCustomImageList*, Roles> lists_{};
    std::array<TChangeLink, Roles> links_;
};
