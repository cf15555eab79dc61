// The POSIX emulation of the platform layer: drives, names, attributes, dates, sharing, and
// the host folder that holds the machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/exception.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;

class PosixBackend : public MachineTest {};

TEST_F(PosixBackend, DrivesMapIntoTheRootAndZIsTheHost) {
  const std::string& root = posix::MachineRoot();
  EXPECT_EQ(posix::Resolve("C:\\WINDOWS").host, root + "/drive_c/WINDOWS");
  EXPECT_EQ(posix::Resolve("d:\\x").host, root + "/drive_d/x");
  EXPECT_EQ(posix::Resolve("Z:\\tmp").host, "/tmp");
  EXPECT_EQ(posix::Resolve("Z:\\").host, "/");
  EXPECT_EQ(FromHostPath("/usr/share"), "Z:\\usr\\share");
}

TEST_F(PosixBackend, FreshRootHasTheWindowsFolders) {
  EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
  for (const char* dir : {"C:\\WINDOWS\\System", "C:\\WINDOWS\\Temp", "C:\\WINDOWS\\Start Menu\\Programs",
                          "C:\\WINDOWS\\Desktop"})
    EXPECT_EQ(GetFileAttributes(dir) & kAttrDirectory, kAttrDirectory) << dir;
}

TEST_F(PosixBackend, FullPathNames) {
  ASSERT_TRUE(SetCurrentDirectory(Base()));
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a.txt", "C:\\work\\a.txt"},           {"..\\b", "C:\\b"},
      {"\\x\\y", "C:\\x\\y"},                 {"d:rel", "D:\\rel"},
      {"C:rel", "C:\\work\\rel"},             {"c:/fwd/slash", "C:\\fwd\\slash"},
      {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},     {"C:\\dir\\", "C:\\dir\\"},
      {"C:\\..\\..", "C:\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetFullPathName(c.in), c.out) << c.in;
}

TEST_F(PosixBackend, NamesMatchWithoutLetterCaseAndKeepTheirCase) {
  WriteFile(Path("tovinsetup.001"), "x");
  EXPECT_EQ(ReadFile(Path("TovinSetup.001")), "x");
  ASSERT_TRUE(CreateDirectory(Path("MixedCase")));
  EXPECT_NE(GetFileAttributes(Path("MIXEDCASE")), kInvalidAttributes);
  WriteFile(Path("mixedcase\\New File.TXT"), "y");
  EXPECT_TRUE(std::filesystem::exists(posix::MachineRoot() + "/drive_c/work/MixedCase/New File.TXT"));
  EXPECT_FALSE(CreateDirectory(Path("MIXEDcase")));
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
}

TEST_F(PosixBackend, ExactMatchWinsOverAnotherCase) {
  std::string host = posix::MachineRoot() + "/drive_c/work/";
  std::ofstream(host + "abc") << "lower";
  std::ofstream(host + "ABC") << "upper";
  EXPECT_EQ(ReadFile(Path("ABC")), "upper");
  EXPECT_EQ(ReadFile(Path("abc")), "lower");
}

TEST_F(PosixBackend, ForbiddenNamesFailAsOnWindows) {
  for (const char* name : {"a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a:b", "tab\there"}) {
    EXPECT_FALSE(CreateDirectory(Path(name))) << name;
    EXPECT_EQ(GetLastError(), kErrorInvalidName) << name;
    EXPECT_EQ(GetFileAttributes(Path(name)), kInvalidAttributes);
    EXPECT_EQ(OpenFile(Path(name), Access::Write, Share::Exclusive, Disposition::CreateAlways), nullptr);
  }
}

TEST_F(PosixBackend, MissingPathsAndFailureCodes) {
  EXPECT_EQ(GetFileAttributes(Path("none")), kInvalidAttributes);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(GetFileAttributes(Path("no\\dir\\file")), kInvalidAttributes);
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  EXPECT_FALSE(CreateDirectory(Path("no\\dir")));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  EXPECT_FALSE(DeleteFile(Path("none")));
  EXPECT_FALSE(RemoveDirectory(Path("none")));
  ASSERT_TRUE(CreateDirectory(Path("full")));
  WriteFile(Path("full\\f"), "");
  EXPECT_FALSE(RemoveDirectory(Path("full")));
  EXPECT_EQ(GetLastError(), kErrorDirNotEmpty);
  EXPECT_FALSE(DeleteFile(Path("full")));
}

TEST_F(PosixBackend, AttributesRoundTrip) {
  WriteFile(Path("f"), "data");
  EXPECT_EQ(GetFileAttributes(Path("f")), kAttrArchive);
  const uint32_t cases[] = {kAttrReadOnly, kAttrHidden | kAttrArchive, kAttrSystem | kAttrHidden,
                            kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive};
  for (uint32_t a : cases) {
    ASSERT_TRUE(SetFileAttributes(Path("f"), a));
    EXPECT_EQ(GetFileAttributes(Path("f")), a);
  }
  ASSERT_TRUE(SetFileAttributes(Path("f"), kAttrNormal));
  EXPECT_EQ(GetFileAttributes(Path("f")), kAttrNormal);
  ASSERT_TRUE(CreateDirectory(Path("d")));
  EXPECT_EQ(GetFileAttributes(Path("d")), kAttrDirectory);
  ASSERT_TRUE(SetFileAttributes(Path("d"), kAttrHidden));
  EXPECT_EQ(GetFileAttributes(Path("d")), kAttrDirectory | kAttrHidden);
}

TEST_F(PosixBackend, ReadOnlyFilesRefuseWritesAndDeletion) {
  WriteFile(Path("ro"), "keep");
  ASSERT_TRUE(SetFileAttributes(Path("ro"), kAttrReadOnly));
  EXPECT_EQ(OpenFile(Path("ro"), Access::Write, Share::Exclusive, Disposition::CreateAlways), nullptr);
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(DeleteFile(Path("ro")));
  EXPECT_EQ(ReadFile(Path("ro")), "keep");
}

TEST_F(PosixBackend, DosDatesRoundTrip) {
  ASSERT_STREQ(getenv("TZ") ? getenv("TZ") : "UTC", "UTC");
  WriteFile(Path("dated"), "x");
  // 2001-02-03 04:05:06, 1980-01-01 00:00:00, 2107-12-31 23:59:58
  for (uint32_t dos : {0x2A4320A3u, 0x00210000u, 0xFF9FBF7Du}) {
    auto f = OpenFile(Path("dated"), Access::Write, Share::Exclusive, Disposition::OpenExisting);
    ASSERT_TRUE(f->SetDosDateTime(dos));
    EXPECT_EQ(f->GetDosDateTime(), dos);
  }
  auto t = posix::DosToUnix(0x2A4320A3u);
  ASSERT_TRUE(t);
  EXPECT_EQ(*t, 981173106);  // 2001-02-03T04:05:06Z
  EXPECT_FALSE(posix::DosToUnix(0x2A0020A3u));  // month 0
  auto f = OpenFile(Path("dated"), Access::Write, Share::Exclusive, Disposition::OpenExisting);
  EXPECT_FALSE(f->SetDosDateTime(0));
}

TEST_F(PosixBackend, FreeSpaceOfDrives) {
  auto c = GetDiskFreeSpace("C:\\");
  ASSERT_TRUE(c);
  EXPECT_GT(*c, 0u);
  EXPECT_TRUE(GetDiskFreeSpace(""));
  EXPECT_FALSE(GetDiskFreeSpace("Q:\\"));
}

TEST_F(PosixBackend, EnumerationHonoursTheAttributeMask) {
  WriteFile(Path("plain.txt"), "1");
  WriteFile(Path("hidden.txt"), "22");
  WriteFile(Path("NoExt"), "");
  ASSERT_TRUE(SetFileAttributes(Path("hidden.txt"), kAttrHidden));
  ASSERT_TRUE(CreateDirectory(Path("sub")));
  auto names = [](const std::vector<FindData>& v) {
    std::vector<std::string> n;
    for (auto& f : v) n.push_back(f.name);
    return n;
  };
  EXPECT_EQ(names(FindFiles(Path("*.*"), 63)),
            (std::vector<std::string>{".", "..", "hidden.txt", "NoExt", "plain.txt", "sub"}));
  EXPECT_EQ(names(FindFiles(Path("*.*"), 0)), (std::vector<std::string>{"NoExt", "plain.txt"}));
  EXPECT_EQ(names(FindFiles(Path("*.TXT"), kAttrHidden)), (std::vector<std::string>{"hidden.txt", "plain.txt"}));
  EXPECT_EQ(names(FindFiles(Path("p?ain.*"), 0)), (std::vector<std::string>{"plain.txt"}));
  auto all = FindFiles(Path("hidden.txt"), 63);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].size, 2u);
  EXPECT_EQ(all[0].attributes, kAttrHidden);
  EXPECT_TRUE(FindFiles(Path("missing\\*.*"), 63).empty());
  // A bare name is looked up in any letter case and reported as stored, the mask still applies.
  EXPECT_EQ(names(FindFiles(Path("NOEXT"), 0)), (std::vector<std::string>{"NoExt"}));
  EXPECT_TRUE(FindFiles(Path("HIDDEN.TXT"), 0).empty());
  EXPECT_TRUE(FindFiles(Path("SUB"), 0).empty());
  EXPECT_EQ(names(FindFiles(Path("Sub"), kAttrDirectory)), (std::vector<std::string>{"sub"}));
  EXPECT_TRUE(FindFiles(Path("missing\\plain.txt"), 63).empty());
  EXPECT_TRUE(FindFiles(Path("gone.txt"), 63).empty());
}

