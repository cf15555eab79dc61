// The emulated registry's file: its exact text, its replacement on every change, and what
// happens to a damaged file.
#include <gtest/gtest.h>

#include <filesystem>

#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using plat::RegRoot;
constexpr RegRoot kMachine = RegRoot::LocalMachine;

class PosixRegistry : public MachineTest {
 protected:
  std::string HostFile() const { return plat::posix::MachineRoot() + "/registry/HKEY_LOCAL_MACHINE.reg"; }
  std::string Text() const {
    std::ifstream in(HostFile(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void PutText(const std::string& text) const {
    std::filesystem::create_directories(plat::posix::MachineRoot() + "/registry");
    std::ofstream(HostFile(), std::ios::binary) << text;
  }
  // A second name for the file as it is now: it keeps naming the same file after a change
  // only when the file was rewritten in place rather than replaced.
  std::string Snapshot(const std::string& tag) const {
    std::string link = HostFile() + "." + tag + ".snapshot";
    std::filesystem::create_hard_link(HostFile(), link);
    return link;
  }
  bool Replaced(const std::string& snapshot) const { return !std::filesystem::equivalent(snapshot, HostFile()); }
};

TEST_F(PosixRegistry, TheUninstallEntryInTheFile) {
  const std::string key = "Software\\Microsoft\\Windows\\currentversion\\uninstall\\My App";
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, key, "DisplayName", "My App"));
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, key, "UninstallString",
                                      "C:\\Program Files\\App\\uninstaller.exe My App"));
  EXPECT_EQ(Text(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\uninstall]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\My App]\r\n"
            "\"DisplayName\"=\"My App\"\r\n"
            "\"UninstallString\"=\"C:\\\\Program Files\\\\App\\\\uninstaller.exe My App\"\r\n"
            "\r\n");
}

TEST_F(PosixRegistry, EveryChangeReplacesTheFileAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(plat::RegCreateKey(kMachine, "Software\\A"));
  std::string first = Snapshot("first");
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\A", "V", "1"));
  EXPECT_TRUE(Replaced(first));  // a new file renamed over the old one, never rewritten in place
  EXPECT_FALSE(std::filesystem::exists(HostFile() + ".tmp"));
  std::string second = Snapshot("second");
  ASSERT_TRUE(plat::RegCreateKey(kMachine, "SOFTWARE\\a"));  // nothing changes
  EXPECT_FALSE(Replaced(second));
}

TEST_F(PosixRegistry, AHandWrittenFileWithLfLineEndsIsReadAndRewritten) {
  PutText("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Old]\n\"Kept\"=\"yes\"\n\"Count\"=dword:00000001\n");
  EXPECT_EQ(plat::RegQueryStringValue(kMachine, "software\\old", "kept"), "yes");
  EXPECT_FALSE(plat::RegQueryStringValue(kMachine, "Software\\Old", "Count"));
  EXPECT_EQ(plat::GetLastError(), 1630u);  // not a string
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\Old", "New", "1"));
  EXPECT_EQ(Text(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Old]\r\n"
            "\"Kept\"=\"yes\"\r\n\"Count\"=dword:00000001\r\n\"New\"=\"1\"\r\n\r\n");
}

TEST_F(PosixRegistry, ADamagedFileIsReportedAndLeftAlone) {
  const std::string damaged = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"unterminated\r\n";
  PutText(damaged);
  EXPECT_FALSE(plat::RegQueryStringValue(kMachine, "K", "V"));
  EXPECT_EQ(plat::GetLastError(), 1015u);  // ERROR_REGISTRY_CORRUPT
  EXPECT_FALSE(plat::RegSetStringValue(kMachine, "K", "V", "x"));
  EXPECT_EQ(plat::GetLastError(), 1015u);
  EXPECT_FALSE(plat::RegDeleteKey(kMachine, "K"));
  EXPECT_EQ(Text(), damaged);
}

TEST_F(PosixRegistry, NamesTheFileCannotHoldAreRefused) {
  EXPECT_FALSE(plat::RegCreateKey(kMachine, "Software\\Two\nLines"));
  EXPECT_EQ(plat::GetLastError(), 123u);
  EXPECT_FALSE(plat::RegSetStringValue(kMachine, "Software\\K", "Two\r\nLines", "x"));
  EXPECT_EQ(plat::GetLastError(), 87u);
  // Data may hold line breaks: it is kept as hex(1) bytes.
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\K", "Notes", "one\r\ntwo"));
  EXPECT_EQ(plat::RegQueryStringValue(kMachine, "Software\\K", "Notes"), "one\r\ntwo");
  EXPECT_NE(Text().find("\"Notes\"=hex(1):6f,6e,65,0d,0a,74,77,6f,00\r\n"), std::string::npos);
}

TEST_F(PosixRegistry, EachMachineHasItsOwnRegistry) {
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\K", "V", "first machine"));
  char tmpl[] = "/tmp/tovin-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  std::string first = plat::posix::MachineRoot();
  plat::SetMachineRoot(tmpl);
  EXPECT_FALSE(plat::RegQueryStringValue(kMachine, "Software\\K", "V"));
  plat::SetMachineRoot(first);
  EXPECT_EQ(plat::RegQueryStringValue(kMachine, "Software\\K", "V"), "first machine");
  std::system(("rm -rf '" + std::string(tmpl) + "'").c_str());
}

// The temporary file is made new: one left by a crash goes, a link in its place or in the
// lock file's place is not written through.
TEST_F(PosixRegistry, NoLinkInTheRegistryFolderIsWrittenThrough) {
  std::string victim = plat::posix::MachineRoot() + "/victim";
  std::ofstream(victim) << "original";
  PutText("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE]\r\n\r\n");
  std::ofstream(HostFile() + ".tmp") << "left by a crash";
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\K", "V", "one"));
  EXPECT_FALSE(std::filesystem::exists(HostFile() + ".tmp"));

  std::filesystem::create_symlink(victim, HostFile() + ".tmp");
  ASSERT_TRUE(plat::RegSetStringValue(kMachine, "Software\\K", "V", "two"));
  EXPECT_EQ(plat::RegQueryStringValue(kMachine, "Software\\K", "V"), "two");
  std::string lock = plat::posix::MachineRoot() + "/registry.lock";
  std::filesystem::remove(lock);
  std::filesystem::create_symlink(victim, lock);
  EXPECT_FALSE(plat::RegSetStringValue(kMachine, "Software\\K", "V", "three"));
  std::ifstream in(victim);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "original");
  EXPECT_TRUE(std::filesystem::is_symlink(lock));
}

}  // namespace
}  // namespace tovin::test
