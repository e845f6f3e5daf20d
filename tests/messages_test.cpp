#include "patch/messages.h"
#include "patch/platform.h"
#include "patch/text.h"

#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LiteralCase {
  const char* name;
  const char* literal;
  std::string utf8;  // the text as the program's users read it
  std::size_t length;
};

void PrintTo(const LiteralCase& c, std::ostream* os) {
  *os << c.name;
}

class LiteralTest : public testing::TestWithParam<LiteralCase> {};

// The bytes come from an independent conversion of the UTF-8 text to code page 936.
TEST_P(LiteralTest, IsTheCodePage936TextWithItsLength) {
  const LiteralCase& c = GetParam();
  EXPECT_EQ(std::string(c.literal), AnsiFromUtf8(c.utf8)) << Utf8FromAnsi(c.literal);
  EXPECT_EQ(TextLength(c.literal), c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, LiteralTest,
    testing::Values(
        LiteralCase{"MessageTitle", MessageTitle, "  窗外下雨了，心情糟糕  ...", 27},
        LiteralCase{"FolderPrompt", FolderPrompt, "请选择CF目录 务必正确选择", 25},
        LiteralCase{"DirectoryOkText", DirectoryOkText, "目录正确，可以进行补丁转换", 26},
        LiteralCase{"DirectoryWrongText", DirectoryWrongText, "目录错误，请选择CF截图正确目录", 30},
        LiteralCase{"PatchDoneText", PatchDoneText, "              加载补丁成功         ", 35},
        LiteralCase{"RestoreDoneText", RestoreDoneText, "              还原补丁成功         ", 35},
        LiteralCase{"PatchFailedText", PatchFailedText, "加载补丁失败，System.dat无法写入", 32},
        LiteralCase{"RestoreFailedText", RestoreFailedText, "还原补丁失败，System.dat无法写入",
                    32}),
    [](const testing::TestParamInfo<LiteralCase>& info) { return info.param.name; });

TEST(Literals, UseTheFullWidthCommaAndAsciiSpaces) {
  EXPECT_NE(std::string(MessageTitle).find("\xA3\xAC"), std::string::npos);
  EXPECT_EQ(std::string(MessageTitle).find(','), std::string::npos);
  EXPECT_EQ(std::string(PatchDoneText).find_first_not_of(' '), 14u);
  EXPECT_EQ(std::string(PatchDoneText).size() - std::string(PatchDoneText).find_last_not_of(' '),
            10u);
}

TEST(MessageBoxType, AddsTaskModalUnlessSystemModal) {
  EXPECT_EQ(MessageBoxType(PlainStyle), 0x2000u);
  EXPECT_EQ(MessageBoxType(InformationStyle), 0x2040u);
  EXPECT_EQ(MessageBoxType(ErrorStyle), 0x2010u);
  EXPECT_EQ(MessageBoxType(MB_SYSTEMMODAL | MB_ICONERROR), 0x1010u);
}

}  // namespace
