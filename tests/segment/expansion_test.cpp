// Reading whole segment sets: records across segments, mounting, events, errors.
#include <gtest/gtest.h>

#include "tests/segment/segment_fixture.h"

namespace tovin::test {
namespace {

// Every case runs in every way of reading: they must write, ask and fail alike.
class SegExpand : public ReadingWayTest {};

TEST_P(SegExpand, OneSegmentNeverRaisesSegAfter) {
  Write({Arc("out\\pkg.vlx", {{"a.txt", "alpha"}, {"b.txt", "beta"}})});
  int after = 0, before = 0;
  seg.OnSegAfter = [&](TSegMode, const std::string&, uint16_t) { ++after; };
  seg.OnSegBefore = [&](TSegMode mode, const std::string& name, uint16_t n) {
    ++before;
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(name, "tovinsetup.001");
    EXPECT_EQ(n, 1);
  };
  ASSERT_TRUE(plat::SetCurrentDirectory(Base()));
  seg.ExpandSet();
  EXPECT_EQ(after, 0);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(ReadFile(Path("out\\a.txt")), "alpha");
  EXPECT_EQ(seg.SegSource, std::vector<std::string>{"out\\pkg.vlx"});
  ASSERT_EQ(seg.Archives().size(), 1u);
  EXPECT_EQ(seg.Archives()[0]->Files, (std::vector<std::string>{"out\\a.txt", "out\\b.txt"}));
  EXPECT_EQ(seg.TargetPath(), "");
  EXPECT_FALSE(Exists(seg.WorkFileName()));
}

TEST_P(SegExpand, ManySegmentsAndManyArchives) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i * 7919 % 1000) + " of the setup\r\n";
  auto files = Write({Arc(Path("one\\a.vlx"), {{"t.txt", text}, {"sub\\u.txt", "u"}}),
                      Arc(Path("two\\b.vlx"), {{"v.txt", text.substr(100)}}, coLZH)},
                     2000);
  ASSERT_GT(files.size(), 5u);
  std::vector<uint16_t> after;
  seg.OnSegAfter = [&](TSegMode, const std::string&, uint16_t n) { after.push_back(n); };
  seg.ExpandSet();
  EXPECT_EQ(after.size(), files.size() - 1);
  EXPECT_EQ(ReadFile(Path("one\\t.txt")), text);
  EXPECT_EQ(ReadFile(Path("one\\sub\\u.txt")), "u");
  EXPECT_EQ(ReadFile(Path("two\\v.txt")), text.substr(100));
}

TEST_P(SegExpand, RecordsSplitAcrossSegmentsReadWhole) {
  std::vector<SegArchiveSource> arcs{Arc(Path("x\\a.vlx"), {{"f", "data of f"}})};
  SegSetOptions o;
  std::string stream = LogicalStream(arcs, o);
  // Cut inside the Scan record (10 bytes in segment 1, 7 in segment 2), inside the template,
  // and inside the SArc record.
  size_t scan = 21;
  size_t arc = stream.find("SArc");
  ASSERT_NE(arc, std::string::npos);
  WriteCut(stream, {scan + 10, scan + 19, arc + 3, arc + 16 + 5});
  seg.ExpandSet();
  EXPECT_EQ(ReadFile(Path("x\\f")), "data of f");
}

TEST_P(SegExpand, NoArchivesExpandsNothing) {
  Write({});
  bool asked = false;
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    asked = true;
    EXPECT_TRUE(list.empty());
  };
  seg.ExpandSet();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(seg.SegSource.empty());
}

TEST_P(SegExpand, MissingSegmentIsAskedForUntilItAppears) {
  auto files = Write({Arc(Path("o\\a.vlx"), {{"big", std::string(60000, 'q') + "end"}}, coNone)}, 20000);
  ASSERT_GE(files.size(), 3u);
  std::string hidden = Path("segment2.bak");
  ASSERT_TRUE(plat::MoveFileReplace(files[1], hidden));
  int before2 = 0;
  seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t n) { before2 += n == 2; };
  dialogs.script = {{true, "", {}}, {true, "", [&] { plat::MoveFileReplace(hidden, files[1]); }}};
  seg.ExpandSet();
  EXPECT_EQ(ReadFile(Path("o\\big")), std::string(60000, 'q') + "end");
  ASSERT_EQ(dialogs.transcript.size(), 2u);
  EXPECT_EQ(dialogs.transcript[0],
            "missing tovinsetup.002: Unable to locate \"tovinsetup.002\" on this segment!\n\rCorrect and then press OK, or Cancel to abort");
  EXPECT_EQ(before2, 3);  // before each attempt, retries included
}

