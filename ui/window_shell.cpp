#include "ui/window_shell.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kClassName[] = "hdpatch.ShellWindow";
constexpr char kPlatformProcProperty[] = "hdpatch.PlatformProc";

// Shell windows alive on this thread, and whether the loop runs: together they decide when
// the quit message is posted.
int liveWindows = 0;
bool loopStarted = false;
// A window object whose HWND has not reached WM_NCCREATE yet, still owned by LoadWindow.
ShellWindow* unbound = nullptr;

ATOM RegisterShellClass(WNDPROC proc) {
  static ATOM atom = 0;
  if (atom) return atom;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  atom = RegisterClassExA(&windowClass);
  return atom;
}

bool IsShellClass(HWND hwnd) {
  char name[sizeof kClassName + 1] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::strcmp(name, kClassName) == 0;
}

bool KeyDown(int key) {
  return GetKeyState(key) < 0;
}

HFONT GuiFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The extent of text in the window's current font.
SIZE TextExtent(HWND hwnd, const char* text) {
  SIZE size = {};
  HDC dc = GetDC(hwnd);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  return size;
}

int FontLineHeight(HWND hwnd) {
  TEXTMETRICA metrics = {};
  HDC dc = GetDC(hwnd);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  return metrics.tmHeight;
}

// The client rectangle in the window's own coordinates.
RECT ClientInWindow(HWND hwnd) {
  RECT window, client;
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  return client;
}

// An icon made from the single image of an .ico file held as raw data.
HICON IconFromImage(const char* resource, int size) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = resource ? FindResourceA(module, resource, RT_RCDATA) : nullptr;
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const BYTE* file = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  const DWORD fileSize = found ? SizeofResource(module, found) : 0;
  if (!file || fileSize < 22) return nullptr;
  DWORD imageSize, imageOffset;
  std::memcpy(&imageSize, file + 14, 4);
  std::memcpy(&imageOffset, file + 18, 4);
  if (imageOffset > fileSize || imageSize > fileSize - imageOffset) return nullptr;
  return CreateIconFromResourceEx(const_cast<BYTE*>(file + imageOffset), imageSize, TRUE,
                                  0x00030000, size, size, LR_DEFAULTCOLOR);
}

HICON IconFromGroup(const char* group, int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), group, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

ShellWindow::ShellWindow(const WindowTemplate& source) : template_(source) {}

ShellWindow* ShellWindow::FromHandle(HWND hwnd) {
  HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (!root || !IsShellClass(root)) return nullptr;
  return reinterpret_cast<ShellWindow*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

HWND ShellWindow::Control(UINT id) const {
  for (const auto& control : controls_) {
    if (control.source->id == id) return control.hwnd;
  }
  return nullptr;
}

const ShellWindow::ControlState* ShellWindow::FindControl(HWND hwnd) const {
  for (const auto& control : controls_) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

bool ShellWindow::Build() {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - template_.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - template_.height) / 2;
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  if (outer.right - outer.left != template_.width || outer.bottom - outer.top != template_.height) {
    MoveWindow(hwnd_, left, top, template_.width, template_.height, FALSE);
  }
  SetIcons();
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  whiteBrush_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  if (!CreateControls()) return false;

  // Template order is stacking order, top first.
  HWND above = HWND_TOP;
  for (const auto& control : controls_) {
    SetWindowPos(control.hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = control.hwnd;
  }
  for (const auto& control : controls_) {
    if (control.source->visible) ShowWindow(control.hwnd, SW_SHOWNA);
  }
  return true;
}

void ShellWindow::SetIcons() {
  bigIcon_.reset(IconFromImage(template_.iconImage, 64));
  smallIcon_.reset(IconFromImage(template_.iconImage, 64));
  if (!bigIcon_ || !smallIcon_) {
    bigIcon_.reset(IconFromGroup(template_.iconGroup, 32));
    smallIcon_.reset(IconFromGroup(template_.iconGroup, 16));
  }
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

bool ShellWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  controls_.Reserve(template_.controlCount);
  for (std::size_t i = 0; i < template_.controlCount; ++i) {
    const ControlTemplate& source = template_.controls[i];
    HWND hwnd = CreateWindowExA(
        source.exStyle, source.className, source.text, (source.style & ~WS_VISIBLE) | WS_CHILD,
        source.left, source.top, source.width, source.height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(source.id)), instance, nullptr);
    if (!hwnd) return false;
    controls_.Add({hwnd, &source, nullptr});
    if (lstrcmpiA(source.className, "EDIT") == 0) {
      SetUpEdit(controls_.back());
    } else {
      SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    }
  }
  return true;
}

void ShellWindow::SetUpEdit(ControlState& edit) {
  edit.platformProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetPropA(edit.hwnd, kPlatformProcProperty, reinterpret_cast<HANDLE>(edit.platformProc));

  SendMessageA(edit.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  const int minimum = FontLineHeight(edit.hwnd) + 2 * GetSystemMetrics(SM_CYEDGE);
  if (edit.source->height < minimum) {
    SetWindowPos(edit.hwnd, nullptr, 0, 0, edit.source->width, minimum,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageA(edit.hwnd, EM_LIMITTEXT, 0, 0);
  SendMessageA(edit.hwnd, EM_SETSEL, 0, 0);
  SendMessageA(edit.hwnd, EM_SCROLLCARET, 0, 0);
  SetWindowLongPtrA(edit.hwnd, GWL_EXSTYLE, edit.source->exStyle);
  SetWindowLongPtrA(edit.hwnd, GWL_STYLE, GetWindowLongPtrA(edit.hwnd, GWL_STYLE) & ~WS_BORDER);
  SetWindowPos(edit.hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

List<HWND> ShellWindow::FocusOrder() const {
  // Bottom of the stack first, then by focus order; an insertion sort keeps equal orders in
  // that sequence.
  List<const ControlState*> candidates;
  for (std::size_t i = controls_.size(); i-- > 0;) {
    HWND hwnd = controls_[i].hwnd;
    if (IsWindow(hwnd) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
        (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_TABSTOP)) {
      candidates.Add(&controls_[i]);
    }
  }
  for (std::size_t i = 1; i < candidates.size(); ++i) {
    for (std::size_t j = i;
         j > 0 && candidates[j]->source->focusOrder < candidates[j - 1]->source->focusOrder; --j) {
      std::swap(candidates[j], candidates[j - 1]);
    }
  }
  List<HWND> order;
  order.Reserve(candidates.size());
  for (const ControlState* control : candidates) order.Add(control->hwnd);
  return order;
}

void ShellWindow::MoveFocus(int step) {
  const List<HWND> order = FocusOrder();
  const HWND* focused = std::find(order.begin(), order.end(), GetFocus());
  if (focused == order.end()) return;
  const int count = static_cast<int>(order.size());
  const int next = (static_cast<int>(focused - order.begin()) + step + count) % count;
  SetFocus(order[next]);
}

bool ShellWindow::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!IsWindowEnabled(msg.hwnd)) return false;
  const bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
  switch (msg.wParam) {
    case VK_TAB:
      if (control || alt) return false;
      MoveFocus(shift ? -1 : 1);
      return true;
    case VK_ESCAPE:
      if (control || shift || alt) return false;
      SendMessageA(hwnd_, WM_CLOSE, 0, 0);
      return true;
    default:
      return false;  // Enter included: no control of a shell window is a default button
  }
}

LRESULT CALLBACK ShellWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<ShellWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    unbound = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ++liveWindows;
  }
  auto* self = reinterpret_cast<ShellWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    delete self;
    if (--liveWindows == 0 && loopStarted) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT ShellWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_CTLCOLOREDIT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(whiteBrush_.get());
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) rememberedFocus_ = focus;
      }
      break;
    case WM_SETFOCUS: {
      HWND target = rememberedFocus_;
      rememberedFocus_ = nullptr;
      if (!target || !IsWindow(target)) {
        const List<HWND> order = FocusOrder();
        target = order.empty() ? nullptr : order[0];
      }
      if (target) SetFocus(target);
      return 0;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        const ControlState* control = FindControl(reinterpret_cast<HWND>(lParam));
        if (control && control->source->onClick) control->source->onClick(*this);
        return 0;
      }
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK ShellWindow::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto platform = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPlatformProcProperty));
  ShellWindow* owner = FromHandle(hwnd);
  const ControlState* edit = owner ? owner->FindControl(hwnd) : nullptr;
  if (message == WM_NCDESTROY) RemovePropA(hwnd, kPlatformProcProperty);
  if (!edit) return CallWindowProcA(platform, hwnd, message, wParam, lParam);
  return owner->HandleEditMessage(*const_cast<ControlState*>(edit), message, wParam, lParam);
}

