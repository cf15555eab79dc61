// The lookup without letter case, answered from the cache of folder names, against a fresh
// read of the folder, after changes made through the platform layer and behind its back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/name_cache.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

using namespace plat;
namespace fs = std::filesystem;

enum class Op {
  MakeFolder, MakeFile, Delete, RemoveFolder, Move,               // through the platform layer
  HostMakeFolder, HostMakeFile, HostUnlink, HostRename  // behind it
};
struct Step {
  Op op;
  std::string a, b;  // names in t, or "u\\name"; b: where Move and renames go
};
struct Script {
  const char* title;
  std::vector<Step> steps;
};
void PrintTo(const Script& s, std::ostream* os) { *os << s.title; }

const char* const kQueries[] = {"foo", "FOO", "Foo", "fOo", "bar", "BAR", "Bar", "x", "X", "sub"};

class NameCache : public MachineTest, public ::testing::WithParamInterface<Script> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(CreateDirectory(Path("t")));
    ASSERT_TRUE(CreateDirectory(Path("u")));
  }
  std::string Host(const std::string& name) { return ToHostPath(Path(name)); }
  void Run(const Step& s) {
    auto inTest = [](const std::string& n) { return n.find('\\') == std::string::npos ? "t\\" + n : n; };
    std::string a = inTest(s.a), b = inTest(s.b);
    switch (s.op) {
      case Op::MakeFolder: EXPECT_TRUE(CreateDirectory(Path(a))); break;
      case Op::MakeFile: EXPECT_TRUE(OpenFile(Path(a), Access::Write, Share::Exclusive, Disposition::CreateAlways)); break;
      case Op::Delete: EXPECT_TRUE(DeleteFile(Path(a))); break;
      case Op::RemoveFolder: EXPECT_TRUE(RemoveDirectory(Path(a))); break;
      case Op::Move: EXPECT_TRUE(MoveFileReplace(Path(a), Path(b))); break;
      // The host calls take the names as stored: no lookup without case on the way.
      case Op::HostMakeFolder: EXPECT_TRUE(fs::create_directory(Host("t") + "/" + s.a)); break;
      case Op::HostMakeFile: std::ofstream(Host("t") + "/" + s.a) << "x"; break;
      case Op::HostUnlink: EXPECT_TRUE(fs::remove(Host("t") + "/" + s.a)); break;
      case Op::HostRename: fs::rename(Host("t") + "/" + s.a, HostOf(b)); break;
    }
  }
  // b names a folder of the test ("u\\name") or an entry of t, in its stored case.
  std::string HostOf(const std::string& b) {
    auto cut = b.find('\\');
    return Host(b.substr(0, cut)) + "/" + b.substr(cut + 1);
  }
  // What a read of the whole folder says: the name itself, else the least name in byte order
  // that differs from it in letter case only, else the name as given.
  std::string Fresh(const std::string& folder, const std::string& query) {
    auto fold = [](std::string n) {
      for (auto& c : n)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      return n;
    };
    std::string host = Host(folder);
    if (fs::exists(fs::symlink_status(host + "/" + query))) return host + "/" + query;
    std::optional<std::string> least;
    for (const auto& e : fs::directory_iterator(host)) {
      std::string n = e.path().filename().string();
      if (fold(n) == fold(query) && (!least || n < *least)) least = n;
    }
    return host + "/" + least.value_or(query);
  }
  void ExpectSameAnswers(const std::string& folder, const std::string& when) {
    for (const char* q : kQueries)
      EXPECT_EQ(ToHostPath(Path(folder + "\\" + q)), Fresh(folder, q)) << folder << " query " << q << " " << when;
  }
};

