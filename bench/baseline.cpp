// The least a program can do to look like hdpatch: the same window, created plainly from the
// same template (size, texts, five controls), and a patch button that writes System.dat
// with CreateFile and WriteFile and then shows the same message box. No window shell, no
// skin, no OLE, no safe replace.

#include "patch/messages.h"
#include "patch/platform.h"
#include "patch/settings_file.h"
#include "ui/main_window.h"

#include <windows.h>

namespace {

constexpr char kClass[] = "hdpatch.Baseline";

void WriteSettings(HWND window) {
  char path[MAX_PATH + 16] = {};
  const int length = GetDlgItemTextA(window, DirectoryBoxId, path, MAX_PATH);
  lstrcpyA(path + length, "\\System.dat");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, PatchImage.bytes, PatchImage.length, &written, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  // The very box hdpatch shows: same text, caption and type (task-modal, no owner).
  MessageBoxA(nullptr, ok ? PatchDoneText : PatchFailedText, MessageTitle,
              MessageBoxType(ok ? PlainStyle : ErrorStyle));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      for (std::size_t i = 0; i < MainWindowTemplate.controlCount; ++i) {
        const ControlTemplate& c = MainWindowTemplate.controls[i];
        CreateWindowExA(c.exStyle, c.className, c.text,
                        c.style | WS_CHILD | (c.visible ? WS_VISIBLE : 0), c.left, c.top, c.width,
                        c.height, window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)),
                        nullptr, nullptr);
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED &&
          reinterpret_cast<HWND>(lParam) == GetDlgItem(window, PatchButtonId)) {
        WriteSettings(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  RegisterClassA(&windowClass);
  const WindowTemplate& source = MainWindowTemplate;
  HWND window = CreateWindowExA(source.exStyle, kClass, source.title, source.style,
                                (GetSystemMetrics(SM_CXSCREEN) - source.width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - source.height) / 2, source.width,
                                source.height, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
