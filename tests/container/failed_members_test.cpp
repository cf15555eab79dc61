// A member that fails once its file is created: with DeleteFailedFiles nothing of it stays (a
// file it replaced is gone too); without, the partly written file stays as the setup expects.
#include <gtest/gtest.h>

#include <cctype>

#include "codec/codec_errors.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "platform/exception.h"
#include "tests/container/archive_bytes.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

const std::string kGood = "a member that is fine\n";
const std::string kData = [] {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i * 7919 % 10007) + " of the damaged member\n";
  return text;
}();

// Read-only members: a failed one must keep its attributes unless it is deleted.
std::string ReadOnlyArchiveOf(TPackMethod method, const NamedData& members) {
  return ArchiveOf(method, members, 0, plat::kAttrReadOnly);
}

// The three damages that used to leave a file looking complete: "good" is whole, "bad" fails.
std::string BadDecodeTable() {
  std::string a = ReadOnlyArchiveOf(coLZH5, {{"good", kGood}, {"bad", kData}});
  // One block whose first code table gives three symbols a 1-bit code: no prefix code can.
  const std::string table = {0x00, 0x01, 0x19, 0x24, 0x00, 0x00};
  a.replace(DataOf(a, "bad"), table.size(), table);
  return a;
}

std::string BadChecksum() {
  std::string a = ReadOnlyArchiveOf(coLZH5, {{"good", kGood}, {"bad", kData}});
  a[HeaderOf(a, "bad") + kChecksumAt] ^= 0x40;
  return a;
}

// The member's stored data lost its last bytes: it reads the next header as its own.
std::string StoredDataCutShort() {
  std::string a = ReadOnlyArchiveOf(coLZH5, {{"good", kGood}, {"bad", kData}, {"next", kGood}});
  size_t end = DataOf(a, "bad") + U32(a, HeaderOf(a, "bad") + kStoredSizeAt);
  return a.erase(end - 40, 40);
}

std::string StoredMemberCutAtTheEnd() {
  std::string a = ReadOnlyArchiveOf(coNone, {{"good", kGood}, {"bad", kData}});
  return a.substr(0, a.size() - 100);
}

struct Damage {
  const char* what;
  std::string (*make)();
  const char* message;  // nullptr: any error
};

const Damage kDamages[] = {
    {"bad decode table", BadDecodeTable, kMsgBadDecodeTable},
    {"bad checksum", BadChecksum, kMsgBadChecksum},
    {"stored data cut short", StoredDataCutShort, nullptr},
    {"stored member cut at the end", StoredMemberCutAtTheEnd, kMsgStreamReadError},
};

class FailedMembers : public MachineTest, public ::testing::WithParamInterface<Damage> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("out"));
    vellox.SetTargetPath(Path("out"));
  }
  void TearDown() override {
    for (const char* name : {"good", "bad"}) plat::SetFileAttributes(Path("out\\") + name, plat::kAttrNormal);
    MachineTest::TearDown();
  }
  // The message of the error the expansion ends in.
  std::string Expand() {
    WriteFile(Path("a.vlx"), GetParam().make());
    try {
      vellox.ExpandArchive(Path("a.vlx"));
    } catch (const Exception& e) {
      return e.what();
    }
    return "no error";
  }
  void ExpectFailure(const std::string& message) {
    if (GetParam().message) EXPECT_EQ(message, GetParam().message);
    else EXPECT_NE(message, "no error");
  }
  TVellox vellox;
};

TEST_P(FailedMembers, LeaveNoFileWhenAskedAndTheFileTheyReplacedIsGone) {
  vellox.DeleteFailedFiles = true;
  ExpectFailure(Expand());
  EXPECT_EQ(ReadFile(Path("out\\good")), kGood);
  EXPECT_FALSE(Exists(Path("out\\bad")));

  plat::SetFileAttributes(Path("out\\good"), plat::kAttrNormal);
  WriteFile(Path("out\\bad"), "an earlier file of the same name");
  ExpectFailure(Expand());
  EXPECT_FALSE(Exists(Path("out\\bad")));
}

TEST_P(FailedMembers, StayWithTheirAttributesByDefault) {
  ExpectFailure(Expand());
  ASSERT_TRUE(Exists(Path("out\\bad")));
  EXPECT_NE(plat::GetFileAttributes(Path("out\\bad")) & plat::kAttrReadOnly, 0u);
}

INSTANTIATE_TEST_SUITE_P(Damages, FailedMembers, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                           std::string name;
                           bool upper = true;
                           for (const char* c = info.param.what; *c; ++c) {
                             if (*c != ' ') name += upper ? static_cast<char>(std::toupper(*c)) : *c;
                             upper = *c == ' ';
                           }
                           return name;
                         });

// A member large enough to be written by a second thread: a good one arrives whole, and a bad
// one leaves, by default, every byte decoded before its checksum failed, as a small one does.
class LargeMember : public MachineTest {};

TEST_F(LargeMember, IsWrittenWholeAndKeepsWhatWasDecodedWhenItFails) {
  std::string big;
  for (int i = 0; big.size() < (3u << 20); ++i) big += "row " + std::to_string(i * 7919 % 100003) + " of a large member\n";
  std::string a = ReadOnlyArchiveOf(coLZH5, {{"big", big}, {"bad", big}});
  a[HeaderOf(a, "bad") + kChecksumAt] ^= 0x40;
  WriteFile(Path("a.vlx"), a);
  plat::CreateDirectory(Path("out"));
  TVellox vellox;
  vellox.SetTargetPath(Path("out"));
  EXPECT_THROW(vellox.ExpandArchive(Path("a.vlx")), EBadChecksum);
  EXPECT_EQ(ReadFile(Path("out\\big")), big);
  EXPECT_EQ(ReadFile(Path("out\\bad")), big);
  for (const char* name : {"big", "bad"}) plat::SetFileAttributes(Path("out\\") + name, plat::kAttrNormal);
}

}  // namespace
}  // namespace tovin::test
