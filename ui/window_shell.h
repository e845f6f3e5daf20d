#pragma once

// A small window shell: builds a top-level window and its controls from a template, keeps
// the keyboard focus rules, and runs the message loop.

#include "base/list.h"
#include "base/unique_any.h"

#include <windows.h>

#include <cstddef>

class ShellWindow;

struct ControlTemplate {
  const char* role;
  const char* storedName;
  UINT id;
  const char* className;  // "EDIT" or "BUTTON"
  int left, top, width, height;
  const char* text;
  DWORD style;  // without WS_VISIBLE: visibility is its own property
  DWORD exStyle;
  bool visible;
  int focusOrder;                        // lower first; equal numbers in reverse template order
  void (*onClick)(ShellWindow& window);  // nullptr: no handler
};

struct WindowTemplate {
  const char* role;
  UINT id;
  int width, height;  // outer size; the window is centred on the primary screen
  const char* title;
  DWORD style;
  DWORD exStyle;
  const ControlTemplate* controls;
  std::size_t controlCount;
  const char* iconImage;  // RCDATA resource holding the window's .ico image
  const char* iconGroup;  // icon group resource used when the image cannot be made into icons
  void (*onCreated)();
};

class ShellWindow {
 public:
  ShellWindow(const ShellWindow&) = delete;
  ShellWindow& operator=(const ShellWindow&) = delete;

  // The shell window that hwnd is, or whose control it is; nullptr for any other window.
  static ShellWindow* FromHandle(HWND hwnd);

  HWND handle() const { return hwnd_; }
  const WindowTemplate& windowTemplate() const { return template_; }
  HWND Control(UINT id) const;

  // Tab, Shift+Tab and Esc for key-down messages addressed to the window or its controls;
  // true when the key was consumed.
  bool PreTranslate(const MSG& msg);

 private:
  friend HWND LoadWindow(const WindowTemplate&);
  struct ControlState {
    HWND hwnd;
    const ControlTemplate* source;
    WNDPROC platformProc;  // the class procedure of a subclassed edit box
  };

  explicit ShellWindow(const WindowTemplate& source);
  bool Build();
  bool CreateControls();
  void SetIcons();
  void SetUpEdit(ControlState& control);
  List<HWND> FocusOrder() const;
  void MoveFocus(int step);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEditMessage(ControlState& edit, UINT message, WPARAM wParam, LPARAM lParam);
  const ControlState* FindControl(HWND hwnd) const;

  const WindowTemplate& template_;
  HWND hwnd_ = nullptr;
  List<ControlState> controls_;
  HWND rememberedFocus_ = nullptr;
  HFONT font_ = nullptr;
  unique_hbrush whiteBrush_;
  unique_hicon bigIcon_, smallIcon_;
};

// Creates the window hidden with all its controls, raises its created event, then shows it.
// Returns nullptr when the window or a control cannot be created.
HWND LoadWindow(const WindowTemplate& source);

// Pre-translates keys for shell windows, then translates and dispatches.
void DispatchShellMessage(MSG& msg);

// Runs until WM_QUIT, which is posted once the last shell window has been destroyed;
// returns its wParam. Returns 0 at once when no shell window is alive.
int RunMessageLoop();
