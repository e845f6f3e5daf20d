// The built hdpatch.exe, started as a user starts it and driven with real input.

#include "patch/messages.h"
#include "patch/settings_file.h"

#include "base/unique_any.h"
#include "tests/support/input.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::string programPath;  // the first argument after GoogleTest's own

constexpr UINT kDirectoryBoxId = 369170413, kChooseButtonId = 369170414,
               kRestoreButtonId = 369170383, kPatchButtonId = 369164291;
const std::string kTitle = AnsiFromUtf8("岚柚高清补丁，不卡屏");

struct Found {
  DWORD process;
  std::string className, title;
  HWND window = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data) {
  auto* f = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == f->process && IsWindowVisible(window) && f->className == name &&
      (f->title.empty() || WindowText(window) == f->title)) {
    f->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopWindow(DWORD process, const char* className, const std::string& title = "") {
  Found found{process, className, title};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// One run of the program, from its start to its exit code.
class Program {
 public:
  explicit Program(const std::string& workingDirectory = "", WORD show = SW_SHOWNORMAL,
                   const std::string& path = programPath) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    std::string command = "\"" + path + "\"";
    PROCESS_INFORMATION info = {};
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
      started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               directory, &startup, &info);
      if (!started) PumpFor(500);
    }
    if (!started) {
      ADD_FAILURE() << "cannot start " << path << ": error " << GetLastError();
      return;
    }
    process_.reset(info.hProcess);
    unique_hfile thread(info.hThread);
    id_ = info.dwProcessId;
    PumpUntil([&] { return (window_ = FindTopWindow(id_, "hdpatch.ShellWindow", kTitle)); }, 15000);
    PumpUntil([&] { return GetForegroundWindow() == window_; }, 2000);
    PumpFor(300);
    wasForeground_ = GetForegroundWindow() == window_;
  }
  ~Program() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);
    }
  }

  HWND window() const { return window_; }
  bool wasForeground() const { return wasForeground_; }
  HWND Control(UINT id) const { return GetDlgItem(window_, static_cast<int>(id)); }

  // The control that has the keyboard focus in the program.
  HWND Focused() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
    return info.hwndFocus;
  }

  // Tabs to a button and presses it with the space bar, as a keyboard user does.
  void Press(UINT id) const {
    for (int step = 0; step < 5 && Focused() != Control(id); ++step) PressKey(VK_TAB);
    EXPECT_EQ(Focused(), Control(id));
    PressKey(VK_SPACE);
  }

  // After a task-modal box closes, Wine activates no window of the program again (a click
  // on it would); the harness hands the activation back so the keys that follow arrive.
  bool Activate() const {
    SetForegroundWindow(window_);
    return PumpUntil([&] { return GetForegroundWindow() == window_; }, 2000);
  }

  bool Exited(DWORD milliseconds) const {
    return PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                     milliseconds);
  }

  // The message box the program shows next: its text; Enter closes it.
  std::string AnswerMessage() const {
    HWND box = nullptr;
    PumpUntil([&] { return (box = FindTopWindow(id_, "#32770", MessageTitle)); }, 5000);
    if (!box) return "<no message box>";
    PumpFor(200);
    const SeenDialog seen = DialogWatcher::Inspect(box);
    PressKey(VK_RETURN);
    PumpUntil([&] { return !IsWindow(box); }, 3000);
    return Utf8FromAnsi(seen.text);
  }

  // Waits for the process to end and yields its exit code.
  DWORD ExitCode() const {
    PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, 10000);
    DWORD code = 259;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }

  // Selects a folder in the program's folder chooser: the path must live in its process.
  void ChooseInChooser(const std::string& path) const {
    HWND chooser = nullptr;
    PumpUntil([&] { return (chooser = FindTopWindow(id_, "#32770")); }, 15000);
    ASSERT_NE(chooser, nullptr) << "no folder chooser";
    PumpFor(1000);  // Wine fills the tree after showing it
    void* remote = VirtualAllocEx(process_.get(), nullptr, path.size() + 1,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process_.get(), remote, path.c_str(), path.size() + 1, nullptr);
    for (int i = 0; i < 2; ++i) {
      SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote));
      PumpFor(300);
    }
    PressKey(VK_RETURN);
    PumpUntil([&] { return !IsWindow(chooser); }, 3000);
    VirtualFreeEx(process_.get(), remote, 0, MEM_RELEASE);
  }

  void TypeIntoDirectoryBox(const std::string& lowercaseLetters) const {
    PressKey(VK_TAB, {VK_SHIFT});  // from the patch button back to the box
    for (char c : lowercaseLetters) PressKey(c == '-' ? VK_OEM_MINUS : std::toupper(c));
  }

 private:
  unique_hfile process_;
  DWORD id_ = 0;
  HWND window_ = nullptr;
  bool wasForeground_ = false;
};

