// Damaged streams end in the defined error or in wrong bytes, never outside the tables (the
// sanitizer build runs these too).
#include <gtest/gtest.h>

#include "codec/codec_errors.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

// Decodes and reports whether the outcome was one of the defined ones: exactly the expanded
// size, or a defined error.
bool Survives(TPackMethod method, const std::string& stream, int32_t size) {
  try {
    Coded d = Decode(method, stream, size);
    return d.bytes.size() == static_cast<size_t>(size);
  } catch (const ELZHBadDecodeTable&) {
    return method == coLZH5;
  } catch (const ECorruptData&) {
    return true;
  }
}

class Damage : public ::testing::TestWithParam<TPackMethod> {};

// Raises one of the defined errors; false when the decoding ends without one.
bool Refused(TPackMethod method, const std::string& stream, int32_t size) {
  try {
    Decode(method, stream, size);
  } catch (const ELZHBadDecodeTable&) {
    return method == coLZH5;
  } catch (const ECorruptData&) {
    return true;
  }
  return false;
}

TEST_P(Damage, EveryTruncation) {
  std::string data = Text(3000) + RandomBytes(500, 2) + std::string(700, 'r');
  std::string stream = Encode(GetParam(), data).bytes;
  int32_t size = static_cast<int32_t>(data.size());
  for (size_t cut = 0; cut < stream.size(); ++cut) {
    // Three bytes hold more than the decoders may read past their input.
    if (cut + 3 <= stream.size()) ASSERT_TRUE(Refused(GetParam(), stream.substr(0, cut), size)) << cut;
    else ASSERT_TRUE(Survives(GetParam(), stream.substr(0, cut), size)) << cut;
  }
}

TEST_P(Damage, BitFlips) {
  std::string data = Text(6000) + RandomBytes(1500, 4);
  std::string stream = Encode(GetParam(), data).bytes;
  uint32_t x = 99;
  int caught = 0;
  for (int i = 0; i < 3000; ++i) {
    x = x * 1664525u + 1013904223u;
    std::string bad = stream;
    size_t bit = (x >> 8) % (bad.size() * 8);
    bad[bit / 8] = static_cast<char>(bad[bit / 8] ^ (1 << (bit % 8)));
    ASSERT_TRUE(Survives(GetParam(), bad, static_cast<int32_t>(data.size()))) << i;
    try {
      if (Decode(GetParam(), bad, static_cast<int32_t>(data.size())).checksum != ByteSum(data)) ++caught;
    } catch (const ELZHBadDecodeTable&) {
      ++caught;
    } catch (const ECorruptData&) {
      ++caught;
    }
  }
  EXPECT_GT(caught, 2900);  // the checksum or the table test notices nearly every flip
}

TEST_P(Damage, RandomInput) {
  for (uint32_t seed = 1; seed < 400; ++seed) {
    std::string noise = RandomBytes(seed * 7 % 3000, seed);
    ASSERT_TRUE(Survives(GetParam(), noise, static_cast<int32_t>(seed * 37 % 20000))) << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, Damage, ::testing::Values(coLZH5, coLZH, coRLE));

}  // namespace
}  // namespace tovin::test
