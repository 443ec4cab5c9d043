#pragma once
// Runs the real program as a user would: a copy of bivista.exe in a folder of its own (its
// settings file beside it), started in a working directory of its own, driven from this
// process with input and messages, closed, and its files read afterwards. The windows are
// found by their classes and places, as nothing else names them across processes.
#include "common/TempTree.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A window's text, asked of the program (empty when it does not answer).
std::wstring WindowText(HWND window);

class TProgramDriver {
public:
    explicit TProgramDriver(TTempTree& tree, const std::wstring& workName = L"work");
    ~TProgramDriver();
    TProgramDriver(const TProgramDriver&) = delete;
    TProgramDriver& operator=(const TProgramDriver&) = delete;

    const std::wstring& ProgramFolder() const noexcept { return programFolder_; }
    const std::wstring& WorkFolder() const noexcept { return workFolder_; }
    std::wstring SettingsFile() const { return programFolder_ + L"\\bivista.ini"; }
    std::wstring BookmarkFile() const { return workFolder_ + L"\\MyList.DAT"; }
    void SetWorkFolder(const std::wstring& folder) { workFolder_ = folder; }

    // Writes the settings file as a user would by hand.
    void WriteSettings(const std::string& text) const;
    // A key of the settings file as written ("" with `present` false when missing).
    std::string Setting(const char* section, const char* key, bool* present = nullptr) const;

    // Starts the program and waits until its main window is shown, both panes have reached
    // their folders and it is idle. False when it did not come up.
    bool Start();
    // Starts the program and waits only until its main window is shown.
    bool StartShown();
    // Asks the main window to close and waits for the program to end; its exit code.
    DWORD Close();
    bool Running() const;

    HWND MainWindow() const noexcept { return main_; }
    // The windows of the main window, found by class and place.
    HWND List(int pane) const;
    HWND Tree(int pane) const;
    HWND Combo(int pane) const;
    HWND ToolButton(int designLeft) const;  // by its design position in the tool bar
    HWND Pane2Panel() const;                // the panel of the lower pane
    HWND TreePanel() const;                 // the panel that holds pane 1's tree
    HWND Splitter(int number) const;        // 1, 2 or 3 as on the window

    // A top-level window of the program with this caption (visible only), or null.
    HWND TopWindow(const std::wstring& caption) const;
    // The program's message box (dialog class), or null; its text.
    HWND MessageBoxWindow() const;
    static std::wstring MessageText(HWND box);

    // The window with the keyboard focus in the program.
    HWND Focus() const;
    // The program has dealt with everything sent so far.
    void Settle() const;
    // Waits until `done` is true (true), or up to `milliseconds` (false).
    static bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 5000);

    // Input as a user's: keys to the foreground window, clicks at a window's client point.
    void Activate() const;
    void Press(WORD key, bool alt = false) const;
    void Click(HWND window, POINT client) const;
    // Drags with the left button from a client point of the window by (dx, dy).
    void Drag(HWND window, POINT client, int dx, int dy) const;

    // The entry a pane's path combo has selected; -1 when none.
    int ComboSelection(int pane) const;

    static RECT ClientRectIn(HWND window, HWND parent);
    static int ListView(HWND list);  // LVS_REPORT, LVS_LIST or LVS_ICON
    static int ItemCount(HWND list);
    static bool Down(HWND button);

private:
    std::vector<HWND> Children(const wchar_t* className) const;
    void Kill();

    std::wstring programFolder_;
    std::wstring workFolder_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// Design pixels on this screen (the program scales its window by the screen's dpi).
int DesignScale(int pixels);

// A picture of the whole virtual display, saved at a host path (imagemagick's import).
bool SaveScreenshot(const std::string& hostPath);

// The whole file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
