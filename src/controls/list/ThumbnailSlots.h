#pragma once
// The thumbnail pictures a list keeps and the order it asks for them. A bounded number of
// image slots, each lent to one item at a time: once all are lent, the slot drawn least
// recently goes to the next item (whose picture is fetched again when it is drawn again), so
// that memory and the cost of a new picture stay the same however far the user scrolls. The
// pictures wanted wait here rather than in the pool: the newest, which are the ones on screen,
// are asked for first, a few at a time, and those scrolled past are dropped unasked.
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

class TThumbnailSlots {
public:
    // Items are named by their work sequence numbers (never 0).
    explicit TThumbnailSlots(int capacity = 1);

    // Slots kept at most for pictures of this size: several screens' worth, and never more
    // memory than a 32-bit process can spare.
    static int CapacityFor(int width, int height);
    int Capacity() const noexcept { return capacity_; }
    // Slots lent so far: the image list holds at least this many images.
    int Used() const noexcept { return static_cast<int>(slots_.size()); }

    struct TLease {
        int slot = -1;
        // The item that lost the slot to this one; 0 for none.
        uint32_t evicted = 0;
    };
    // The item's slot, lent anew (evicting the least recently drawn) when it has none.
    TLease Lend(uint32_t item);
    // The item's slot was drawn.
    void Touch(int slot);
    // The slot's item; 0 when it is free or out of range.
    uint32_t OwnerOf(int slot) const;
    // Frees the item's slot, if it has one: a result for it lands nowhere.
    void Release(uint32_t item);
    // Frees every slot; from now on at most `capacity` are lent.
    void Reset(int capacity);

    // The slot's picture is wanted; it waits as the newest request.
    void Want(int slot);
    // Whether the item's picture for the slot is wanted or on its way.
    bool Awaited(int slot, uint32_t item) const;
    // The result for the slot came (or will never come): it is no longer awaited.
    void Finished(int slot);
    // Pictures asked for and not finished.
    int InFlight() const noexcept { return inFlight_; }
    // The newest wanted slot whose item `worth` accepts, marked as asked for; -1 when none
    // waits. Wanted items that `worth` refuses on the way are released and returned in
    // `dropped`.
    int TakeWanted(const std::function<bool(uint32_t item)>& worth, std::vector<uint32_t>& dropped);
    int WantedCount() const noexcept { return wantedCount_; }

private:
    enum class TState : uint8_t { Free, Shown, Wanted, Asked };
    struct TSlot {
        uint32_t item = 0;
        uint64_t lastUse = 0;
        TState state = TState::Free;
    };

    void SetState(TSlot& slot, TState state);
    int SlotOf(uint32_t item) const;

    int capacity_;
    std::vector<TSlot> slots_;
    std::unordered_map<uint32_t, int> slotOfItem_;
    // Slot numbers in the order their pictures were wanted; stale entries are skipped.
    std::vector<int> wanted_;
    std::vector<int> freeSlots_;
    uint64_t clock_ = 0;
    int inFlight_ = 0;
    int wantedCount_ = 0;
};
