// File lists: each name once, blank lines for free, names cut at a zero byte told apart, and
// lists out of all proportion to their archive refused before the archive is copied.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/segment/segment_fixture.h"

namespace tovin::test {
namespace {

struct ListCase {
  const char* what;
  std::vector<std::string> lines;  // as written to the file list, one per line
  std::vector<std::string> files;  // the names read
  size_t listed;                   // names given, repeats included
  std::vector<std::string> cut;    // lines with text after a zero byte
};

class FileList : public SegmentTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(FileList, NamesAreReadOnceAndCutLinesAreKept) {
  const ListCase& c = GetParam();
  SegArchiveSource a = Arc(Path("s\\a.vlx"), {{"a", "1"}, {"b", "2"}});
  a.Files = c.lines;
  Write({a});
  bool seen = false;
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Files, c.files);
    EXPECT_EQ(list[0]->ListedNames, c.listed);
    EXPECT_EQ(list[0]->CutNames, c.cut);
    seen = true;
  };
  seg.ExpandSet();
  EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FileList,
    ::testing::Values(ListCase{"plain", {"a", "b"}, {"a", "b"}, 2, {}},
                      ListCase{"blank lines", {"", "a", "    ", "b", " "}, {"a", "b"}, 2, {}},
                      ListCase{"repeats in any case", {"a", "A", "b", "a", "B"}, {"a", "b"}, 5, {}},
                      ListCase{"zero byte with text after it", {std::string("a\0b", 3), "b"}, {"a", "b"}, 2,
                               {std::string("a\0b", 3)}},
                      ListCase{"zero bytes as padding", {std::string("a\0\0\0", 4), "b"}, {"a", "b"}, 2, {}},
                      ListCase{"only text after a zero byte", {std::string("\0zz", 3), "a"}, {"a"}, 1,
                               {std::string("\0zz", 3)}}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

struct Proportion {
  const char* what;
  size_t names;     // distinct names in the list; the archive holds one small member
  bool refused;
};

class ListProportion : public SegmentTest, public ::testing::WithParamInterface<Proportion> {};

TEST_P(ListProportion, FarMoreNamesThanTheArchiveHasRoomForAreRefused) {
  SegArchiveSource a = Arc(Path("p\\a.vlx"), {{"f", "data"}});
  a.Files = {"f"};
  for (size_t i = 1; i < GetParam().names; ++i) a.Files.push_back("n" + std::to_string(i));
  Write({a});
  std::string message = Message([&] { seg.ExpandSet(); });
  if (GetParam().refused) {
    EXPECT_EQ(message, "(TSegVellox) File list names more files than its archive can hold");
    EXPECT_FALSE(Exists(Path("p\\f")));
    EXPECT_FALSE(Exists(seg.WorkFileName()));
  } else {
    EXPECT_EQ(message, "(no error)");
    EXPECT_EQ(ReadFile(Path("p\\f")), "data");
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ListProportion,
                         ::testing::Values(Proportion{"one", 1, false}, Proportion{"some missing", 50, false},
                                           Proportion{"hundred thousand", 100000, true}),
                         [](const auto& info) { return std::string(info.param.what[0] == 'h' ? "far" : "fair") +
                                                       std::to_string(info.param.names); });

// 4 MiB of one-byte lines: a scan, not a string and a cleared buffer per line.
class ListBomb : public SegmentTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ListBomb, ShortLinesCostAScan) {
  SegArchiveSource a = Arc(Path("b\\a.vlx"), {{"x", "data"}});
  a.Files.assign(size_t{4} << 20, GetParam());
  SegSetOptions o;
  o.SegDir = Path("pkg");
  o.ListMethod = coRLE;  // quick to write: the reading is what is timed
  WriteSegmentSet({a}, o);
  bool blank = std::string(GetParam()) == " ";
  seg.OnSegBeforeExpand = [&](TSegArcList& list) {
    EXPECT_EQ(list[0]->Files, blank ? std::vector<std::string>{} : std::vector<std::string>{"x"});
    EXPECT_EQ(list[0]->ListedNames, blank ? 0u : size_t{4} << 20);
  };
  auto start = std::chrono::steady_clock::now();
  std::string message = Message([&] { seg.ExpandSet(); });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(message, blank ? "(no error)" : "(TSegVellox) File list names more files than its archive can hold");
  EXPECT_FALSE(Exists(Path("b\\x")));
}

INSTANTIATE_TEST_SUITE_P(Lines, ListBomb, ::testing::Values(" ", "x"),
                         [](const auto& info) { return std::string(info.param) == " " ? "blank" : "name"; });

}  // namespace
}  // namespace tovin::test
