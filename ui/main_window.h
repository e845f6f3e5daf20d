#pragma once

// The program's only window: the game directory and the three working buttons.

#include "patch/platform.h"
#include "ui/window_shell.h"

enum MainWindowId : UINT {
  MainWindowTemplateId = 1375797249,
  DirectoryBoxId = 369170413,
  ChooseButtonId = 369170414,
  FrameButtonId = 369170412,
  RestoreButtonId = 369170383,
  PatchButtonId = 369164291,
};

extern const WindowTemplate MainWindowTemplate;

// Handles MainWindow's created event; start-up defines it.
void OnMainWindowCreated();

// The text of DirectoryBox, as the commands read and replace it.
class DirectoryBoxText : public DirectoryText {
 public:
  explicit DirectoryBoxText(HWND box) : box_(box) {}
  FreshText Read() override;
  void Replace(const char* text) override;

 private:
  HWND box_;
};
