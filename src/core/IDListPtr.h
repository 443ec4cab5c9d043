#pragma once
// Ownership of shell ID lists. A borrowed list is a const pointer that the holder must not
// free; an owned list frees its block with CoTaskMemFree.
#include <windows.h>
#include <shtypes.h>

#include <utility>

using TBorrowedIDList = LPCITEMIDLIST;

class TOwnedIDList {
public:
    TOwnedIDList() noexcept = default;
    explicit TOwnedIDList(LPITEMIDLIST list) noexcept : list_(list) {}
    ~TOwnedIDList() { reset(); }
    TOwnedIDList(const TOwnedIDList&) = delete;
    TOwnedIDList& operator=(const TOwnedIDList&) = delete;
    TOwnedIDList(TOwnedIDList&& other) noexcept : list_(other.release()) {}
    TOwnedIDList& operator=(TOwnedIDList&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    LPITEMIDLIST get() const noexcept { return list_; }
    operator TBorrowedIDList() const noexcept { return list_; }
    explicit operator bool() const noexcept { return list_ != nullptr; }

    LPITEMIDLIST release() noexcept { return std::exchange(list_, nullptr); }
    void reset(LPITEMIDLIST list = nullptr) noexcept
    {
        LPITEMIDLIST old = std::exchange(list_, list);
        if (old != nullptr && old != list)
            CoTaskMemFree(old);
    }
    // For shell calls that return a new list through an out parameter.
    LPITEMIDLIST* put() noexcept
    {
        reset();
        return &list_;
    }

private:
    LPITEMIDLIST list_ = nullptr;
};