std::string Image(const SettingsImage& image) {
  return std::string(image.bytes, image.length);
}

TEST(EndToEnd, TheTypicalRun) {
  TempDir game;
  WriteFileBytes(game / "System.dat", "0\r\nold settings\r\n");
  Program program;
  ASSERT_NE(program.window(), nullptr);
  ASSERT_TRUE(program.wasForeground());
  EXPECT_EQ(GetWindowThreadProcessId(GetForegroundWindow(), nullptr),
            GetWindowThreadProcessId(program.window(), nullptr));

  program.Press(kChooseButtonId);
  program.ChooseInChooser(game.path());
  EXPECT_EQ(program.AnswerMessage(), "目录正确，可以进行补丁转换");
  EXPECT_EQ(WindowText(program.Control(kDirectoryBoxId)), game.path());

  ASSERT_TRUE(program.Activate());
  program.Press(kPatchButtonId);
  EXPECT_EQ(program.AnswerMessage(), "              加载补丁成功         ");
  EXPECT_EQ(ReadFileBytes(game / "System.dat"), Image(PatchImage));

  ASSERT_TRUE(program.Activate());
  program.Press(kRestoreButtonId);
  EXPECT_EQ(program.AnswerMessage(), "              还原补丁成功         ");
  EXPECT_EQ(ReadFileBytes(game / "System.dat"), Image(RestoreImage));

  ASSERT_TRUE(program.Activate());
  PressKey(VK_ESCAPE);
  EXPECT_EQ(program.ExitCode(), 0u);
}

enum class CloseWay { Escape, CloseBox, AltF4 };
const char* const kCloseWays[] = {"Escape", "CloseBox", "AltF4"};

class CloseTest : public testing::TestWithParam<CloseWay> {};

