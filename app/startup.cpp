#include "app/startup.h"

#include "patch/messages.h"
#include "skin/skin.h"
#include "ui/main_window.h"

#include <ole2.h>
#include <windows.h>

namespace {

// "无法创建程序窗口"
constexpr char kNoWindowText[] = "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xB4\xB0\xBF\xDA";

}  // namespace

void CutToProgramDirectory(char* path) {
  char* lastBackslash = nullptr;
  for (char* at = path; *at; at = CharNextA(at)) {
    if (*at == '\\') lastBackslash = at;
  }
  if (!lastBackslash) return;
  // "X:" alone would name the drive's own current directory, not its root.
  const bool driveRoot = lastBackslash == path + 2 && path[1] == ':';
  lastBackslash[driveRoot ? 1 : 0] = '\0';
}

void OnMainWindowCreated() {
  SetSkinStyle(2);
}

int ProgramMain() {
  OleInitialize(nullptr);
  // Relative directory texts resolve against the program's own directory.
  char directory[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, directory, MAX_PATH);
  CutToProgramDirectory(directory);
  SetCurrentDirectoryA(directory);
  if (!LoadWindow(MainWindowTemplate)) {
    MessageBoxA(nullptr, kNoWindowText, MessageTitle, MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
  }
  return RunMessageLoop();
}
