#pragma once
// A shell folder that answers as a real one, except for CompareIDs, which a test decides: how
// a folder of another platform or kind would order the same objects.
#include <windows.h>

#include <shlobj.h>

#include <functional>

class TComparingFolder : public IShellFolder {
public:
    // `compare` answers CompareIDs with -1, 0 or 1 (column, first, second).
    using TCompare = std::function<int(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE)>;
    TComparingFolder(IShellFolder* inner, TCompare compare)
        : inner_(inner), compare_(std::move(compare))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IShellFolder) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IShellFolder*>(this);
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND window, IBindCtx* context, LPWSTR name,
                                               ULONG* eaten, PIDLIST_RELATIVE* list,
                                               ULONG* attributes) override
    {
        return inner_->ParseDisplayName(window, context, name, eaten, list, attributes);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND window, SHCONTF flags,
                                          IEnumIDList** enumerator) override
    {
        return inner_->EnumObjects(window, flags, enumerator);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE list, IBindCtx* context, REFIID iid,
                                           void** object) override
    {
        return inner_->BindToObject(list, context, iid, object);
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE list, IBindCtx* context, REFIID iid,
                                            void** object) override
    {
        return inner_->BindToStorage(list, context, iid, object);
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM column, PCUIDLIST_RELATIVE first,
                                         PCUIDLIST_RELATIVE second) override
    {
        const int result = compare_(column, first, second);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(static_cast<short>(result)));
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND window, REFIID iid, void** object) override
    {
        return inner_->CreateViewObject(window, iid, object);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY lists,
                                              SFGAOF* attributes) override
    {
        return inner_->GetAttributesOf(count, lists, attributes);
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND window, UINT count, PCUITEMID_CHILD_ARRAY lists,
                                            REFIID iid, UINT* reserved, void** object) override
    {
        return inner_->GetUIObjectOf(window, count, lists, iid, reserved, object);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD list, SHGDNF flags,
                                               STRRET* name) override
    {
        return inner_->GetDisplayNameOf(list, flags, name);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND window, PCUITEMID_CHILD list, LPCWSTR name,
                                        SHGDNF flags, PITEMID_CHILD* result) override
    {
        return inner_->SetNameOf(window, list, name, flags, result);
    }

private:
    IShellFolder* inner_;
    TCompare compare_;
};
