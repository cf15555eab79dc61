// Segment numbers are 16 bits: a set that runs on past segment 65535 ends with an error
// instead of wrapping to segment 0 and reading on for ever.
#include <gtest/gtest.h>

#include "tests/segment/segment_fixture.h"

namespace tovin::test {
namespace {

using SegmentNumbers = SegmentTest;

std::string SegmentOnly(uint16_t number) {
  TSegIdHeader id;
  id.SegNumber = number;
  return Serialize(id);
}

// Segments 65530 to 65535 hold nothing past their IDs (opened directly, the first one's ID
// is read as data): reading on asks for each of them in turn and then for no other.
TEST_F(SegmentNumbers, TheLastNumberIsFollowedByNone) {
  for (unsigned n = 65530; n <= 65535; ++n)
    WriteFile(Path("pkg\\tovinsetup." + std::to_string(n)), SegmentOnly(static_cast<uint16_t>(n)));
  std::vector<unsigned> asked;
  seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t n) { asked.push_back(n); };
  seg.OpenSegment(65530);
  uint8_t bytes[kSegIdSize + 1] = {};
  EXPECT_EQ(Message([&] { seg.ReadSegmentData(bytes, kSegIdSize + 1); }), kMsgTooManySegments);
  EXPECT_EQ(asked, (std::vector<unsigned>{65530, 65531, 65532, 65533, 65534, 65535}));
  EXPECT_EQ(seg.SegNumber(), 65535);
}

}  // namespace
}  // namespace tovin::test