TEST_P(SegExpand, CancelAtAMissingSegmentAborts) {
  auto files = Write({Arc(Path("o\\a.vlx"), {{"big", std::string(60000, 'q')}}, coNone)}, 20000);
  plat::DeleteFile(files[1]);
  dialogs.script = {{false, "", {}}};
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "(TSegVellox) Operation aborted by user");
  EXPECT_TRUE(seg.AbortRequested());
}

TEST_P(SegExpand, WrongSegmentNumberIsAskedAbout) {
  auto files = Write({Arc(Path("o\\a.vlx"), {{"big", std::string(60000, 'q')}}, coNone)}, 20000);
  std::string second = ReadFile(files[1]);
  std::string wrong = second;
  wrong[6] = 3;
  WriteFile(files[1], wrong);
  dialogs.script = {{true, "", [&] { WriteFile(files[1], second); }}};
  seg.ExpandSet();
  ASSERT_EQ(dialogs.transcript.size(), 1u);
  EXPECT_EQ(dialogs.transcript[0],
            "wrong tovinsetup.002: Incorrect segmented mounted!\n\rCorrect and then press OK, or Cancel to abort");
}

TEST_P(SegExpand, UnreadableSegmentsFailWithoutAQuestion) {
  auto files = Write({Arc(Path("o\\a.vlx"), {{"big", std::string(60000, 'q')}}, coNone)}, 20000);
  for (const std::string& bytes : {std::string("SSeg\0", 5), std::string("XXXXXXXXXXXXXXXXXX")}) {
    WriteFile(files[1], bytes);
    EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "(TSegVellox) Stream open failed");
    EXPECT_TRUE(dialogs.transcript.empty());
  }
}

TEST_P(SegExpand, MountPromptLoopsOnAnEmptyPathAndKeepsTheTypedCase) {
  Write({Arc(Path("o\\a.vlx"), {{"f", "x"}})});
  seg.SegPopUp = true;
  std::string typed = Path("PKG");
  dialogs.script = {{true, "", {}}, {true, typed, {}}};
  seg.ExpandSet();
  ASSERT_EQ(dialogs.transcript.size(), 2u);
  std::string initial = "query tovinsetup.001: Mount Segment #1 | Directory Path: | " + Lower(Path("pkg"));
  EXPECT_EQ(dialogs.transcript[0], initial);
  EXPECT_EQ(dialogs.transcript[1], initial);
  EXPECT_EQ(seg.SegDir(), typed);
  EXPECT_EQ(ReadFile(Path("o\\f")), "x");
}

TEST_P(SegExpand, CancelInTheMountPromptAborts) {
  Write({Arc(Path("o\\a.vlx"), {{"f", "x"}})});
  seg.SegPopUp = true;
  dialogs.script = {{false, "", {}}};
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "(TSegVellox) Operation aborted by user");
}

TEST_P(SegExpand, TheHostMayLeaveArchivesOut) {
  Write({Arc(Path("first\\a.vlx"), {{"1", "one"}}), Arc(Path("second\\b.vlx"), {{"2", "two"}})});
  seg.OnSegBeforeExpand = [](TSegArcList& list) { list.erase(list.begin()); };
  seg.ExpandSet();
  EXPECT_FALSE(Exists(Path("first\\1")));
  EXPECT_EQ(ReadFile(Path("second\\2")), "two");
  EXPECT_EQ(seg.SegSource, std::vector<std::string>{Path("second\\b.vlx")});
}

