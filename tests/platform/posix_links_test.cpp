// Links planted in a folder the emulation writes into: nothing is created, overwritten,
// renamed, deleted or has its attributes or date changed through them, on the machine's
// drives and below a host folder of Z:. Reading still follows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "platform/error_codes.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;
namespace fs = std::filesystem;

std::string HostText(const std::string& host) {
  std::ifstream in(host, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Everything observable about a host folder tree: names, kinds, contents, modes, times and
// the stored DOS attributes.
std::map<std::string, std::string> Snapshot(const std::string& host) {
  std::map<std::string, std::string> seen;
  for (auto& e : fs::recursive_directory_iterator(host)) {
    auto status = e.symlink_status();
    std::ostringstream d;
    d << static_cast<int>(status.type()) << ' ' << static_cast<unsigned>(status.permissions()) << ' '
      << e.last_write_time().time_since_epoch().count() << ' '
      << GetFileAttributes(FromHostPath(e.path().string())) << ' ';
    if (status.type() == fs::file_type::regular) d << HostText(e.path());
    seen[e.path().string()] = d.str();
  }
  return seen;
}

struct Planted {
  std::string elsewhere;  // host folder outside the target
  std::string target;     // the target as a path of the platform layer
};

// target/link -> elsewhere, target/flink -> elsewhere/victim, target/dangling ->
// elsewhere/nothing, and a plain file and an empty folder of the target's own.
Planted Plant(const std::string& elsewhereHost, const std::string& targetHost, const std::string& target) {
  fs::create_directories(elsewhereHost + "/empty");
  fs::create_directories(targetHost + "/empty");
  std::ofstream(elsewhereHost + "/victim") << "original";
  std::ofstream(targetHost + "/own") << "own";
  fs::create_directory_symlink(elsewhereHost, targetHost + "/link");
  fs::create_symlink(elsewhereHost + "/victim", targetHost + "/flink");
  fs::create_symlink(elsewhereHost + "/nothing", targetHost + "/dangling");
  return {elsewhereHost, target};
}

struct Attempt {
  const char* what;
  std::function<bool(const std::string& t)> call;  // true when it succeeded
  uint32_t error = kErrorStoppedOnSymlink;
};

void PrintTo(const Attempt& a, std::ostream* os) { *os << a.what; }

bool Create(const std::string& path, Disposition how = Disposition::CreateAlways,
            Access access = Access::Write) {
  auto f = OpenFile(path, access, Share::Exclusive, how);
  return f && f->Write("written", 7) == 7;
}

const Attempt kAttempts[] = {
    {"create below a folder link", [](auto& t) { return Create(t + "\\link\\file"); }},
    {"create below it found without case", [](auto& t) { return Create(t + "\\LINK\\file"); }},
    {"create deeper below it", [](auto& t) { return Create(t + "\\Link\\empty\\file"); }},
    {"overwrite a file link", [](auto& t) { return Create(t + "\\flink"); }},
    {"overwrite it found without case", [](auto& t) { return Create(t + "\\FLINK"); }},
    {"open a file link for writing",
     [](auto& t) { return Create(t + "\\flink", Disposition::OpenExisting, Access::ReadWrite); }},
    {"overwrite through a folder link", [](auto& t) { return Create(t + "\\link\\victim"); }},
    {"create through a dangling link", [](auto& t) { return Create(t + "\\dangling"); }},
    {"create new through a dangling link",
     [](auto& t) { return Create(t + "\\dangling", Disposition::CreateNew); }},
    {"make a folder below a link", [](auto& t) { return CreateDirectory(t + "\\link\\made"); }},
    {"make a folder through a dangling link", [](auto& t) { return CreateDirectory(t + "\\DANGLING"); }},
    {"remove a folder below a link", [](auto& t) { return RemoveDirectory(t + "\\link\\empty"); }},
    {"make a file link read-only", [](auto& t) { return SetFileAttributes(t + "\\flink", kAttrReadOnly); }},
    {"hide a file below a link",
     [](auto& t) { return SetFileAttributes(t + "\\LINK\\victim", kAttrHidden | kAttrReadOnly); }},
    {"delete a file below a link", [](auto& t) { return DeleteFile(t + "\\link\\victim"); }},
    {"delete a file link", [](auto& t) { return DeleteFile(t + "\\flink"); }},
    {"rename over a file link", [](auto& t) { return MoveFileReplace(t + "\\own", t + "\\flink"); }},
    {"rename into a folder link", [](auto& t) { return MoveFileReplace(t + "\\own", t + "\\link\\victim"); }},
    {"rename out of a folder link", [](auto& t) { return MoveFileReplace(t + "\\link\\victim", t + "\\moved"); }},
    {"date a file read through a link",
     [](auto& t) {
       auto f = OpenFile(t + "\\flink", Access::Read, Share::DenyNone, Disposition::OpenExisting);
       return f && f->SetDosDateTime(0x21210000);
     },
     kErrorAccessDenied},
    {"profile string into a file link",
     [](auto& t) { return WritePrivateProfileString("s", std::string("k"), std::string("v"), t + "\\flink"); }},
    {"profile string below a folder link",
     [](auto& t) { return WritePrivateProfileString("s", std::string("k"), std::string("v"), t + "\\link\\a.ini"); }},
};

class LinksInTarget : public MachineTest, public ::testing::WithParamInterface<std::pair<Attempt, bool>> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    std::string root = posix::MachineRoot();
    if (GetParam().second) {  // a host folder of Z:, as named on a command line
      planted_ = Plant(root + "/elsewhere", root + "/host/out", FromHostPath(root + "/host/out"));
    } else {  // a folder of the machine's drive C:
      planted_ = Plant(root + "/elsewhere", root + "/drive_c/work/out", Path("out"));
    }
  }
  Planted planted_;
};

