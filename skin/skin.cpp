#include "skin/skin.h"

#include "base/list.h"
#include "base/unique_any.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

namespace {

struct Scheme {
  COLORREF buttonBorder;
  COLORREF faceTop, faceBottom;         // the blend of a button at rest
  COLORREF hotTop, hotBottom, hotEdge;  // under the mouse
  COLORREF pressedTop, pressedBottom;
  COLORREF focusEdge;  // inner edge of a focused or default button
  COLORREF editFrame;
};

const Scheme kSchemes[] = {
    // 1: blue
    {RGB(0, 60, 116), RGB(255, 255, 255), RGB(226, 226, 218), RGB(255, 255, 255),
     RGB(236, 236, 228), RGB(248, 179, 48), RGB(205, 202, 190), RGB(240, 240, 234),
     RGB(105, 130, 238), RGB(127, 157, 185)},
    // 2: olive green
    {RGB(55, 98, 6), RGB(255, 255, 246), RGB(224, 221, 196), RGB(255, 255, 252), RGB(238, 236, 214),
     RGB(236, 166, 36), RGB(204, 200, 172), RGB(243, 242, 232), RGB(168, 192, 98),
     RGB(164, 185, 127)},
    // 3: silver
    {RGB(21, 21, 37), RGB(255, 255, 255), RGB(216, 216, 228), RGB(255, 255, 255),
     RGB(232, 232, 240), RGB(255, 183, 0), RGB(198, 198, 212), RGB(244, 244, 248),
     RGB(128, 128, 160), RGB(165, 172, 178)},
};

constexpr COLORREF kDisabledFace = RGB(245, 244, 234);
constexpr COLORREF kDisabledCaption = RGB(165, 162, 148);
constexpr COLORREF kCaption = RGB(0, 0, 0);
constexpr COLORREF kDisabledEditFrame = RGB(201, 199, 186);

enum class Kind { Button, Edit };

struct Skinned {
  HWND hwnd;
  Kind kind;
  WNDPROC original;
  bool active = true;  // false once switched off while another subclass sat on top
  bool hot = false;
};

// A window class the skin takes over while it is on, and the procedure it had before.
struct TakenClass {
  const char* name;
  WNDPROC platform;
};

struct SkinState {
  const Scheme* scheme = nullptr;
  DWORD thread = 0;  // whose windows are skinned
  TakenClass classes[2] = {{"Button", nullptr}, {"Edit", nullptr}};
  List<std::unique_ptr<Skinned>> windows;
};

// The skin belongs to the user-interface thread, the only one that calls it.
SkinState& State() {
  static SkinState state;
  return state;
}

COLORREF Darker(COLORREF colour, int by) {
  auto channel = [by](int value) { return static_cast<BYTE>(std::max(0, value - by)); };
  return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour) {
  return {x,
          y,
          static_cast<COLOR16>(GetRValue(colour) << 8),
          static_cast<COLOR16>(GetGValue(colour) << 8),
          static_cast<COLOR16>(GetBValue(colour) << 8),
          0};
}

void FillGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
  TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, top),
                           Vertex(rect.right, rect.bottom, bottom)};
  GRADIENT_RECT span = {0, 1};
  GradientFill(dc, vertices, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

void FrameWith(HDC dc, const RECT& rect, COLORREF colour) {
  unique_hbrush brush(CreateSolidBrush(colour));
  FrameRect(dc, &rect, brush.get());
}

void DrawCaption(HWND hwnd, HDC dc, RECT area, bool enabled) {
  const int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return;
  const std::unique_ptr<char[]> text(new char[length + 1]);
  GetWindowTextA(hwnd, text.get(), length + 1);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? kCaption : kDisabledCaption);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  if (style & BS_MULTILINE) {
    RECT measured = area;
    DrawTextA(dc, text.get(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    area.top += std::max<LONG>(0, (area.bottom - area.top - height) / 2);
    DrawTextA(dc, text.get(), -1, &area, DT_CENTER | DT_WORDBREAK);
  } else {
    DrawTextA(dc, text.get(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void PaintButton(const Skinned& button, const Scheme& scheme, HDC target) {
  const HWND hwnd = button.hwnd;
  RECT client;
  GetClientRect(hwnd, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;

  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  const bool pressed = (SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const bool focused = GetFocus() == hwnd;
  const bool isDefault = (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

  // Drawn off screen, so a state change never flickers.
  unique_hdc dc(CreateCompatibleDC(target));
  unique_hbitmap bitmap(CreateCompatibleBitmap(target, width, height));
  const HGDIOBJ previousBitmap = SelectObject(dc.get(), bitmap.get());
  FillRect(dc.get(), &client, GetSysColorBrush(COLOR_BTNFACE));

  unique_hrgn shape(CreateRoundRectRgn(0, 0, width + 1, height + 1, 5, 5));
  SelectClipRgn(dc.get(), shape.get());
  if (!enabled) {
    unique_hbrush face(CreateSolidBrush(kDisabledFace));
    FillRect(dc.get(), &client, face.get());
  } else if (pressed) {
    FillGradient(dc.get(), client, scheme.pressedTop, scheme.pressedBottom);
  } else if (button.hot) {
    FillGradient(dc.get(), client, scheme.hotTop, scheme.hotBottom);
  } else {
    FillGradient(dc.get(), client, scheme.faceTop, scheme.faceBottom);
  }
  if (enabled && !pressed && (button.hot || focused || isDefault)) {
    const COLORREF edge = button.hot ? scheme.hotEdge : scheme.focusEdge;
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    FrameWith(dc.get(), inner, edge);
    InflateRect(&inner, -1, -1);
    FrameWith(dc.get(), inner, edge);
  }
  SelectClipRgn(dc.get(), nullptr);
  unique_hbrush border(
      CreateSolidBrush(enabled ? scheme.buttonBorder : Darker(GetSysColor(COLOR_BTNFACE), 32)));
  FrameRgn(dc.get(), shape.get(), border.get(), 1, 1);

  RECT captionArea = client;
  InflateRect(&captionArea, -4, -3);
  if (pressed) OffsetRect(&captionArea, 1, 1);
  DrawCaption(hwnd, dc.get(), captionArea, enabled);
  if (focused) {
    RECT mark = client;
    InflateRect(&mark, -4, -4);
    SetTextColor(dc.get(), kCaption);
    DrawFocusRect(dc.get(), &mark);
  }

  BitBlt(target, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
  SelectObject(dc.get(), previousBitmap);
}

void PaintEditFrame(const Skinned& edit, const Scheme& scheme) {
  RECT window, client;
  GetWindowRect(edit.hwnd, &window);
  GetClientRect(edit.hwnd, &client);
  MapWindowPoints(edit.hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const int border = client.left - window.left;
  if (border <= 0) return;
  RECT frame = {0, 0, window.right - window.left, window.bottom - window.top};
  HDC dc = GetWindowDC(edit.hwnd);
  FrameWith(dc, frame, IsWindowEnabled(edit.hwnd) ? scheme.editFrame : kDisabledEditFrame);
  for (int ring = 1; ring < border; ++ring) {
    InflateRect(&frame, -1, -1);
    FrameWith(dc, frame, GetSysColor(IsWindowEnabled(edit.hwnd) ? COLOR_WINDOW : COLOR_BTNFACE));
  }
  ReleaseDC(edit.hwnd, dc);
}

// A hidden window has nothing on screen to repair; dialogs set up many of them.
void Redraw(HWND hwnd) {
  if (IsWindowVisible(hwnd)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Messages after which the platform may have drawn its own look over the skin's.
bool MayRepaint(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case BM_SETSTATE:
    case BM_SETSTYLE:
      return true;
    default:
      return false;
  }
}

bool InClient(HWND hwnd, POINT point) {
  RECT client;
  GetClientRect(hwnd, &client);
  return PtInRect(&client, point) != FALSE;
}

void SetHot(Skinned& button, bool hot) {
  if (hot) {
    // Tracking ends with each leave and with a change of capture; ask again.
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, button.hwnd, 0};
    TrackMouseEvent(&track);
  }
  if (hot == button.hot) return;
  button.hot = hot;
  Redraw(button.hwnd);
}

LRESULT ButtonMessage(Skinned& button, const Scheme& scheme, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  const HWND hwnd = button.hwnd;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      PaintButton(button, scheme, dc);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintButton(button, scheme, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      // While the button holds the capture, the mouse may be anywhere.
      SetHot(button, InClient(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      break;
    case WM_MOUSELEAVE:
      button.hot = false;
      Redraw(hwnd);
      break;
  }
  // The platform redraws a button losing the capture only while it shows it pushed: the
  // release of a click has unpushed it already, and a second paint would only delay the click.
  const bool wasPushed =
      message == WM_CAPTURECHANGED && (SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
  const LRESULT result = CallWindowProcA(button.original, hwnd, message, wParam, lParam);
  if (message == WM_CAPTURECHANGED && IsWindow(hwnd)) {
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    SetHot(button, InClient(hwnd, cursor));
  }
  const bool dragging = message == WM_MOUSEMOVE && GetCapture() == hwnd;
  const bool platformPainted = message != WM_CAPTURECHANGED || wasPushed;
  if (((MayRepaint(message) && platformPainted) || dragging) && IsWindow(hwnd)) Redraw(hwnd);
  return result;
}

LRESULT EditMessage(Skinned& edit, const Scheme& scheme, UINT message, WPARAM wParam,
                    LPARAM lParam) {
  const LRESULT result = CallWindowProcA(edit.original, edit.hwnd, message, wParam, lParam);
  if (message == WM_NCPAINT) {
    PaintEditFrame(edit, scheme);
  } else if ((message == WM_ENABLE || message == WM_SETFOCUS || message == WM_KILLFOCUS) &&
             IsWindowVisible(edit.hwnd)) {
    RedrawWindow(edit.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
  return result;
}

void Forget(HWND hwnd) {
  auto& windows = State().windows;
  windows.RemoveIf([hwnd](const auto& skinned) { return skinned->hwnd == hwnd; });
}

// Found in the skin's own list: a window property is a server round trip under Wine, too
// dear for every message a skinned window gets.
Skinned* Find(HWND hwnd) {
  for (const auto& skinned : State().windows) {
    if (skinned->hwnd == hwnd) return skinned.get();
  }
  return nullptr;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Skinned* skinned = Find(hwnd);
  if (!skinned) return DefWindowProcA(hwnd, message, wParam, lParam);
  const WNDPROC original = skinned->original;
  if (message == WM_NCDESTROY) {
    Forget(hwnd);
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  const Scheme* scheme = State().scheme;
  if (!skinned->active || !scheme) return CallWindowProcA(original, hwnd, message, wParam, lParam);
  return skinned->kind == Kind::Button ? ButtonMessage(*skinned, *scheme, message, wParam, lParam)
                                       : EditMessage(*skinned, *scheme, message, wParam, lParam);
}

bool IsClass(HWND hwnd, const char* name) {
  char found[16] = {};
  GetClassNameA(hwnd, found, sizeof found);
  return lstrcmpiA(found, name) == 0;
}

// A window being created has no text yet: its creator says whether it will have a caption.
bool Classify(HWND hwnd, bool captioned, Kind* kind) {
  const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  if (IsClass(hwnd, "Button")) {
    const DWORD type = style & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return false;
    // A bare captionless tab stop is somebody's placeholder, not a button to dress.
    if (!captioned && style == (WS_CHILD | WS_TABSTOP)) return false;
    *kind = Kind::Button;
    return true;
  }
  if (IsClass(hwnd, "Edit") &&
      ((style & WS_BORDER) || (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)))) {
    *kind = Kind::Edit;
    return true;
  }
  return false;
}

void Restyle(HWND hwnd, bool captioned) {
  if (Skinned* skinned = Find(hwnd)) {
    skinned->active = true;
    return;
  }
  Kind kind;
  if (!Classify(hwnd, captioned, &kind)) return;
  auto skinned = std::make_unique<Skinned>(Skinned{hwnd, kind, nullptr});
  skinned->original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinProc)));
  State().windows.Add(std::move(skinned));
  if (IsWindowVisible(hwnd)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

void Restyle(HWND hwnd) {
  Restyle(hwnd, GetWindowTextLengthA(hwnd) > 0);
}

BOOL CALLBACK RestyleChild(HWND child, LPARAM) {
  Restyle(child);
  return TRUE;
}

BOOL CALLBACK RestyleTop(HWND top, LPARAM) {
  Restyle(top);
  EnumChildWindows(top, RestyleChild, 0);
  return TRUE;
}

void RestyleThreadWindows() {
  EnumThreadWindows(GetCurrentThreadId(), RestyleTop, 0);
}

// Windows created while the skin is on start in the class procedure below, which skins them
// or hands them to the platform at their first message. A creation hook would do the same
// at a price: under Wine every hook call is a wineserver round trip, and one message box
// sets off dozens of them.
template <std::size_t Index>
LRESULT CALLBACK TakenClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  SkinState& state = State();
  const WNDPROC platform = state.classes[Index].platform;
  // A superclass built on the taken class calls this too: its windows keep their own proc.
  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (own == TakenClassProc<Index>) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(platform));
    if (state.scheme && GetWindowThreadProcessId(hwnd, nullptr) == state.thread) {
      bool captioned = GetWindowTextLengthA(hwnd) > 0;
      if (message == WM_NCCREATE) {
        // No text yet: the creator says whether there will be a caption. A resource
        // ordinal is not text, but it is a caption.
        const char* caption = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName;
        captioned = caption && (IS_INTRESOURCE(caption) || caption[0] != '\0');
      }
      Restyle(hwnd, captioned);
    }
    const auto now = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    return CallWindowProcA(now, hwnd, message, wParam, lParam);
  }
  return CallWindowProcA(platform, hwnd, message, wParam, lParam);
}

constexpr WNDPROC kTakenClassProcs[] = {TakenClassProc<0>, TakenClassProc<1>};

// A class procedure is set through a window of the class; a message-only one will do.
WNDPROC SetClassProc(const char* className, WNDPROC proc) {
  unique_hwnd probe(
      CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  if (!probe) return nullptr;
  return reinterpret_cast<WNDPROC>(
      SetClassLongPtrA(probe.get(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void TakeClasses() {
  SkinState& state = State();
  for (std::size_t i = 0; i < std::size(state.classes); ++i) {
    state.classes[i].platform = SetClassProc(state.classes[i].name, kTakenClassProcs[i]);
  }
}

void GiveClassesBack() {
  for (TakenClass& taken : State().classes) {
    if (taken.platform) SetClassProc(taken.name, taken.platform);
    taken.platform = nullptr;
  }
}

void SwitchOff() {
  SkinState& state = State();
  state.scheme = nullptr;
  GiveClassesBack();
  List<HWND> released;
  for (const auto& skinned : state.windows) {
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(skinned->hwnd, GWLP_WNDPROC));
    if (current == SkinProc) {
      SetWindowLongPtrA(skinned->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(skinned->original));
      released.Add(skinned->hwnd);
    } else {
      skinned->active = false;  // another subclass sits on top: pass everything through
    }
    RedrawWindow(skinned->hwnd, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  for (HWND hwnd : released) Forget(hwnd);
}

}  // namespace

int SetSkinStyle(int style) {
  SwitchOff();
  if (style < 1 || style > static_cast<int>(std::size(kSchemes))) return 0;
  SkinState& state = State();
  state.scheme = &kSchemes[style - 1];
  state.thread = GetCurrentThreadId();
  RestyleThreadWindows();
  TakeClasses();
  return 1;
}
