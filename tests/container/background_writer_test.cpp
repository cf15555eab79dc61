#include "container/background_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tovin::test {
namespace {

// Fails once it holds `failAfter` bytes, as a full disk would.
class FailingStream final : public Stream {
 public:
  explicit FailingStream(size_t failAfter) : failAfter_(failAfter) {}
  int64_t Read(void*, int64_t) override { return 0; }
  void WriteAll(const void* buffer, int64_t count) override {
    if (data.size() + static_cast<size_t>(count) > failAfter_) throw std::runtime_error("disk full");
    data.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
  }
  int64_t Seek(int64_t, int) override { return static_cast<int64_t>(data.size()); }
  int64_t Size() override { return static_cast<int64_t>(data.size()); }
  std::string data;

 private:
  size_t failAfter_;
};

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919) >> 5);
  return s;
}

struct Writes {
  const char* name;
  size_t total, chunk;
};

class BackgroundWriterOrder : public ::testing::TestWithParam<Writes> {};

// Bytes arrive whole and in order for writes smaller, equal and larger than a buffer and
// ending anywhere in one.
TEST_P(BackgroundWriterOrder, EveryByteArrivesInOrder) {
  const Writes& w = GetParam();
  std::string data = Pattern(w.total);
  MemoryStream target;
  BackgroundWriter writer(target);
  for (size_t at = 0; at < data.size(); at += w.chunk)
    writer.WriteAll(data.data() + at, static_cast<int64_t>(std::min(w.chunk, data.size() - at)));
  EXPECT_EQ(writer.Size(), static_cast<int64_t>(w.total));
  writer.Finish();
  EXPECT_EQ(target.Data(), data);
}

constexpr size_t kBuf = BackgroundWriter::kBufferSize;
INSTANTIATE_TEST_SUITE_P(Sizes, BackgroundWriterOrder,
                         ::testing::Values(Writes{"Nothing", 0, 1}, Writes{"OneByte", 1, 1},
                                           Writes{"SmallChunksAcrossBuffers", 3 * kBuf + 5, 8191},
                                           Writes{"ExactlyTwoBuffers", 2 * kBuf, kBuf},
                                           Writes{"ChunksLargerThanABuffer", 5 * kBuf + 3, 2 * kBuf + 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackgroundWriter, AWriteErrorComesBackFromFinish) {
  FailingStream target(10);
  BackgroundWriter writer(target);
  std::string data = Pattern(100);
  writer.WriteAll(data.data(), 100);  // still in the buffer
  EXPECT_THROW(writer.Finish(), std::runtime_error);
}

TEST(BackgroundWriter, AWriteErrorStopsLaterWrites) {
  FailingStream target(kBuf / 2);
  BackgroundWriter writer(target);
  std::string data = Pattern(kBuf);
  // The first full buffer fails on the thread; a later hand-over reports it.
  EXPECT_THROW(
      {
        for (int i = 0; i < 4; ++i) writer.WriteAll(data.data(), static_cast<int64_t>(data.size()));
      },
      std::runtime_error);
  EXPECT_TRUE(target.data.empty());
}

TEST(BackgroundWriter, DestroyedWithoutFinishStopsTheThread) {
  MemoryStream target;
  {
    BackgroundWriter writer(target);
    std::string data = Pattern(2 * kBuf + 7);
    writer.WriteAll(data.data(), static_cast<int64_t>(data.size()));
  }
  // Only whole buffers handed over can have been written; the rest is dropped.
  EXPECT_LE(target.Data().size(), 2 * kBuf);
  EXPECT_EQ(target.Data().size() % kBuf, 0u);
}

}  // namespace
}  // namespace tovin::test
