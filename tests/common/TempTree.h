#pragma once
// A real folder tree in the temporary directory, removed with everything in it when the
// object goes. Paths given to the methods are relative to the tree's root.
#include <windows.h>

#include <cstdint>
#include <string>

class TTempTree {
public:
    TTempTree();
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    // Root folder with a trailing backslash.
    const std::wstring& Root() const noexcept { return root_; }
    // Full path of a relative path (no trailing backslash unless `relative` is empty).
    std::wstring Path(const std::wstring& relative) const;

    // Creates the folder and its parents; returns the full path.
    std::wstring Folder(const std::wstring& relative);
    // Creates a file (and its parents) with `size` bytes of content; returns the full path.
    std::wstring File(const std::wstring& relative, uint64_t size = 0,
                      DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    std::wstring TextFile(const std::wstring& relative, const std::string& content);
    // A shortcut file (.lnk) made through IShellLinkW pointing at `target`.
    std::wstring Shortcut(const std::wstring& relative, const std::wstring& target);
    // Sets a file's or folder's last-write time (UTC), and its last-access time when given.
    void SetModifiedTime(const std::wstring& relative, const FILETIME& time,
                         const FILETIME* accessed = nullptr);

    // Lists every folder of the tree and every folder above it twice. The file system renews a
    // folder's access time at the first read after a change, and Wine's ID lists carry that
    // time; its folder dialog finds items by comparing ID lists byte for byte, so a folder read
    // between two of its ID lists being made would not be found again.
    void SettleAccessTimes() const;

    // Removes a folder tree or file, clearing read-only and hidden marks first.
    static void RemoveTree(const std::wstring& path);

private:
    std::wstring root_;
};

// Pumps the thread's messages for `milliseconds` (or until `done` turns true).
template <class Predicate>
bool PumpMessagesUntil(Predicate done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
inline void PumpMessages(DWORD milliseconds)
{
    PumpMessagesUntil([] { return false; }, milliseconds);
}
