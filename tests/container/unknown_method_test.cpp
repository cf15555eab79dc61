// A member of a method no reader knows is damage: its stored bytes are not data any method
// consumes, so nothing after it can be trusted to start where its header says.
#include <gtest/gtest.h>

#include "container/archive_format.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

std::string MemberOf(const std::string& name, const std::string& stored, uint8_t method, int32_t expanded) {
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(name.size());
  h.ExpandedSize = expanded;
  h.StoredSize = static_cast<int32_t>(stored.size());
  h.Method = method;
  return SerializeMemberHeader(h) + name + stored;
}

struct Unknown {
  uint8_t method;
  int32_t expanded;  // of the unknown member; 0 lets a checksum of 0 pass as the sum of nothing
};

void PrintTo(const Unknown& u, std::ostream* os) { *os << "method " << int(u.method) << ", size " << u.expanded; }

class UnknownMethod : public MachineTest, public ::testing::WithParamInterface<std::tuple<Unknown, bool>> {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    plat::CreateDirectory(Path("out"));
    vellox.SetTargetPath(Path("out"));
  }
  TVellox vellox;
};

TEST_P(UnknownMethod, FailsAtTheMemberAndWritesNothingHiddenInIt) {
  auto [unknown, testOnly] = GetParam();
  // The unknown member's stored bytes are a whole member of their own.
  std::string hidden = MemberOf("hidden.txt", "not a member of this archive", coNone, 28);
  TArchiveHeader a;
  a.TotalSize = 1000;
  WriteFile(Path("a.vlx"), SerializeArchiveHeader(a) + MemberOf("first.txt", "first", coNone, 5) +
                               MemberOf("odd.bin", hidden, unknown.method, unknown.expanded) +
                               MemberOf("last.txt", "last", coNone, 4));
  std::vector<std::string> selection = {"first.txt", "odd.bin", "hidden.txt", "last.txt"};
  vellox.TestOnly = testOnly;
  std::string message;
  try {
    vellox.ExpandArchive(Path("a.vlx"), &selection);
  } catch (const EUnrecognizedCompressionMethod& e) {
    message = e.what();
  }
  EXPECT_EQ(message, "Unrecognized compression method: " + std::to_string(unknown.method) + " in member header");
  EXPECT_EQ(Exists(Path("out\\first.txt")), !testOnly);
  for (const char* name : {"odd.bin", "hidden.txt", "last.txt"}) EXPECT_FALSE(Exists(Path("out\\") + name)) << name;
}

INSTANTIATE_TEST_SUITE_P(Ordinals, UnknownMethod,
                         ::testing::Combine(::testing::Values(Unknown{5, 0}, Unknown{88, 0}, Unknown{200, 0},
                                                              Unknown{255, 0}, Unknown{200, 77}),
                                            ::testing::Bool()));

TEST(UnknownMethodMember, ExpandMemberRefusesItAlone) {
  TVellox vellox;
  MemoryStream in("stored bytes"), out;
  try {
    vellox.ExpandMember(out, in, 12, 0, 0, 200, "NON", kLockOpen);
    ADD_FAILURE() << "no error";
  } catch (const EUnrecognizedCompressionMethod& e) {
    EXPECT_STREQ(e.what(), "Unrecognized compression method: 200 in member header");
  }
  EXPECT_EQ(out.Size(), 0);
}

}  // namespace
}  // namespace tovin::test
