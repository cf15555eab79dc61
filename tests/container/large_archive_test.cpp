// Archives whose shape once cost quadratic work: a name thousands of folders deep and tens of
// thousands of members in one folder. Each must expand in a moment, not in minutes.
#include <gtest/gtest.h>

#include <ctime>

#include "container/archive_writer.h"
#include "container/vellox.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

class LargeArchive : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("out"));
    vellox.SetTargetPath(Path("out"));
    vellox.MakeDirectories = true;
  }
  // Processor seconds the expansion took (the machine may be busy with other work).
  double Expand(const std::vector<std::pair<std::string, std::string>>& members,
                std::vector<std::string>* selection = nullptr, TPackMethod method = coLZH5) {
    MemoryStream bytes;
    ArchiveWriter w(bytes, method, 0);
    for (const auto& [name, data] : members) w.AddData(data, name, 0x2A4320A3u, plat::kAttrArchive);
    w.Finish();
    WriteFile(Path("a.vlx"), bytes.Data());
    std::clock_t start = std::clock();
    vellox.ExpandArchive(Path("a.vlx"), selection);
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  }
  // Read through the lookup for writing, which walks down from folder to folder and so has
  // no limit on the length of the host path.
  static std::string Content(const std::string& path) {
    auto f = plat::OpenFile(path, plat::Access::ReadWrite, plat::Share::DenyNone, plat::Disposition::OpenExisting);
    if (!f) return "(cannot open)";
    std::string s(static_cast<size_t>(f->Size()), '\0');
    f->Read(s.data(), static_cast<int64_t>(s.size()));
    return s;
  }
  TVellox vellox;
};

TEST_F(LargeArchive, ANameTwoThousandFoldersDeep) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows ends paths at 260 characters: the member fails with \"File name is too long.\"";
#endif
  std::string deep;
  for (int i = 0; i < 2000; ++i) deep += i % 2 ? "D\\" : "d\\";
  // The second member shares the chain but for its last folder, in another letter case.
  std::string sibling = deep.substr(0, deep.size() - 2) + "X\\g";
  double seconds = Expand({{deep + "f", "deep"}, {sibling, "near"}, {"D\\top", "top"}});
  EXPECT_LT(seconds, 10.0);  // was a minute: every level checked the chain above it again
  EXPECT_EQ(Content(Path("out\\" + deep + "F")), "deep");
  EXPECT_EQ(Content(Path("out\\" + sibling)), "near");
  EXPECT_EQ(Content(Path("out\\d\\TOP")), "top");  // "d" was made first; "D" is the same folder
}

// The selection is looked up once per member, not searched: 40,000 members against a
// selection of 20,000 names was billions of name comparisons.
TEST_F(LargeArchive, FortyThousandMembersAgainstASelection) {
  std::vector<std::pair<std::string, std::string>> members;
  std::vector<std::string> selection;
  for (int i = 0; i < 40000; ++i) {
    std::string number = std::to_string(i);  // appended, not prefixed: GCC 12 -O3 warns falsely on "F" + ...
    members.push_back({std::string("F").append(number), i % 10000 ? "" : "x"});
    if (i % 2) selection.push_back(std::string("f").append(number));  // the selection's case differs
  }
  selection.push_back("F");  // named by no member
  vellox.TestOnly = true;
  std::vector<std::string> written = selection;
  EXPECT_LT(Expand(members, &written, coNone), 3.0);
  ASSERT_EQ(written.size(), selection.size() - 1);
  EXPECT_EQ(written.front(), Path("out\\F1"));
  EXPECT_EQ(written.back(), Path("out\\F39999"));
}

// Each new name is looked up without letter case in a folder that keeps growing. (Its speed
// is the file system's as much as ours: it is measured, not tested, here.)
TEST_F(LargeArchive, ThreeThousandFilesInOneFolder) {
  std::vector<std::pair<std::string, std::string>> members;
  for (int i = 0; i < 3000; ++i) members.push_back({"File" + std::to_string(i), i % 1000 ? "" : "x"});
  members.push_back({"FILE2000", "again"});  // the same file: replaced, not a second one
  Expand(members, nullptr, coNone);
  EXPECT_EQ(Content(Path("out\\file2000")), "again");
  EXPECT_EQ(Content(Path("out\\FILE1000")), "x");
  EXPECT_EQ(Content(Path("out\\File1")), "");
  EXPECT_EQ(plat::FindFiles(Path("out\\*"), plat::kAttrMaskFiles).size(), 3000u);
}

}  // namespace
}  // namespace tovin::test
