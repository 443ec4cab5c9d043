#include "common/Input.h"

#include "common/TempTree.h"
#include "ui/Application.h"

#include <algorithm>
#include <cstdlib>

#include <atomic>
#include <thread>
#include <vector>

namespace {

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME ||
        key == VK_END || key == VK_PRIOR || key == VK_NEXT || key == VK_INSERT || key == VK_DELETE)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    return input;
}

INPUT AbsoluteMove(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    return MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                      static_cast<LONG>(screen.x * 65535 / (width - 1)),
                      static_cast<LONG>(screen.y * 65535 / (height - 1)));
}

void Send(std::vector<INPUT>& inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void PressKey(WORD key, TShiftState shift)
{
    std::vector<INPUT> inputs;
    if (shift & ssCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, false));
    if (shift & ssShift)
        inputs.push_back(KeyInput(VK_SHIFT, false));
    if (shift & ssAlt)
        inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (shift & ssAlt)
        inputs.push_back(KeyInput(VK_MENU, true));
    if (shift & ssShift)
        inputs.push_back(KeyInput(VK_SHIFT, true));
    if (shift & ssCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, true));
    Send(inputs);
}

void TypeText(const wchar_t* text)
{
    std::vector<INPUT> inputs;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = *c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    Send(inputs);
}

void MoveMouseTo(HWND window, POINT client)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    std::vector<INPUT> inputs{AbsoluteMove(screen)};
    Send(inputs);
}

void ClickAt(HWND window, POINT client, TMouseButton button, bool doubleClick)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    DWORD down = MOUSEEVENTF_LEFTDOWN;
    DWORD up = MOUSEEVENTF_LEFTUP;
    if (button == TMouseButton::mbRight) {
        down = MOUSEEVENTF_RIGHTDOWN;
        up = MOUSEEVENTF_RIGHTUP;
    } else if (button == TMouseButton::mbMiddle) {
        down = MOUSEEVENTF_MIDDLEDOWN;
        up = MOUSEEVENTF_MIDDLEUP;
    }
    std::vector<INPUT> inputs{AbsoluteMove(screen), MouseInput(down), MouseInput(up)};
    if (doubleClick) {
        inputs.push_back(MouseInput(down));
        inputs.push_back(MouseInput(up));
    }
    Send(inputs);
}

namespace {

DWORD ButtonFlag(TMouseButton button, bool down)
{
    switch (button) {
    case TMouseButton::mbRight: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case TMouseButton::mbMiddle: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    default: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
}

void MoveScreen(POINT screen)
{
    std::vector<INPUT> inputs{AbsoluteMove(screen)};
    Send(inputs);
}

}  // namespace

void SendMouseButton(TMouseButton button, bool down)
{
    std::vector<INPUT> inputs{MouseInput(ButtonFlag(button, down))};
    Send(inputs);
}

void DragMouse(HWND from, POINT fromClient, HWND to, POINT toClient, TMouseButton button,
               const std::function<void()>& beforeRelease)
{
    POINT start = fromClient;
    ClientToScreen(from, &start);
    POINT end = toClient;
    ClientToScreen(to, &end);
    std::atomic<bool> done{false};
    std::thread input([&] {
        // Pauses let each step reach the windows before the next one, as a hand would.
        MoveScreen(start);
        Sleep(60);
        SendMouseButton(button, true);
        Sleep(60);
        // Past the drag threshold first, then on in steps of about 20 pixels.
        for (int step = 1; step <= 3; ++step) {
            MoveScreen(POINT{start.x + step * 4, start.y + step * 2});
            Sleep(40);
        }
        const int distance = std::max(std::abs(end.x - start.x), std::abs(end.y - start.y));
        const int steps = std::max(1, distance / 20);
        for (int step = 1; step <= steps; ++step) {
            MoveScreen(POINT{start.x + (end.x - start.x) * step / steps,
                             start.y + (end.y - start.y) * step / steps});
            Sleep(40);
        }
        // A few small moves over the target, so that it sees the drag rest there.
        for (int step = 0; step < 3; ++step) {
            MoveScreen(POINT{end.x + (step % 2), end.y});
            Sleep(40);
        }
        if (beforeRelease) {
            beforeRelease();
            Sleep(100);
        }
        SendMouseButton(button, false);
        Sleep(100);
        done = true;
    });
    PumpMessagesUntil([&] { return done.load(); }, 30000);
    input.join();
    FlushInput();
}

void ParkMouse()
{
    std::vector<INPUT> inputs{
        AbsoluteMove(POINT{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1})};
    Send(inputs);
}

void FlushInput()
{
    // Input reaches the queue a little later than SendInput returns: pump until the queue
    // has stayed empty for a few rounds.
    const DWORD start = GetTickCount();
    int quietRounds = 0;
    while (quietRounds < 3 && GetTickCount() - start < 2000) {
        if (Application != nullptr) {
            // Through the application, so that forms see their keys first (Tab, shortcuts).
            Application->ProcessMessages();
        } else {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        quietRounds = HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 ? quietRounds + 1 : 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
