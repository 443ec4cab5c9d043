#include "ui/AccessibleClient.h"

#include "core/ComPtr.h"

#include <oleacc.h>

#include <atomic>

namespace {

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR Copy(const std::wstring& text)
{
    return text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The standard client object, with the facts of its window in place of its own where they
// concern the control itself; everything else (place, parent, navigation) is the system's.
class TAccessibleClient final : public IAccessible {
public:
    TAccessibleClient(HWND window, TComPtr<IAccessible> standard)
        : window_(window), standard_(std::move(standard))
    {
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID id, void** result) override
    {
        if (result == nullptr)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *result = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Enumerating children and finding the window are the standard object's.
        if (id == IID_IEnumVARIANT || id == IID_IOleWindow)
            return standard_->QueryInterface(id, result);
        *result = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: not offered, as for most accessible objects.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible: the control's own facts
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child))
            return standard_->get_accName(child, name);
        if (name == nullptr)
            return E_POINTER;
        TAccessibleFacts facts;
        if (!Ask(facts))
            return CO_E_OBJNOTCONNECTED;
        *name = Copy(facts.Name);
        return *name != nullptr ? S_OK : S_FALSE;
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child))
            return standard_->get_accRole(child, role);
        if (role == nullptr)
            return E_POINTER;
        TAccessibleFacts facts;
        if (!Ask(facts))
            return CO_E_OBJNOTCONNECTED;
        role->vt = VT_I4;
        role->lVal = facts.Role;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override
    {
        if (!IsSelf(child))
            return standard_->get_accState(child, state);
        if (state == nullptr)
            return E_POINTER;
        TAccessibleFacts facts;
        if (!Ask(facts))
            return CO_E_OBJNOTCONNECTED;
        VARIANT standardState;
        VariantInit(&standardState);
        LONG bits = 0;
        if (SUCCEEDED(standard_->get_accState(child, &standardState)) && standardState.vt == VT_I4)
            bits = standardState.lVal;
        // The standard object offers the focus to every window; a tool-bar button takes none.
        bits &= ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
        state->vt = VT_I4;
        state->lVal = bits | facts.State;
        return S_OK;
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (!IsSelf(child))
            return standard_->get_accDefaultAction(child, action);
        if (action == nullptr)
            return E_POINTER;
        TAccessibleFacts facts;
        if (!Ask(facts))
            return CO_E_OBJNOTCONNECTED;
        *action = Copy(facts.DefaultAction);
        return *action != nullptr ? S_OK : S_FALSE;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override
    {
        if (!IsSelf(child))
            return standard_->accDoDefaultAction(child);
        TAccessibleFacts facts;
        if (!Ask(facts))
            return CO_E_OBJNOTCONNECTED;
        if (facts.DefaultAction.empty())
            return DISP_E_MEMBERNOTFOUND;
        // Posted: the client's call returns before the command runs, as for a real button.
        return PostMessageW(window_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the standard object's
    STDMETHODIMP get_accParent(IDispatch** parent) override
    {
        return standard_->get_accParent(parent);
    }
    STDMETHODIMP get_accChildCount(LONG* count) override
    {
        return standard_->get_accChildCount(count);
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** result) override
    {
        return standard_->get_accChild(child, result);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override
    {
        return standard_->get_accValue(child, value);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override
    {
        return standard_->get_accDescription(child, text);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* text) override
    {
        return standard_->get_accHelp(child, text);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT* children) override
    {
        return standard_->get_accSelection(children);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override
    {
        return standard_->accSelect(flags, child);
    }
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                             VARIANT child) override
    {
        return standard_->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(LONG left, LONG top, VARIANT* child) override
    {
        return standard_->accHitTest(left, top, child);
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessibleClient() = default;

    bool Ask(TAccessibleFacts& facts) const
    {
        return IsWindow(window_) && SendMessageW(window_, AccessibleFactsMessage(), 0,
                                                 reinterpret_cast<LPARAM>(&facts)) == TRUE;
    }

    std::atomic<ULONG> references_{1};
    HWND window_;
    TComPtr<IAccessible> standard_;
};

}  // namespace

UINT AccessibleFactsMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Bivista.AccessibleFacts");
    return message;
}

LRESULT AnswerAccessibleClient(HWND window, WPARAM flags, LPARAM objectId)
{
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return 0;
    TComPtr<IAccessible> standard;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(standard.GetAddressOf()))) ||
        !standard)
        return 0;
    TComPtr<IAccessible> client;
    client.Attach(new TAccessibleClient(window, std::move(standard)));
    const LRESULT answer = LresultFromObject(IID_IAccessible, flags, client.Get());
    return answer > 0 ? answer : 0;
}