TEST_F(PosixBackend, ShareModesConflictLikeWindows) {
  WriteFile(Path("s"), "x");
  auto reader = OpenFile(Path("s"), Access::Read, Share::DenyWrite, Disposition::OpenExisting);
  ASSERT_TRUE(reader);
  EXPECT_TRUE(OpenFile(Path("s"), Access::Read, Share::DenyWrite, Disposition::OpenExisting));
  EXPECT_EQ(OpenFile(Path("s"), Access::Write, Share::Exclusive, Disposition::CreateAlways), nullptr);
  EXPECT_EQ(GetLastError(), kErrorSharingViolation);
  EXPECT_EQ(OpenFile(Path("s"), Access::Read, Share::Exclusive, Disposition::OpenExisting), nullptr);
  EXPECT_FALSE(DeleteFile(Path("s")));
  EXPECT_EQ(ReadFile(Path("s")), "x");  // the refused create did not truncate it
  reader.reset();
  auto exclusive = OpenFile(Path("s"), Access::Read, Share::Exclusive, Disposition::OpenExisting);
  ASSERT_TRUE(exclusive);
  EXPECT_EQ(OpenFile(Path("s"), Access::Read, Share::DenyWrite, Disposition::OpenExisting), nullptr);
  exclusive.reset();
  EXPECT_TRUE(DeleteFile(Path("s")));
}

