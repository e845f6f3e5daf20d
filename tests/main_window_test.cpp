// MainWindow built for real in a Wine desktop and driven with real input.

#include "ui/main_window.h"

#include "tests/support/input.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window = LoadWindow(MainWindowTemplate);
    ASSERT_NE(window, nullptr);
    PumpUntil([&] { return GetForegroundWindow() == window; });
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    PumpFor(20);
  }

  HWND Control(UINT id) const { return GetDlgItem(window, static_cast<int>(id)); }
  void SetDirectory(const std::string& text) {
    SetWindowTextA(Control(DirectoryBoxId), text.c_str());
  }

  HWND window = nullptr;
};

// The outer rectangle for each screen size the tests run on.
struct Placement {
  int screenWidth, screenHeight, left, top;
};
const Placement kPlacements[] = {{1920, 1080, 829, 469}, {1024, 768, 381, 313}};

TEST_F(MainWindowTest, OpensCentredAtItsFixedSize) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const Placement* placement = nullptr;
  for (const Placement& p : kPlacements) {
    if (p.screenWidth == width && p.screenHeight == height) placement = &p;
  }
  ASSERT_NE(placement, nullptr) << "no expectation for a " << width << "x" << height << " screen";
  char expected[32] = {};
  if (GetEnvironmentVariableA("HDPATCH_EXPECTED_SCREEN", expected, sizeof expected)) {
    EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), expected);
  }
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, placement->left);
  EXPECT_EQ(outer.top, placement->top);
  EXPECT_EQ(outer.right - outer.left, 261);
  EXPECT_EQ(outer.bottom - outer.top, 141);
}

// Runs the placement test in a child process on the named Wine desktop; yields its exit code.
DWORD RunPlacementOnDesktop(const char* name, const char* screen) {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command =
      std::string("\"") + program + "\" --gtest_filter=MainWindowTest.OpensCentredAtItsFixedSize";
  std::string desktop = name;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION process = {};
  SetEnvironmentVariableA("HDPATCH_EXPECTED_SCREEN", screen);
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableA("HDPATCH_EXPECTED_SCREEN", nullptr);
  if (!started) return GetLastError();
  const unique_hfile processHandle(process.hProcess), threadHandle(process.hThread);
  DWORD exitCode = WAIT_TIMEOUT;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  }
  return exitCode;
}

// Wine's desktop "Small" is 1024 x 768. Starting a program there changes the screen size
// that every process sees, so a program on the default desktop follows to set it back.
TEST(MainWindowPlacement, OpensCentredOnASmallerScreen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(RunPlacementOnDesktop("Small", "1024x768"), 0u);
  EXPECT_EQ(RunPlacementOnDesktop("Default", "1920x1080"), 0u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
}

TEST_F(MainWindowTest, HasAFixedFrameWithOnlyTheSystemMenuAndCloseBox) {
  const DWORD style = GetWindowLongA(window, GWL_STYLE);
  // The platform adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(style & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                                         WS_CLIPCHILDREN | WS_VISIBLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  // ... and WS_EX_WINDOWEDGE to every window with a caption.
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_EQ(Utf8FromAnsi(WindowText(window)), "岚柚高清补丁，不卡屏");
  EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessageA(window, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

struct ControlCase {
  const char* name;
  UINT id;
  const char* className;
  RECT rect;  // in the client area
  const char* text;
  DWORD style;
  DWORD exStyle;
};
void PrintTo(const ControlCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON |
                          BS_MULTILINE | BS_CENTER | BS_VCENTER;
const ControlCase kControls[] = {
    {"DirectoryBox",
     DirectoryBoxId,
     "Edit",
     {16, 16, 144, 40},
     "",
     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE},
    {"ChooseButton", ChooseButtonId, "Button", {152, 16, 240, 40}, "选择目录", kButton, 0},
    {"FrameButton", FrameButtonId, "Button", {8, 8, 248, 48}, "", kButton | WS_DISABLED, 0},
    {"RestoreButton", RestoreButtonId, "Button", {136, 64, 248, 96}, "还原补丁", kButton, 0},
    {"PatchButton", PatchButtonId, "Button", {8, 64, 128, 96}, "加载补丁", kButton, 0},
};

class ControlTest : public MainWindowTest, public testing::WithParamInterface<ControlCase> {};

TEST_P(ControlTest, StandsWhereTheTemplatePutsIt) {
  const ControlCase& c = GetParam();
  HWND control = Control(c.id);
  ASSERT_NE(control, nullptr);
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  EXPECT_STRCASEEQ(className, c.className);
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, c.rect.left);
  EXPECT_EQ(rect.top, c.rect.top);
  EXPECT_EQ(rect.right, c.rect.right);
  EXPECT_EQ(rect.bottom, c.rect.bottom);
  EXPECT_EQ(Utf8FromAnsi(WindowText(control)), c.text);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)), c.style);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE)), c.exStyle);
  EXPECT_EQ(IsWindowEnabled(control) != FALSE, (c.style & WS_DISABLED) == 0);
  EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

