#include "common/Accessibility.h"

TComPtr<IAccessible> AccessibleClientOf(HWND window)
{
    // Bound at run time: the program binds the same library's other entries itself.
    using TFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = reinterpret_cast<TFromWindow>(reinterpret_cast<void*>(
        GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    TComPtr<IAccessible> object;
    if (fromWindow != nullptr)
        fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                   reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

TAccessibleReading ReadAccessible(IAccessible* object)
{
    TAccessibleReading reading;
    if (object == nullptr)
        return reading;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr)
        reading.Name = name;
    SysFreeString(name);
    VARIANT value{};
    if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4)
        reading.Role = value.lVal;
    VariantClear(&value);
    if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4)
        reading.State = value.lVal;
    VariantClear(&value);
    return reading;
}
