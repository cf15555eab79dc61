// Links of the POSIX emulation land at the host place of their Windows path and read
// correctly with an independent link reader (lnkinfo of liblnk-utils).
#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

std::optional<std::string> RunCapture(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  int status = ::pclose(pipe);
  if (status != 0) return std::nullopt;
  return out;
}

// lnkinfo prints "<label><tabs>: <value>"; the value of the first line with that label.
std::optional<std::string> Field(const std::string& report, const std::string& label) {
  size_t at = report.find("\t" + label + "\t");
  if (at == std::string::npos) return std::nullopt;
  size_t colon = report.find(": ", at);
  size_t end = report.find('\n', colon);
  return report.substr(colon + 2, end - colon - 2);
}

class PosixShellLink : public MachineTest {};

TEST_F(PosixShellLink, LinkNamesFindTheirHostPlaceWithoutLetterCase) {
  plat::ShellLink link{"C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS\\", "", 0};
  ASSERT_TRUE(plat::CreateDirectory("C:\\WINDOWS\\Start Menu\\Programs\\My App"));
  ASSERT_TRUE(plat::SaveShellLink(link, "c:\\windows\\START MENU\\programs\\my app\\My App.lnk"));
  std::string host = plat::posix::MachineRoot() + "/drive_c/WINDOWS/Start Menu/Programs/My App/My App.lnk";
  EXPECT_TRUE(std::filesystem::exists(host)) << host;
}

TEST_F(PosixShellLink, TheTargetIsStoredAsAFullPath) {
  ASSERT_TRUE(plat::SetCurrentDirectory(Base()));
  ASSERT_TRUE(plat::SaveShellLink({"bin/../app.exe", "", "", 0}, Path("App.lnk")));
  EXPECT_EQ(plat::LoadShellLink(Path("App.lnk"))->target, Path("app.exe"));
}

TEST_F(PosixShellLink, AStringTheFormatCannotHoldFailsTheSave) {
  EXPECT_FALSE(plat::SaveShellLink({"C:\\app.exe", std::string(70000, 'w'), "", 0}, Path("App.lnk")));
  EXPECT_EQ(plat::GetLastError(), 87u);
  EXPECT_FALSE(Exists(Path("App.lnk")));
}

TEST_F(PosixShellLink, LnkinfoReadsOurLinks) {
  if (!RunCapture("command -v lnkinfo >/dev/null 2>&1"))
    GTEST_SKIP() << "lnkinfo is not installed (Debian package liblnk-utils): the independent reader did not run";
  ASSERT_TRUE(plat::CreateDirectory(Path("My App")));
  WriteFile(Path("My App\\app.exe"), "MZ");
  const plat::ShellLink links[] = {
      {Path("My App\\app.exe"), Path("My App\\"), Path("My App\\app.exe"), 0},
      {Path("My App\\app.exe"), Path("My App\\"), "C:\\WINDOWS\\System\\shell32.dll", 12},
      {Path("My App\\missing.exe"), "C:\\", "C:\\icons\\a b.ico", 0},
  };
  for (const auto& link : links) {
    ASSERT_TRUE(plat::SaveShellLink(link, Path("My App.lnk")));
    auto report = RunCapture("lnkinfo '" + plat::posix::Resolve(Path("My App.lnk")).host + "' 2>&1");
    ASSERT_TRUE(report) << "lnkinfo failed on " << link.target;
    EXPECT_EQ(Field(*report, "Local path"), link.target) << *report;
    EXPECT_EQ(Field(*report, "Working directory"), link.workingDirectory) << *report;
    EXPECT_EQ(Field(*report, "Icon location"), link.iconLocation) << *report;
    EXPECT_EQ(Field(*report, "Icon index"), std::to_string(link.iconIndex)) << *report;
    EXPECT_EQ(Field(*report, "Drive type"), "Fixed (3)") << *report;
    // The target's attributes: archive for the file that is there, none for the missing one.
    bool present = Exists(link.target);
    EXPECT_EQ(Field(*report, "File attribute flags"), present ? "0x00000020" : "0x00000000") << *report;
  }
}

}  // namespace
}  // namespace tovin::test
