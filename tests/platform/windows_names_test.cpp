// Which names a Windows file system can hold.
#include <gtest/gtest.h>

#include "platform/windows_names.h"

namespace plat {
namespace {

struct NameCase {
  const char* name;
  const char* problem;  // a part of the reason, or "" when the name is fine
};

class WindowsNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(WindowsNames, Judged) {
  std::string why = WindowsNameProblem(GetParam().name);
  if (*GetParam().problem == 0) EXPECT_EQ(why, "") << GetParam().name;
  else EXPECT_NE(why.find(GetParam().problem), std::string::npos) << GetParam().name << ": " << why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsNames,
    ::testing::Values(NameCase{"readme.txt", ""}, NameCase{"a b", ""}, NameCase{".hidden", ""},
                      NameCase{"CONSOLE", ""}, NameCase{"COM0", ""}, NameCase{"LPT10", ""},
                      NameCase{"x.con", ""}, NameCase{"\xc3\xa9t\xc3\xa9", ""},
                      NameCase{"a:b", "':'"}, NameCase{"q?", "'?'"}, NameCase{"*", "'*'"},
                      NameCase{"|", "'|'"}, NameCase{"<", "'<'"}, NameCase{">", "'>'"}, NameCase{"\"", "'\"'"},
                      NameCase{"a\\b", "'\\'"}, NameCase{"tab\there", "control character 0x09"},
                      NameCase{"end ", "ends in a blank"}, NameCase{"end.", "ends in a dot"},
                      NameCase{"CON", "device"}, NameCase{"con", "device"}, NameCase{"Nul.txt", "device"},
                      NameCase{"aux .c", "device"}, NameCase{"COM1", "device"}, NameCase{"lpt9.log", "device"},
                      NameCase{"PRN", "device"}, NameCase{"", "empty"}, NameCase{"..", "named"}));

TEST(WindowsPaths, EveryComponentAndTheLengthCount) {
  EXPECT_EQ(WindowsPathProblem("docs\\deep\\file.txt"), "");
  EXPECT_NE(WindowsPathProblem("docs\\CON\\file.txt").find("device"), std::string::npos);
  EXPECT_NE(WindowsPathProblem("docs\\\\file.txt").find("empty"), std::string::npos);
  EXPECT_EQ(WindowsPathProblem(std::string(259, 'a')), "");
  EXPECT_NE(WindowsPathProblem(std::string(260, 'a')).find("260 characters long"), std::string::npos);
}

}  // namespace
}  // namespace plat