TEST_P(LinksInTarget, FailsAndLeavesWhatIsOutsideAlone) {
  const Attempt& a = GetParam().first;
  auto before = Snapshot(planted_.elsewhere);
  SCOPED_TRACE(a.what);
  EXPECT_FALSE(a.call(planted_.target));
  EXPECT_EQ(GetLastError(), a.error);
  EXPECT_EQ(Snapshot(planted_.elsewhere), before);
  EXPECT_FALSE(fs::exists(planted_.elsewhere + "/nothing"));
}

std::vector<std::pair<Attempt, bool>> AllAttempts() {
  std::vector<std::pair<Attempt, bool>> all;
  for (bool onHost : {false, true})
    for (const auto& a : kAttempts) all.push_back({a, onHost});
  return all;
}

INSTANTIATE_TEST_SUITE_P(Table, LinksInTarget, ::testing::ValuesIn(AllAttempts()),
                         [](const auto& info) {
                           std::string name = std::string(info.param.second ? "Host_" : "Drive_") + info.param.first.what;
                           for (auto& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

class LinksRead : public MachineTest {};

TEST_F(LinksRead, ReadingFollowsLinks) {
  std::string root = posix::MachineRoot();
  auto p = Plant(root + "/elsewhere", root + "/drive_c/work/out", Path("out"));
  EXPECT_EQ(ReadFile(p.target + "\\FLINK"), "original");
  EXPECT_EQ(ReadFile(p.target + "\\link\\victim"), "original");
  EXPECT_EQ(GetFileAttributes(p.target + "\\link") & kAttrDirectory, kAttrDirectory);
}

// The folder a command is given may itself be reached through links; what it writes below
// lands in the real folder.
TEST_F(LinksRead, AHostFolderNamedThroughALinkIsWrittenInto) {
  std::string root = posix::MachineRoot();
  fs::create_directories(root + "/real/inner");
  fs::create_directory_symlink(root + "/real", root + "/alias");
  std::string named = FromHostPath(root + "/alias/inner/new");
  EXPECT_EQ(named, FromHostPath(root + "/real/inner/new"));
  ASSERT_TRUE(CreateDirectory(named));
  WriteFile(named + "\\file", "x");
  EXPECT_EQ(HostText(root + "/real/inner/new/file"), "x");
}

TEST_F(LinksRead, ADriveFolderReachedThroughALinkIsWrittenInto) {
  std::string root = posix::MachineRoot();
  fs::create_directories(root + "/cdrom");
  fs::create_directory_symlink(root + "/cdrom", root + "/drive_d");
  WriteFile("D:\\setup.ini", "x");
  EXPECT_EQ(HostText(root + "/cdrom/setup.ini"), "x");
}

// The profile writer's temporary file is made new: one left by a crash is replaced, a link
// in its place is not written through.
TEST_F(LinksRead, ProfileTemporaryFileIsMadeNew) {
  std::string host = posix::MachineRoot() + "/drive_c/work/";
  std::ofstream(host + "app.ini.tovin-tmp") << "[stale]\r\n";
  ASSERT_TRUE(ini::Write(Path("app.ini"), "s", std::string("k"), std::string("v")));
  EXPECT_EQ(HostText(host + "app.ini"), "[s]\r\nk=v\r\n");
  EXPECT_FALSE(fs::exists(host + "app.ini.tovin-tmp"));

  std::ofstream(host + "victim") << "original";
  fs::create_symlink(host + "victim", host + "app.ini.tovin-tmp");
  EXPECT_FALSE(ini::Write(Path("app.ini"), "s", std::string("k"), std::string("w")));
  EXPECT_EQ(HostText(host + "victim"), "original");
  EXPECT_EQ(HostText(host + "app.ini"), "[s]\r\nk=v\r\n");
}

}  // namespace
}  // namespace tovin::test
