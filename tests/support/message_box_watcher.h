#pragma once

// Watches the dialogs that the calling thread opens (message boxes, the folder chooser) from
// inside their modal loops, records what they show and answers them.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
  std::string caption;
  std::string text;                  // the texts of its static controls, joined by '\n'
  HICON icon = nullptr;              // the icon it shows, if any
  std::vector<int> buttons;          // identifiers of its push buttons
  bool otherWindowsEnabled = false;  // was any other visible top-level window enabled?
  HWND owner = nullptr;
};

class DialogWatcher {
 public:
  // Called once for each new dialog, a moment after it is shown; it must close the dialog.
  using Handler = std::function<void(HWND dialog)>;

  DialogWatcher();  // answers every dialog with OK
  explicit DialogWatcher(Handler handler);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  const std::vector<SeenDialog>& seen() const { return seen_; }

  static SeenDialog Inspect(HWND dialog);
  // Selects a folder in the shell's folder chooser, by path or by item list, once its tree
  // is ready; true when the tree shows an item labelled with the expected text.
  static bool SelectFolder(HWND chooser, const char* path, const char* label);
  static bool SelectFolder(HWND chooser, const void* itemList);
  static void PressButton(HWND dialog, int id);

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR timer, DWORD);

  Handler handler_;
  HHOOK hook_ = nullptr;
  std::vector<HWND> pending_;
  std::vector<HWND> handled_;
  std::vector<SeenDialog> seen_;
};

// Text of a window, and the UTF-8 of a code page 936 text, for readable test messages.
std::string WindowText(HWND window);
std::string Utf8FromAnsi(const std::string& text);
std::string AnsiFromUtf8(const std::string& text);
