// Making a folder with its missing parents in one call.
#include <gtest/gtest.h>

#include "platform/directory_path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;

bool IsFolder(const std::string& path) {
  uint32_t a = GetFileAttributes(path);
  return a != kInvalidAttributes && (a & kAttrDirectory);
}

class DirectoryPath : public MachineTest {};

TEST_F(DirectoryPath, MakesWhatIsMissingAndKeepsWhatIsThere) {
  ASSERT_TRUE(CreateDirectory(Path("Have")));
  struct Case {
    const char* path;
    const char* folder;  // a folder that must exist afterwards
  } cases[] = {
      {"a\\b\\c", "a\\b\\c"},
      {"a\\b\\c", "A\\B\\C"},              // all there already
      {"HAVE\\new\\", "have\\NEW"},        // an existing folder in another case is used
      {"a\\B\\d\\e\\f", "a\\b\\d\\e\\f"},  // part there, part new
      {"x\\.\\y\\..\\z", "x\\z"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(CreateDirectoryPath(Path(c.path))) << c.path;
    EXPECT_TRUE(IsFolder(Path(c.folder))) << c.path;
  }
  EXPECT_TRUE(CreateDirectoryPath(Base()));
}

TEST_F(DirectoryPath, AFileInTheWayFails) {
  WriteFile(Path("file"), "f");
  for (const char* path : {"file", "file\\sub", "file\\sub\\deeper"}) {
    EXPECT_FALSE(CreateDirectoryPath(Path(path))) << path;
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists) << path;
  }
  EXPECT_EQ(ReadFile(Path("file")), "f");
  EXPECT_FALSE(CreateDirectoryPath(Path("bad<name\\sub")));
  EXPECT_EQ(GetLastError(), kErrorInvalidName);
}

}  // namespace
}  // namespace tovin::test
