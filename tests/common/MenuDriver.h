#pragma once
// Drives popup menus in tests. Code under test opens a menu with TrackPopupMenu and waits in
// the menu's own loop; a driver armed beforehand acts from a timer inside that loop, one step
// per tick, as a user would: arrow keys, Enter, Escape, or a mouse click on an entry. It also
// records what the menu showed. Whatever happens, a menu still open when the time limit runs
// out is closed, so a test cannot hang on it.
//
// Under Wine (and Windows) the menu loop reads keyboard messages posted to its window;
// arrow keys skip separators but stop on disabled entries; Right opens a submenu on its
// first entry; a WM_COMMAND posted to the owner does not end TrackPopupMenu with a command.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TMenuEntry {
    std::wstring Text;  // as shown, with '&' marks and the shortcut after a tab
    UINT Id = 0;
    bool Separator = false;
    bool Disabled = false;
    bool Checked = false;
    bool Default = false;
    bool HasSubmenu = false;
};

// The entries of a system menu, in order.
std::vector<TMenuEntry> MenuEntries(HMENU menu);

class TMenuDriver {
public:
    explicit TMenuDriver(DWORD timeLimit = 5000);
    ~TMenuDriver();
    TMenuDriver(const TMenuDriver&) = delete;
    TMenuDriver& operator=(const TMenuDriver&) = delete;

    // Steps, run in order while a menu is open:
    TMenuDriver& PressKeys(std::initializer_list<WORD> keys);
    // Walks to the entry with that command number (through submenus) with the arrow keys and
    // presses Enter.
    TMenuDriver& Choose(UINT command);
    // Walks to the entry with that caption (without '&' marks and shortcut) and presses Enter;
    // "Parent\\Child" reaches into a submenu.
    TMenuDriver& ChooseCaption(const std::wstring& path);
    // Clicks the entry with that command number in the open top-level menu with the mouse.
    TMenuDriver& Click(UINT command);
    // Runs a check while the menu is open (for example on the application's hint).
    TMenuDriver& Inspect(std::function<void()> check);
    TMenuDriver& Cancel();

    // Arms the driver; call just before the code that opens the menu.
    void Start();
    // A menu was seen open.
    bool MenuShown() const noexcept { return shown_; }
    // The entries of the top-level menu when first seen.
    const std::vector<TMenuEntry>& Entries() const noexcept { return entries_; }
    // The driver ran out of time with a menu still open (it was closed).
    bool TimedOut() const noexcept { return timedOut_; }

private:
    struct TStep {
        enum class TKind { Key, Choose, ChooseCaption, Click, Inspect };
        static TStep Key(WORD key);
        static TStep Command(TKind kind, UINT command);
        TKind kind = TKind::Key;
        WORD key = 0;
        UINT command = 0;
        std::wstring caption;
        std::function<void()> check;
    };
    static void CALLBACK TimerProcedure(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Tick();
    void Stop();
    bool ExpandChoice(const TStep& step, HMENU menu);

    DWORD timeLimit_;
    DWORD startTime_ = 0;
    UINT_PTR timer_ = 0;
    std::vector<TStep> steps_;
    size_t next_ = 0;
    bool shown_ = false;
    bool timedOut_ = false;
    std::vector<TMenuEntry> entries_;
};
