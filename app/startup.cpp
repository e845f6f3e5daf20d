#include "app/startup.h"

#include "patch/messages.h"
#include "skin/skin.h"
#include "ui/main_window.h"

#include <ole2.h>
#include <windows.h>

namespace {

// "无法创建程序窗口"
constexpr char kNoWindowText[] = "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xB4\xB0\xBF\xDA";

// Relative directory texts resolve against the program's own directory. The cut follows the
// double-byte rules of the ANSI code page: a trail byte 0x5C is no backslash.
void EnterProgramDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* lastBackslash = nullptr;
  for (char* at = path; *at; at = CharNextA(at)) {
    if (*at == '\\') lastBackslash = at;
  }
  if (lastBackslash) *lastBackslash = '\0';
  SetCurrentDirectoryA(path);
}

}  // namespace

void OnMainWindowCreated() {
  SetSkinStyle(2);
}

int ProgramMain() {
  OleInitialize(nullptr);
  EnterProgramDirectory();
  if (!LoadWindow(MainWindowTemplate)) {
    MessageBoxA(nullptr, kNoWindowText, MessageTitle, MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
  }
  return RunMessageLoop();
}
