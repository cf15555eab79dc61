// Shell links through the platform layer: on POSIX the project's own codec, under Wine the
// shell's link object. Links made by one are read by the other, so the bytes are proven in
// both directions.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/shell_link_format.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using plat::ShellLink;

void ExpectSame(const ShellLink& got, const ShellLink& want, const std::string& what) {
  EXPECT_EQ(got.target, want.target) << what;
  EXPECT_EQ(got.workingDirectory, want.workingDirectory) << what;
  EXPECT_EQ(got.iconLocation, want.iconLocation) << what;
  EXPECT_EQ(got.iconIndex, want.iconIndex) << what;
}

class ShellLinkTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(plat::CreateDirectory(Path("Program Files")));
    ASSERT_TRUE(plat::CreateDirectory(Path("Program Files\\My App")));
    WriteFile(Path("Program Files\\My App\\app.exe"), "MZ");
    WriteFile(Path("Program Files\\My App\\app.ico"), "ico");
  }
  // The links a setup makes: target, its folder with the trailing backslash, an icon file.
  std::vector<std::pair<std::string, ShellLink>> Links() const {
    std::string dir = Path("Program Files\\My App\\");
    return {
        {"setup shortcut", {dir + "app.exe", dir, dir + "app.ico", 0}},
        {"icon index", {dir + "app.exe", dir, dir + "app.exe", 3}},
        {"no icon file", {dir + "app.exe", dir, "", 0}},
        {"target only", {dir + "app.exe", "", "", 0}},
        {"target that is not there", {dir + "later.exe", dir, dir + "app.ico", 0}},
    };
  }
};

TEST_F(ShellLinkTest, SavedLinksLoadBack) {
  for (const auto& [what, link] : Links()) {
    ASSERT_TRUE(plat::SaveShellLink(link, Path("My App.lnk"))) << what << " " << plat::GetLastError();
    auto loaded = plat::LoadShellLink(Path("My App.lnk"));
    ASSERT_TRUE(loaded) << what;
    ExpectSame(*loaded, link, what);
  }
}

TEST_F(ShellLinkTest, OwnEncodingLoadsThroughThePlatform) {
  // Under Wine this is the shell's own reader taking the project's bytes.
  for (const auto& [what, link] : Links()) {
    WriteFile(Path("own.lnk"), *plat::EncodeShellLink(link));
    auto loaded = plat::LoadShellLink(Path("own.lnk"));
    ASSERT_TRUE(loaded) << what << " " << plat::GetLastError();
    ExpectSame(*loaded, link, what);
  }
}

TEST_F(ShellLinkTest, SavedLinksDecodeWithTheOwnReader) {
  // Under Wine the bytes come from the shell's writer.
  for (const auto& [what, link] : Links()) {
    ASSERT_TRUE(plat::SaveShellLink(link, Path("saved.lnk"))) << what;
    auto decoded = plat::DecodeShellLink(ReadFile(Path("saved.lnk")));
    ASSERT_TRUE(decoded) << what;
    ExpectSame(*decoded, link, what);
  }
}

TEST_F(ShellLinkTest, SavingReplacesAnExistingLink) {
  auto links = Links();
  ASSERT_TRUE(plat::SaveShellLink(links[0].second, Path("App.lnk")));
  ASSERT_TRUE(plat::SaveShellLink(links[1].second, Path("App.lnk")));
  auto loaded = plat::LoadShellLink(Path("App.lnk"));
  ASSERT_TRUE(loaded);
  ExpectSame(*loaded, links[1].second, "second save");
}

TEST_F(ShellLinkTest, SavingIntoAMissingFolderFails) {
  EXPECT_FALSE(plat::SaveShellLink(Links()[0].second, Path("No Folder\\App.lnk")));
  EXPECT_EQ(plat::GetLastError(), 3u);
  EXPECT_FALSE(Exists(Path("No Folder")));
}

TEST_F(ShellLinkTest, WhatIsNoLinkDoesNotLoad) {
  EXPECT_FALSE(plat::LoadShellLink(Path("missing.lnk")));
  EXPECT_EQ(plat::GetLastError(), 2u);
  WriteFile(Path("text.lnk"), "[InternetShortcut]\r\nURL=http://example.com/\r\n");
  EXPECT_FALSE(plat::LoadShellLink(Path("text.lnk")));
  WriteFile(Path("cut.lnk"), plat::EncodeShellLink(Links()[0].second)->substr(0, 100));
  EXPECT_FALSE(plat::LoadShellLink(Path("cut.lnk")));
}

}  // namespace
}  // namespace tovin::test