TEST_F(PosixBackend, CurrentDirectory) {
  EXPECT_EQ(GetCurrentDirectory(), "C:\\");
  ASSERT_TRUE(SetCurrentDirectory(Path("")));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\work");
  WriteFile("rel.txt", "r");
  EXPECT_EQ(ReadFile(Path("rel.txt")), "r");
  EXPECT_FALSE(SetCurrentDirectory(Path("rel.txt")));
  EXPECT_FALSE(SetCurrentDirectory(Path("none")));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\work");
}

TEST_F(PosixBackend, ExitWindowsIsRecordedNotPerformed) {
  std::vector<std::string> notices;
  posix::SetNoticeSink([&](const std::string& n) { notices.push_back(n); });
  const std::pair<uint32_t, const char*> modes[] = {
      {kExitReboot, "restart"},     {kExitLogOff, "log off"},
      {kExitShutdown, "shut down"}, {kExitPowerOff | kExitShutdown, "power off"},
      {kExitReboot | kExitForce, "restart"},
  };
  for (const auto& [mode, what] : modes) EXPECT_TRUE(ExitWindowsEx(mode, 0));
  posix::SetNoticeSink(nullptr);
  EXPECT_EQ(posix::ExitRequests(), (std::vector<uint32_t>{2, 0, 1, 9, 6}));
  ASSERT_EQ(notices.size(), std::size(modes));
  EXPECT_EQ(notices[0], "Windows would restart now; the host keeps running");
  for (size_t i = 0; i < notices.size(); ++i)
    EXPECT_EQ(notices[i], std::string("Windows would ") + modes[i].second + " now; the host keeps running");
}

