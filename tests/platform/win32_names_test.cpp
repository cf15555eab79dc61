// The Win32 layer refuses names that would reach a device or another file, before Windows
// sees them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error_codes.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

class Win32Names : public MachineTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(plat::CreateDirectory(Path("X")));
    WriteFile(Path("source"), "payload");
  }
  // What X holds; Windows would have made "dir" of "dir." and "name" of "name ".
  std::vector<std::string> InX() const {
    std::vector<std::string> names;
    for (const auto& f : plat::FindFiles(Path("X\\*"), plat::kAttrMaskAll))
      if (f.name != "." && f.name != "..") names.push_back(f.name);
    return names;
  }
};

TEST_P(Win32Names, CreatingOrWritingFailsWithInvalidName) {
  std::string target = Path("X\\") + GetParam();
  EXPECT_FALSE(plat::CreateDirectory(target));
  EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidName);
  for (auto disposition : {plat::Disposition::CreateAlways, plat::Disposition::CreateNew,
                           plat::Disposition::OpenExisting}) {
    EXPECT_EQ(plat::OpenFile(target, plat::Access::Write, plat::Share::Exclusive, disposition), nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidName);
  }
  EXPECT_EQ(plat::OpenFile(target + "\\inner", plat::Access::ReadWrite, plat::Share::Exclusive,
                           plat::Disposition::CreateAlways),
            nullptr);
  EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidName);
  EXPECT_FALSE(plat::MoveFileReplace(Path("source"), target));
  EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidName);
  EXPECT_TRUE(Exists(Path("source")));
  EXPECT_FALSE(plat::WritePrivateProfileString("s", std::string("k"), std::string("v"), target));
  EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidName);
  EXPECT_EQ(InX(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Names, Win32Names,
                         ::testing::Values("CON", "aux.txt", "dir.", "name ", "LPT1.txt", "com9.log", "nul",
                                           "prn.tar.gz", "a.txt:stream"));

using Win32OrdinaryNames = MachineTest;

TEST_F(Win32OrdinaryNames, NamesNextToThemAreWritten) {
  ASSERT_TRUE(plat::CreateDirectory(Path("dir.d")));
  auto file = plat::OpenFile(Path("dir.d\\console.txt"), plat::Access::Write, plat::Share::Exclusive,
                             plat::Disposition::CreateAlways);
  ASSERT_NE(file, nullptr);
  file.reset();
  EXPECT_TRUE(Exists(Path("dir.d\\console.txt")));
  // Reading an existing file is left to Windows: it is how a path given by the user is opened.
  EXPECT_NE(plat::OpenFile(Path("dir.d\\.\\console.txt"), plat::Access::Read, plat::Share::DenyWrite,
                           plat::Disposition::OpenExisting),
            nullptr);
}

}  // namespace
}  // namespace tovin::test
