// The real message box, folder chooser and existence test, under Wine.

#include "patch/platform.h"

#include "base/unique_any.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

// A visible, active top-level window of the test's thread, as MainWindow is for the program.
class ActiveWindow {
 public:
  ActiveWindow()
      : window_(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                300, 200, nullptr, nullptr, nullptr, nullptr)) {
    SetForegroundWindow(window_.get());
    SetActiveWindow(window_.get());
  }
  HWND get() const { return window_.get(); }

 private:
  unique_hwnd window_;
};

struct MessageCase {
  const char* name;
  const char* text;
  UINT style;
  LPCSTR icon;  // nullptr: no icon
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << c.name;
}

class ShowMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ShowMessageTest, ShowsATaskModalBoxWithTheProgramsCaption) {
  const MessageCase& c = GetParam();
  ActiveWindow window;
  DialogWatcher watcher;

  EXPECT_EQ(ShowMessage(SystemPlatform(), c.text, c.style), IDOK);

  ASSERT_EQ(watcher.seen().size(), 1u);
  const SeenDialog& box = watcher.seen()[0];
  EXPECT_EQ(box.caption, MessageTitle);
  EXPECT_EQ(Utf8FromAnsi(box.text), Utf8FromAnsi(c.text));
  EXPECT_EQ(box.icon, c.icon ? LoadIconA(nullptr, c.icon) : nullptr);
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_FALSE(box.otherWindowsEnabled) << "the box must disable the thread's windows";
  EXPECT_TRUE(IsWindowEnabled(window.get()));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ShowMessageTest,
    testing::Values(MessageCase{"Plain", PatchDoneText, PlainStyle, nullptr},
                    MessageCase{"Information", DirectoryOkText, InformationStyle, IDI_ASTERISK},
                    MessageCase{"Error", DirectoryWrongText, ErrorStyle, IDI_HAND}),
    [](const testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

// Answers the folder chooser the way a user would: a selection, then OK or Cancel.
struct ChooserScript {
  std::string folder;  // selected by path when not empty
  std::string label;   // what the chooser's tree shows for it
  int csidl = -1;      // or a shell folder by its identifier
  int button = IDOK;
};

struct ChooserRun {
  FolderChoice choice;
  std::vector<SeenDialog> seen;
  bool promptShown = false;
};

ChooserRun RunChooser(const ChooserScript& script) {
  ChooserRun run;
  DialogWatcher watcher([&](HWND dialog) {
    run.promptShown = FindWindowExA(dialog, nullptr, "Static", FolderPrompt) != nullptr;
    if (!script.folder.empty()) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                   reinterpret_cast<LPARAM>(script.folder.c_str()));
    } else if (script.csidl >= 0) {
      PIDLIST_ABSOLUTE list = nullptr;
      SHGetSpecialFolderLocation(dialog, script.csidl, &list);
      EXPECT_TRUE(DialogWatcher::SelectFolder(dialog, list));
      CoTaskMemFree(list);
    }
    DialogWatcher::PressButton(dialog, script.button);
  });
  run.choice = ChooseFolder(FolderPrompt);
  run.seen = watcher.seen();
  return run;
}

// Wine fills the chooser's tree after showing it and at times puts its selection back on the
// root after the test's selection held; such a run is tried again, a few times at most.
ChooserRun RunChooserSelecting(const ChooserScript& script) {
  ChooserRun run = RunChooser(script);
  for (int attempt = 1; attempt < 3 && script.folder != run.choice.path.get(); ++attempt) {
    run = RunChooser(script);
  }
  return run;
}

TEST(ChooseFolder, YieldsTheSelectedFolderAndGivesBackTheWindow) {
  TempDir dir;
  ActiveWindow window;
  const ChooserRun run =
      RunChooserSelecting({dir.path(), dir.path().substr(dir.path().rfind('\\') + 1)});

  EXPECT_TRUE(run.choice.accepted);
  EXPECT_STREQ(run.choice.path.get(), dir.path().c_str());
  ASSERT_EQ(run.seen.size(), 1u);
  EXPECT_TRUE(run.promptShown);
  EXPECT_EQ(run.seen[0].owner, window.get());
  EXPECT_FALSE(run.seen[0].otherWindowsEnabled);
  EXPECT_TRUE(IsWindowEnabled(window.get()));
  EXPECT_EQ(GetActiveWindow(), window.get());
}

TEST(ChooseFolder, CancelYieldsNoChoice) {
  ActiveWindow window;
  const ChooserRun run = RunChooser({"C:\\windows", "windows", -1, IDCANCEL});
  EXPECT_FALSE(run.choice.accepted);
  EXPECT_STREQ(run.choice.path.get(), "");
  EXPECT_TRUE(IsWindowEnabled(window.get()));
}

TEST(ChooseFolder, AnItemWithoutAPathYieldsAnEmptyPath) {
  ActiveWindow window;
  const ChooserRun run = RunChooser({"", "", CSIDL_DRIVES});
  EXPECT_TRUE(run.choice.accepted);
  EXPECT_STREQ(run.choice.path.get(), "");
}

TEST(ChooseFolder, ADriveRootKeepsItsBackslash) {
  ActiveWindow window;
  const ChooserRun run = RunChooserSelecting({"C:\\", "C:"});
  EXPECT_TRUE(run.choice.accepted);
  EXPECT_STREQ(run.choice.path.get(), "C:\\");
}

TEST(FileExists, CountsFilesOfEveryAttributeButNotDirectories) {
  TempDir dir;
  WriteFileBytes(dir / "plain", "x");
  WriteFileBytes(dir / "hidden", "x");
  SetFileAttributesA((dir / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteFileBytes(dir / "system", "x");
  SetFileAttributesA((dir / "system").c_str(), FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryA((dir / "folder").c_str(), nullptr);

  EXPECT_TRUE(FileExists((dir / "plain").c_str()));
  EXPECT_TRUE(FileExists((dir / "hidden").c_str()));
  EXPECT_TRUE(FileExists((dir / "system").c_str()));
  EXPECT_FALSE(FileExists((dir / "folder").c_str()));
  EXPECT_FALSE(FileExists((dir / "missing").c_str()));
  EXPECT_FALSE(FileExists((dir / "missing\\plain").c_str()));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
