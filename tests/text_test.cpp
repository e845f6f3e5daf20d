#include "patch/settings_file.h"
#include "patch/text.h"

#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

TEST(TextLength, CountsBytesBeforeTheFirstNul) {
  EXPECT_EQ(TextLength(nullptr), 0u);
  EXPECT_EQ(TextLength(""), 0u);
  EXPECT_EQ(TextLength("C:\\CF"), 5u);
  EXPECT_EQ(TextLength("ab\0cd"), 2u);
  // Each double-byte character of code page 936 counts two.
  EXPECT_EQ(TextLength(AnsiFromUtf8("D:\\游戏").c_str()), 7u);
}

TEST(JoinTexts, JoinsBytesInOrderWithOneNul) {
  EXPECT_STREQ(JoinTexts({nullptr, "\\System.dat"}).get(), "\\System.dat");
  EXPECT_STREQ(JoinTexts({"ab", "", "cd", nullptr, "e"}).get(), "abcde");
  EXPECT_STREQ(JoinTexts({nullptr}).get(), "");
  const FreshText joined = JoinTexts({"one", "two", "three"});
  EXPECT_EQ(std::string(joined.get(), 12), std::string("onetwothree\0", 12));
}

struct PathCase {
  const char* name;
  std::string directory;
  std::string expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
  *os << c.name;
}

class BuildSettingsPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(BuildSettingsPathTest, AppendsTheSuffixToTheTextUnchanged) {
  const PathCase& c = GetParam();
  const FreshText path = BuildSettingsPath(c.directory.c_str());
  EXPECT_EQ(std::string(path.get()), c.expected);
  EXPECT_EQ(TextLength(path.get()), c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Directories, BuildSettingsPathTest,
    testing::Values(
        PathCase{"Plain", "C:\\Games\\CF", "C:\\Games\\CF\\System.dat"},
        PathCase{"Empty", "", "\\System.dat"},
        PathCase{"TrailingBackslash", "C:\\", "C:\\\\System.dat"},
        PathCase{"Spaces", " C:\\CF ", " C:\\CF \\System.dat"},
        PathCase{"Relative", "sub\\dir", "sub\\dir\\System.dat"},
        PathCase{"ForwardSlashes", "C:/CF", "C:/CF\\System.dat"},
        PathCase{"AlreadySettingsFile", "C:\\CF\\System.dat", "C:\\CF\\System.dat\\System.dat"},
        // 游 is D3 CE and 戏 is CF B7 in code page 936: the bytes pass untouched.
        PathCase{"DoubleByte", AnsiFromUtf8("D:\\游戏"), "D:\\\xD3\xCE\xCF\xB7\\System.dat"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(BuildSettingsPath, TakesANullDirectoryAsEmpty) {
  EXPECT_STREQ(BuildSettingsPath(nullptr).get(), "\\System.dat");
}

// Kept where the compiler must assume it is read, so no allocation below is left out.
void* volatile kept = nullptr;

// Every way the program asks for memory ends it the same way when there is none.
TEST(OutOfMemory, ReportsFailureAndExitsWithMinusOne) {
  const std::size_t impossible = static_cast<std::size_t>(-1) / 2;
  const std::pair<const char*, void (*)(std::size_t)> cases[] = {
      {"AllocateText", [](std::size_t bytes) { AllocateText(bytes); }},
      {"operator new", [](std::size_t bytes) { kept = ::operator new(bytes); }},
      {"new[]", [](std::size_t bytes) { kept = new char[bytes]; }},
  };
  for (const auto& [name, allocate] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EXIT(
        {
          DialogWatcher watcher([](HWND box) {
            const bool told =
                DialogWatcher::Inspect(box).text == AnsiFromUtf8("内存不足，程序无法继续运行");
            std::fprintf(stderr, "%s\n", told ? "told the user" : "wrong box");
            DialogWatcher::PressButton(box, IDOK);
          });
          allocate(impossible);
        },
        testing::ExitedWithCode(-1), "told the user");
  }
}

}  // namespace
