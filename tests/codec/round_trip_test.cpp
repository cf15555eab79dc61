// Every method, both directions, over a range of inputs, with and without a key.
#include <gtest/gtest.h>

#include "codec/codec_errors.h"
#include "codec/run_codec.h"
#include "platform/stream.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

struct MethodCase {
  TPackMethod method;
  const char* name;
};

class RoundTrip : public ::testing::TestWithParam<MethodCase> {};

TEST_P(RoundTrip, EverySampleComesBackWhole) {
  for (int32_t key : {0, 0x5A17C3E9}) {
    for (const auto& s : Samples()) {
      Coded e = Encode(GetParam().method, s.data, key);
      EXPECT_EQ(e.checksum, ByteSum(s.data)) << s.name;
      Coded d = Decode(GetParam().method, e.bytes, static_cast<int32_t>(s.data.size()), key);
      EXPECT_EQ(d.checksum, ByteSum(s.data)) << s.name;
      ASSERT_EQ(d.bytes.size(), s.data.size()) << s.name << " key " << key;
      EXPECT_TRUE(d.bytes == s.data) << s.name << " key " << key;
    }
  }
}

TEST_P(RoundTrip, TheKeyScramblesOnlyTheCompressedBytes) {
  std::string data = Text(20000);
  Coded plain = Encode(GetParam().method, data);
  Coded keyed = Encode(GetParam().method, data, 0x01020304);
  ASSERT_EQ(plain.bytes.size(), keyed.bytes.size());
  for (size_t i = 0; i < plain.bytes.size(); ++i)
    ASSERT_EQ(static_cast<uint8_t>(plain.bytes[i] ^ keyed.bytes[i]), 4 - i % 4) << i;  // key bytes LSB first
  EXPECT_EQ(plain.checksum, keyed.checksum);
  // Not unscrambled when the member is not marked as scrambled.
  EXPECT_EQ(Decode(GetParam().method, plain.bytes, 20000, 0x01020304, false).bytes, data);
}

TEST_P(RoundTrip, DecodingLeavesTheSourceAtTheEndOfTheMember) {
  for (const auto& s : Samples()) {
    if (s.data.empty()) continue;
    Coded e = Encode(GetParam().method, s.data);
    MemoryStream in(e.bytes + "NEXT MEMBER HEADER"), out;
    PlainCodecOwner owner;
    uint32_t sum = 0;
    RunCodec(owner, out, in, false, kExpand, GetParam().method, static_cast<int32_t>(s.data.size()),
             static_cast<int32_t>(e.bytes.size()), sum);
    EXPECT_EQ(in.Position(), static_cast<int64_t>(e.bytes.size())) << s.name;
  }
}

TEST_P(RoundTrip, CompressingIntoTheBudgetOfTheInputSize) {
  std::string noise = RandomBytes(5000, 9);
  MemoryStream in(noise), out;
  PlainCodecOwner owner;
  uint32_t sum = 0;
  try {
    RunCodec(owner, out, in, false, kCompress, GetParam().method, 0, 5000, sum);
    FAIL() << "random data fit into its own size";
  } catch (const EUnableToCompress& e) {
    EXPECT_STREQ(e.what(), "Could not compress data");
  }
  std::string text = Text(2500) + std::string(2500, 'z');
  MemoryStream in2(text), out2;
  int32_t size = RunCodec(owner, out2, in2, false, kCompress, GetParam().method, 0, 5000, sum);
  EXPECT_EQ(size, static_cast<int32_t>(out2.Data().size()));
  EXPECT_LT(size, 5000);
  EXPECT_EQ(sum, ByteSum(text));
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip,
                         ::testing::Values(MethodCase{coLZH5, "lh5"}, MethodCase{coLZH, "lzh"},
                                           MethodCase{coRLE, "rle"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunCodecCall, OtherMethodsProduceNothing) {
  for (uint8_t method : {0, 3, 5, 255}) {
    MemoryStream in("abc"), out;
    PlainCodecOwner owner;
    uint32_t sum = 1;
    RunCodec(owner, out, in, false, kExpand, method, 3, 3, sum);
    EXPECT_EQ(out.Data(), "");
    EXPECT_EQ(sum, 0u);
  }
}

TEST(RunCodecCall, ProgressIsReportedPerChunkAndCanStopTheInput) {
  std::string data = RandomBytes(30000, 5);
  Coded e = Encode(coLZH5, data);
  ASSERT_GT(e.bytes.size(), 3u * 8192);
  std::vector<int32_t> seen;
  Decode(coLZH5, e.bytes, 30000, 0, false, [&](int32_t& p) { seen.push_back(p); });
  ASSERT_EQ(seen.size(), (e.bytes.size() + 8191) / 8192);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_EQ(seen.front(), static_cast<int32_t>(8192 * 100 / e.bytes.size()));

  seen.clear();
  Decode(coLZH5, Encode(coLZH5, "small").bytes, 5, 0, false, [&](int32_t& p) { seen.push_back(p); });
  EXPECT_EQ(seen, std::vector<int32_t>{100});

  // -1 on the second chunk: decoding goes on from zero bits and still gives the full size.
  int calls = 0;
  Coded stopped = Decode(coLZH5, e.bytes, 30000, 0, false, [&](int32_t& p) {
    if (++calls == 2) p = -1;
  });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(stopped.bytes.size(), 30000u);
  EXPECT_EQ(stopped.bytes.substr(0, 8000), data.substr(0, 8000));
  EXPECT_NE(stopped.bytes, data);
}

}  // namespace
}  // namespace tovin::test