INSTANTIATE_TEST_SUITE_P(Template, ControlTest, testing::ValuesIn(kControls),
                         [](const testing::TestParamInfo<ControlCase>& info) {
                           return info.param.name;
                         });

TEST_F(MainWindowTest, StacksTheControlsInTemplateOrder) {
  std::vector<UINT> order;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(static_cast<UINT>(GetDlgCtrlID(child)));
  }
  EXPECT_EQ(order, (std::vector<UINT>{DirectoryBoxId, ChooseButtonId, FrameButtonId,
                                      RestoreButtonId, PatchButtonId}));
}

TEST_F(MainWindowTest, TabAndShiftTabCycleTheFocus) {
  const std::vector<UINT> cycle = {PatchButtonId, RestoreButtonId, ChooseButtonId, DirectoryBoxId};
  EXPECT_EQ(GetFocus(), Control(PatchButtonId)) << "the focus starts on the patch button";
  std::vector<UINT> forward, backward;
  for (int i = 0; i < 4; ++i) {
    PressKey(VK_TAB);
    forward.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(forward, (std::vector<UINT>{cycle[1], cycle[2], cycle[3], cycle[0]}));
  for (int i = 0; i < 4; ++i) {
    PressKey(VK_TAB, {VK_SHIFT});
    backward.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(backward, (std::vector<UINT>{cycle[3], cycle[2], cycle[1], cycle[0]}));
}

class EscapeTest : public MainWindowTest, public testing::WithParamInterface<UINT> {};

TEST_P(EscapeTest, ClosesTheWindowFromEveryControl) {
  SetFocus(Control(GetParam()));
  ASSERT_EQ(GetFocus(), Control(GetParam()));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
}

INSTANTIATE_TEST_SUITE_P(Focus, EscapeTest,
                         testing::Values(PatchButtonId, RestoreButtonId, ChooseButtonId,
                                         DirectoryBoxId));

// The close box, found where the frame says it is.
POINT CloseBoxOf(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  for (int x = outer.right - 1; x > outer.left; --x) {
    for (int y = outer.top; y < outer.top + GetSystemMetrics(SM_CYCAPTION) + 4; ++y) {
      const LPARAM at = MAKELPARAM(x, y);
      if (SendMessageA(window, WM_NCHITTEST, 0, at) == HTCLOSE) return {x - 3, y + 3};
    }
  }
  return {-1, -1};
}

enum class CloseWay { CloseBox, AltF4, SystemMenu };
const char* const kCloseWayNames[] = {"CloseBox", "AltF4", "SystemMenu"};

class CloseTest : public MainWindowTest, public testing::WithParamInterface<CloseWay> {};

TEST_P(CloseTest, DestroysTheWindow) {
  switch (GetParam()) {
    case CloseWay::CloseBox: {
      const POINT box = CloseBoxOf(window);
      ASSERT_GE(box.x, 0) << "no close box";
      ClickAt(box);
      break;
    }
    case CloseWay::AltF4:
      PressKey(VK_F4, {VK_MENU});
      break;
    case CloseWay::SystemMenu:
      // Alt+Space opens the menu; its modal loop then reads C, its Close command.
      SendKeyEvents({{VK_MENU, false},
                     {VK_SPACE, false},
                     {VK_SPACE, true},
                     {VK_MENU, true},
                     {'C', false},
                     {'C', true}});
      break;
  }
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseTest,
                         testing::Values(CloseWay::CloseBox, CloseWay::AltF4, CloseWay::SystemMenu),
                         [](const testing::TestParamInfo<CloseWay>& info) {
                           return std::string(kCloseWayNames[static_cast<int>(info.param)]);
                         });

// The loop runs in a child process of its own: once it has started, the last window's
// destruction posts the quit message that ends it.
TEST(RunMessageLoop, EndsWithZeroWhenTheWindowCloses) {
  EXPECT_EXIT(
      {
        HWND window = LoadWindow(MainWindowTemplate);
        PostMessageA(window, WM_CLOSE, 0, 0);
        const int code = RunMessageLoop();
        std::exit(code == 0 && !IsWindow(window) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(RunMessageLoop, ReturnsAtOnceWithoutAWindow) {
  EXPECT_EXIT(std::exit(RunMessageLoop() == 0 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowTest, EnterStartsNoCommandOnAnyControl) {
  TempDir dir;
  SetDirectory(dir.path());
  DialogWatcher watcher;
  for (UINT id : {PatchButtonId, RestoreButtonId, ChooseButtonId, DirectoryBoxId}) {
    SetFocus(Control(id));
    PressKey(VK_RETURN);
    PumpFor(150);
    EXPECT_EQ(GetFocus(), Control(id));
  }
  EXPECT_TRUE(watcher.seen().empty());
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, FocusReturnsAfterAnotherWindowWasActive) {
  SetFocus(Control(DirectoryBoxId));
  unique_hwnd other(CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                    200, 100, nullptr, nullptr, nullptr, nullptr));
  SetForegroundWindow(other.get());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other.get(); }));
  SetForegroundWindow(window);
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == window; }));
  EXPECT_EQ(GetFocus(), Control(DirectoryBoxId));
}

TEST_F(MainWindowTest, DirectoryBoxTakesALongTextWhole) {
  HWND box = Control(DirectoryBoxId);
  SetFocus(box);
  const WORD keys[] = {'C', 'F', VK_OEM_5, 'G', 'A', 'M', 'E', 'S'};
  for (WORD key : keys) PressKey(key);
  EXPECT_EQ(DirectoryBoxText(box).Read().get(), std::string("cf\\games"));

  const std::string text = "D:\\" + std::string(3000, 'x') + "\\CF";
  DirectoryBoxText(box).Replace(text.c_str());
  EXPECT_EQ(DirectoryBoxText(box).Read().get(), text);
  DirectoryBoxText(box).Replace(nullptr);
  EXPECT_STREQ(DirectoryBoxText(box).Read().get(), "");
}

TEST_F(MainWindowTest, DirectoryBoxShowsOneCentredLine) {
  HWND box = Control(DirectoryBoxId);
  HDC dc = GetDC(box);
  HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE letter;
  GetTextExtentPoint32A(dc, "W", 1, &letter);
  SelectObject(dc, previous);
  ReleaseDC(box, dc);

  RECT client;
  GetClientRect(box, &client);
  EXPECT_EQ(client.bottom, letter.cy);
  POINT origin = {0, 0};
  MapWindowPoints(box, window, &origin, 1);
  const int edge = GetSystemMetrics(SM_CYEDGE);
  EXPECT_EQ(origin.y, 16 + edge + (24 - 2 * edge - letter.cy) / 2);
}

TEST_F(MainWindowTest, ClicksAboveOrBelowTheLineLeaveTheCaret) {
  HWND box = Control(DirectoryBoxId);
  SetWindowTextA(box, "abcdefgh");
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, 8, 8);
  RECT client;
  GetClientRect(box, &client);
  auto caret = [&] {
    DWORD start = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return start;
  };
  // The bands lie between the 2-pixel edge and the text line.
  ClickIn(box, 1, -1);
  EXPECT_EQ(caret(), 8u);
  ClickIn(box, 1, client.bottom);
  EXPECT_EQ(caret(), 8u);
  ClickIn(box, 1, client.bottom / 2);
  EXPECT_EQ(caret(), 0u) << "a click on the line itself places the caret";
}

