// A fresh machine per test: on POSIX a new emulated root, on Windows a new temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <string>

namespace tovin::test {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A folder of the platform layer that is empty at the start of the test (no trailing backslash).
  const std::string& Base() const { return base_; }
  std::string Path(const std::string& relative) const { return base_ + "\\" + relative; }

 private:
  std::string base_;
  std::string hostRoot_;
  std::string savedCurrent_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // throws when the file cannot be opened
bool Exists(const std::string& path);
// Wine run as root maps read-only files to permission bits that root ignores.
bool RunningUnderWine();

}  // namespace tovin::test
