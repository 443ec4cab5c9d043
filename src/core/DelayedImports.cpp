// The theme, accessibility and network functions the program calls, bound on first use to the
// libraries in the system directory. These libraries are no known DLLs of the system: imported
// directly, Windows would look for them beside the program before it runs, where anyone may have
// put a file of the same name. The headers declare the functions as imported, so a call reads the
// import pointer "__imp_<name>"; this file defines those pointers, each aimed at a stub that
// loads the library by its full path, finds the function and calls it. A missing library or
// function gives the function's failure value.
#include "core/SystemLibrary.h"

#include <oleacc.h>
#include <uxtheme.h>
#include <winnetwk.h>

namespace {

FARPROC SystemProcedure(const wchar_t* library, const char* name) noexcept
{
    const HMODULE module = LoadSystemLibrary(library);  // kept for the life of the process
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

}  // namespace

#if defined(__i386__)
#define BIVISTA_IMPORT_SYMBOL(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#else
#define BIVISTA_IMPORT_SYMBOL(name, argumentBytes) "__imp_" #name
#endif

// One function: its library, result type, value on failure, name, argument bytes (32-bit
// stdcall), parameters and the arguments passed on.
#define BIVISTA_DELAYED(library, Result, failure, name, argumentBytes, parameters, arguments)      \
    namespace {                                                                                    \
    Result WINAPI Delayed##name parameters                                                         \
    {                                                                                              \
        using TFunction = Result(WINAPI*) parameters;                                              \
        static const auto function =                                                               \
            reinterpret_cast<TFunction>(reinterpret_cast<void*>(SystemProcedure(library, #name))); \
        return function != nullptr ? function arguments : failure;                                 \
    }                                                                                              \
    }                                                                                              \
    extern "C" {                                                                                   \
    extern void* const DelayedImport##name asm(BIVISTA_IMPORT_SYMBOL(name, argumentBytes));        \
    void* const DelayedImport##name = reinterpret_cast<void*>(&Delayed##name);                     \
    }

BIVISTA_DELAYED(L"uxtheme.dll", HRESULT, E_NOTIMPL, CloseThemeData, 4, (HTHEME theme), (theme))
BIVISTA_DELAYED(L"uxtheme.dll", HRESULT, E_NOTIMPL, DrawThemeBackground, 24,
                (HTHEME theme, HDC dc, int part, int state, LPCRECT rect, LPCRECT clip),
                (theme, dc, part, state, rect, clip))
BIVISTA_DELAYED(L"uxtheme.dll", HRESULT, E_NOTIMPL, GetThemeColor, 20,
                (HTHEME theme, int part, int state, int property, COLORREF* color),
                (theme, part, state, property, color))
BIVISTA_DELAYED(L"uxtheme.dll", BOOL, FALSE, IsAppThemed, 0, (), ())
BIVISTA_DELAYED(L"uxtheme.dll", BOOL, FALSE, IsThemeActive, 0, (), ())
BIVISTA_DELAYED(L"uxtheme.dll", HTHEME, nullptr, OpenThemeData, 8, (HWND window, LPCWSTR classes),
                (window, classes))
BIVISTA_DELAYED(L"uxtheme.dll", HRESULT, E_NOTIMPL, SetWindowTheme, 12,
                (HWND window, LPCWSTR application, LPCWSTR classes), (window, application, classes))
BIVISTA_DELAYED(L"mpr.dll", DWORD, ERROR_NOT_SUPPORTED, WNetConnectionDialog1W, 4,
                (LPCONNECTDLGSTRUCTW dialog), (dialog))
BIVISTA_DELAYED(L"mpr.dll", DWORD, ERROR_NOT_SUPPORTED, WNetDisconnectDialog, 8,
                (HWND owner, DWORD type), (owner, type))
BIVISTA_DELAYED(L"oleacc.dll", HRESULT, E_NOTIMPL, CreateStdAccessibleObject, 16,
                (HWND window, LONG object, REFIID interfaceId, void** result),
                (window, object, interfaceId, result))
BIVISTA_DELAYED(L"oleacc.dll", LRESULT, 0, LresultFromObject, 12,
                (REFIID interfaceId, WPARAM flags, LPUNKNOWN object), (interfaceId, flags, object))
