#include "patch/commands.h"

#include "tests/support/message_box_watcher.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

class FakeBox : public DirectoryText {
 public:
  std::string text;
  FreshText Read() override { return JoinTexts({text.c_str()}); }
  void Replace(const char* replacement) override { text = replacement ? replacement : ""; }
};

struct ShownBox {
  std::string text, caption;
  UINT type;
};

// The real file system; a scripted folder chooser and recorded message boxes.
class ScriptedPlatform : public PatchPlatform {
 public:
  enum class Chooser { Folder, Cancel, NoPath } chooser = Chooser::Cancel;
  std::string chosenFolder;
  std::vector<ShownBox> shown;
  std::vector<std::string> prompts, writes;

  FolderChoice ChooseFolder(const char* prompt) override {
    prompts.push_back(prompt);
    if (chooser == Chooser::Cancel) return {false, JoinTexts({""})};
    return {true, JoinTexts({chooser == Chooser::Folder ? chosenFolder.c_str() : ""})};
  }
  bool WriteBytesToFile(const char* path, const SettingsImage& image) override {
    writes.push_back(path);
    return PatchPlatform::WriteBytesToFile(path, image);
  }
  int ShowMessageBox(const char* text, const char* caption, UINT type) override {
    shown.push_back({text, caption, type});
    return IDOK;
  }
};

enum class Command { Choose, Apply, Restore };
enum class Before { Nothing, File, HiddenFile, ReadOnlyFile, Directory };
enum class After { Old, Patched, Restored, Absent, Directory };

const std::string kOldContent = "0\r\n0\r\nsome older settings\r\n";

struct CommandCase {
  const char* name;
  Command command;
  Before before;        // what stands at <game>\System.dat
  const char* boxText;  // "<game>" stands for the game directory
  ScriptedPlatform::Chooser chooser;
  const char* message;  // nullptr: no message at all
  UINT type;            // the uType that reaches MessageBoxA
  const char* boxAfter;
  After after;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Expand(const std::string& text, const std::string& game) {
  std::string expanded = text;
  const std::size_t at = expanded.find("<game>");
  if (at != std::string::npos) expanded.replace(at, 6, game);
  return expanded;
}

class CommandTest : public testing::TestWithParam<CommandCase> {
 protected:
  TempDir dir;
  std::string game = dir / "CF";
  std::string settings = game + "\\System.dat";

  void Prepare(Before before) {
    CreateDirectoryA(game.c_str(), nullptr);
    if (before == Before::Directory) CreateDirectoryA(settings.c_str(), nullptr);
    if (before == Before::File || before == Before::HiddenFile || before == Before::ReadOnlyFile) {
      WriteFileBytes(settings, kOldContent);
    }
    if (before == Before::HiddenFile) SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (before == Before::ReadOnlyFile) {
      SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_READONLY);
    }
  }
};

