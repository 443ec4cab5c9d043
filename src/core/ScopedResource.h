#pragma once
// Scoped owners of Win32 handles and other resources that one call releases.
#include <windows.h>

#include <type_traits>
#include <utility>

template <class T, class Traits>
class TScopedResource {
public:
    TScopedResource() noexcept = default;
    explicit TScopedResource(T value) noexcept : value_(value) {}
    ~TScopedResource() { reset(); }
    TScopedResource(const TScopedResource&) = delete;
    TScopedResource& operator=(const TScopedResource&) = delete;
    TScopedResource(TScopedResource&& other) noexcept : value_(other.release()) {}
    TScopedResource& operator=(TScopedResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const noexcept { return value_; }
    bool valid() const noexcept { return Traits::IsValid(value_); }
    explicit operator bool() const noexcept { return valid(); }
    T release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) noexcept
    {
        T old = std::exchange(value_, value);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }

private:
    T value_ = Traits::Invalid();
};

struct TKernelHandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { CloseHandle(h); }
};
struct TFindHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { FindClose(h); }
};
struct TChangeNotificationTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { FindCloseChangeNotification(h); }
};
struct TModuleTraits {
    static HMODULE Invalid() noexcept { return nullptr; }
    static bool IsValid(HMODULE h) noexcept { return h != nullptr; }
    static void Close(HMODULE h) noexcept { FreeLibrary(h); }
};
struct TGdiObjectTraits {
    static HGDIOBJ Invalid() noexcept { return nullptr; }
    static bool IsValid(HGDIOBJ h) noexcept { return h != nullptr; }
    static void Close(HGDIOBJ h) noexcept { DeleteObject(h); }
};
struct TIconTraits {
    static HICON Invalid() noexcept { return nullptr; }
    static bool IsValid(HICON h) noexcept { return h != nullptr; }
    static void Close(HICON h) noexcept { DestroyIcon(h); }
};
struct TMenuTraits {
    static HMENU Invalid() noexcept { return nullptr; }
    static bool IsValid(HMENU h) noexcept { return h != nullptr; }
    static void Close(HMENU h) noexcept { DestroyMenu(h); }
};
struct TMemoryDCTraits {
    static HDC Invalid() noexcept { return nullptr; }
    static bool IsValid(HDC dc) noexcept { return dc != nullptr; }
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};
struct TCoTaskMemTraits {
    static void* Invalid() noexcept { return nullptr; }
    static bool IsValid(void* p) noexcept { return p != nullptr; }
    static void Close(void* p) noexcept { CoTaskMemFree(p); }
};

using TScopedHandle = TScopedResource<HANDLE, TKernelHandleTraits>;
using TScopedFindHandle = TScopedResource<HANDLE, TFindHandleTraits>;
using TScopedChangeNotification = TScopedResource<HANDLE, TChangeNotificationTraits>;
using TScopedModule = TScopedResource<HMODULE, TModuleTraits>;
using TScopedGdiObject = TScopedResource<HGDIOBJ, TGdiObjectTraits>;
using TScopedIcon = TScopedResource<HICON, TIconTraits>;
using TScopedMenu = TScopedResource<HMENU, TMenuTraits>;
using TScopedCoTaskMem = TScopedResource<void*, TCoTaskMemTraits>;
// A memory DC from CreateCompatibleDC.
using TScopedMemoryDC = TScopedResource<HDC, TMemoryDCTraits>;

// A window's DC from GetDC (the screen's when the window is null), released on exit.
class TScopedWindowDC {
public:
    explicit TScopedWindowDC(HWND window = nullptr) noexcept : window_(window), dc_(GetDC(window))
    {
    }
    ~TScopedWindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    TScopedWindowDC(const TScopedWindowDC&) = delete;
    TScopedWindowDC& operator=(const TScopedWindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the one it replaced back on exit, so that the
// object can be deleted or handed on afterwards. No object, or no DC, selects nothing.
class TSelectObjectScope {
public:
    TSelectObjectScope(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr)
    {
    }
    ~TSelectObjectScope()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    TSelectObjectScope(const TSelectObjectScope&) = delete;
    TSelectObjectScope& operator=(const TSelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Gives a variable a new value for the life of the scope and puts the old one back on any
// exit: a flag or a counter that must not stay set when an exception leaves.
template <class T>
class TRestoreOnExit {
public:
    template <class U>
    TRestoreOnExit(T& target, U&& value)
        : target_(target), saved_(std::exchange(target, std::forward<U>(value)))
    {
        static_assert(std::is_nothrow_move_assignable_v<T>, "restoring must not throw");
    }
    ~TRestoreOnExit() { target_ = std::move(saved_); }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    T& target_;
    T saved_;
};

// Runs an action when the scope ends, however it ends, unless dismissed first (a rollback
// that success makes unneeded). The action should not throw: one run by the destructor
// while an exception leaves must not replace that exception, so a failure there is dropped.
// An action that can fail on the normal path (it runs handlers) is run with Run(), where its
// exception reaches the caller.
template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F action) noexcept(std::is_nothrow_move_constructible_v<F>)
        : action_(std::move(action))
    {
    }
    ~TScopeExit() noexcept
    {
        if (!active_)
            return;
        try {
            action_();
        } catch (...) {
        }
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    void Dismiss() noexcept { active_ = false; }
    // Runs the action now rather than at the end of the scope, and only this once.
    void Run()
    {
        if (std::exchange(active_, false))
            action_();
    }

private:
    F action_;
    bool active_ = true;
};

// Sets the calling thread's error mode for the life of the scope and restores the previous
// one. Per thread: shell calls run on workers too, and the process-wide mode saved and
// restored from two threads at once would leave either's mode behind.
class TErrorModeScope {
public:
    explicit TErrorModeScope(UINT mode) noexcept
    {
        constexpr UINT kThreadModes =
            SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
        restore_ = SetThreadErrorMode(mode & kThreadModes, &previous_) != FALSE;
    }
    ~TErrorModeScope()
    {
        if (restore_)
            SetThreadErrorMode(previous_, nullptr);
    }
    TErrorModeScope(const TErrorModeScope&) = delete;
    TErrorModeScope& operator=(const TErrorModeScope&) = delete;

private:
    DWORD previous_ = 0;
    bool restore_ = false;
};

// COM initialised for the life of the scope (apartment-threaded unless told otherwise).
class TComInitScope {
public:
    explicit TComInitScope(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : result_(CoInitializeEx(nullptr, model))
    {
    }
    ~TComInitScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    TComInitScope(const TComInitScope&) = delete;
    TComInitScope& operator=(const TComInitScope&) = delete;
    bool Succeeded() const noexcept { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};
