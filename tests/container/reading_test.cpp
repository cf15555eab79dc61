// Archive headers, method identifiers and listing, on archives made by the writer and by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "container/archive_writer.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "tests/container/archive_bytes.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

class Reading : public MachineTest {
 protected:
  std::vector<TListedMember> List(const std::string& bytes) {
    WriteFile(Path("a.vlx"), bytes);
    std::vector<TListedMember> list;
    vellox.ListArchive(Path("a.vlx"), list);
    return list;
  }
  TVellox vellox;
};

TEST_F(Reading, ShortFilesListNothingWhateverTheyHold) {
  std::string good = ArchiveOf(coLZH5, {{"a.txt", "hello"}});
  for (size_t n = 0; n < 46; ++n) {
    EXPECT_TRUE(List(good.substr(0, n)).empty()) << n;
    EXPECT_TRUE(List(std::string(n, 'Z')).empty()) << n;  // even a wrong magic
  }
}

TEST_F(Reading, HeaderErrors) {
  std::string good = ArchiveOf(coLZH5, {{"a.txt", "hello world"}});
  struct {
    const char* what;
    std::function<void(std::string&)> damage;
    std::string message;
  } cases[] = {
      {"magic without 0x1A", [](std::string& b) { b[4] = 'X'; }, "Can't recognize compressed file header"},
      {"other magic", [](std::string& b) { b.replace(0, 4, "ZIPC"); }, "Can't recognize compressed file header"},
      {"archive type 0", [](std::string& b) { b[12] = 0; }, "Archive type must be caMulti"},
      {"type checked before identifier", [](std::string& b) { b[12] = 2; b.replace(5, 3, "xyz"); },
       "Archive type must be caMulti"},
      {"identifier in lower case", [](std::string& b) { b.replace(5, 3, "lh5"); },
       "Unrecognized compression method: \"lh5\" in header"},
  };
  for (const auto& c : cases) {
    std::string bad = good;
    c.damage(bad);
    try {
      List(bad);
      ADD_FAILURE() << c.what;
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), c.message) << c.what;
    }
  }
}

TEST_F(Reading, RecognizeAcceptsAnUnknownIdentifierAsCustom) {
  std::string bad = ArchiveOf(coNone, {{"a", "x"}});
  bad.replace(5, 3, "ZZZ");
  std::string asked;
  vellox.OnRecognize = [&](const std::string& id, bool& ok) {
    asked = id;
    ok = true;
  };
  EXPECT_EQ(List(bad).size(), 1u);
  EXPECT_EQ(asked, "ZZZ");
  EXPECT_EQ(vellox.LookupMethodId("LH5"), coLZH5);
  EXPECT_EQ(vellox.LookupMethodId("QQQ"), coCustom);
  vellox.OnRecognize = [](const std::string&, bool&) {};
  EXPECT_THROW(vellox.LookupMethodId("QQQ"), EUnrecognizedCompressionMethod);
}

TEST_F(Reading, ListingGivesEveryField) {
  auto list = List(ArchiveOf(coLZH5, {{"first.txt", std::string(5000, 'a')}, {"", "x"}, {"dir\\third", "abc"}}, 77));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Name, "first.txt");
  EXPECT_EQ(list[0].Info.HeaderOffset, 21);
  EXPECT_EQ(list[0].Info.ExpandedSize, 5000);
  EXPECT_EQ(list[0].Info.Method, coLZH5);
  EXPECT_EQ(list[0].Info.Checksum, 5000 * 'a' + 77);  // locked: the sum plus the key
  EXPECT_TRUE(list[0].Info.Locked);
  EXPECT_EQ(list[0].Info.DateTime, 0x2A4320A3);
  EXPECT_EQ(list[1].Name, "");  // an empty name is a member too
  EXPECT_EQ(list[1].Info.HeaderOffset, list[0].Info.HeaderOffset + 25 + 9 + list[0].Info.StoredSize);
  EXPECT_EQ(list[2].Name, "dir\\third");
}

TEST_F(Reading, TruncatedHeadersAndNegativeNameLengthsEndTheListing) {
  std::string a = ArchiveOf(coNone, {{"one", "1111"}, {"two", "2222"}});
  size_t second = 21 + 25 + 3 + 4;
  EXPECT_EQ(List(a.substr(0, second + 24)).size(), 1u);    // a header cut short
  EXPECT_EQ(List(a.substr(0, second + 25 + 2)).size(), 1u);  // a name cut short
  std::string negative = a;
  negative[second] = '\xFF';
  negative[second + 1] = '\xFF';
  EXPECT_EQ(List(negative).size(), 1u);
}

// A negative size is damage: a stored size would seek back onto the header, an expanded size
// would turn the running total back.
TEST_F(Reading, NegativeSizesAreRefused) {
  std::string a = ArchiveOf(coNone, {{"one", "1111"}, {"two", "2222"}});
  size_t second = 21 + 25 + 3 + 4;
  for (size_t field : {second + 8, second + 12}) {
    for (int32_t value : {-1, -64, INT32_MIN}) {
      std::string bad = a;
      for (int i = 0; i < 4; ++i) bad[field + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
      try {
        List(bad);
        ADD_FAILURE() << field << " " << value;
      } catch (const EInvalidMemberSize& e) {
        EXPECT_STREQ(e.what(), "Invalid size in member header");
      }
    }
  }
}

TEST(MethodNames, HeaderIdentifiersAndListingNames) {
  const std::tuple<uint8_t, const char*, const char*> cases[] = {
      {coNone, "NON", "none"}, {coRLE, "RLE", "rle"}, {coLZH, "LZH", "lzh"}, {coCustom, "CUS", "custom"},
      {coLZH5, "LH5", "lh5"},  {5, "NON", "?"},       {255, "NON", "?"},
  };
  TVellox v;
  for (const auto& [ordinal, id, name] : cases) {
    EXPECT_STREQ(MethodIdOf(static_cast<TPackMethod>(ordinal)), id) << int(ordinal);
    EXPECT_STREQ(MethodName(ordinal), name) << int(ordinal);
    if (ordinal <= coLZH5) {
      EXPECT_EQ(v.LookupMethodId(id), ordinal);
    }
  }
}

TEST(TargetPathProperty, GetsOneTrailingBackslash) {
  TVellox v;
  const std::pair<const char*, const char*> cases[] = {{"c:\\tmp", "c:\\tmp\\"}, {"c:\\tmp\\", "c:\\tmp\\"}, {"", ""}, {"x", "x\\"}};
  for (const auto& [in, out] : cases) {
    v.SetTargetPath(in);
    EXPECT_EQ(v.TargetPath(), out) << in;
  }
}

TEST(MemberNames, OnlyAToZFoldCase) {
  EXPECT_TRUE(SameMemberName("Dir\\File.TXT", "dir\\file.txt"));
  EXPECT_FALSE(SameMemberName("\xC9", "\xE9"));  // E acute in two cases: compared exactly
  EXPECT_FALSE(SameMemberName("[", "{"));
  EXPECT_FALSE(SameMemberName("a", "ab"));
}

}  // namespace
}  // namespace tovin::test
