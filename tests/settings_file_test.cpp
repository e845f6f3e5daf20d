#include "patch/settings_file.h"

#include "base/unique_any.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string Bytes(const SettingsImage& image) {
  return std::string(image.bytes, image.length);
}

// The 24 values of the settings file, line by line, as the game stores them.
std::string ExpectedImage(const char* firstValue) {
  const char* values[] = {firstValue, "0",        "0",        "1", "2", "0",   "1", "1",
                          "1",        "0.750000", "3",        "1", "0", "100", "1", "71",
                          "0",        "100",      "0.434857", "0", "0", "0",   "0", "0"};
  std::string image;
  for (const char* value : values) image += std::string(value) + "\r\n";
  return image;
}

TEST(SettingsImages, MatchTheSettingsFileLineByLine) {
  EXPECT_EQ(PatchImage.length, 91);
  EXPECT_EQ(RestoreImage.length, 91);
  EXPECT_EQ(Bytes(PatchImage), ExpectedImage("4"));
  EXPECT_EQ(Bytes(RestoreImage), ExpectedImage("0"));
}

TEST(SettingsImages, DifferOnlyInTheirFirstByte) {
  const std::string patch = Bytes(PatchImage), restore = Bytes(RestoreImage);
  EXPECT_EQ(patch.substr(0, 3), "4\r\n");
  EXPECT_EQ(restore.substr(0, 3), "0\r\n");
  EXPECT_EQ(patch.substr(1), restore.substr(1));
  EXPECT_EQ(patch.substr(88), "0\r\n");
  EXPECT_EQ(patch.substr(27, 10), "0.750000\r\n");  // line 10 starts at 27
  EXPECT_EQ(patch.substr(66, 10), "0.434857\r\n");  // line 19 starts at 66
}

const std::string kOldContent =
    "previous settings, longer than the 91 bytes of an image: " + std::string(200, 'x');

// What stands at <dir>\System.dat before the write.
enum class Before { Nothing, File, ReadOnlyFile, HiddenFile, SystemFile, Directory, HeldOpen };

struct WriteCase {
  const char* name;
  Before before;
  bool expected;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
  *os << c.name;
}

class WriteBytesToFileTest : public testing::TestWithParam<WriteCase> {
 protected:
  TempDir dir;
  std::string path = dir / "System.dat";
  unique_hfile holder;

  void Prepare(Before before) {
    if (before == Before::Directory) {
      CreateDirectoryA(path.c_str(), nullptr);
      return;
    }
    if (before == Before::Nothing) return;
    WriteFileBytes(path, kOldContent);
    const DWORD attributes[] = {
        0, 0, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, 0, 0};
    if (DWORD a = attributes[static_cast<int>(before)]) SetFileAttributesA(path.c_str(), a);
    if (before == Before::HeldOpen) {
      holder.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(holder);
    }
  }
};

TEST_P(WriteBytesToFileTest, ReplacesTheFileOrLeavesItAsItWas) {
  const WriteCase& c = GetParam();
  Prepare(c.before);

  EXPECT_EQ(WriteBytesToFile(path.c_str(), PatchImage), c.expected);
  holder.reset();

  if (c.before == Before::Directory) {
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  } else if (c.expected) {
    EXPECT_EQ(ReadFileBytes(path), Bytes(PatchImage));
  } else {
    EXPECT_EQ(ReadFileBytes(path), kOldContent);
  }
  // Nothing but the settings file is left in the directory.
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"System.dat"});
}

