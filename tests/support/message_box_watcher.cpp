#include "tests/support/message_box_watcher.h"

#include "tests/support/input.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace {

thread_local DialogWatcher* active = nullptr;

bool IsDialog(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK FindOtherEnabled(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<std::pair<HWND, bool>*>(data);
  if (window != found->first && IsWindowVisible(window) && IsWindowEnabled(window)) {
    found->second = true;
  }
  return TRUE;
}

}  // namespace

// WM_GETTEXT reaches controls of other processes too, where GetWindowText does not.
std::string WindowText(HWND window) {
  const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::string text(length + 1, '\0');
  const auto copied = static_cast<int>(
      SendMessageA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied);
  return text;
}

std::string Utf8FromAnsi(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string utf8(wide.size() * 4, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                  utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
  return utf8;
}

std::string AnsiFromUtf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                  static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string ansi(wide.size() * 2, '\0');
  ansi.resize(WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                                  static_cast<int>(ansi.size()), nullptr, nullptr));
  return ansi;
}

DialogWatcher::DialogWatcher() : DialogWatcher([](HWND dialog) { PressButton(dialog, IDOK); }) {}

DialogWatcher::DialogWatcher(Handler handler) : handler_(std::move(handler)) {
  active = this;
  hook_ = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

DialogWatcher::~DialogWatcher() {
  UnhookWindowsHookEx(hook_);
  active = nullptr;
}

SeenDialog DialogWatcher::Inspect(HWND dialog) {
  SeenDialog seen;
  seen.caption = WindowText(dialog);
  seen.owner = GetWindow(dialog, GW_OWNER);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string kind = ClassOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
      seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (kind == "Static") {
      const std::string text = WindowText(child);
      if (!text.empty()) seen.text += (seen.text.empty() ? "" : "\n") + text;
    } else if (kind == "Button") {
      seen.buttons.push_back(GetDlgCtrlID(child));
    }
  }
  std::pair<HWND, bool> context{dialog, false};
  EnumThreadWindows(GetCurrentThreadId(), FindOtherEnabled, reinterpret_cast<LPARAM>(&context));
  seen.otherWindowsEnabled = context.second;
  return seen;
}

namespace {

std::string SelectedLabel(HWND tree) {
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return "";
  char text[MAX_PATH] = {};
  TVITEMA data = {};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = MAX_PATH;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

}  // namespace

// Wine fills the chooser's tree after showing it and may select its root again meanwhile;
// the selection counts once it has held for a while.
bool DialogWatcher::SelectFolder(HWND chooser, const char* path, const char* label) {
  HWND tree = FindWindowExA(chooser, nullptr, WC_TREEVIEWA, nullptr);
  int steady = 0;
  return PumpUntil([&] {
    if (SelectedLabel(tree).find(label) == std::string::npos) {
      steady = 0;
      SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    } else {
      ++steady;
    }
    PumpFor(50);
    return steady >= 10;
  });
}

bool DialogWatcher::SelectFolder(HWND chooser, const void* itemList) {
  HWND tree = FindWindowExA(chooser, nullptr, WC_TREEVIEWA, nullptr);
  if (!PumpUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0; })) return false;
  PumpFor(200);
  SendMessageA(chooser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(itemList));
  PumpFor(100);
  return true;
}

void DialogWatcher::PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

LRESULT CALLBACK DialogWatcher::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && active) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    auto known = [&](const std::vector<HWND>& list) {
      return std::find(list.begin(), list.end(), window) != list.end();
    };
    if (IsDialog(window) && !known(active->pending_) && !known(active->handled_)) {
      active->pending_.push_back(window);
      SetTimer(nullptr, 0, 100, TimerProc);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogWatcher::TimerProc(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!active || active->pending_.empty()) return;
  const HWND dialog = active->pending_.front();
  active->pending_.erase(active->pending_.begin());
  if (!IsWindow(dialog)) return;
  active->handled_.push_back(dialog);
  active->seen_.push_back(Inspect(dialog));
  active->handler_(dialog);
}