TEST_F(PosixBackend, ShellExecuteStartsOnlyHostPrograms) {
  std::vector<std::string> notices;
  posix::SetNoticeSink([&](const std::string& n) { notices.push_back(n); });
  WriteFile(Path("app.exe"), "MZ\x90");
  EXPECT_EQ(ShellExecute(Path("app.exe"), "", Base(), 5), kShellErrNoAssociation);
  EXPECT_EQ(GetLastError(), kErrorNoAssociation);
  EXPECT_EQ(notices, std::vector<std::string>{"cannot start " + Path("app.exe") + " on this system: no host program runs it"});
  EXPECT_EQ(ShellExecute(Path("missing.exe"), "", Base(), 5), kShellErrFileNotFound);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  WriteFile(Path("run.sh"), "#!/bin/sh\ntouch ran.$1\n");
  using std::filesystem::perms;
  std::filesystem::permissions(posix::MachineRoot() + "/drive_c/work/run.sh",
                               perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec);
  EXPECT_GT(ShellExecute("run.sh", "ok", Base(), 5), kShellErrorLimit);
  posix::SetNoticeSink(nullptr);
  for (int i = 0; i < 200 && !Exists(Path("ran.ok")); ++i) Sleep(10);
  EXPECT_TRUE(Exists(Path("ran.ok")));
}

// Host folders for machine roots, inside this test's own root so that nothing escapes it.
class MachineRoots : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    hosts_ = posix::MachineRoot() + "/hosts";
    ASSERT_EQ(::mkdir(hosts_.c_str(), 0777), 0);
  }
  void TearDown() override {
    if (savedTmp_) ::setenv("TMPDIR", savedTmp_->c_str(), 1);
    else ::unsetenv("TMPDIR");
    MachineTest::TearDown();
  }
  // Temporary roots are made below hosts_/tmp.
  void UseOwnTmp() {
    if (const char* t = std::getenv("TMPDIR")) savedTmp_ = t;
    ASSERT_EQ(::mkdir((hosts_ + "/tmp").c_str(), 0777), 0);
    ::setenv("TMPDIR", (hosts_ + "/tmp").c_str(), 1);
  }
  static bool HostExists(const std::string& host) {
    struct stat st;
    return ::lstat(host.c_str(), &st) == 0;
  }
  std::string hosts_;
  std::optional<std::string> savedTmp_;
};

