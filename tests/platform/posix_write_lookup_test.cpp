// The lookup of calls that write: a path there as spelled is opened in one go, anything else
// (another letter case, a folder to make, a link, a file in the way) is walked; both give the
// same places and the same errors, on a drive and below a host folder of Z:.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/error_codes.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;
namespace fs = std::filesystem;

// st_mode's file types; fixed by POSIX.
constexpr uint32_t kTypeMask = 0170000, kFolderType = 0040000, kFileType = 0100000;

struct Case {
  const char* what;
  const char* path;     // below the target, backslashes
  bool makeFolders;
  const char* host;     // the expected host path below the target; nullptr when refused
  uint32_t type;        // the last component's file type, 0 when it does not exist
  uint32_t error = 0;   // when refused
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

const Case kCases[] = {
    {"file there as spelled", "Apps\\Sub\\file.txt", false, "Apps/Sub/file.txt", kFileType},
    {"new file in a folder there as spelled", "Apps\\Sub\\new.txt", false, "Apps/Sub/new.txt", 0},
    {"folder there as spelled", "Apps\\Sub\\Empty", false, "Apps/Sub/Empty", kFolderType},
    {"last component in another case", "Apps\\Sub\\FILE.TXT", false, "Apps/Sub/file.txt", kFileType},
    {"folder in another case on the way", "APPS\\sub\\file.txt", false, "Apps/Sub/file.txt", kFileType},
    {"new file below a folder in another case", "apps\\SUB\\new.txt", false, "Apps/Sub/new.txt", 0},
    {"link on the way", "link\\Sub\\victim", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"link on the way in another case", "LINK\\Sub\\victim", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"link deeper on the way", "Apps\\dlink\\victim", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"dangling link at the end", "Apps\\dangling", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"dangling link at the end in another case", "Apps\\DANGLING", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"file link at the end", "Apps\\flink", false, nullptr, 0, kErrorStoppedOnSymlink},
    {"missing folder on the way", "Apps\\Gone\\file", false, nullptr, 0, kErrorPathNotFound},
    {"file on the way", "Apps\\Sub\\file.txt\\x", false, nullptr, 0, kErrorPathNotFound},
    {"file on the way of folders to make", "Apps\\Sub\\file.txt\\x\\y", true, nullptr, 0, kErrorAlreadyExists},
    {"several folders to make", "Apps\\Sub\\N1\\N2\\N3\\file", true, "Apps/Sub/N1/N2/N3/file", 0},
    {"folders to make below one in another case", "apps\\New1\\New2\\file", true, "Apps/New1/New2/file", 0},
    {"folders to make, all there", "Apps\\Sub\\Empty\\file", true, "Apps/Sub/Empty/file", 0},
    {"folders to make below a link", "link\\New\\file", true, nullptr, 0, kErrorStoppedOnSymlink},
};

class WriteLookup : public MachineTest, public ::testing::WithParamInterface<std::pair<Case, bool>> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    std::string root = posix::MachineRoot();
    elsewhere_ = root + "/elsewhere";
    if (GetParam().second) {  // a host folder of Z:
      host_ = root + "/host/t";
      fs::create_directories(host_);
      target_ = FromHostPath(host_);
    } else {
      host_ = root + "/drive_c/work/t";
      target_ = Path("t");
    }
    fs::create_directories(host_ + "/Apps/Sub/Empty");
    fs::create_directories(elsewhere_ + "/Sub");
    std::ofstream(host_ + "/Apps/Sub/file.txt") << "x";
    std::ofstream(elsewhere_ + "/victim") << "original";
    fs::create_directory_symlink(elsewhere_, host_ + "/link");
    fs::create_directory_symlink(elsewhere_, host_ + "/Apps/dlink");
    fs::create_symlink(elsewhere_ + "/nothing", host_ + "/Apps/dangling");
    fs::create_symlink(elsewhere_ + "/victim", host_ + "/Apps/flink");
  }
  std::string elsewhere_, host_, target_;
};

TEST_P(WriteLookup, FindsThePlaceOrRefuses) {
  const Case& c = GetParam().first;
  auto place = posix::ResolveForWriting(target_ + "\\" + c.path, c.makeFolders);
  if (!c.host) {
    ASSERT_FALSE(place);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_FALSE(fs::exists(elsewhere_ + "/New"));
    EXPECT_FALSE(fs::exists(host_ + "/Apps/Sub/file.txt/x"));
    return;
  }
  ASSERT_TRUE(place) << GetLastError();
  std::string expected = host_ + "/" + c.host;
  EXPECT_EQ(place->Host(), expected);
  EXPECT_EQ(place->Name(), expected.substr(expected.rfind('/') + 1));
  EXPECT_EQ(place->Exists(), c.type != 0);
  EXPECT_EQ(place->Mode() & kTypeMask, c.type);
  // The folder held is the one the host path names.
  fs::path held = "/proc/self/fd/" + std::to_string(place->Folder());
  EXPECT_TRUE(fs::equivalent(held, fs::path(expected).parent_path())) << fs::read_symlink(held);
}

