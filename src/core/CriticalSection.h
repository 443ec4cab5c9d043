#pragma once
// A Win32 critical section (recursive: the owning thread may enter again) and its scope guard.
#include <windows.h>

class TCriticalSection {
public:
    TCriticalSection() noexcept { InitializeCriticalSection(&section_); }
    ~TCriticalSection() { DeleteCriticalSection(&section_); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter() noexcept { EnterCriticalSection(&section_); }
    void Leave() noexcept { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class TCriticalSectionLock {
public:
    explicit TCriticalSectionLock(TCriticalSection& section) noexcept : section_(section)
    {
        section_.Enter();
    }
    ~TCriticalSectionLock() { section_.Leave(); }
    TCriticalSectionLock(const TCriticalSectionLock&) = delete;
    TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

private:
    TCriticalSection& section_;
};
