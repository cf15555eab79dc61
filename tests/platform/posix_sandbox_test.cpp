// The machine as a sandbox: every call that changes something fails on the host (Z:) as on a
// write-protected disk and works on the machine's drives; names as Win32 takes them; only
// regular files opened; profile writes wait for the machine's change lock.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "platform/directory_path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;
namespace fs = std::filesystem;

// Names, kinds, modes, times and bytes of a host tree.
std::map<std::string, std::string> Snapshot(const std::string& host) {
  std::map<std::string, std::string> seen;
  for (auto& e : fs::recursive_directory_iterator(host)) {
    std::ostringstream d;
    d << static_cast<int>(e.symlink_status().type()) << ' ' << static_cast<unsigned>(e.symlink_status().permissions())
      << ' ' << e.last_write_time().time_since_epoch().count() << ' ';
    if (e.is_regular_file()) d << std::ifstream(e.path(), std::ios::binary).rdbuf();
    seen[e.path().string()] = d.str();
  }
  return seen;
}

struct Change {
  const char* what;
  std::function<bool(const std::string& t)> call;  // in a folder holding file.txt and empty\; true: done
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.what; }

bool Written(const std::string& path, Disposition how, Access access = Access::Write) {
  auto f = OpenFile(path, access, Share::Exclusive, how);
  return f && f->Write("new", 3) == 3;
}

const Change kChanges[] = {
    {"create a file", [](auto& t) { return Written(t + "\\new.txt", Disposition::CreateAlways); }},
    {"create a new file", [](auto& t) { return Written(t + "\\new.txt", Disposition::CreateNew); }},
    {"overwrite a file", [](auto& t) { return Written(t + "\\file.txt", Disposition::CreateAlways); }},
    {"open a file for writing",
     [](auto& t) { return Written(t + "\\file.txt", Disposition::OpenExisting, Access::ReadWrite); }},
    {"delete a file", [](auto& t) { return DeleteFile(t + "\\file.txt"); }},
    {"make a folder", [](auto& t) { return CreateDirectory(t + "\\made"); }},
    {"make a folder path", [](auto& t) { return CreateDirectoryPath(t + "\\made\\deeper"); }},
    {"remove a folder", [](auto& t) { return RemoveDirectory(t + "\\empty"); }},
    {"set attributes", [](auto& t) { return SetFileAttributes(t + "\\file.txt", kAttrReadOnly | kAttrHidden); }},
    {"rename a file", [](auto& t) { return MoveFileReplace(t + "\\file.txt", t + "\\moved.txt"); }},
    {"write a profile string",
     [](auto& t) { return WritePrivateProfileString("s", std::string("k"), std::string("v"), t + "\\file.txt"); }},
    {"delete a profile section",
     [](auto& t) { return WritePrivateProfileString("s", std::nullopt, std::nullopt, t + "\\app.ini"); }},
    {"save a shell link", [](auto& t) { return SaveShellLink({t + "\\file.txt", t, "", 0}, t + "\\app.lnk"); }},
};

class Sandbox : public MachineTest, public ::testing::WithParamInterface<Change> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    host_ = posix::MachineRoot() + "/host";
    for (const std::string& folder : {host_, posix::MachineRoot() + "/drive_c/work"}) {
      fs::create_directories(folder + "/empty");
      std::ofstream(folder + "/file.txt") << "[s]\r\nk=old\r\n";
      std::ofstream(folder + "/app.ini") << "[s]\r\nk=old\r\n";
    }
    SetSandbox(true);
  }
  void TearDown() override {
    SetSandbox(false);
    MachineTest::TearDown();
  }
  std::string host_;
};

TEST_P(Sandbox, FailsOnTheHostAsOnAWriteProtectedDisk) {
  auto before = Snapshot(host_);
  EXPECT_FALSE(GetParam().call(FromHostPath(host_)));
  EXPECT_EQ(GetLastError(), kErrorWriteProtect);
  EXPECT_EQ(SystemErrorMessage(kErrorWriteProtect), "The media is write protected.");
  EXPECT_EQ(Snapshot(host_), before);
}

TEST_P(Sandbox, WorksOnTheMachinesDrives) { EXPECT_TRUE(GetParam().call(Base())) << GetLastError(); }

