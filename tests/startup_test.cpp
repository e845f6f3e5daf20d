#include "app/startup.h"

#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CutCase {
  const char* name;
  std::string program, directory;
};
void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class CutTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutTest, KeepsTheProgramsDirectory) {
  std::string path = GetParam().program;
  CutToProgramDirectory(path.data());
  EXPECT_EQ(std::string(path.c_str()), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CutTest,
    testing::Values(CutCase{"Folder", "C:\\Games\\hdpatch.exe", "C:\\Games"},
                    CutCase{"DriveRoot", "X:\\hdpatch.exe", "X:\\"},
                    CutCase{"Network", "\\\\server\\share\\hdpatch.exe", "\\\\server\\share"},
                    // 乗 is 81 5C: the cut is at the real backslash after it, not inside it.
                    CutCase{"TrailByteBackslash", "D:\\\x81\x5C\\hdpatch.exe", "D:\\\x81\x5C"},
                    CutCase{"TrailByteLast", "D:\\a\\\x81\x5Chdpatch.exe", "D:\\a"},
                    CutCase{"Chinese", AnsiFromUtf8("D:\\游戏\\补丁\\hdpatch.exe"),
                            AnsiFromUtf8("D:\\游戏\\补丁")}),
    [](const testing::TestParamInfo<CutCase>& info) { return info.param.name; });

}  // namespace
