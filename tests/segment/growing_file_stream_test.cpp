// A file read while it is filled must answer every read and seek as the finished file would,
// fill only as far as a read needs, and keep a writer's failure for every read that needs more.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "segment/growing_file_stream.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

struct Step {
  int64_t seek;  // where to seek first (from the start), or -1 to read on
  int64_t read;
};

struct Case {
  const char* name;
  int64_t size;
  int64_t step;  // bytes the writer adds beyond what a fill asks for
  std::vector<Step> steps;
  int64_t filledAfter;  // what the file holds after the last step
};

const Case kCases[] = {
    {"ReadsInOrder", 1000, 0, {{-1, 10}, {-1, 90}, {-1, 400}}, 500},
    {"FillsAStepAhead", 1000, 64, {{-1, 10}, {-1, 10}, {-1, 100}}, 184},
    {"SeekBackThenPastTheFilledEnd", 1000, 0, {{600, 50}, {0, 20}, {640, 30}}, 670},
    {"SeekPastTheEndReadsNothing", 100, 0, {{150, 10}, {90, 50}}, 100},
    {"OneReadOfEverything", 5000, 7, {{-1, 1 << 20}}, 5000},
    {"EmptyFile", 0, 0, {{-1, 10}, {0, 1}}, 0},
};

class GrowingFile : public MachineTest, public ::testing::WithParamInterface<Case> {
 protected:
  std::string Content(int64_t size) {
    std::string s;
    for (int64_t i = 0; i < size; ++i) s += static_cast<char>(i * 7 % 251);
    return s;
  }
};

TEST_P(GrowingFile, AnswersAsTheFinishedFileAndFillsOnlyWhatIsRead) {
  const Case& c = GetParam();
  std::string all = Content(c.size);
  FileStream file(Path("work"), FileStream::Mode::Create);
  int64_t written = 0;
  GrowingFileStream growing(file, c.size, [&](int64_t upTo) {
    int64_t to = std::min(c.size, upTo + c.step);
    file.WriteAll(all.data() + written, to - written);  // at the file's position: the filled end
    written = to;
    return written;
  });
  MemoryStream finished(all);
  for (const Step& s : c.steps) {
    if (s.seek >= 0) {
      EXPECT_EQ(growing.Seek(s.seek, kSeekBegin), finished.Seek(s.seek, kSeekBegin));
    }
    std::string a(static_cast<size_t>(s.read), '\0'), b = a;
    int64_t n = growing.Read(a.data(), s.read);
    ASSERT_EQ(n, finished.Read(b.data(), s.read));
    EXPECT_EQ(a.substr(0, static_cast<size_t>(n)), b.substr(0, static_cast<size_t>(n)));
    EXPECT_EQ(growing.Position(), finished.Position());
    EXPECT_EQ(growing.Size(), c.size);
  }
  EXPECT_EQ(growing.Filled(), c.filledAfter);
  growing.Finish();
  EXPECT_EQ(written, c.size);
  EXPECT_EQ(file.Size(), c.size);
}

INSTANTIATE_TEST_SUITE_P(Table, GrowingFile, ::testing::ValuesIn(kCases), [](const auto& info) { return info.param.name; });

class GrowingFileFailure : public MachineTest {};

TEST_F(GrowingFileFailure, StaysAndWhatWasFilledStaysReadable) {
  FileStream file(Path("work"), FileStream::Mode::Create);
  int calls = 0;
  GrowingFileStream growing(file, 100, [&](int64_t upTo) {
    if (++calls > 1) throw std::runtime_error("segment missing");
    file.WriteAll(std::string(40, 'a').data(), 40);
    (void)upTo;
    return int64_t{40};
  });
  char buffer[100];
  EXPECT_EQ(growing.Read(buffer, 30), 30);
  EXPECT_THROW(growing.Read(buffer, 30), std::runtime_error);
  growing.Seek(39, kSeekBegin);
  EXPECT_THROW(growing.Read(buffer, 2), std::runtime_error);  // raised again, not tried again
  EXPECT_EQ(calls, 2);
  growing.Seek(5, kSeekBegin);
  EXPECT_EQ(growing.Read(buffer, 35), 35);
  EXPECT_EQ(std::string(buffer, 35), std::string(35, 'a'));
}

}  // namespace
}  // namespace tovin::test
