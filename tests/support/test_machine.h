// A fresh machine per test: on POSIX a new emulated root, on Windows a new temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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

// Whether a restart the setup asks for is recorded instead of done: always on the emulated
// machine; on Windows only under Wine with the recorder that scripts/win32-tests.sh puts in place
// of wineboot.exe (and the empty C:\restart-requests.log that says so).
bool RestartsObservable();
// The ExitWindowsEx modes asked for so far (2: restart; 1: shut down, log off or power off as Wine
// tells them apart; 4 added when forced). Under Wine the request is carried out by a program
// that ExitWindowsEx starts: this waits a few seconds for `awaited` requests to be recorded.
std::vector<uint32_t> RestartRequests(size_t awaited = 0);

}  // namespace tovin::test