TEST_P(SegExpand, ReorderedArchivesFailOnTheSequence) {
  Write({Arc(Path("first\\a.vlx"), {{"1", "one"}}), Arc(Path("second\\b.vlx"), {{"2", "two"}}),
         Arc(Path("third\\c.vlx"), {{"3", "three"}})});
  seg.OnSegBeforeExpand = [](TSegArcList& list) { std::swap(list[0], list[1]); };
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "(TSegVellox) Invalid Archive sequence number");
  EXPECT_EQ(ReadFile(Path("second\\2")), "two");  // written before the failure, and kept
}

TEST_P(SegExpand, ProgressOfAnArchiveCopy) {
  // A stored member sized so that the archive file is exactly 20000 bytes.
  std::string name = "p.bin";
  SegArchiveSource a = Arc(Path("p\\a.vlx"), {{name, std::string(20000 - 21 - 25 - name.size(), 'p')}}, coNone);
  ASSERT_EQ(a.Archive.size(), 20000u);
  Write({a});
  std::vector<int32_t> seen;
  seg.OnSegShowProgress = [&](int32_t p) { seen.push_back(p); };
  seg.ExpandSet();
  EXPECT_EQ(seen, (std::vector<int32_t>{40, 81, 100}));
}

// An archive copied across segments of several sizes raises its events as copying one chunk
// of 8192 bytes at a time does: a segment is left inside the chunk that runs into the next
// one (or starts there), before that chunk's progress.
TEST_P(SegExpand, ProgressAndSegmentChangesInChunkOrder) {
  std::string data;
  for (int i = 0; data.size() < 100000; ++i) data += std::to_string(i * 7919 % 10007) + ",";
  SegArchiveSource a = Arc(Path("p\\a.vlx"), {{"p.bin", data}}, coNone);
  SegSetOptions o;
  std::string stream = LogicalStream({a}, o);
  const size_t start = stream.size() - a.Archive.size(), size = a.Archive.size();
  for (int32_t segSize : {1440000, 40008, 16392, 12345, 8200}) {
    SCOPED_TRACE(segSize);
    Write({a}, segSize);
    const size_t room = static_cast<size_t>(segSize) - kSegIdSize;
    std::vector<std::string> expected, seen;
    for (size_t c = 0; c < size; c += 8192) {
      size_t n = std::min<size_t>(8192, size - c);
      for (size_t b = room; b < start + c + n; b += room)
        if (b >= start + c) expected.push_back("after " + std::to_string(b / room));
      expected.push_back(std::to_string((c + n) * 100 / size));
    }
    seg.OnSegAfter = [&](TSegMode, const std::string&, uint16_t n) {
      if (n * room >= start) seen.push_back("after " + std::to_string(n));
    };
    seg.OnSegShowProgress = [&](int32_t p) { seen.push_back(std::to_string(p)); };
    seg.ExpandSet();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(ReadFile(Path("p\\p.bin")), data);
  }
}

TEST_P(SegExpand, FileListsSelectAndBlankLinesAreEmptyNames) {
  SegArchiveSource a = Arc(Path("s\\a.vlx"), {{"keep", "k"}, {"drop", "d"}});
  a.Files = {"keep", "   "};
  Write({a});
  seg.ExpandSet();
  EXPECT_TRUE(Exists(Path("s\\keep")));
  EXPECT_FALSE(Exists(Path("s\\drop")));
  ASSERT_EQ(seg.Archives().size(), 1u);
  EXPECT_EQ(seg.Archives()[0]->Files, std::vector<std::string>{Path("s\\keep")});

  SegArchiveSource none = Arc(Path("n\\a.vlx"), {{"f", "f"}});
  none.Files = {""};
  Write({none});
  seg.ExpandSet();
  EXPECT_FALSE(Exists(Path("n\\f")));
}

TEST_P(SegExpand, TemplateWithoutFolderWritesRelativeToTheCurrentDirectory) {
  plat::CreateDirectory(Path("cwd"));
  ASSERT_TRUE(plat::SetCurrentDirectory(Path("cwd")));
  Write({Arc("plain.vlx", {{"here.txt", "h"}})});
  seg.ExpandSet();
  EXPECT_EQ(ReadFile(Path("cwd\\here.txt")), "h");
}

