// OLE drag and drop shared by the shell list and the shell tree.
#include "controls/common/ShellDragDrop.h"

#include "controls/common/TestSeams.h"
#include "core/CallbackException.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ZelShellFolder.h"

#include <utility>

// The one COM object OLE sees for a control, as drop target and as drop source. OLE may hold
// it past the control's life (until RevokeDragDrop, or the end of a drag): the control cuts
// it off first, and a cut adapter refuses everything.
class TShellDropAdapter : public IDropTarget, public IDropSource {
public:
    TShellDropAdapter(TObject* owner, TShellDropHandler* handler) : owner_(owner), handler_(handler)
    {
    }
    virtual ~TShellDropAdapter() = default;

    void Cut() noexcept { handler_ = nullptr; }
    bool IsCut() const noexcept { return handler_ == nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget))
            *object = static_cast<IDropTarget*>(this);
        else if (IsEqualIID(iid, IID_IDropSource))
            *object = static_cast<IDropSource*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // ---- IDropTarget ----
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override
    {
        return Target(effect, [&](DWORD& chosen) {
            return handler_->DragEnter(data, keyState, POINT{point.x, point.y}, chosen);
        });
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override
    {
        return Target(effect, [&](DWORD& chosen) {
            return handler_->DragOver(keyState, POINT{point.x, point.y}, chosen);
        });
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        DWORD unused = DROPEFFECT_NONE;
        return Target(&unused, [&](DWORD&) { return handler_->DragLeave(); });
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override
    {
        return Target(effect, [&](DWORD& chosen) {
            return handler_->Drop(data, keyState, POINT{point.x, point.y}, chosen);
        });
    }

    // ---- IDropSource ----
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
    {
        try {
            if (handler_ != nullptr)
                return handler_->QueryContinueDrag(escapePressed != FALSE, keyState);
        } catch (...) {
            HandleCallbackException(owner_);
        }
        return DRAGDROP_S_CANCEL;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override
    {
        try {
            if (handler_ != nullptr)
                return handler_->GiveFeedback(effect);
        } catch (...) {
            HandleCallbackException(owner_);
        }
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    // A target call behind the barrier: a failure or a missing control chooses no effect.
    template <class Call>
    HRESULT Target(DWORD* effect, Call call) noexcept
    {
        if (effect == nullptr)
            return E_INVALIDARG;
        try {
            if (handler_ != nullptr) {
                DWORD chosen = *effect;
                const HRESULT result = call(chosen);
                *effect = chosen;
                return result;
            }
        } catch (...) {
            HandleCallbackException(owner_);
        }
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }

    LONG references_ = 1;
    TObject* owner_;
    TShellDropHandler* handler_;
};

// ---- Effects and answers ----

DWORD CopyModeEffects(TZelCopyMode mode) noexcept
{
    switch (mode) {
    case cmCopy: return DROPEFFECT_COPY;
    case cmMove: return DROPEFFECT_MOVE;
    case cmLink: return DROPEFFECT_LINK;
    default: return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    }
}

DWORD AllowedDragEffects(TZelCopyMode mode, IShellFolder* folder,
                         const std::vector<TBorrowedIDList>& items)
{
    static_assert(SFGAO_CANCOPY == DROPEFFECT_COPY && SFGAO_CANMOVE == DROPEFFECT_MOVE &&
                  SFGAO_CANLINK == DROPEFFECT_LINK);
    if (folder == nullptr || items.empty())
        return DROPEFFECT_NONE;
    SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (FAILED(folder->GetAttributesOf(static_cast<UINT>(items.size()),
                                       const_cast<LPCITEMIDLIST*>(items.data()), &attributes)))
        return DROPEFFECT_NONE;
    return CopyModeEffects(mode) & attributes;
}

TComPtr<IDataObject> DragDataObject(IShellFolder* folder, const std::vector<TBorrowedIDList>& items,
                                    HWND owner)
{
    TComPtr<IDataObject> data;
    if (folder == nullptr || items.empty())
        return data;
    if (FAILED(folder->GetUIObjectOf(owner, static_cast<UINT>(items.size()),
                                     const_cast<LPCITEMIDLIST*>(items.data()), IID_IDataObject,
                                     nullptr, reinterpret_cast<void**>(data.GetAddressOf()))))
        data.Reset();
    return data;
}

TComPtr<IDropTarget> ObjectDropTarget(IShellFolder* folder, TBorrowedIDList item, HWND owner)
{
    TComPtr<IDropTarget> target;
    if (folder == nullptr || item == nullptr)
        return target;
    LPCITEMIDLIST items[] = {item};
    if (FAILED(folder->GetUIObjectOf(owner, 1, items, IID_IDropTarget, nullptr,
                                     reinterpret_cast<void**>(target.GetAddressOf()))))
        target.Reset();
    return target;
}

TComPtr<IDropTarget> FolderDropTarget(TBorrowedIDList absolute, HWND owner)
{
    TComPtr<IDropTarget> target;
    if (absolute == nullptr)
        return target;
    TOwnedIDList desktopDirectory;
    if (IDListItemCount(absolute) == 0) {
        desktopDirectory = SpecialFolderIDList(SF_DESKTOPDIRECTORY);
        if (!desktopDirectory || IDListItemCount(desktopDirectory) == 0)
            return target;
        absolute = desktopDirectory;
    }
    TComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(absolute, IID_IShellFolder,
                              reinterpret_cast<void**>(parent.GetAddressOf()), &last)))
        return target;
    return ObjectDropTarget(parent.Get(), last, owner);
}

HRESULT ContinueDragAnswer(bool escapePressed, DWORD keyState, DWORD dragButton) noexcept
{
    constexpr DWORD buttons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    if (escapePressed || (keyState & buttons & ~dragButton) != 0)
        return DRAGDROP_S_CANCEL;
    if ((keyState & dragButton) == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

// An answer of several effects at once (a target that left the allowed set as it was) names
// no copy or move, and is reported as neither.
TZelShellOperations DragOperations(DWORD effect) noexcept
{
    switch (effect) {
    case DROPEFFECT_NONE: return 0;
    case DROPEFFECT_COPY: return sopCopy | sopDrag;
    case DROPEFFECT_MOVE: return sopMove | sopDrag | sopRemove;
    default: return sopDrag;
    }
}

TZelShellOperations DropOperations(DWORD effect) noexcept
{
    switch (effect) {
    case DROPEFFECT_COPY: return sopCopy | sopDrop;
    case DROPEFFECT_MOVE: return sopMove | sopDrop;
    default: return sopDrop;
    }
}

DWORD ReportedDropEffect(DWORD effect, const std::vector<std::wstring>& files)
{
    if (effect == DROPEFFECT_NONE && IsNT && !files.empty() && !PathExists(files.front()))
        return DROPEFFECT_MOVE;
    return effect;
}

// ---- Auto-scroll ----

namespace {

// The scroll bar has somewhere to go.
bool HasRoom(HWND window, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(window, bar, &info))
        return false;
    return info.nMax - info.nMin + 1 - static_cast<int>(info.nPage) > 0;
}

}  // namespace

bool AutoScrollForDrag(HWND window, POINT client)
{
    constexpr int kSideMargin = 25;
    constexpr int kEndMargin = 20;
    RECT area{};
    if (window == nullptr || !GetClientRect(window, &area))
        return false;
    bool scrolled = false;
    auto scroll = [&](UINT message, int bar, WPARAM code) {
        if (!HasRoom(window, bar))
            return;
        SendMessageW(window, message, code, 0);
        scrolled = true;
    };
    if (client.x < kSideMargin)
        scroll(WM_HSCROLL, SB_HORZ, SB_LINELEFT);
    else if (client.x > area.right - kSideMargin)
        scroll(WM_HSCROLL, SB_HORZ, SB_LINERIGHT);
    if (client.y < kEndMargin)
        scroll(WM_VSCROLL, SB_VERT, SB_LINEUP);
    else if (client.y > area.bottom - kEndMargin)
        scroll(WM_VSCROLL, SB_VERT, SB_LINEDOWN);
    return scrolled;
}

// ---- TShellDragDrop ----

TShellDragDrop::TShellDragDrop(TObject* owner, TShellDropHandler& handler)
{
    adapter_.Attach(new TShellDropAdapter(owner, &handler));
}

TShellDragDrop::~TShellDragDrop()
{
    Revoke();
    adapter_->Cut();
}

bool TShellDragDrop::Register(HWND window)
{
    Revoke();
    if (window == nullptr ||
        FAILED(RegisterDragDrop(window, static_cast<IDropTarget*>(adapter_.Get()))))
        return false;
    registeredWindow_ = window;
    return true;
}

void TShellDragDrop::Revoke() noexcept
{
    if (registeredWindow_ != nullptr)
        RevokeDragDrop(std::exchange(registeredWindow_, nullptr));
}

bool TShellDragDrop::Follow(bool wanted, HWND window)
{
    if (window == nullptr)
        return wanted;
    if (!wanted) {
        Revoke();
        return false;
    }
    return Register(window);
}

std::optional<DWORD> TShellDragDrop::RunDrag(IDataObject* data, DWORD allowedEffects, DWORD button)
{
    if (data == nullptr)
        return DROPEFFECT_NONE;
    // The adapter must outlive the loop even if the control goes meanwhile; cut off, it tells
    // that nothing of the control (this object included) may be touched any more.
    const TComPtr<TShellDropAdapter> source = adapter_;
    struct TButtonScope {
        const TComPtr<TShellDropAdapter>& source;
        DWORD& button;
        ~TButtonScope()
        {
            if (!source->IsCut())
                button = 0;
        }
    } scope{source, dragButton_};
    dragButton_ = button;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result =
        DoDragDropHook
            ? DoDragDropHook(data, static_cast<IDropSource*>(source.Get()), allowedEffects, &effect)
            : DoDragDrop(data, static_cast<IDropSource*>(source.Get()), allowedEffects, &effect);
    if (source->IsCut())
        return std::nullopt;
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

TShellDragDrop::TPresence TShellDragDrop::Presence() const
{
    return TPresence(adapter_);
}

TShellDragDrop::TPresence::TPresence(const TComPtr<TShellDropAdapter>& adapter) : adapter_(adapter)
{
}

TShellDragDrop::TPresence::TPresence(TPresence&& other) noexcept = default;

TShellDragDrop::TPresence::~TPresence() = default;

bool TShellDragDrop::TPresence::Present() const noexcept
{
    return adapter_ && !adapter_->IsCut();
}
