#include "app/startup.h"

#include <ole2.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const int exitCode = ProgramMain();
  OleUninitialize();
  return exitCode;
}