std::vector<std::pair<Case, bool>> AllCases() {
  std::vector<std::pair<Case, bool>> all;
  for (bool onHost : {false, true})
    for (const auto& c : kCases) all.push_back({c, onHost});
  return all;
}

INSTANTIATE_TEST_SUITE_P(Table, WriteLookup, ::testing::ValuesIn(AllCases()), [](const auto& info) {
  std::string name = std::string(info.param.second ? "Host_" : "Drive_") + info.param.first.what;
  for (auto& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

class WriteLookupEdges : public MachineTest {};

TEST_F(WriteLookupEdges, DriveRootAndItsOwnEntries) {
  auto root = posix::ResolveForWriting("C:\\");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->Name(), ".");
  EXPECT_TRUE(root->Exists());
  EXPECT_EQ(root->Mode() & kTypeMask, kFolderType);
  auto windows = posix::ResolveForWriting("c:\\windows");
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->Host(), posix::MachineRoot() + "/drive_c/WINDOWS");
  EXPECT_EQ(windows->Mode() & kTypeMask, kFolderType);
}

// Reading follows links and looks up letter case; a missing last component is told apart
// from a missing folder.
struct ReadCase {
  const char* what;
  const char* path;
  const char* host;  // expected host path below the target
  uint32_t attributes;
  uint32_t error;  // when the attributes are kInvalidAttributes
};

class ReadLookup : public MachineTest, public ::testing::WithParamInterface<ReadCase> {};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

TEST_P(ReadLookup, HostPathAndAttributes) {
  const ReadCase& c = GetParam();
  std::string host = posix::MachineRoot() + "/drive_c/work";
  fs::create_directories(host + "/Apps/Sub");
  fs::create_directories(posix::MachineRoot() + "/elsewhere/Inner");
  std::ofstream(host + "/Apps/Sub/file.txt") << "x";
  fs::create_directory_symlink(posix::MachineRoot() + "/elsewhere", host + "/link");
  EXPECT_EQ(ToHostPath(Path(c.path)), host + "/" + c.host);
  EXPECT_EQ(GetFileAttributes(Path(c.path)), c.attributes);
  if (c.attributes == kInvalidAttributes) {
    EXPECT_EQ(GetLastError(), c.error);
  }
  auto found = FindFiles(Path(c.path), kAttrMaskFiles);
  EXPECT_EQ(found.size(), c.attributes == kInvalidAttributes || (c.attributes & kAttrDirectory) ? 0u : 1u);
}

const ReadCase kReadCases[] = {
    {"file there", "Apps\\Sub\\file.txt", "Apps/Sub/file.txt", kAttrArchive, 0},
    {"file in another case", "APPS\\Sub\\FILE.txt", "Apps/Sub/file.txt", kAttrArchive, 0},
    {"missing file", "Apps\\Sub\\new.txt", "Apps/Sub/new.txt", kInvalidAttributes, kErrorFileNotFound},
    {"missing file below a folder in another case", "apps\\SUB\\new.txt", "Apps/Sub/new.txt",
     kInvalidAttributes, kErrorFileNotFound},
    {"missing folder", "Apps\\Gone\\new.txt", "Apps/Gone/new.txt", kInvalidAttributes, kErrorPathNotFound},
    {"file used as a folder", "Apps\\Sub\\file.txt\\x", "Apps/Sub/file.txt/x", kInvalidAttributes,
     kErrorPathNotFound},
    {"folder through a link", "link\\inner", "link/Inner", kAttrDirectory, 0},
    {"missing file through a link", "LINK\\Inner\\new", "link/Inner/new", kInvalidAttributes, kErrorFileNotFound},
};

INSTANTIATE_TEST_SUITE_P(Table, ReadLookup, ::testing::ValuesIn(kReadCases), [](const auto& info) {
  std::string name = info.param.what;
  for (auto& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

class FindFilesNames : public MachineTest {};

TEST_F(FindFilesNames, ABadFolderNameIsInvalidAndABadFileNameIsNotFound) {
  EXPECT_TRUE(FindFiles("C:\\a|b\\file", kAttrMaskFiles).empty());
  EXPECT_EQ(GetLastError(), kErrorInvalidName);
  EXPECT_TRUE(FindFiles("C:\\WINDOWS\\a|b", kAttrMaskFiles).empty());
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

}  // namespace
}  // namespace tovin::test