TEST_P(CloseTest, EndsTheProcessWithZero) {
  Program program;
  ASSERT_NE(program.window(), nullptr);
  switch (GetParam()) {
    case CloseWay::Escape:
      PressKey(VK_ESCAPE);
      break;
    case CloseWay::AltF4:
      PressKey(VK_F4, {VK_MENU});
      break;
    case CloseWay::CloseBox: {
      RECT rect;
      GetWindowRect(program.window(), &rect);
      const int y = rect.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2;
      int x = rect.right - 2;
      while (x > rect.right - 60 &&
             SendMessageA(program.window(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) {
        --x;
      }
      ASSERT_GT(x, rect.right - 60) << "no close box";
      // A press that Wine's frame loop misses is pressed again, as a user would.
      for (int attempt = 0; attempt < 3 && !program.Exited(1500); ++attempt) {
        ClickApartAt({x - 4, y});
      }
      break;
    }
  }
  EXPECT_EQ(program.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseTest,
                         testing::Values(CloseWay::Escape, CloseWay::CloseBox, CloseWay::AltF4),
                         [](const testing::TestParamInfo<CloseWay>& info) {
                           return std::string(kCloseWays[static_cast<int>(info.param)]);
                         });

class StartShowTest : public testing::TestWithParam<WORD> {};

TEST_P(StartShowTest, IsIgnored) {
  Program program("", GetParam());
  ASSERT_NE(program.window(), nullptr);
  EXPECT_FALSE(IsIconic(program.window()));
  EXPECT_FALSE(IsZoomed(program.window()));
  RECT rect;
  GetWindowRect(program.window(), &rect);
  EXPECT_EQ(rect.right - rect.left, 261);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(program.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Commands, StartShowTest,
                         testing::Values(SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_HIDE));

std::string DirectoryOf(const std::string& path) {
  return path.substr(0, path.rfind('\\'));
}

// A relative directory text names a folder beside the program, wherever it was started from.
void ExpectRelativeWriteBesideProgram(const std::string& program) {
  const std::string folder = DirectoryOf(program) + "\\e2e-rel";
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  TempDir elsewhere;
  {
    Program run(elsewhere.path(), SW_SHOWNORMAL, program);
    ASSERT_NE(run.window(), nullptr);
    run.TypeIntoDirectoryBox("e2e-rel");
    EXPECT_EQ(WindowText(run.Control(kDirectoryBoxId)), "e2e-rel");
    run.Press(kPatchButtonId);
    EXPECT_EQ(run.AnswerMessage(), "              加载补丁成功         ");
    ASSERT_TRUE(run.Activate());
    PressKey(VK_ESCAPE);
    EXPECT_EQ(run.ExitCode(), 0u);
  }
  EXPECT_EQ(ReadFileBytes(folder + "\\System.dat"), Image(PatchImage));
  EXPECT_TRUE(ListDirectory(elsewhere.path()).empty());
  RemoveTree(folder);
}

TEST(StartUp, RelativeDirectoriesResolveBesideTheProgram) {
  ExpectRelativeWriteBesideProgram(programPath);
}

TEST(StartUp, AProgramFolderWithATrailByteBackslash) {
  TempDir dir;
  // 乗 is 81 5C in code page 936: its trail byte is a backslash.
  const std::string folder = dir / "\x81\x5C";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string copy = folder + "\\hdpatch.exe";
  ASSERT_TRUE(CopyFileA(programPath.c_str(), copy.c_str(), FALSE));
  ExpectRelativeWriteBesideProgram(copy);
}

// The program file itself: its icon, its version and no manifest.
class ProgramFile : public testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { FreeLibrary(module); }
  const BYTE* Resource(const char* name, LPCSTR type, DWORD* size) const {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  }
  HMODULE module = nullptr;
};

TEST_F(ProgramFile, CarriesOneIconOf64PixelsWithAlpha) {
  DWORD size = 0;
  const BYTE* group = Resource("DEFAULT_ICON", RT_GROUP_ICON, &size);
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(size, 6u + 14u);  // the header and one entry
  EXPECT_EQ(group[4] | group[5] << 8, 1);
  EXPECT_EQ(group[6], 64);
  EXPECT_EQ(group[7], 64);
  EXPECT_EQ(group[12] | group[13] << 8, 32);  // bits per pixel
  const WORD id = group[18] | group[19] << 8;
  const BYTE* image = Resource(MAKEINTRESOURCEA(id), RT_ICON, &size);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(size, 16936u);
  BITMAPINFOHEADER header;
  memcpy(&header, image, sizeof header);
  EXPECT_EQ(header.biWidth, 64);
  EXPECT_EQ(header.biHeight, 128);  // colour and mask
  EXPECT_EQ(header.biBitCount, 32);
}

TEST_F(ProgramFile, IsVersionOneWithoutAManifest) {
  DWORD size = 0;
  EXPECT_EQ(Resource(MAKEINTRESOURCEA(1), RT_MANIFEST, &size), nullptr);
  const BYTE* version = Resource(MAKEINTRESOURCEA(1), RT_VERSION, &size);
  ASSERT_NE(version, nullptr);
  // VS_FIXEDFILEINFO follows the key "VS_VERSION_INFO" in UTF-16, aligned to 4 bytes.
  const BYTE* fixed = version + 40;
  VS_FIXEDFILEINFO info;
  memcpy(&info, fixed, sizeof info);
  ASSERT_EQ(info.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwFileVersionLS, 0u);
  EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwProductVersionLS, 0u);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: end_to_end_tests PATH-TO-hdpatch.exe\n");
    return 2;
  }
  char full[MAX_PATH];
  GetFullPathNameA(argv[1], MAX_PATH, full, nullptr);
  programPath = full;
  // Input is taken from threads that belong to the desktop; a window of its own joins it.
  unique_hwnd joined(
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  return RUN_ALL_TESTS();
}
