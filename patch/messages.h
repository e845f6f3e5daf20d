#pragma once

// Every text the patch commands show, in code page 936.

#include <windows.h>

extern const char MessageTitle[];
extern const char FolderPrompt[];
extern const char DirectoryOkText[];
extern const char DirectoryWrongText[];
extern const char PatchDoneText[];
extern const char RestoreDoneText[];
extern const char PatchFailedText[];
extern const char RestoreFailedText[];

// Values of MessageBoxA's uType as the commands choose them; ShowMessage adds MB_TASKMODAL.
enum MessageStyle : UINT {
  PlainStyle = MB_OK,
  InformationStyle = MB_ICONINFORMATION,
  ErrorStyle = MB_ICONERROR,
};

struct Message {
  const char* text;
  MessageStyle style;
};