TEST_P(NameCache, AnswersAsAFreshReadAfterEveryStep) {
  ExpectSameAnswers("t", "at the start");  // the folders are cached from here on
  ExpectSameAnswers("u", "at the start");
  for (size_t i = 0; i < GetParam().steps.size(); ++i) {
    Run(GetParam().steps[i]);
    ExpectSameAnswers("t", "after step " + std::to_string(i + 1));
    ExpectSameAnswers("u", "after step " + std::to_string(i + 1));
  }
#ifdef __linux__
  EXPECT_GT(posix::NameCacheFolderCount(), 0u);  // answered from the cache, not by reading
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, NameCache,
    ::testing::Values(
        Script{"CreateThenVariants", {{Op::MakeFile, "Foo", ""}, {Op::HostMakeFile, "FOO", ""}, {Op::HostMakeFile, "fOO", ""}}},
        Script{"DeleteOneOfTwo", {{Op::MakeFile, "Foo", ""}, {Op::HostMakeFile, "FOO", ""}, {Op::Delete, "Foo", ""}}},
        Script{"DeleteLast", {{Op::MakeFile, "Bar", ""}, {Op::Delete, "bar", ""}}},
        Script{"FoldersMadeAndRemoved",
               {{Op::MakeFolder, "SUB", ""}, {Op::RemoveFolder, "sub", ""}, {Op::HostMakeFolder, "Sub", ""}}},
        Script{"RenameInPlace", {{Op::MakeFile, "x", ""}, {Op::Move, "X", "FOO"}, {Op::Move, "foo", "Bar"}}},
        Script{"RenameAcrossFolders", {{Op::MakeFile, "Foo", ""}, {Op::Move, "foo", "u\\FOO"}, {Op::Move, "u\\foo", "bar"}}},
        Script{"RenameOverAnother",
               {{Op::MakeFile, "Foo", ""}, {Op::MakeFile, "Bar", ""}, {Op::Move, "FOO", "BAR"}}},
        Script{"HostRenames", {{Op::HostMakeFile, "FoO", ""}, {Op::HostRename, "FoO", "u\\BAR"}, {Op::HostUnlink, "../u/BAR", ""}}},
        Script{"HostMovesAcross",
               {{Op::HostMakeFile, "Foo", ""}, {Op::HostMakeFile, "../u/FOO", ""}, {Op::HostRename, "Foo", "u\\foo"},
                {Op::HostRename, "../u/FOO", "t\\fOO"}}},
        Script{"CaseChangeOnly", {{Op::MakeFile, "foo", ""}, {Op::HostRename, "foo", "t\\FOO"}, {Op::HostRename, "FOO", "t\\Foo"}}}),
    [](const auto& info) { return std::string(info.param.title); });

// The folder's inode number may go to the next folder made: its names must not be taken over.
TEST_F(NameCache, AFolderReplacedIsReadAgain) {
  ASSERT_TRUE(CreateDirectory(Path("t\\S")));
  std::ofstream(Host("t\\S") + "/Old") << "";
  EXPECT_EQ(GetFileAttributes(Path("t\\s\\old")) & kAttrDirectory, 0u);
  fs::remove_all(Host("t\\S"));
  ASSERT_EQ(::mkdir((Host("t") + "/S").c_str(), 0777), 0);
  std::ofstream(Host("t") + "/S/New") << "";
  EXPECT_EQ(GetFileAttributes(Path("t\\s\\old")), kInvalidAttributes);
  EXPECT_EQ(ToHostPath(Path("t\\s\\NEW")), Host("t") + "/S/New");
  ExpectSameAnswers("t\\S", "after the replacement");
}

TEST_F(NameCache, HoldsABoundedNumberOfFolders) {
  for (size_t i = 0; i < posix::kNameCacheFolders + 10; ++i) {
    std::string folder = "t\\F" + std::to_string(i);
    ASSERT_TRUE(CreateDirectory(Path(folder)));
    EXPECT_EQ(GetFileAttributes(Path(folder + "\\missing")), kInvalidAttributes);
  }
  EXPECT_LE(posix::NameCacheFolderCount(), posix::kNameCacheFolders);
  // A folder dropped from the cache still answers right.
  std::ofstream(Host("t\\F0") + "/Late") << "";
  EXPECT_EQ(ToHostPath(Path("t\\f0\\LATE")), Host("t\\F0") + "/Late");
}

}  // namespace
}  // namespace tovin::test
