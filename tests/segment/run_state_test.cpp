// The reader's run state as a host sees it, the abort request, and what a failed run puts back.
#include <gtest/gtest.h>

#include "container/vellox_errors.h"
#include "tests/segment/segment_fixture.h"

namespace tovin::test {
namespace {

class RunState : public SegmentTest {
 protected:
  // Two archives over several segments.
  std::vector<std::string> WriteTwo() {
    return Write({Arc(Path("first\\a.vlx"), {{"one", std::string(3000, '1')}}, coNone),
                  Arc(Path("second\\b.vlx"), {{"two", std::string(3000, '2')}}, coNone)},
                 2000);
  }
};

TEST_F(RunState, ReadableBeforeAndAfterARun) {
  EXPECT_EQ(seg.SegNumber(), 0);
  EXPECT_EQ(seg.SegMode(), 0);
  EXPECT_EQ(seg.Remaining(), 0);
  EXPECT_FALSE(seg.AbortRequested());
  auto files = WriteTwo();
  ASSERT_GE(files.size(), 3u);
  std::vector<std::string> seen;
  seg.OnSegAfter = [&](TSegMode, const std::string&, uint16_t) {
    seen.push_back(std::to_string(seg.SegNumber()) + " " + seg.SegmentName() + " " + std::to_string(seg.Remaining()));
  };
  seg.ExpandSet();
  EXPECT_EQ(seen.front(), "1 tovinsetup.001 0");
  EXPECT_EQ(seg.SegNumber(), files.size());
  EXPECT_EQ(seg.SegmentName(), SegmentFileName("tovinsetup", "", static_cast<unsigned>(files.size())));
  EXPECT_EQ(seg.SegmentPath(), Lower(Path("pkg")) + "\\" + seg.SegmentName());
  EXPECT_EQ(seg.SegMode(), 1);
  EXPECT_EQ(seg.Remaining(), 0);  // closed
}

// Where the host asks to stop, and how far the run then gets.
struct AbortCase {
  const char* where;
  std::function<void(TSegVelloxEZ&, ScriptedDialogs&)> arm;
  bool firstWritten, secondWritten, workFileLeft;
};
void PrintTo(const AbortCase& c, std::ostream* os) { *os << c.where; }

class AbortRequest : public RunState, public ::testing::WithParamInterface<AbortCase> {};

TEST_P(AbortRequest, StopsAtTheNextCheck) {
  WriteTwo();
  GetParam().arm(seg, dialogs);
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), kMsgAborted);
  EXPECT_TRUE(seg.AbortRequested());
  EXPECT_EQ(seg.Remaining(), 0);  // the segment is closed
  EXPECT_EQ(Exists(Path("first\\one")), GetParam().firstWritten);
  EXPECT_EQ(Exists(Path("second\\two")), GetParam().secondWritten);
  EXPECT_EQ(Exists(seg.WorkFileName()), GetParam().workFileLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, AbortRequest,
    ::testing::Values(
        AbortCase{"SegBefore", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnSegBefore = [&s](TSegMode, const std::string&, uint16_t) { s.RequestAbort(); };
                  }, false, false, false},
        AbortCase{"SegAfter", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnSegAfter = [&s](TSegMode, const std::string&, uint16_t) { s.RequestAbort(); };
                    // the next segment is never looked for
                    s.OnSegBefore = [](TSegMode, const std::string&, uint16_t n) { EXPECT_EQ(n, 1); };
                  }, false, false, false},
        AbortCase{"SegBeforeExpand", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnSegBeforeExpand = [&s](TSegArcList&) { s.RequestAbort(); };
                  }, false, false, false},
        AbortCase{"SegAfterArchive", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnSegAfterArchive = [&s](TSegArcHeader&, const std::string&) { s.RequestAbort(); };
                  }, true, false, true},
        // Not checks themselves: the run goes on to the end of the archive.
        AbortCase{"SegShowProgress", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnSegShowProgress = [&s](int32_t) { s.RequestAbort(); };
                  }, true, false, true},
        AbortCase{"ShowProgress", [](TSegVelloxEZ& s, ScriptedDialogs&) {
                    s.OnCheckFile = [&s](std::string& path, TCProcessMode) {
                      if (path.find("one") != std::string::npos) s.RequestAbort();
                    };
                  }, true, false, true},
        AbortCase{"ProcessMessages", [](TSegVelloxEZ& s, ScriptedDialogs& d) {
                    d.onProcessMessages = [&s] { s.RequestAbort(); };
                  }, false, false, false}),
    [](const auto& info) { return std::string(info.param.where); });

TEST_F(RunState, ARequestBeforeTheRunIsCleared) {
  WriteTwo();
  seg.RequestAbort();
  seg.ExpandSet();
  EXPECT_FALSE(seg.AbortRequested());
  EXPECT_TRUE(Exists(Path("second\\two")));
}

TEST_F(RunState, AFailedFileListPutsTheHostsStateBack) {
  SegArchiveSource a = Arc(Path("f\\a.vlx"), {{"f", "x"}});
  SegSetOptions o;
  std::string stream = LogicalStream({a}, o);
  size_t scan = 21;
  size_t templateLength = static_cast<uint8_t>(stream[scan + 6]) | static_cast<uint8_t>(stream[scan + 7]) << 8;
  stream[scan + 17 + templateLength] = 'Q';  // the file list's magic
  WriteCut(stream, {});

  int checks = 0, progress = 0, expands = 0, recognized = 0;
  seg.OnCheckFile = [&](std::string&, TCProcessMode) { ++checks; };
  seg.ShowProgress = [&](int32_t&) { ++progress; };
  seg.OnExpand = [&](Stream&, Stream&, int32_t, int32_t, const std::string&, int32_t&) { ++expands; };
  seg.OnRecognize = [&](const std::string&, bool&) { ++recognized; };
  seg.TestOnly = true;
  seg.SetTargetPath(Path("host"));

  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), kMsgInvalidHeader);
  EXPECT_EQ(checks + progress + expands + recognized, 0);  // muted while the list was read
  EXPECT_TRUE(seg.TestOnly);
  EXPECT_EQ(seg.TargetPath(), "");  // as ExpandSet left it
  EXPECT_FALSE(Exists(seg.WorkFileName()));
  EXPECT_EQ(seg.Remaining(), 0);
  // The host's handlers are in place again.
  std::string path;
  int32_t percent = 0, checksum = 0;
  bool ok = false;
  MemoryStream none;
  seg.OnCheckFile(path, 1);
  seg.ShowProgress(percent);
  seg.OnExpand(none, none, 0, 0, "CUS", checksum);
  seg.OnRecognize("ZZZ", ok);
  EXPECT_EQ(checks + progress + expands + recognized, 4);
}

TEST_F(RunState, ReadingTestedArchivesStillWritesTheFileLists) {
  Write({Arc(Path("t\\a.vlx"), {{"f", "x"}, {"g", "y"}})});
  seg.TestOnly = true;
  seg.SetTargetPath(Path("host"));
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Files, (std::vector<std::string>{"f", "g"}));
    EXPECT_TRUE(seg.TestOnly);
    EXPECT_EQ(seg.TargetPath(), "");  // ExpandSet's, put back after the list was read
  };
  seg.ExpandSet();
  EXPECT_FALSE(Exists(Path("t\\f")));  // tested, not written
}

}  // namespace
}  // namespace tovin::test
