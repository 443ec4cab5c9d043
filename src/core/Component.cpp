#include "core/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    destroying_ = true;
    // Tell everyone who watches this component, then stop watching others.
    const auto watchers = freeNotifies_;
    for (TComponent* watcher : watchers) {
        watcher->RemoveFreeNotification(this);
        watcher->Notification(this, TOperation::opRemove);
    }
    freeNotifies_.clear();
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents()
{
    destroying_ = true;
    // Owned components go in reverse order of creation.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        delete last;  // its destructor removes it from components_
    }
}

void TComponent::SetDesigning(bool designing)
{
    designing_ = designing;
    for (TComponent* child : components_)
        child->SetDesigning(designing);
}

void TComponent::BeginLoading()
{
    loading_ = true;
}

void TComponent::EndLoading()
{
    if (!loading_)
        return;
    loading_ = false;
    Loaded();
}

void TComponent::Loaded() {}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::FreeNotification(TComponent* other)
{
    if (other == nullptr || other == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
        freeNotifies_.push_back(other);
    if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
        other->freeNotifies_.end())
        other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    if (other == nullptr)
        return;
    std::erase(freeNotifies_, other);
    std::erase(other->freeNotifies_, this);
}

void TComponent::InsertComponent(TComponent* component)
{
    components_.push_back(component);
    component->owner_ = this;
    component->designing_ = designing_;
    for (TComponent* sibling : components_)
        if (sibling != component)
            sibling->Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    std::erase(components_, component);
    component->owner_ = nullptr;
    if (!destroying_)
        for (TComponent* sibling : components_)
            sibling->Notification(component, TOperation::opRemove);
}