INSTANTIATE_TEST_SUITE_P(Table, Sandbox, ::testing::ValuesIn(kChanges), [](const auto& info) {
  std::string name = info.param.what;
  for (auto& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

// The machine's own files are no part of a drive: the registry is written in the sandbox too.
TEST_F(Sandbox, TheRegistryIsTheMachinesOwn) {
  EXPECT_TRUE(RegSetStringValue(RegRoot::LocalMachine, "Software\\App", "Path", "C:\\App"));
  EXPECT_EQ(RegQueryStringValue(RegRoot::LocalMachine, "Software\\App", "Path"), "C:\\App");
}

class Names : public MachineTest {};

TEST_F(Names, ATrailingDotOrBlankIsDroppedOnTheMachinesDrives) {
  ASSERT_TRUE(CreateDirectory("C:\\Dot."));
  EXPECT_FALSE(CreateDirectory("C:\\Dot"));  // the same folder
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  WriteFile("C:\\Dot. \\name .. ", "x");
  EXPECT_EQ(ReadFile("C:\\Dot\\name"), "x");
  EXPECT_EQ(GetFullPathName("C:\\Dot.\\a. "), "C:\\Dot\\a");
  EXPECT_TRUE(fs::exists(posix::MachineRoot() + "/drive_c/Dot/name"));
  EXPECT_FALSE(fs::exists(posix::MachineRoot() + "/drive_c/Dot."));
  // The host keeps its own names: a folder ending in a dot is reached as it is.
  fs::create_directories(posix::MachineRoot() + "/host/dotted.");
  std::ofstream(posix::MachineRoot() + "/host/dotted./f") << "host";
  EXPECT_EQ(ReadFile(FromHostPath(posix::MachineRoot() + "/host/dotted./f")), "host");
}

TEST_F(Names, DeviceNamesAreRefusedOnTheMachinesDrives) {
  for (const char* name : {"CON", "nul.txt", "Com1", "LPT9.log", "aux .dat", "PRN"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(CreateDirectory(Path(name)));
    EXPECT_EQ(GetLastError(), kErrorInvalidName);
    EXPECT_FALSE(OpenFile(Path(name), Access::Write, Share::Exclusive, Disposition::CreateAlways));
    EXPECT_EQ(GetLastError(), kErrorInvalidName);
    EXPECT_FALSE(CreateDirectoryPath(Path(name) + "\\below"));
  }
  EXPECT_TRUE(fs::is_empty(posix::MachineRoot() + "/drive_c/work"));
  EXPECT_TRUE(CreateDirectory(Path("CONSOLE")));  // only the names themselves
  std::ofstream(posix::MachineRoot() + "/aux") << "host";
  EXPECT_EQ(ReadFile(FromHostPath(posix::MachineRoot() + "/aux")), "host");
}

class RegularFiles : public MachineTest {};

// A fifo neither blocks nor is opened; nothing is renamed over one.
TEST_F(RegularFiles, AFifoIsRefusedWithoutBlocking) {
  std::string fifo = posix::MachineRoot() + "/drive_c/work/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  WriteFile(Path("file.txt"), "x");
  EXPECT_FALSE(OpenFile(Path("fifo"), Access::Read, Share::DenyWrite, Disposition::OpenExisting));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(OpenFile(Path("fifo"), Access::Write, Share::Exclusive, Disposition::CreateAlways));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(MoveFileReplace(Path("file.txt"), Path("fifo")));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(WritePrivateProfileString("s", std::string("k"), std::string("v"), Path("fifo")));
  EXPECT_EQ(GetPrivateProfileString("s", "k", "none", Path("fifo")), "none");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(ReadFile(Path("file.txt")), "x");
}

// Two processes writing one profile file would lose each other's entries: a profile write
// takes the machine's change lock, as a registry change does, and waits while another holds it.
TEST_F(RegularFiles, AProfileWriteWaitsForTheChangeLock) {
  std::string lock = posix::MachineRoot() + "/registry.lock";
  std::ofstream(lock) << "";
  auto held = OpenFile(FromHostPath(lock), Access::Read, Share::Exclusive, Disposition::OpenExisting);
  ASSERT_TRUE(held);
  std::thread writer([&] { WritePrivateProfileString("s", std::string("k"), std::string("v"), Path("app.ini")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(Exists(Path("app.ini")));  // still waiting
  held.reset();
  writer.join();
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", Path("app.ini")), "v");
}

}  // namespace
}  // namespace tovin::test
