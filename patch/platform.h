#pragma once

// The platform operations the patch commands use, behind one interface so that a test can
// drive the commands without a window; the base class is the real platform.

#include "patch/messages.h"
#include "patch/settings_file.h"
#include "patch/text.h"

#include <windows.h>

// What the commands need of the directory box.
class DirectoryText {
 public:
  virtual ~DirectoryText() = default;
  virtual FreshText Read() = 0;                // the whole text, empty for an empty box
  virtual void Replace(const char* text) = 0;  // null empties the box
};

struct FolderChoice {
  bool accepted;   // false when the user cancelled
  FreshText path;  // empty when the chosen item has no file-system path
};

// The shell's folder chooser, modal over every top-level window of the thread.
FolderChoice ChooseFolder(const char* prompt);

// True when path names a file; a directory of that name does not count.
bool FileExists(const char* path);

// MB_TASKMODAL joins every style but a system-modal one.
UINT MessageBoxType(UINT style);

class PatchPlatform {
 public:
  virtual ~PatchPlatform() = default;
  virtual FolderChoice ChooseFolder(const char* prompt) { return ::ChooseFolder(prompt); }
  virtual bool FileExists(const char* path) { return ::FileExists(path); }
  virtual bool WriteBytesToFile(const char* path, const SettingsImage& image) {
    return ::WriteBytesToFile(path, image);
  }
  virtual int ShowMessageBox(const char* text, const char* caption, UINT type) {
    return MessageBoxA(nullptr, text, caption, type);
  }
};

PatchPlatform& SystemPlatform();

// A message box with the program's caption, owned by no window.
int ShowMessage(PatchPlatform& platform, const char* text, UINT style);