TEST_F(MachineRoots, AnExistingFolderOrOneNewLevelBelowOne) {
  ASSERT_EQ(::mkdir((hosts_ + "/existing").c_str(), 0777), 0);
  std::ofstream(hosts_ + "/plain.txt") << "x";
  // A folder of the user's; a machine made before machines were marked; one marked, holding
  // more; one whose Windows folder is a link out of it.
  std::filesystem::create_directories(hosts_ + "/users/docs");
  std::filesystem::create_directories(hosts_ + "/older/drive_c/WINDOWS");
  std::filesystem::create_directories(hosts_ + "/older/registry");
  std::ofstream(hosts_ + "/older/exitwindows.log") << "ExitWindowsEx 0x2\n";
  std::filesystem::create_directories(hosts_ + "/marked/notes");
  std::ofstream(hosts_ + "/marked/.tovin-machine") << "";
  std::filesystem::create_directories(hosts_ + "/planted/drive_c");
  std::filesystem::create_directory_symlink(hosts_ + "/users", hosts_ + "/planted/drive_c/WINDOWS");
  struct {
    std::string given;
    const char* error;        // part of the message, or null when the root is taken
    const char* mustNotExist;  // a folder that a refused root must not have made
  } cases[] = {
      {hosts_ + "/existing", nullptr, nullptr},
      {hosts_ + "/fresh", nullptr, nullptr},
      {hosts_ + "/slashed//", nullptr, nullptr},
      {hosts_ + "/plain.txt", "not a folder", nullptr},
      {hosts_ + "/a/b/c", "parent folder does not exist", "/a"},
      {hosts_ + "/plain.txt/sub", "parent is not a folder", nullptr},
      {"", "no folder named", nullptr},
      {hosts_ + "/users", "it holds docs and is no emulated machine", "/users/drive_c"},
      {"/", "the host's root folder cannot hold a machine", nullptr},
      {hosts_ + "/older", nullptr, nullptr},
      {hosts_ + "/marked", nullptr, nullptr},
      {hosts_ + "/planted", "drive_c/WINDOWS in it is a link", "/users/System"},
  };
  for (const auto& c : cases) {
    std::string before = posix::MachineRoot();
    if (!c.error) {
      ASSERT_NO_THROW(SetMachineRoot(c.given)) << c.given;
      std::string expected = c.given.substr(0, c.given.find_last_not_of('/') + 1);
      EXPECT_EQ(posix::MachineRoot(), expected);
      EXPECT_EQ(GetFileAttributes("C:\\WINDOWS\\Temp") & kAttrDirectory, kAttrDirectory) << c.given;
      continue;
    }
    try {
      SetMachineRoot(c.given);
      ADD_FAILURE() << "accepted " << c.given;
    } catch (const tovin::EMachineRootError& e) {
      std::string message = e.what();
      EXPECT_NE(message.find(c.error), std::string::npos) << message;
      EXPECT_NE(message.find(c.given), std::string::npos) << message;
    }
    EXPECT_EQ(posix::MachineRoot(), before) << c.given;
    if (c.mustNotExist) {
      EXPECT_FALSE(HostExists(hosts_ + c.mustNotExist)) << c.given;
    }
  }
}

TEST_F(MachineRoots, TemporaryRootIsRemovedWhenReplaced) {
  UseOwnTmp();
  std::string previous = posix::MachineRoot();
  posix::UseTemporaryRoot();
  std::string temp = posix::MachineRoot();
  EXPECT_EQ(temp.rfind(hosts_ + "/tmp/tovin-machine-", 0), 0u) << temp;
  ASSERT_TRUE(CreateDirectory("C:\\locked"));
  WriteFile("C:\\locked\\data.txt", "data");
  ASSERT_TRUE(SetFileAttributes("C:\\locked", kAttrReadOnly));  // its entries must still go
  SetMachineRoot(previous);
  EXPECT_FALSE(HostExists(temp));
  EXPECT_TRUE(HostExists(previous + "/drive_c/work"));  // a root given by the caller stays
}

TEST_F(MachineRoots, TemporaryRootIsRemovedAtExitByItsMakerOnly) {
  UseOwnTmp();
  std::string marker = hosts_ + "/made";
  EXPECT_EXIT(
      {
        posix::UseTemporaryRoot();
        std::ofstream(marker) << posix::MachineRoot();
        WriteFile("C:\\left.txt", "x");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  std::string made;
  std::getline(std::ifstream(marker), made);
  ASSERT_FALSE(made.empty());
  EXPECT_FALSE(HostExists(made));

  // A forked process that exits leaves its parent's temporary root alone.
  posix::UseTemporaryRoot();
  std::string mine = posix::MachineRoot();
  EXPECT_EXIT(std::exit(0), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(HostExists(mine + "/drive_c/WINDOWS"));
}

}  // namespace
}  // namespace tovin::test
