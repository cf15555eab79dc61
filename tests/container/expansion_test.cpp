// Expanding members to disk: target paths, the host's decisions, keys, checksums, dates.
#include <gtest/gtest.h>

#include "container/archive_writer.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

struct Member {
  std::string name, data;
  uint16_t attributes = plat::kAttrArchive;
};

std::string ArchiveOf(TPackMethod method, const std::vector<Member>& members, int32_t key = 0) {
  MemoryStream out;
  ArchiveWriter w(out, method, key);
  for (const auto& m : members) w.AddData(m.data, m.name, 0x2A4320A3u, m.attributes);
  w.Finish();
  return out.Data();
}

// Offset of member i's header in an archive made by ArchiveOf.
size_t HeaderAt(const std::string& a, int i) {
  size_t at = 21;
  while (i-- > 0) {
    auto u16 = [&](size_t o) { return static_cast<uint8_t>(a[o]) | static_cast<uint8_t>(a[o + 1]) << 8; };
    size_t nameLength = u16(at);
    size_t stored = u16(at + 12) | static_cast<size_t>(u16(at + 14)) << 16;
    at += 25 + nameLength + stored;
  }
  return at;
}

class Expansion : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("out"));
    vellox.SetTargetPath(Path("out"));
  }
  void Expand(const std::string& bytes, std::vector<std::string>* list = nullptr) {
    WriteFile(Path("a.vlx"), bytes);
    vellox.ExpandArchive(Path("a.vlx"), list);
  }
  TVellox vellox;
};