// A single-line box taller than its font: the text line is centred, and the white bands
// above and below it belong to the frame.
LRESULT ShellWindow::HandleEditMessage(ControlState& edit, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  const HWND hwnd = edit.hwnd;
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = CallWindowProcA(edit.platformProc, hwnd, message, wParam, lParam);
      RECT& area = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                          : *reinterpret_cast<RECT*>(lParam);
      const int line = TextExtent(hwnd, "W").cy;
      if (line > 0 && line < area.bottom - area.top) {
        area.top += (area.bottom - area.top - line) / 2;
        area.bottom = area.top + line;
      }
      return result;
    }
    case WM_NCPAINT: {
      RECT window;
      GetWindowRect(hwnd, &window);
      const RECT client = ClientInWindow(hwnd);
      const int border = client.left;
      const RECT above = {client.left, border, client.right, client.top};
      const RECT below = {client.left, client.bottom, client.right,
                          window.bottom - window.top - border};
      HDC dc = GetWindowDC(hwnd);
      FillRect(dc, &above, whiteBrush_.get());
      FillRect(dc, &below, whiteBrush_.get());
      ReleaseDC(hwnd, dc);
      break;
    }
    case WM_NCHITTEST: {
      POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT window, client;
      GetWindowRect(hwnd, &window);
      GetClientRect(hwnd, &client);
      MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
      if (PtInRect(&window, point) && !PtInRect(&client, point)) return HTBORDER;
      break;
    }
  }
  return CallWindowProcA(edit.platformProc, hwnd, message, wParam, lParam);
}

HWND LoadWindow(const WindowTemplate& source) {
  if (!RegisterShellClass(ShellWindow::WindowProc)) return nullptr;
  // Owned by its window from WM_NCCREATE on, and deleted at WM_NCDESTROY.
  auto* self = unbound = new ShellWindow(source);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - source.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - source.height) / 2;
  HWND hwnd = CreateWindowExA(source.exStyle, kClassName, source.title, source.style & ~WS_VISIBLE,
                              left, top, source.width, source.height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), self);
  if (!hwnd) {
    delete unbound;
    unbound = nullptr;
    return nullptr;
  }
  if (!self->Build()) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (source.onCreated) source.onCreated();
  // Windows may replace the first showing by the show command the process was started with;
  // the window keeps its own initial state.
  ShowWindow(hwnd, SW_SHOW);
  if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

void DispatchShellMessage(MSG& msg) {
  ShellWindow* window = ShellWindow::FromHandle(msg.hwnd);
  if (window && window->PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

int RunMessageLoop() {
  loopStarted = true;
  if (liveWindows == 0) return 0;
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchShellMessage(msg);
  return static_cast<int>(msg.wParam);
}
