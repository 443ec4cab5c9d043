// The least program that can show a folder, for the start-up bench's floor: it starts,
// enumerates the folder through the shell (every object's name from its find data, as the
// shell list's fill takes it), puts every object into a report list view with drawing paused,
// shows its window and waits until it is closed. The bench's watcher times it exactly as it
// times Bivista and Wine's explorer.
//
//   bench_startup_floor <folder path>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename T>
struct TReleased {
    T* Pointer = nullptr;
    TReleased() = default;
    TReleased(const TReleased&) = delete;
    TReleased& operator=(const TReleased&) = delete;
    ~TReleased()
    {
        if (Pointer != nullptr)
            Pointer->Release();
    }
};

struct TFreedIDList {
    LPITEMIDLIST List = nullptr;
    TFreedIDList() = default;
    TFreedIDList(const TFreedIDList&) = delete;
    TFreedIDList& operator=(const TFreedIDList&) = delete;
    ~TFreedIDList() { CoTaskMemFree(List); }
};

// The names of the folder's objects, hidden ones included; empty when it cannot be read.
std::vector<std::wstring> ObjectNames(const wchar_t* path)
{
    std::vector<std::wstring> names;
    TReleased<IShellFolder> desktop;
    TFreedIDList folderList;
    TReleased<IShellFolder> folder;
    TReleased<IEnumIDList> enumerator;
    if (FAILED(SHGetDesktopFolder(&desktop.Pointer)) ||
        FAILED(SHParseDisplayName(path, nullptr, &folderList.List, 0, nullptr)) ||
        FAILED(desktop.Pointer->BindToObject(folderList.List, nullptr, IID_IShellFolder,
                                             reinterpret_cast<void**>(&folder.Pointer))) ||
        folder.Pointer->EnumObjects(nullptr,
                                    SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                                    &enumerator.Pointer) != S_OK)
        return names;
    LPITEMIDLIST item = nullptr;
    while (enumerator.Pointer->Next(1, &item, nullptr) == S_OK) {
        WIN32_FIND_DATAW data{};
        if (SUCCEEDED(
                SHGetDataFromIDListW(folder.Pointer, item, SHGDFIL_FINDDATA, &data, sizeof(data))))
            names.emplace_back(data.cFileName);
        CoTaskMemFree(item);
    }
    return names;
}

// Bivista's system libraries, loaded here too so that the loader's share of the start is the
// same: a library none of whose functions is named is not loaded at all.
void* const volatile kSameImports[] = {reinterpret_cast<void*>(&RegCloseKey),
                                       reinterpret_cast<void*>(&SysFreeString)};

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND list = GetWindow(window, GW_CHILD))
            MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 || !PathIsDirectoryW(argv[1])) {
        std::fprintf(stderr, "usage: bench_startup_floor <folder path>\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    frameClass.lpszClassName = L"BivistaBench.Floor";
    RegisterClassW(&frameClass);
    HWND frame =
        CreateWindowExW(0, frameClass.lpszClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 900, 650, nullptr, nullptr, instance, nullptr);
    RECT client{};
    GetClientRect(frame, &client);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                client.right, client.bottom, frame, nullptr, instance, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 300;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    const std::vector<std::wstring> names = ObjectNames(argv[1]);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, names.size(), 0);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    for (const std::wstring& name : names) {
        item.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ++item.iItem;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    OleUninitialize();
    return kSameImports[0] != nullptr && !names.empty() ? 0 : 1;
}
