#include "tests/support/input.h"

#include "ui/window_shell.h"

#include <vector>

namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpFor(80);
}

}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = modifiers.end(); it != modifiers.begin();) inputs.push_back(KeyInput(*--it, true));
  Send(inputs);
}

void SendKeyEvents(std::initializer_list<std::pair<WORD, bool>> events) {
  std::vector<INPUT> inputs;
  for (const auto& [key, up] : events) inputs.push_back(KeyInput(key, up));
  Send(inputs);
}

void MouseAt(POINT screen, DWORD flags) {
  Send({MouseInput(MOUSEEVENTF_MOVE | flags, screen)});
  PumpFor(70);
}

void ClickAt(POINT screen) {
  Send({MouseInput(MOUSEEVENTF_MOVE, screen)});
  Send({MouseInput(MOUSEEVENTF_LEFTDOWN, screen), MouseInput(MOUSEEVENTF_LEFTUP, screen)});
}

void ClickApartAt(POINT screen) {
  Send({MouseInput(MOUSEEVENTF_MOVE, screen)});
  Send({MouseInput(MOUSEEVENTF_LEFTDOWN, screen)});
  Send({MouseInput(MOUSEEVENTF_LEFTUP, screen)});
}

void ClickIn(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  ClickAt(point);
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= milliseconds; }, milliseconds + 1000);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMilliseconds) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchShellMessage(msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}