TEST_P(SegExpand, ContainerEventsReachTheHostOnlyForArchives) {
  Write({Arc(Path("e\\a.vlx"), {{"one", std::string(9000, '1')}, {"two", "2"}})});
  std::vector<std::string> checked;
  seg.OnCheckFile = [&](std::string& path, TCProcessMode) { checked.push_back(path); };
  seg.ExpandSet();
  EXPECT_EQ(checked, (std::vector<std::string>{Path("e\\one"), Path("e\\two")}));
}

TEST_P(SegExpand, FileListMembersStayInsideTheTemporaryFolder) {
  // A file list whose member name climbs out of SegTmpDir.
  SegArchiveSource a = Arc(Path("z\\a.vlx"), {{"f", "x"}});
  MemoryStream list;
  ArchiveWriter w(list, coNone);
  w.AddData("f", "..\\..\\escaped.lst", 0x2A4320A3u, 0);
  w.Finish();
  SegSetOptions o;
  std::string stream = LogicalStream({a}, o);
  // Put the hand-made file list in place of the writer's.
  size_t scan = 21;
  uint16_t templateLength = static_cast<uint8_t>(stream[scan + 6]) | static_cast<uint8_t>(stream[scan + 7]) << 8;
  int32_t listSize = 0;
  for (int i = 0; i < 4; ++i) listSize |= static_cast<int32_t>(static_cast<uint8_t>(stream[scan + 13 + i])) << (8 * i);
  std::string bytes = list.Data();
  std::string patched = stream.substr(0, scan + 17 + templateLength) + bytes + stream.substr(scan + 17 + templateLength + listSize);
  for (int i = 0; i < 4; ++i) patched[scan + 13 + i] = static_cast<char>(bytes.size() >> (8 * i));
  WriteCut(patched, {});
  seg.ExpandSet();
  EXPECT_EQ(ReadFile(Path("z\\f")), "x");
  EXPECT_FALSE(Exists(Path("escaped.lst")));
  EXPECT_FALSE(Exists(Base().substr(0, 3) + "escaped.lst"));
}

TEST_P(SegExpand, BadRecordIdentifiers) {
  std::vector<SegArchiveSource> arcs{Arc(Path("b\\a.vlx"), {{"f", "x"}})};
  SegSetOptions o;
  std::string stream = LogicalStream(arcs, o);
  struct {
    size_t at;
    const char* message;
  } cases[] = {{0, "(TSegVellox) Invalid Segment Header ID"},
               {21, "(TSegVellox) Invalid Scan ID Header"},
               {stream.find("SArc"), "(TSegVellox) Invalid Archive ID Header"}};
  for (const auto& c : cases) {
    std::string bad = stream;
    bad[c.at] = 'Q';
    WriteCut(bad, {});
    EXPECT_EQ(Message([&] { seg.ExpandSet(); }), c.message);
  }
  std::string bad = stream;
  bad[21 + 9] = 0;  // a line length of 0 is outside the format
  for (int i = 10; i < 13; ++i) bad[21 + i] = 0;
  WriteCut(bad, {});
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "(TSegVellox) Invalid Scan ID Header");
}

TEST_P(SegExpand, AFileListWithoutMembersIsAnIndexError) {
  SegArchiveSource a = Arc(Path("l\\a.vlx"), {{"f", "x"}});
  SegSetOptions o;
  std::string stream = LogicalStream({a}, o);
  size_t scan = 21;
  uint16_t templateLength = static_cast<uint8_t>(stream[scan + 6]) | static_cast<uint8_t>(stream[scan + 7]) << 8;
  size_t listAt = scan + 17 + templateLength;
  stream[listAt + 8] = 0;  // the file list's TotalSize: 0 ends it before its member
  for (int i = 9; i < 12; ++i) stream[listAt + i] = 0;
  stream[listAt + 21 + 8] = 1;  // and the member is not empty, so it is not read
  WriteCut(stream, {});
  EXPECT_EQ(Message([&] { seg.ExpandSet(); }), "List index out of bounds (0)");
}

INSTANTIATE_TEST_SUITE_P(Ways, SegExpand, ::testing::ValuesIn(kReadingWays), [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovin::test
