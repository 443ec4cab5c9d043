#pragma once
// Where the pool's icon and thumbnail results for a shell list arrive. Every request gets a
// small counted receiver of its own that names its item by a sequence number, never by an
// address, and reaches the list through a link that the list cuts as it goes: a result for an
// item that has left, for a picture of an earlier size or for a list that is gone lands
// nowhere, however late it comes.
#include "threadpool/ZelWorkItems.h"

#include <atomic>
#include <cstdint>
#include <memory>

class TZelShellList;

// Shared by a list and the receivers of its requests; the list clears it as it goes.
struct TShellListResultLink {
    TZelShellList* List = nullptr;
};

class TShellListReceiver final : public IIconViewer, public IThumbnailViewer {
public:
    // `item`: the item's sequence number; `generation`: the list's thumbnail generation when
    // the request was made.
    TShellListReceiver(std::shared_ptr<TShellListResultLink> link, uint32_t item,
                       uint32_t generation) noexcept;
    TShellListReceiver(const TShellListReceiver&) = delete;
    TShellListReceiver& operator=(const TShellListReceiver&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // GUI thread, from the work items' completion handlers.
    void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) override;
    void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int imageIndex) override;

private:
    ~TShellListReceiver() = default;

    std::atomic<ULONG> references_{0};
    std::shared_ptr<TShellListResultLink> link_;
    uint32_t item_;
    uint32_t generation_;
};