TEST_F(MainWindowTest, ClickOnTheFrameButtonsEdgeDoesNothing) {
  DialogWatcher watcher;
  ClickIn(window, 10, 10);
  PumpFor(100);
  EXPECT_TRUE(watcher.seen().empty());
  EXPECT_EQ(GetFocus(), Control(PatchButtonId));
}

struct ClickCase {
  const char* name;
  UINT button;
  const char* message;
  const SettingsImage* written;
};
void PrintTo(const ClickCase& c, std::ostream* os) {
  *os << c.name;
}

class ClickTest : public MainWindowTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(ClickTest, RunsTheButtonsCommand) {
  const ClickCase& c = GetParam();
  TempDir dir;
  WriteFileBytes(dir / "System.dat", "old");
  SetDirectory(c.button == ChooseButtonId ? "" : dir.path());
  bool clickedDuringBox = false;
  DialogWatcher watcher([&](HWND dialog) {
    if (WindowText(dialog) != MessageTitle) {  // the folder chooser
      const std::string leaf = dir.path().substr(dir.path().rfind('\\') + 1);
      EXPECT_TRUE(DialogWatcher::SelectFolder(dialog, dir.path().c_str(), leaf.c_str()));
      DialogWatcher::PressButton(dialog, IDOK);
      return;
    }
    // A second click while the box is open must start nothing.
    RECT rect;
    GetWindowRect(Control(c.button), &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    clickedDuringBox = true;
    DialogWatcher::PressButton(dialog, IDOK);
  });
  RECT rect;
  GetWindowRect(Control(c.button), &rect);
  ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  ASSERT_TRUE(PumpUntil([&] { return clickedDuringBox; }));
  PumpFor(200);

  ASSERT_FALSE(watcher.seen().empty());
  const SeenDialog& box = watcher.seen().back();
  EXPECT_EQ(box.caption, MessageTitle);
  EXPECT_EQ(Utf8FromAnsi(box.text), Utf8FromAnsi(c.message));
  EXPECT_FALSE(box.otherWindowsEnabled);
  EXPECT_EQ(watcher.seen().size(), c.button == ChooseButtonId ? 2u : 1u);
  const std::string expected = c.written ? std::string(c.written->bytes, 91) : "old";
  EXPECT_EQ(ReadFileBytes(dir / "System.dat"), expected);
  if (c.button == ChooseButtonId) {
    EXPECT_EQ(WindowText(Control(DirectoryBoxId)), dir.path());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ClickTest,
    testing::Values(ClickCase{"Patch", PatchButtonId, PatchDoneText, &PatchImage},
                    ClickCase{"Restore", RestoreButtonId, RestoreDoneText, &RestoreImage},
                    ClickCase{"Choose", ChooseButtonId, DirectoryOkText, nullptr}),
    [](const testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

}  // namespace