TEST_P(CommandTest, ShowsOneMessageAndLeavesTheFileAsExpected) {
  const CommandCase& c = GetParam();
  Prepare(c.before);
  FakeBox box;
  box.text = Expand(c.boxText, game);
  ScriptedPlatform platform;
  platform.chooser = c.chooser;
  platform.chosenFolder = game;

  switch (c.command) {
    case Command::Choose:
      ChooseDirectory(box, platform);
      break;
    case Command::Apply:
      ApplyPatch(box, platform);
      break;
    case Command::Restore:
      RestorePatch(box, platform);
      break;
  }

  if (c.message) {
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(Utf8FromAnsi(platform.shown[0].text), Utf8FromAnsi(c.message));
    EXPECT_EQ(platform.shown[0].caption, MessageTitle);
    EXPECT_EQ(platform.shown[0].type, c.type);
  } else {
    EXPECT_TRUE(platform.shown.empty());
  }
  EXPECT_EQ(box.text, Expand(c.boxAfter, game));
  if (c.command == Command::Choose) {
    EXPECT_EQ(platform.prompts, std::vector<std::string>{FolderPrompt});
  }

  const std::optional<std::string> content = ReadFileBytes(settings);
  switch (c.after) {
    case After::Old:
      EXPECT_EQ(content, kOldContent);
      break;
    case After::Patched:
      EXPECT_EQ(content, std::string(PatchImage.bytes, 91));
      break;
    case After::Restored:
      EXPECT_EQ(content, std::string(RestoreImage.bytes, 91));
      break;
    case After::Absent:
      EXPECT_EQ(GetFileAttributesA(settings.c_str()), INVALID_FILE_ATTRIBUTES);
      break;
    case After::Directory:
      EXPECT_NE(GetFileAttributesA(settings.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
      break;
  }
}

using C = ScriptedPlatform::Chooser;
const UINT kPlain = 0x2000, kInformation = 0x2040, kError = 0x2010;

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTest,
    testing::Values(
        CommandCase{"ChooseFindsTheFile", Command::Choose, Before::File, "typed", C::Folder,
                    DirectoryOkText, kInformation, "<game>", After::Old},
        CommandCase{"ChooseCountsAHiddenFile", Command::Choose, Before::HiddenFile, "", C::Folder,
                    DirectoryOkText, kInformation, "<game>", After::Old},
        CommandCase{"ChooseIgnoresADirectoryOfThatName", Command::Choose, Before::Directory, "",
                    C::Folder, DirectoryWrongText, kError, "<game>", After::Directory},
        CommandCase{"ChooseWithoutTheFile", Command::Choose, Before::Nothing, "", C::Folder,
                    DirectoryWrongText, kError, "<game>", After::Absent},
        CommandCase{"CancelKeepsTheBoxAndSaysNothing", Command::Choose, Before::File, "typed",
                    C::Cancel, nullptr, 0, "typed", After::Old},
        CommandCase{"ItemWithoutPathKeepsTheBox", Command::Choose, Before::File, "typed", C::NoPath,
                    DirectoryWrongText, kError, "typed", After::Old},
        CommandCase{"ApplyReplacesTheFile", Command::Apply, Before::File, "<game>", C::Cancel,
                    PatchDoneText, kPlain, "<game>", After::Patched},
        CommandCase{"ApplyCreatesAMissingFile", Command::Apply, Before::Nothing, "<game>",
                    C::Cancel, PatchDoneText, kPlain, "<game>", After::Patched},
        CommandCase{"RestoreReplacesTheFile", Command::Restore, Before::File, "<game>", C::Cancel,
                    RestoreDoneText, kPlain, "<game>", After::Restored},
        CommandCase{"ApplyReportsAReadOnlyFile", Command::Apply, Before::ReadOnlyFile, "<game>",
                    C::Cancel, PatchFailedText, kError, "<game>", After::Old},
        CommandCase{"RestoreReportsAHiddenFile", Command::Restore, Before::HiddenFile, "<game>",
                    C::Cancel, RestoreFailedText, kError, "<game>", After::Old},
        CommandCase{"ApplyReportsADirectoryOfThatName", Command::Apply, Before::Directory, "<game>",
                    C::Cancel, PatchFailedText, kError, "<game>", After::Directory},
        CommandCase{"ApplyReportsAMissingDirectory", Command::Apply, Before::Nothing,
                    "<game>\\missing", C::Cancel, PatchFailedText, kError, "<game>\\missing",
                    After::Absent},
        CommandCase{"ApplyWithAnEmptyBoxWritesNothing", Command::Apply, Before::Nothing, "",
                    C::Cancel, DirectoryWrongText, kError, "", After::Absent},
        CommandCase{"RestoreWithAnEmptyBoxWritesNothing", Command::Restore, Before::Nothing, "",
                    C::Cancel, DirectoryWrongText, kError, "", After::Absent}),
    [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(WriteCommands, EmptyBoxNeverReachesTheWriter) {
  FakeBox box;
  ScriptedPlatform platform;
  ApplyPatch(box, platform);
  RestorePatch(box, platform);
  EXPECT_TRUE(platform.writes.empty());
  EXPECT_EQ(platform.shown.size(), 2u);
}

TEST(WriteCommands, UseTheTypedTextUnchanged) {
  TempDir dir;
  CreateDirectoryA((dir / "sub").c_str(), nullptr);
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.path().c_str());

  FakeBox box;
  box.text = "sub";  // relative: resolved against the current directory
  ScriptedPlatform platform;
  ApplyPatch(box, platform);
  SetCurrentDirectoryA(previous);

  EXPECT_EQ(platform.writes, std::vector<std::string>{"sub\\System.dat"});
  EXPECT_EQ(ReadFileBytes(dir / "sub\\System.dat"), std::string(PatchImage.bytes, 91));
}

}  // namespace
