// A member's expanded size is a claim its stored data must back: input that ends before the
// claim is met, or that gives more, is refused at once instead of writing what was claimed.
#include <gtest/gtest.h>

#include "codec/codec_errors.h"
#include "codec/run_codec.h"
#include "platform/stream.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

constexpr int32_t kTwoGiB = 2147483647;

struct Outcome {
  std::string message;  // empty when no error was raised
  size_t written = 0;   // what reached the output stream, error or not
};

Outcome DecodeClaim(TPackMethod method, const std::string& stream, int32_t size,
                    const TShowProgressEvent& progress = {}) {
  MemoryStream in(stream), out;
  PlainCodecOwner owner(0, progress);
  Outcome o;
  uint32_t sum = 0;
  try {
    RunCodec(owner, out, in, false, kExpand, method, size, static_cast<int32_t>(stream.size()), sum);
  } catch (const ECorruptData& e) {
    o.message = e.what();
  }
  o.written = out.Data().size();
  return o;
}

std::string Sample() { return Text(5000) + RandomBytes(3000, 7); }

class ClaimedSize : public ::testing::TestWithParam<TPackMethod> {};

TEST_P(ClaimedSize, NoStoredDataClaimingTwoGiBFailsAtOnce) {
  Outcome o = DecodeClaim(GetParam(), "", kTwoGiB);
  EXPECT_EQ(o.message, kMsgDataEndsEarly);
  EXPECT_LE(o.written, 8192u);
}

TEST_P(ClaimedSize, RealDataClaimingMoreFailsAfterIt) {
  std::string data = Sample();
  std::string stream = Encode(GetParam(), data).bytes;
  // The decoders' look-ahead may still give a few symbols; a thousand bytes it cannot.
  for (int32_t claim : {static_cast<int32_t>(data.size()) + 1000, static_cast<int32_t>(data.size()) + 70000, kTwoGiB}) {
    Outcome o = DecodeClaim(GetParam(), stream, claim);
    EXPECT_EQ(o.message, kMsgDataEndsEarly) << claim;
    EXPECT_LE(o.written, data.size() + 1000) << claim;
  }
}

TEST_P(ClaimedSize, ExactClaimDecodes) {
  std::string data = Sample();
  Coded d = Decode(GetParam(), Encode(GetParam(), data).bytes, static_cast<int32_t>(data.size()));
  EXPECT_EQ(d.bytes, data);
  EXPECT_EQ(d.checksum, ByteSum(data));
}

// The setup's abort stops the input with -1: the member then runs on to its claimed size
// from zero bits (rle just stops), and no error is raised, as before.
TEST_P(ClaimedSize, InputStoppedByTheProgressHandlerIsNoDamage) {
  std::string data = Text(20000) + RandomBytes(20000, 3);
  std::string stream = Encode(GetParam(), data).bytes;
  ASSERT_GT(stream.size(), 8192u);
  int32_t claim = static_cast<int32_t>(data.size()) + 20000;
  Outcome o = DecodeClaim(GetParam(), stream, claim, [](int32_t& p) { p = -1; });
  EXPECT_EQ(o.message, "");
  if (GetParam() == coRLE) EXPECT_LT(o.written, data.size());
  else EXPECT_EQ(o.written, static_cast<size_t>(claim));
}

INSTANTIATE_TEST_SUITE_P(Methods, ClaimedSize, ::testing::Values(coLZH5, coLZH, coRLE));

// Nothing past the claim is written: lh5 and lzh cut a match that runs past it, rle (whose
// runs know no size) refuses the stream.
TEST(ClaimedSize, OutputPastTheClaimIsNeverWritten) {
  const char M = static_cast<char>(148);
  struct Case {
    TPackMethod method;
    std::string stream;
    int32_t claim;
    const char* message;  // empty: the first claim bytes are written and no more
  };
  const Case cases[] = {
      {coLZH5, Encode(coLZH5, std::string(1000, 'q')).bytes, 500, ""},
      {coLZH, Encode(coLZH, std::string(100, 'q')).bytes, 50, ""},
      {coRLE, std::string{'q', M, static_cast<char>(255)}, 10, kMsgDataTooLong},  // a run of 255 for 10
      {coRLE, "qqq", 2, kMsgDataTooLong},
      {coRLE, "q", -1, kMsgDataTooLong},  // a negative claim allows nothing
  };
  for (const auto& c : cases) {
    Outcome o = DecodeClaim(c.method, c.stream, c.claim);
    EXPECT_EQ(o.message, c.message) << c.method << " " << c.claim;
    if (o.message.empty()) EXPECT_EQ(o.written, static_cast<size_t>(c.claim)) << c.method;
    else EXPECT_LE(o.written, static_cast<size_t>(std::max(c.claim, 0))) << c.method << " " << c.claim;
  }
}

}  // namespace
}  // namespace tovin::test
