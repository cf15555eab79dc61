// The path routines' edge behaviour that their callers rely on.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "platform/path_routines.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

class PathRoutines : public MachineTest {};

TEST_F(PathRoutines, CreateDirectoryPathMakesEveryLevel) {
  for (const char* suffix : {"", "\\"}) {
    std::string top = Path(std::string("A") + suffix);
    CreateDirectoryPath(Path("A\\B\\C") + suffix);
    EXPECT_TRUE(PathIsDirectory(Path("A")));
    EXPECT_TRUE(PathIsDirectory(Path("A\\B")));
    EXPECT_TRUE(PathIsDirectory(Path("A\\B\\C")));
    CreateDirectoryPath(Path("A\\B\\C") + suffix);  // existing: nothing to do
  }
}

TEST_F(PathRoutines, CreateDirectoryPathEdges) {
  EXPECT_THROW(
      {
        try {
          CreateDirectoryPath("");
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(), "Unable to create directory");
          throw;
        }
      },
      Exception);
  EXPECT_NO_THROW(CreateDirectoryPath("C:"));
  EXPECT_NO_THROW(CreateDirectoryPath("C:\\"));
  // A level that cannot be made (a file is in the way) is not reported.
  WriteFile(Path("file"), "x");
  EXPECT_NO_THROW(CreateDirectoryPath(Path("file\\sub")));
  EXPECT_FALSE(PathIsDirectory(Path("file\\sub")));
}

TEST_F(PathRoutines, FileHasAttributes) {
  WriteFile(Path("f"), "x");
  ASSERT_TRUE(plat::SetFileAttributes(Path("f"), plat::kAttrReadOnly | plat::kAttrArchive));
  EXPECT_TRUE(FileHasAttributes(Path("f"), plat::kAttrReadOnly));
  EXPECT_TRUE(FileHasAttributes(Path("f"), plat::kAttrReadOnly | plat::kAttrArchive));
  EXPECT_FALSE(FileHasAttributes(Path("f"), plat::kAttrDirectory));
  EXPECT_TRUE(FileHasAttributes(Path("missing"), plat::kAttrDirectory | plat::kAttrHidden));
  EXPECT_TRUE(FileHasAttributes(Base(), plat::kAttrDirectory));
  plat::SetFileAttributes(Path("f"), plat::kAttrNormal);
}

TEST_F(PathRoutines, CopyFileIntoReadsTheDestination) {
  plat::CreateDirectory(Path("X"));
  plat::CreateDirectory(Path("OUT"));
  WriteFile(Path("X\\F.TXT"), "content");
  WriteFile(Path("OUT\\G.TXT"), "old old old");
  CopyFileInto(Path("X\\F.TXT"), Path("OUT"));
  EXPECT_EQ(ReadFile(Path("OUT\\F.TXT")), "content");
  plat::DeleteFile(Path("OUT\\F.TXT"));
  CopyFileInto(Path("X\\F.TXT"), Path("OUT\\"));
  EXPECT_EQ(ReadFile(Path("OUT\\F.TXT")), "content");
  CopyFileInto(Path("X\\F.TXT"), Path("OUT\\G.TXT"));
  EXPECT_EQ(ReadFile(Path("OUT\\G.TXT")), "content");
  try {
    CopyFileInto(Path("X\\F.TXT"), Path("NEW"));
    FAIL() << "copied into a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + plat::GetFullPathName(Path("NEW")) + "\\F.TXT");
  }
  try {
    CopyFileInto(Path("X\\NONE.TXT"), Path("OUT"));
    FAIL() << "copied a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + Path("X\\NONE.TXT"));
  }
}

TEST_F(PathRoutines, CopyFileIntoCopiesEverySizeWhole) {
  for (size_t size : {0u, 1u, 8191u, 8192u, 8193u, 3u * 8192u, 100000u}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + size);
    WriteFile(Path("src"), data);
    plat::CreateDirectory(Path("dst"));
    CopyFileInto(Path("src"), Path("dst"));
    EXPECT_EQ(ReadFile(Path("dst\\src")), data) << size;
  }
}

TEST_F(PathRoutines, CopyFileIntoAReadOnlyTargetFails) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine as root writes read-only files";
  WriteFile(Path("src"), "new");
  WriteFile(Path("ro"), "old");
  plat::SetFileAttributes(Path("ro"), plat::kAttrReadOnly);
  EXPECT_THROW(CopyFileInto(Path("src"), Path("ro")), EFCreateError);
  plat::SetFileAttributes(Path("ro"), plat::kAttrNormal);
  EXPECT_EQ(ReadFile(Path("ro")), "old");
}

}  // namespace
}  // namespace tovin::test