TEST_F(Expansion, EveryMethodWritesTheMembers) {
  std::string big(30000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>("setup archive "[i % 14] + (i / 977) % 3);
  for (TPackMethod m : {coNone, coRLE, coLZH, coLZH5}) {
    Expand(ArchiveOf(m, {{"a.txt", "alpha"}, {"big.bin", big}, {"empty", ""}}));
    EXPECT_EQ(ReadFile(Path("out\\a.txt")), "alpha") << m;
    EXPECT_EQ(ReadFile(Path("out\\big.bin")), big) << m;
    EXPECT_EQ(ReadFile(Path("out\\empty")), "") << m;
  }
}

TEST_F(Expansion, DatesAndAttributesAreSet) {
  Expand(ArchiveOf(coLZH5, {{"h.txt", "hidden", plat::kAttrHidden | plat::kAttrArchive}, {"r.txt", "ro", plat::kAttrReadOnly}}));
  EXPECT_EQ(plat::GetFileAttributes(Path("out\\h.txt")), uint32_t{plat::kAttrHidden | plat::kAttrArchive});
  uint32_t wineArchive = RunningUnderWine() ? uint32_t{plat::kAttrArchive} : 0u;  // Wine keeps the archive bit of files
  EXPECT_EQ(plat::GetFileAttributes(Path("out\\r.txt")) & ~wineArchive, uint32_t{plat::kAttrReadOnly});
  auto f = plat::OpenFile(Path("out\\h.txt"), plat::Access::Read, plat::Share::DenyNone, plat::Disposition::OpenExisting);
  EXPECT_EQ(f->GetDosDateTime(), 0x2A4320A3u);
  plat::SetFileAttributes(Path("out\\r.txt"), plat::kAttrNormal);
}

TEST_F(Expansion, TargetPaths) {
  ASSERT_TRUE(plat::SetCurrentDirectory(Base()));
  vellox.SetTargetPath("");
  Expand(ArchiveOf(coLZH5, {{"rel.txt", "1"}, {"\\rooted.txt", "2"}}));
  EXPECT_EQ(ReadFile(Path("rel.txt")), "1");            // relative to the current directory
  EXPECT_EQ(ReadFile(Base().substr(0, 3) + "rooted.txt"), "2");  // from the root of the current drive
  vellox.SetTargetPath(Path("out"));
  Expand(ArchiveOf(coLZH5, {{"\\rooted2.txt", "3"}}));
  EXPECT_EQ(ReadFile(Base().substr(0, 3) + "rooted2.txt"), "3");  // whatever TargetPath holds
}

TEST_F(Expansion, CheckFileRenamesSkipsAndStops) {
  std::string a = ArchiveOf(coLZH5, {{"1", "one"}, {"2", "two"}, {"3", "three"}, {"4", "four"}});
  int seen = 0;
  vellox.OnCheckFile = [&](std::string& path, TCProcessMode mode) {
    EXPECT_EQ(mode, 1);
    if (++seen == 3) path = "*";
  };
  std::vector<std::string> list{"1", "2", "3", "4"};
  Expand(a, &list);
  EXPECT_EQ(list, (std::vector<std::string>{Path("out\\1"), Path("out\\2")}));
  EXPECT_FALSE(Exists(Path("out\\3")));

  vellox.OnCheckFile = [](std::string& path, TCProcessMode) { path.clear(); };
  list = {"1", "2"};
  plat::CreateDirectory(Path("none"));
  vellox.SetTargetPath(Path("none"));
  Expand(a, &list);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(plat::FindFiles(Path("none\\*.*"), 0).empty());

  vellox.OnCheckFile = [&](std::string& path, TCProcessMode) { path = Path("renamed-") + path.substr(path.size() - 1); };
  Expand(a);
  EXPECT_EQ(ReadFile(Path("renamed-4")), "four");
}

TEST_F(Expansion, SelectionListFoldsCaseAndReturnsFullPaths) {
  std::string a = ArchiveOf(coLZH5, {{"Docs\\Read.ME", "r"}, {"other", "o"}, {"third", "t"}});
  vellox.MakeDirectories = true;
  std::vector<std::string> list{"docs\\read.me", "THIRD"};
  Expand(a, &list);
  EXPECT_EQ(list, (std::vector<std::string>{Path("out\\Docs\\Read.ME"), Path("out\\third")}));
  EXPECT_FALSE(Exists(Path("out\\other")));
  std::vector<std::string> empty;
  Expand(a, &empty);
  EXPECT_TRUE(empty.empty());
}

TEST_F(Expansion, ExistingFilesAreReplacedButReadOnlyOnesAreNot) {
  WriteFile(Path("out\\x"), "old content");
  Expand(ArchiveOf(coLZH5, {{"x", "new"}}));
  EXPECT_EQ(ReadFile(Path("out\\x")), "new");
  if (RunningUnderWine()) GTEST_SKIP() << "Wine as root writes read-only files";
  plat::SetFileAttributes(Path("out\\x"), plat::kAttrReadOnly);
  Expand(ArchiveOf(coLZH5, {{"x", "newer"}, {"y", "why"}}));  // skipped, the rest goes on
  EXPECT_EQ(ReadFile(Path("out\\x")), "new");
  EXPECT_EQ(ReadFile(Path("out\\y")), "why");
  vellox.ExceptionOnFileError = true;
  EXPECT_THROW(Expand(ArchiveOf(coLZH5, {{"x", "newer"}})), EFCreateError);
  plat::SetFileAttributes(Path("out\\x"), plat::kAttrNormal);
}

TEST_F(Expansion, ChecksumsAndKeys) {
  // A stored member's checksum is never tested.
  std::string stored = ArchiveOf(coNone, {{"n", "plain"}});
  stored[HeaderAt(stored, 0) + 17] ^= 0x55;
  EXPECT_NO_THROW(Expand(stored));

  std::string coded = ArchiveOf(coLZH5, {{"c", std::string(500, 'c') + "coded data"}});
  coded[HeaderAt(coded, 0) + 17] ^= 0x55;
  try {
    Expand(coded);
    FAIL();
  } catch (const EBadChecksum& e) {
    EXPECT_STREQ(e.what(), "Bad checksum during expansion -- data may be invalid");
  }
  EXPECT_TRUE(Exists(Path("out\\c")));  // the written file stays

  std::string locked = ArchiveOf(coLZH5, {{"k", std::string(3000, 'k') + "locked"}}, 0x1234567);
  for (int32_t key : {0, 99}) {
    vellox.KeyValue = key;
    try {
      Expand(locked);
      FAIL() << key;
    } catch (const EInvalidKey& e) {
      EXPECT_STREQ(e.what(), "File locked -- valid key required");
    }
    EXPECT_FALSE(Exists(Path("out\\k"))) << key;
  }
  vellox.KeyValue = 0x1234567;
  Expand(locked);
  EXPECT_EQ(ReadFile(Path("out\\k")), std::string(3000, 'k') + "locked");
}

TEST_F(Expansion, CustomMembersGoThroughOnExpand) {
  std::string a = ArchiveOf(coNone, {{"c", "abc"}});
  a[HeaderAt(a, 0) + 16] = coCustom;
  size_t sum = HeaderAt(a, 0) + 17;
  for (int i = 0; i < 4; ++i) a[sum + i] = 0;
  EXPECT_NO_THROW(Expand(a));  // no handler: an empty file, and a stored checksum of 0 matches
  EXPECT_EQ(ReadFile(Path("out\\c")), "");
  a[sum] = 7;
  EXPECT_THROW(Expand(a), EBadChecksum);
  vellox.OnExpand = [](Stream& dest, Stream& source, int32_t sourceSize, int32_t destSize, const std::string& id,
                       int32_t& checksum) {
    EXPECT_EQ(id, "NON");
    std::string in(static_cast<size_t>(sourceSize), '\0');
    source.Read(in.data(), sourceSize);
    EXPECT_EQ(destSize, 3);
    dest.WriteAll("\x01\x02\x04", 3);
    checksum = 7;
  };
  Expand(a);
  EXPECT_EQ(ReadFile(Path("out\\c")), "\x01\x02\x04");
}

TEST_F(Expansion, EmptyMembersAfterTheTotalAreStillWritten) {
  Expand(ArchiveOf(coLZH5, {{"data", "12345"}, {"empty1", ""}, {"empty2", ""}}));
  EXPECT_TRUE(Exists(Path("out\\empty1")));
  EXPECT_TRUE(Exists(Path("out\\empty2")));
  Expand(ArchiveOf(coLZH5, {{"only-empty", ""}}));
  EXPECT_TRUE(Exists(Path("out\\only-empty")));
}

TEST_F(Expansion, TheTotalEndsTheMembers) {
  std::string a = ArchiveOf(coNone, {{"a", "1"}, {"b", "2"}});
  a[8] = 1;  // TotalSize 1: the second member is past it
  Expand(a);
  EXPECT_TRUE(Exists(Path("out\\a")));
  EXPECT_FALSE(Exists(Path("out\\b")));
}

TEST_F(Expansion, FoldersAreMadeWhenAsked) {
  std::string a = ArchiveOf(coLZH5, {{"x\\y\\z.txt", "deep"}, {"top", "t"}});
  Expand(a);  // no folders made: the member cannot be created and is skipped
  EXPECT_FALSE(Exists(Path("out\\x")));
  EXPECT_EQ(ReadFile(Path("out\\top")), "t");
  vellox.ExceptionOnFileError = true;
  EXPECT_THROW(Expand(a), EFCreateError);
  vellox.MakeDirectories = true;
  Expand(a);
  EXPECT_EQ(ReadFile(Path("out\\x\\y\\z.txt")), "deep");
}

TEST_F(Expansion, FreeSpaceCountsTheFileItReplaces) {
  constexpr int64_t kMore = INT64_MAX;  // more than is free: the file it replaces counts
  EXPECT_EQ(vellox.FreeSpaceFor(Path("out\\none"), kMore), INT64_MAX);
  vellox.CheckSpaceBeforeExpand = true;
  WriteFile(Path("out\\big"), std::string(4 << 20, 'b'));
  int64_t without = vellox.FreeSpaceFor(Path("out\\none"), kMore);
  int64_t with = vellox.FreeSpaceFor(Path("out\\big"), kMore);
  EXPECT_LT(without, INT64_MAX);
  EXPECT_NEAR(static_cast<double>(with - without), 4 << 20, 1 << 20);
  // Free room enough on its own: the target is not looked up.
  EXPECT_NEAR(static_cast<double>(vellox.FreeSpaceFor(Path("out\\big"), 1) - without), 0, 1 << 20);
  EXPECT_EQ(vellox.FreeSpaceFor("Q:\\nowhere", kMore), INT64_MAX);  // unknown: unlimited
  EXPECT_NO_THROW(Expand(ArchiveOf(coLZH5, {{"fits", "x"}})));
}

TEST_F(Expansion, ForceDirectoryPath) {
  TVellox::ForceDirectoryPath(Path("p\\q\\r\\"));
  EXPECT_NE(plat::GetFileAttributes(Path("p\\q\\r")) & plat::kAttrDirectory, 0u);
  EXPECT_NO_THROW(TVellox::ForceDirectoryPath("c:"));
  WriteFile(Path("file"), "");
  EXPECT_THROW(TVellox::ForceDirectoryPath(Path("file\\sub")), EInOutError);
}

TEST_F(Expansion, UnshrinkableMembersAreStored) {
  std::string noise(4000, '\0');
  uint32_t x = 5;
  for (auto& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  std::string a = ArchiveOf(coLZH5, {{"noise", noise}, {"text", std::string(4000, 't')}});
  EXPECT_EQ(static_cast<uint8_t>(a[HeaderAt(a, 0) + 16]), coNone);
  EXPECT_EQ(static_cast<uint8_t>(a[HeaderAt(a, 1) + 16]), coLZH5);
  Expand(a);
  EXPECT_EQ(ReadFile(Path("out\\noise")), noise);
}

}  // namespace
}  // namespace tovin::test
