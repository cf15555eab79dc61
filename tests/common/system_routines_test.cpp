// The system routines' edge behaviour that their callers rely on.
#include <gtest/gtest.h>

#include "common/system_routines.h"
#include "common/win_reboot.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

class Routines : public MachineTest {};

TEST(NextFieldTest, SplitsFromTheLeft) {
  struct {
    const char* text;
    const char* field;
    const char* rest;
  } cases[] = {
      {"a~b~", "a", "b~"}, {"b~", "b", ""}, {"c", "c", "c"}, {"", "", ""}, {"~x", "", "x"},
      {"app.exe~<INSTALLDIR>~X", "app.exe", "<INSTALLDIR>~X"},
  };
  for (const auto& c : cases) {
    std::string text = c.text, field = "junk";
    NextField(text, '~', field);
    EXPECT_EQ(field, c.field) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST_F(Routines, WindowsDirectoryHasNoTrailingBackslash) {
  std::string w = GetWindowsDir();
  ASSERT_GE(w.size(), 3u);
  EXPECT_EQ(w[1], ':');
  EXPECT_NE(w.back(), '\\');
  EXPECT_TRUE(PathIsDirectory(w));
}

TEST_F(Routines, OpenWithShellNeverFailsTheCaller) {
  std::string longName = Path(std::string(120, 'n') + ".exe");
  EXPECT_NO_THROW(OpenWithShell(longName, std::string(100, 'p'), Base(), 5));
}

TEST(WinReboot, PrivilegeNamesAreLookedUp) {
  TWinReboot reboot;
  EXPECT_TRUE(reboot.SetPrivilege("SeShutdownPrivilege", false));
  EXPECT_FALSE(reboot.SetPrivilege("SeNoSuchPrivilege", true));
}

}  // namespace
}  // namespace tovin::test
