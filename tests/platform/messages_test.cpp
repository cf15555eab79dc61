// The platform layer's message texts, exactly, and how they are filled in.
#include <gtest/gtest.h>

#include <string>

#include "platform/error_codes.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace tovin::test {
namespace {

TEST(PlatformMessages, Texts) {
  const std::pair<const char*, const char*> texts[] = {
      {kMsgCannotOpenFile, "Cannot open file %s"},
      {kMsgCannotCreateFile, "Cannot create file %s"},
      {kMsgStreamReadError, "Stream read error"},
      {kMsgStreamWriteError, "Stream write error"},
      {kMsgUnableToCreateDirectory, "Unable to create directory"},
      {kMsgListIndexOutOfBounds, "List index out of bounds (%d)"},
      {plat::kMsgSystemError, "System error %d."},
  };
  for (const auto& [constant, text] : texts) EXPECT_STREQ(constant, text);
}

TEST(PlatformMessages, FormatFillsTheFirstPlaceholderOnly) {
  EXPECT_EQ(Format(kMsgCannotOpenFile, "C:\\A B\\f.txt"), "Cannot open file C:\\A B\\f.txt");
  EXPECT_EQ(Format(kMsgCannotOpenFile, "%s%d"), "Cannot open file %s%d");  // a name is never a template
  EXPECT_EQ(Format(kMsgListIndexOutOfBounds, 0), "List index out of bounds (0)");
  EXPECT_EQ(Format(kMsgListIndexOutOfBounds, -7), "List index out of bounds (-7)");
  EXPECT_EQ(Format(plat::kMsgSystemError, 4294967295u), "System error 4294967295.");
  EXPECT_EQ(Format("%s and %s", "one"), "one and %s");
  EXPECT_EQ(Format("no place", "x"), "no place");
}

#ifndef _WIN32  // the Win32 backend asks the system for its texts
TEST(PlatformMessages, SystemErrorTextsOfTheEmulation) {
  const std::pair<uint32_t, const char*> texts[] = {
      {plat::kErrorFileNotFound, "The system cannot find the file specified."},
      {plat::kErrorPathNotFound, "The system cannot find the path specified."},
      {plat::kErrorAccessDenied, "Access is denied."},
      {plat::kErrorSharingViolation, "The process cannot access the file because it is being used by another process."},
      {plat::kErrorDiskFull, "There is not enough space on the disk."},
      {plat::kErrorInvalidName, "The filename, directory name, or volume label syntax is incorrect."},
      {plat::kErrorDirNotEmpty, "The directory is not empty."},
      {plat::kErrorAlreadyExists, "Cannot create a file when that file already exists."},
      {plat::kErrorDirectory, "The directory name is invalid."},
      {plat::kErrorNoSuchPrivilege, "System error 1313."},
  };
  for (const auto& [code, text] : texts) EXPECT_EQ(plat::SystemErrorMessage(code), text) << code;
}
#endif

}  // namespace
}  // namespace tovin::test
