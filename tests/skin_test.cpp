// The skin on real windows, read back from what was painted.

#include "skin/skin.h"
#include "ui/main_window.h"

#include "tests/support/input.h"
#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kOliveBorder = RGB(55, 98, 6);
constexpr COLORREF kOliveEditFrame = RGB(164, 185, 127);
constexpr COLORREF kDisabledFace = RGB(245, 244, 234);

COLORREF PixelOf(HWND hwnd, int x, int y) {
  HDC dc = GetWindowDC(hwnd);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return colour;
}

SIZE SizeOf(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The colours along the four edges' midpoints of a window.
std::vector<COLORREF> EdgeMidpoints(HWND hwnd) {
  const SIZE size = SizeOf(hwnd);
  return {PixelOf(hwnd, 0, size.cy / 2), PixelOf(hwnd, size.cx - 1, size.cy / 2),
          PixelOf(hwnd, size.cx / 2, 0), PixelOf(hwnd, size.cx / 2, size.cy - 1)};
}

std::string Hex(COLORREF colour) {
  char text[16];
  wsprintfA(text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

class SkinTest : public testing::Test {
 protected:
  void TearDown() override {
    SetSkinStyle(0);
    if (IsWindow(window)) DestroyWindow(window);
    PumpFor(20);
  }
  void Open(const WindowTemplate& source) {
    window = LoadWindow(source);
    ASSERT_NE(window, nullptr);
    PumpUntil([&] { return GetForegroundWindow() == window; });
    Repaint();
  }
  void Repaint() {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(100);
  }
  HWND Control(UINT id) const { return GetDlgItem(window, static_cast<int>(id)); }

  HWND window = nullptr;
};

TEST_F(SkinTest, MainWindowIsShownSkinnedInStyleTwo) {
  Open(MainWindowTemplate);  // its created event switches the skin on
  for (UINT id : {ChooseButtonId, RestoreButtonId, PatchButtonId}) {
    for (COLORREF edge : EdgeMidpoints(Control(id))) {
      EXPECT_EQ(Hex(edge), Hex(kOliveBorder)) << "button " << id;
    }
  }
  // The frame button shows only around the directory row: 8 pixels on its left.
  HWND frame = Control(FrameButtonId);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(Hex(PixelOf(frame, 0, 20)),
            Hex(RGB(GetRValue(face) - 32, GetGValue(face) - 32, GetBValue(face) - 32)));
  EXPECT_EQ(Hex(PixelOf(frame, 4, 20)), Hex(kDisabledFace));
  for (COLORREF edge : EdgeMidpoints(Control(DirectoryBoxId))) {
    EXPECT_EQ(Hex(edge), Hex(kOliveEditFrame));
  }
}

TEST_F(SkinTest, HotAndPressedFacesDifferFromTheNormalFace) {
  Open(MainWindowTemplate);
  HWND button = Control(RestoreButtonId);
  const SIZE size = SizeOf(button);
  auto face = [&] { return PixelOf(button, size.cx / 2, 5); };
  RECT rect;
  GetWindowRect(button, &rect);
  const POINT inside = {(rect.left + rect.right) / 2, rect.top + 5};
  const POINT outside = {rect.left - 40, rect.top - 60};

  // Should a release still count as a click, its message box is answered instead of
  // waiting for a user.
  DialogWatcher watcher;
  ClickAt(outside);  // away from every control, on the window's own face
  const COLORREF normal = face();
  MouseAt(inside);
  const COLORREF hot = face();
  MouseAt(inside, MOUSEEVENTF_LEFTDOWN);
  const COLORREF pressed = face();
  MouseAt(outside);  // let go away from the button: no click
  MouseAt(outside, MOUSEEVENTF_LEFTUP);
  const COLORREF after = face();

  EXPECT_NE(Hex(hot), Hex(normal));
  EXPECT_NE(Hex(pressed), Hex(normal));
  EXPECT_NE(Hex(pressed), Hex(hot));
  EXPECT_EQ(Hex(after), Hex(normal));
}

TEST_F(SkinTest, MessageBoxesAreSkinnedToo) {
  Open(MainWindowTemplate);
  std::vector<COLORREF> okEdges;
  DialogWatcher watcher([&](HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    RedrawWindow(ok, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    okEdges = EdgeMidpoints(ok);
    DialogWatcher::PressButton(box, IDOK);
  });
  ShowMessage(SystemPlatform(), DirectoryOkText, InformationStyle);
  ASSERT_EQ(okEdges.size(), 4u);
  for (COLORREF edge : okEdges) EXPECT_EQ(Hex(edge), Hex(kOliveBorder));
}

TEST_F(SkinTest, SwitchingOffRestoresThePlatformLook) {
  WindowTemplate plain = MainWindowTemplate;
  plain.onCreated = nullptr;
  Open(plain);
  const std::vector<UINT> ids = {DirectoryBoxId, ChooseButtonId, FrameButtonId, RestoreButtonId,
                                 PatchButtonId};
  std::vector<LONG_PTR> procs, styles;
  std::vector<std::vector<COLORREF>> looks;
  for (UINT id : ids) {
    procs.push_back(GetWindowLongPtrA(Control(id), GWLP_WNDPROC));
    styles.push_back(GetWindowLongPtrA(Control(id), GWL_STYLE));
    looks.push_back(EdgeMidpoints(Control(id)));
  }

  EXPECT_EQ(SetSkinStyle(1), 1);
  EXPECT_EQ(SetSkinStyle(2), 1);  // switching on again replaces the scheme
  Repaint();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_NE(GetWindowLongPtrA(Control(ids[i]), GWLP_WNDPROC), procs[i]);
    EXPECT_EQ(GetWindowLongPtrA(Control(ids[i]), GWL_STYLE), styles[i]) << "styles never change";
  }
  EXPECT_EQ(Hex(EdgeMidpoints(Control(PatchButtonId))[0]), Hex(kOliveBorder));

  EXPECT_EQ(SetSkinStyle(0), 0);
  Repaint();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(GetWindowLongPtrA(Control(ids[i]), GWLP_WNDPROC), procs[i]);
    EXPECT_EQ(EdgeMidpoints(Control(ids[i])), looks[i]) << "control " << ids[i];
  }
}

TEST_F(SkinTest, LeavesOtherControlsAlone) {
  WindowTemplate plain = MainWindowTemplate;
  plain.onCreated = nullptr;
  Open(plain);
  struct Other {
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
  };
  const Other others[] = {
      {"BUTTON", "", WS_CHILD | WS_TABSTOP, 0},         // a bare placeholder
      {"BUTTON", "check", WS_CHILD | BS_CHECKBOX, 0},   // not a push button
      {"EDIT", "plain", WS_CHILD | ES_LEFT, 0},         // no frame
      {"STATIC", "label", WS_CHILD, WS_EX_CLIENTEDGE},  // another class
  };
  std::vector<HWND> created;
  std::vector<LONG_PTR> procs;
  for (const Other& other : others) {
    created.push_back(CreateWindowExA(other.exStyle, other.className, other.text, other.style, 0,
                                      100, 50, 20, window, nullptr, nullptr, nullptr));
    procs.push_back(GetWindowLongPtrA(created.back(), GWLP_WNDPROC));
  }
  SetSkinStyle(2);
  for (std::size_t i = 0; i < created.size(); ++i) {
    EXPECT_EQ(GetWindowLongPtrA(created[i], GWLP_WNDPROC), procs[i]) << others[i].className;
  }
  // The same kinds made while the skin is on run the platform's procedure from the start.
  for (std::size_t i = 0; i < std::size(others); ++i) {
    HWND made = CreateWindowExA(others[i].exStyle, others[i].className, others[i].text,
                                others[i].style, 0, 100, 50, 20, window, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(made, GWLP_WNDPROC), procs[i]) << "later " << others[i].className;
    DestroyWindow(made);
  }
  // Controls made later are dressed when they are created.
  HWND later = CreateWindowExA(0, "BUTTON", "later", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 100,
                               60, 24, window, nullptr, nullptr, nullptr);
  PumpFor(50);
  EXPECT_EQ(Hex(EdgeMidpoints(later)[0]), Hex(kOliveBorder));
}

DWORD WINAPI ButtonProcOnAnotherThread(void* result) {
  HWND button = CreateWindowExA(0, "BUTTON", "other", BS_PUSHBUTTON, 0, 0, 60, 24, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
  *static_cast<LONG_PTR*>(result) = GetWindowLongPtrA(button, GWLP_WNDPROC);
  DestroyWindow(button);
  return 0;
}

WNDPROC superBase = nullptr;

LRESULT CALLBACK SuperButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(superBase, hwnd, message, wParam, lParam);
}

HWND MakeButton(HWND parent, const char* className = "BUTTON") {
  return CreateWindowExA(0, className, "made", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 100, 60,
                         24, parent, nullptr, nullptr, nullptr);
}

TEST_F(SkinTest, DressesOnlyItsOwnThreadsNewControlsAndOnlyWhileOn) {
  WindowTemplate plain = MainWindowTemplate;
  plain.onCreated = nullptr;
  Open(plain);
  HWND before = MakeButton(window);
  const LONG_PTR platform = GetWindowLongPtrA(before, GWLP_WNDPROC);

  SetSkinStyle(2);
  // Another thread's button: the skin belongs to this thread only.
  LONG_PTR otherThreadProc = 0;
  HANDLE thread = CreateThread(nullptr, 0, ButtonProcOnAnotherThread, &otherThreadProc, 0, nullptr);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  EXPECT_EQ(otherThreadProc, platform);

  // A class built on Button while the skin is on keeps its own procedure for its windows.
  WNDCLASSA super = {};
  ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &super));
  superBase = super.lpfnWndProc;
  super.lpfnWndProc = SuperButtonProc;
  super.hInstance = GetModuleHandleA(nullptr);
  super.lpszClassName = "hdpatch.TestSuperButton";
  ASSERT_NE(RegisterClassA(&super), 0);
  HWND superButton = MakeButton(window, super.lpszClassName);
  EXPECT_EQ(GetWindowLongPtrA(superButton, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(super.lpfnWndProc));
  EXPECT_EQ(WindowText(superButton), "made");
  DestroyWindow(superButton);
  UnregisterClassA(super.lpszClassName, super.hInstance);

  SetSkinStyle(0);
  HWND after = MakeButton(window);
  PumpFor(50);
  EXPECT_EQ(GetWindowLongPtrA(after, GWLP_WNDPROC), platform);
  EXPECT_NE(Hex(EdgeMidpoints(after)[0]), Hex(kOliveBorder));
}

}  // namespace
