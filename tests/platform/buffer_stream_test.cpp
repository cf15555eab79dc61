// A stream over large-page memory must behave byte for byte as the string-backed one: the
// decoders and the container see only the Stream interface.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace tovin {
namespace {

struct Step {
  enum Kind { Write, Read, Seek } kind;
  int64_t amount;  // bytes to write or read, or the seek offset
  int origin = kSeekBegin;
};

struct Case {
  const char* name;
  size_t initial;  // capacity the buffer starts with
  std::vector<Step> steps;
};

std::vector<uint8_t> Pattern(int64_t n, int64_t salt) {
  std::vector<uint8_t> v(static_cast<size_t>(n));
  for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 131 + static_cast<size_t>(salt)) >> 3);
  return v;
}

// What each step answers, in one string, so that a difference shows where it starts.
std::string Replay(Stream& s, const std::vector<Step>& steps) {
  std::string account;
  int64_t salt = 0;
  for (const Step& step : steps) {
    switch (step.kind) {
      case Step::Write: {
        auto bytes = Pattern(step.amount, ++salt);
        s.WriteAll(bytes.data(), step.amount);
        break;
      }
      case Step::Read: {
        std::vector<uint8_t> got(static_cast<size_t>(step.amount) + 1);
        int64_t n = s.Read(got.data(), step.amount);
        account += "read " + std::to_string(n) + ":";
        account.append(reinterpret_cast<const char*>(got.data()), static_cast<size_t>(n < 0 ? 0 : n));
        break;
      }
      case Step::Seek:
        account += "seek " + std::to_string(s.Seek(step.amount, step.origin));
        break;
    }
    account += " size " + std::to_string(s.Size()) + ";";
  }
  s.Seek(0, kSeekBegin);
  std::vector<uint8_t> all(static_cast<size_t>(s.Size()));
  account += "whole " + std::to_string(s.Read(all.data(), s.Size()));
  account.append(reinterpret_cast<const char*>(all.data()), all.size());
  return account;
}

constexpr int64_t kMiB = 1 << 20;
const Case kCases[] = {
    {"Empty", 0, {{Step::Read, 10}, {Step::Seek, 0, kSeekEnd}, {Step::Seek, -1}}},
    {"WriteThenReadBack", 0, {{Step::Write, 300}, {Step::Seek, 7}, {Step::Read, 50}, {Step::Read, 1000}}},
    {"GapLeftBySeekReadsAsZeros", 16, {{Step::Write, 5}, {Step::Seek, 100}, {Step::Write, 3}, {Step::Seek, 0}, {Step::Read, 200}}},
    {"OverwriteInTheMiddle", 0, {{Step::Write, 64}, {Step::Seek, -40, kSeekCurrent}, {Step::Write, 10}, {Step::Read, 100}}},
    {"GrowsPastLargePages", 1000, {{Step::Write, kMiB - 10}, {Step::Write, 3 * kMiB}, {Step::Seek, kMiB - 20}, {Step::Read, 64}}},
    {"LargeFromTheStart", 5 * kMiB, {{Step::Write, 5 * kMiB}, {Step::Seek, -5, kSeekEnd}, {Step::Read, 10}, {Step::Write, 1}}},
    {"SeekFromEnd", 0, {{Step::Write, 20}, {Step::Seek, -30, kSeekEnd}, {Step::Seek, 5, kSeekEnd}, {Step::Write, 1}}},
};

class BufferStreamTest : public ::testing::TestWithParam<Case> {};

TEST_P(BufferStreamTest, AnswersAsTheStringStreamDoes) {
  MemoryStream memory;
  BufferStream buffer{LargeBuffer(GetParam().initial)};
  EXPECT_EQ(Replay(buffer, GetParam().steps), Replay(memory, GetParam().steps));
  // Handing the bytes over keeps them and leaves the stream empty.
  int64_t size = buffer.Size();
  LargeBuffer taken = buffer.Release();
  EXPECT_EQ(static_cast<int64_t>(taken.Size()), size);
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(taken.Data()), taken.Size()), memory.Data());
}

INSTANTIATE_TEST_SUITE_P(Steps, BufferStreamTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovin
