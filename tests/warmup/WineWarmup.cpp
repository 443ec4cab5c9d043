// Keeps a Wine prefix warm for the test run: starts the services that the tests would
// otherwise start (COM's RPC service, the desktop window, the shell), with this process's
// output detached, writes a marker file and then waits until it is killed. Services started
// by a test would inherit its output pipe and keep ctest waiting.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

int wmain(int argc, wchar_t** argv)
{
    OleInitialize(nullptr);
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop != nullptr) {
        LPITEMIDLIST drives = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)))
            CoTaskMemFree(drives);
    }
    IUnknown* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))))
        link->Release();
    HWND window = CreateWindowExW(0, L"STATIC", L"warm-up", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        DestroyWindow(window);
    }
    if (argc > 1) {
        HANDLE marker = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (marker != INVALID_HANDLE_VALUE)
            CloseHandle(marker);
    }
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(200);
    }
}