INSTANTIATE_TEST_SUITE_P(
    States, WriteBytesToFileTest,
    testing::Values(WriteCase{"CreatesAMissingFile", Before::Nothing, true},
                    WriteCase{"ReplacesALongerFile", Before::File, true},
                    WriteCase{"RefusesAReadOnlyFile", Before::ReadOnlyFile, false},
                    WriteCase{"RefusesAHiddenFile", Before::HiddenFile, false},
                    WriteCase{"RefusesASystemFile", Before::SystemFile, false},
                    WriteCase{"RefusesADirectory", Before::Directory, false},
                    WriteCase{"RefusesAFileHeldOpen", Before::HeldOpen, false}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST(WriteBytesToFile, RestoreImageAfterPatchImageLeavesTheRestoreImage) {
  TempDir dir;
  const std::string path = dir / "System.dat";
  ASSERT_TRUE(WriteBytesToFile(path.c_str(), PatchImage));
  ASSERT_TRUE(WriteBytesToFile(path.c_str(), RestoreImage));
  EXPECT_EQ(ReadFileBytes(path), Bytes(RestoreImage));
}

TEST(WriteBytesToFile, ZeroLengthLeavesAnEmptyFile) {
  TempDir dir;
  const std::string path = dir / "System.dat";
  WriteFileBytes(path, kOldContent);
  EXPECT_TRUE(WriteBytesToFile(path.c_str(), SettingsImage{"", 0}));
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(WriteBytesToFile, MissingDirectoryCreatesNothing) {
  TempDir dir;
  const std::string missing = dir / "missing";
  EXPECT_FALSE(WriteBytesToFile((missing + "\\System.dat").c_str(), PatchImage));
  EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
}

TEST(WriteBytesToFile, PathEndingInTheSuffixTwiceWritesNothing) {
  TempDir dir;
  const std::string path = dir / "System.dat";
  WriteFileBytes(path, kOldContent);
  EXPECT_FALSE(WriteBytesToFile((path + "\\System.dat").c_str(), PatchImage));
  EXPECT_EQ(ReadFileBytes(path), kOldContent);
}

// Records every call and fails the test if the file system is touched at all.
class UntouchableFileSystem : public FileSystem {
 public:
  DWORD Attributes(const char*) override { return Touched(), INVALID_FILE_ATTRIBUTES; }
  HANDLE CreateNew(const char*) override { return Touched(), INVALID_HANDLE_VALUE; }

 private:
  void Touched() { ADD_FAILURE() << "the file system was called"; }
};

TEST(WriteBytesToFile, EmptyOrNullPathCallsNothing) {
  UntouchableFileSystem files;
  EXPECT_FALSE(WriteBytesToFile("", PatchImage, files));
  EXPECT_FALSE(WriteBytesToFile(nullptr, PatchImage, files));
}

// The real file system, with one step made to fail once the temporary file exists.
enum class Failing { Write, ShortWrite, Flush, Close, Replace };

class FailingFileSystem : public FileSystem {
 public:
  explicit FailingFileSystem(Failing step) : step_(step) {}
  bool Write(HANDLE file, const void* bytes, DWORD length, DWORD* written) override {
    if (step_ == Failing::Write) return false;
    if (step_ == Failing::ShortWrite) return FileSystem::Write(file, bytes, length / 2, written);
    return FileSystem::Write(file, bytes, length, written);
  }
  bool Flush(HANDLE file) override { return step_ != Failing::Flush && FileSystem::Flush(file); }
  bool Close(HANDLE file) override {
    const bool closed = FileSystem::Close(file);
    return step_ != Failing::Close && closed;
  }
  bool Replace(const char* from, const char* to) override {
    return step_ != Failing::Replace && FileSystem::Replace(from, to);
  }

 private:
  Failing step_;
};

class FailedWriteTest : public testing::TestWithParam<Failing> {};

TEST_P(FailedWriteTest, KeepsTheFormerContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "System.dat";
  WriteFileBytes(path, kOldContent);
  FailingFileSystem files(GetParam());

  EXPECT_FALSE(WriteBytesToFile(path.c_str(), PatchImage, files));
  EXPECT_EQ(ReadFileBytes(path), kOldContent);
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"System.dat"});
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedWriteTest,
                         testing::Values(Failing::Write, Failing::ShortWrite, Failing::Flush,
                                         Failing::Close, Failing::Replace));

}  // namespace
