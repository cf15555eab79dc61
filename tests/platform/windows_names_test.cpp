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
                      NameCase{"PRN", "device"}, NameCase{"", "empty"}, NameCase{"..", "named"},
                      NameCase{"COM\xB9", "device"}, NameCase{"lpt\xB3.txt", "device"},
                      NameCase{"COM\xC2\xB2", "device"}, NameCase{"COM\xC2\xB4", ""}, NameCase{"COM12", ""}));

// Member paths as packages hold them: a device or a trimmed name in any component is refused.
class WindowsMemberPaths : public ::testing::TestWithParam<NameCase> {};

TEST_P(WindowsMemberPaths, Judged) {
  std::string why = WindowsPathProblem(GetParam().name);
  if (*GetParam().problem == 0) EXPECT_EQ(why, "") << GetParam().name;
  else EXPECT_NE(why.find(GetParam().problem), std::string::npos) << GetParam().name << ": " << why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsMemberPaths,
    ::testing::Values(NameCase{"CON", "device"}, NameCase{"aux.txt", "device"}, NameCase{"LPT1.txt", "device"},
                      NameCase{"com9.log", "device"}, NameCase{"dir.", "ends in a dot"},
                      NameCase{"name ", "ends in a blank"}, NameCase{"docs\\CON\\file.txt", "device"},
                      NameCase{"docs\\aux.txt", "device"}, NameCase{"dir.\\file", "ends in a dot"},
                      NameCase{"a\\name \\b", "ends in a blank"}, NameCase{"Nul\\x", "device"},
                      NameCase{"docs\\\\file.txt", "empty"}, NameCase{"docs\\..\\x", "named '..'"},
                      NameCase{"docs\\file.txt", ""}, NameCase{"console\\com10.log", ""},
                      NameCase{"auxiliary.txt", ""}, NameCase{"dir.d\\.profile", ""}));

// Paths the Win32 layer is asked to create or write: prefixes and "." / ".." are the caller's,
// only what names an object is judged.
class WindowsTargets : public ::testing::TestWithParam<NameCase> {};

TEST_P(WindowsTargets, Judged) {
  std::string why = WindowsTargetProblem(GetParam().name);
  if (*GetParam().problem == 0) EXPECT_EQ(why, "") << GetParam().name;
  else EXPECT_NE(why.find(GetParam().problem), std::string::npos) << GetParam().name << ": " << why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsTargets,
    ::testing::Values(NameCase{"C:\\tmp\\setup\\readme.txt", ""}, NameCase{"C:\\tmp\\..\\x\\.\\y", ""},
                      NameCase{"C:\\tmp\\\\x", ""}, NameCase{"\\\\server\\share\\x", ""},
                      NameCase{"\\\\?\\C:\\x", ""}, NameCase{"\\\\?\\UNC\\server\\share\\x", ""},
                      NameCase{"relative\\file", ""}, NameCase{"C:", ""}, NameCase{"C:\\", ""},
                      NameCase{"C:\\tmp\\CON", "'CON' is the name of a Windows device"},
                      NameCase{"C:\\tmp\\aux.txt", "device"}, NameCase{"C:\\tmp\\LPT1.txt\\x", "device"},
                      NameCase{"C:/tmp/com9.log", "device"}, NameCase{"C:\\tmp\\dir.", "'dir.' ends in a dot"},
                      NameCase{"C:\\tmp\\name \\x", "ends in a blank"}, NameCase{"nul", "device"},
                      NameCase{"\\\\?\\C:\\tmp\\prn", "device"}, NameCase{"\\\\server\\share\\con.txt", "device"},
                      NameCase{"\\\\.\\COM1", "device namespace"}, NameCase{"C:\\tmp\\a.txt:stream", "':'"},
                      NameCase{"C:\\tmp\\esc\x1b[2J", "'esc\\x1B[2J' holds the control character 0x1B"}));

TEST(WindowsPaths, EveryComponentAndTheLengthCount) {
  EXPECT_EQ(WindowsPathProblem("docs\\deep\\file.txt"), "");
  EXPECT_NE(WindowsPathProblem("docs\\CON\\file.txt").find("device"), std::string::npos);
  EXPECT_NE(WindowsPathProblem("docs\\\\file.txt").find("empty"), std::string::npos);
  EXPECT_EQ(WindowsPathProblem(std::string(259, 'a')), "");
  EXPECT_NE(WindowsPathProblem(std::string(260, 'a')).find("260 characters long"), std::string::npos);
}

}  // namespace
}  // namespace plat
