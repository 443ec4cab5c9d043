#include "controls/list/ThumbnailSlots.h"

#include <algorithm>

TThumbnailSlots::TThumbnailSlots(int capacity) : capacity_(std::max(capacity, 1)) {}

int TThumbnailSlots::CapacityFor(int width, int height)
{
    constexpr int kBudget = 48 * 1024 * 1024;
    const int bytes = std::max(width, 1) * std::max(height, 1) * 4;
    return std::clamp(kBudget / bytes, 256, 4096);
}

TThumbnailSlots::TLease TThumbnailSlots::Lend(uint32_t item)
{
    TLease lease;
    lease.slot = SlotOf(item);
    if (lease.slot >= 0) {
        Touch(lease.slot);
        return lease;
    }
    if (!freeSlots_.empty()) {
        lease.slot = freeSlots_.back();
        freeSlots_.pop_back();
    } else if (Used() < capacity_) {
        lease.slot = Used();
        slots_.emplace_back();
    } else {
        const auto oldest =
            std::min_element(slots_.begin(), slots_.end(),
                             [](const TSlot& a, const TSlot& b) { return a.lastUse < b.lastUse; });
        lease.slot = static_cast<int>(oldest - slots_.begin());
        lease.evicted = oldest->item;
        slotOfItem_.erase(oldest->item);
        SetState(*oldest, TState::Free);
    }
    TSlot& slot = slots_[static_cast<size_t>(lease.slot)];
    slot.item = item;
    slot.lastUse = ++clock_;
    SetState(slot, TState::Shown);
    slotOfItem_[item] = lease.slot;
    return lease;
}

void TThumbnailSlots::Touch(int slot)
{
    if (slot >= 0 && slot < Used() && slots_[static_cast<size_t>(slot)].item != 0)
        slots_[static_cast<size_t>(slot)].lastUse = ++clock_;
}

uint32_t TThumbnailSlots::OwnerOf(int slot) const
{
    return slot >= 0 && slot < Used() ? slots_[static_cast<size_t>(slot)].item : 0;
}

int TThumbnailSlots::SlotOf(uint32_t item) const
{
    const auto found = slotOfItem_.find(item);
    return found != slotOfItem_.end() ? found->second : -1;
}

void TThumbnailSlots::Release(uint32_t item)
{
    const auto found = slotOfItem_.find(item);
    if (found == slotOfItem_.end())
        return;
    TSlot& slot = slots_[static_cast<size_t>(found->second)];
    SetState(slot, TState::Free);
    slot.item = 0;
    slot.lastUse = 0;
    freeSlots_.push_back(found->second);
    slotOfItem_.erase(found);
}

void TThumbnailSlots::Reset(int capacity)
{
    capacity_ = std::max(capacity, 1);
    slots_.clear();
    slotOfItem_.clear();
    wanted_.clear();
    freeSlots_.clear();
    inFlight_ = 0;
    wantedCount_ = 0;
}

void TThumbnailSlots::Want(int slot)
{
    if (OwnerOf(slot) == 0)
        return;
    SetState(slots_[static_cast<size_t>(slot)], TState::Wanted);
    wanted_.push_back(slot);
    // Entries of slots asked for, dropped or lent again meanwhile are skipped when taken; they
    // must not pile up while nothing is taken.
    if (wanted_.size() > static_cast<size_t>(capacity_) * 4) {
        std::vector<int> kept;
        std::vector<bool> seen(slots_.size(), false);
        for (auto entry = wanted_.rbegin(); entry != wanted_.rend(); ++entry)
            if (!seen[static_cast<size_t>(*entry)] &&
                slots_[static_cast<size_t>(*entry)].state == TState::Wanted) {
                seen[static_cast<size_t>(*entry)] = true;
                kept.push_back(*entry);
            }
        wanted_.assign(kept.rbegin(), kept.rend());
    }
}

bool TThumbnailSlots::Awaited(int slot, uint32_t item) const
{
    if (item == 0 || OwnerOf(slot) != item)
        return false;
    const TState state = slots_[static_cast<size_t>(slot)].state;
    return state == TState::Wanted || state == TState::Asked;
}

void TThumbnailSlots::Finished(int slot)
{
    if (OwnerOf(slot) == 0)
        return;
    TSlot& entry = slots_[static_cast<size_t>(slot)];
    if (entry.state == TState::Wanted || entry.state == TState::Asked)
        SetState(entry, TState::Shown);
}

int TThumbnailSlots::TakeWanted(const std::function<bool(uint32_t item)>& worth,
                                std::vector<uint32_t>& dropped)
{
    while (!wanted_.empty()) {
        const int slot = wanted_.back();
        wanted_.pop_back();
        TSlot& entry = slots_[static_cast<size_t>(slot)];
        if (entry.state != TState::Wanted)
            continue;
        const uint32_t item = entry.item;
        if (worth(item)) {
            SetState(entry, TState::Asked);
            return slot;
        }
        dropped.push_back(item);
        Release(item);
    }
    return -1;
}

void TThumbnailSlots::SetState(TSlot& slot, TState state)
{
    if (slot.state == TState::Asked)
        --inFlight_;
    else if (slot.state == TState::Wanted)
        --wantedCount_;
    slot.state = state;
    if (state == TState::Asked)
        ++inFlight_;
    else if (state == TState::Wanted)
        ++wantedCount_;
}
