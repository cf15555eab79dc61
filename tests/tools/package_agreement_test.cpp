// list, test and extract give one account of a damaged or odd package: what each leaves out
// is reported with its reason, test fails on anything extract would not reproduce, and no
// name reaches the terminal unescaped.
#include <gtest/gtest.h>

#include "container/archive_format.h"
#include "segment/seg_writer.h"
#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

struct Raw {
  std::string name, stored;
  uint8_t method = coNone;
};

std::string MemberOf(const Raw& m) {
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(m.name.size());
  h.ExpandedSize = static_cast<int32_t>(m.stored.size());
  h.StoredSize = static_cast<int32_t>(m.stored.size());
  h.Method = m.method;
  return SerializeMemberHeader(h) + m.name + m.stored;
}

// An archive by hand: its total may say anything; -1 gives the members' sum.
std::string ArchiveOf(const std::vector<Raw>& members, int32_t total = -1) {
  TArchiveHeader a;
  std::string body;
  int32_t sum = 0;
  for (const auto& m : members) {
    body += MemberOf(m);
    sum += static_cast<int32_t>(m.stored.size());
  }
  a.TotalSize = total < 0 ? sum : total;
  return SerializeArchiveHeader(a) + body;
}

// A member of method 200 whose stored bytes hold a whole member of their own.
const Raw kUnknown{"odd.bin", MemberOf({"hidden.txt", "hidden behind an unknown method"}), 200};

class Agreement : public Cli {
 protected:
  void Package(const std::string& tmpl, const std::string& archive, const std::vector<std::string>& files) {
    SegArchiveSource a;
    a.Template = tmpl;
    a.Archive = archive;
    a.Files = files;
    TSegIdHeader id;
    id.SegNumber = 1;
    Make("pkg/tovinsetup.001", Serialize(id) + LogicalStream({a}, SegSetOptions{}));
  }
};

struct Odd {
  const char* what;
  std::vector<Raw> members;
  int32_t total;                       // -1: the members' sum
  std::vector<std::string> list;       // the file list
  std::vector<std::string> listSays;   // in what list prints
  std::vector<std::string> runSays;    // in what test and extract print
  std::vector<std::string> absent;     // not written by extract
  std::vector<std::string> present;    // written by extract
};

void PrintTo(const Odd& odd, std::ostream* os) { *os << odd.what; }

class Disagreement : public Agreement, public ::testing::WithParamInterface<Odd> {};

TEST_P(Disagreement, EveryCommandTellsAndTestAndExtractFail) {
  const Odd& c = GetParam();
  Package("pkg.vlx", ArchiveOf(c.members, c.total), c.list);
  EXPECT_EQ(Tovin("list pkg"), 1);
  for (const auto& s : c.listSays) EXPECT_NE((out_ + err_).find(s), std::string::npos) << s << "\n" << out_ << err_;
  EXPECT_EQ(Tovin("test pkg"), 1);
  EXPECT_EQ(out_.find("all good"), std::string::npos) << out_;
  for (const auto& s : c.runSays) EXPECT_NE(err_.find(s), std::string::npos) << s << "\n" << err_;
  EXPECT_EQ(Tovin("extract -C out pkg"), 1);
  for (const auto& s : c.runSays) EXPECT_NE(err_.find(s), std::string::npos) << s << "\n" << err_;
  for (const auto& f : c.absent) EXPECT_FALSE(fs::exists(dir_ + "/out/" + f)) << f;
  for (const auto& f : c.present) EXPECT_TRUE(fs::exists(dir_ + "/out/" + f)) << f;
}

const std::string kZero("c\0d", 3);

// Another writer ends a list line at a zero byte and leaves whatever its buffer held after it:
// the name is what comes before the byte, and the set is sound.
TEST_F(Agreement, AListLineEndingAtAZeroByteIsSound) {
  Package("pkg.vlx", ArchiveOf({{"a.txt", "aaa"}, {"b.txt", "bbb"}}, -1), {std::string("a.txt\0\x7F\x01junk", 11), "b.txt"});
  for (const char* command : {"list pkg", "test pkg", "extract -C out pkg"}) {
    EXPECT_EQ(Tovin(command), 0) << command << "\n" << out_ << err_;
    EXPECT_NE(err_.find("note: the file list's line a.txt\\x00"), std::string::npos) << command << "\n" << err_;
  }
  EXPECT_TRUE(fs::exists(dir_ + "/out/a.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Packages, Disagreement,
    ::testing::Values(
        Odd{"unknown method",
            {{"a.txt", "aaa"}, kUnknown},
            -1,
            {"a.txt", "odd.bin"},
            {"\n?     ", "odd.bin  (unknown method 200: it cannot be expanded)"},
            {"archive pkg.vlx, member odd.bin: Unrecognized compression method: 200 in member header"},
            {"odd.bin", "hidden.txt"},
            {}},
        Odd{"total size zero",
            {{"a.txt", "aaa"}, {"b.txt", "bbb"}},
            0,
            {"a.txt", "b.txt"},
            {"a.txt  (past the archive's total size of 0 bytes: the setup leaves it out)",
             "b.txt  (past the archive's total size of 0 bytes"},
            {"member a.txt: past the archive's total size of 0 bytes", "member b.txt: past the archive's total"},
            {"a.txt", "b.txt"},
            {}},
        Odd{"total size short",
            {{"a.txt", "aaa"}, {"b.txt", "bbb"}},
            3,
            {"a.txt", "b.txt"},
            {"b.txt  (past the archive's total size of 3 bytes"},
            {"member b.txt: past the archive's total size of 3 bytes"},
            {"b.txt"},
            {"a.txt"}},
        Odd{"name missing from the archive",
            {{"a.txt", "aaa"}},
            -1,
            {"a.txt", "gone.txt"},
            {"archive pkg.vlx: gone.txt is in the file list but not in the archive"},
            {"archive pkg.vlx: gone.txt is in the file list but not in the archive"},
            {"gone.txt"},
            {"a.txt"}},
        Odd{"name ending in a blank",
            {{"a.txt", "aaa"}, {"b.txt ", "bbb"}},
            -1,
            {"a.txt", "b.txt "},
            {"b.txt   (not in the file list, which cannot name a file ending in a blank",
             "b.txt is in the file list but not in the archive"},
            {"member b.txt : not in the file list, which cannot name a file ending in a blank",
             "b.txt is in the file list but not in the archive"},
            {"b.txt ", "b.txt"},
            {"a.txt"}},
        Odd{"name holding a zero byte",
            {{"a.txt", "aaa"}, {kZero, "ccc"}},
            -1,
            {"a.txt", kZero},
            {"note: the file list's line c\\x00d ends at a zero byte", "c is in the file list but not in the archive",
             "c\\x00d  (not in the file list, which cannot name a file holding a zero byte"},
            {"note: the file list's line c\\x00d ends at a zero byte", "c is in the file list but not in the archive",
             "member c\\x00d: not in the file list, which cannot name a file holding a zero byte"},
            {"c"},
            {"a.txt"}}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

// The same account from the archive commands, for a single archive file.
TEST_F(Agreement, ArchiveCommandsAgreeOnUnknownMethodsAndTheTotal) {
  struct Case {
    std::string archive;
    const char* listSays;
    const char* runSays;
  } cases[] = {
      {ArchiveOf({{"a.txt", "aaa"}, kUnknown}), "odd.bin  (unknown method 200: it cannot be expanded)",
       "member odd.bin: Unrecognized compression method: 200 in member header"},
      {ArchiveOf({{"a.txt", "aaa"}, {"b.txt", "bbb"}}, 3),
       "b.txt  (past the archive's total size of 3 bytes: the setup leaves it out)",
       "1 of 2 members were not %s: they lie past the archive's total size"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listSays);
    Make("a.vlx", c.archive);
    EXPECT_EQ(Tovin("archive list a.vlx"), 1);
    EXPECT_NE(out_.find(c.listSays), std::string::npos) << out_;
    for (const char* verb : {"test", "extract -C out"}) {
      EXPECT_EQ(Tovin(std::string("archive ") + verb + " a.vlx"), 1) << verb;
      std::string says = c.runSays;
      auto at = says.find("%s");
      if (at != std::string::npos) says.replace(at, 2, *verb == 't' ? "checked" : "written");
      EXPECT_NE(err_.find(says), std::string::npos) << err_;
      EXPECT_EQ(out_.find("all good"), std::string::npos) << out_;
    }
    EXPECT_FALSE(fs::exists(dir_ + "/out/hidden.txt"));
    EXPECT_FALSE(fs::exists(dir_ + "/out/odd.bin"));
  }
}

// A member only left out of the file list is what the setup does too: told, not a failure.
TEST_F(Agreement, AMemberLeftOutOfTheListIsToldButPasses) {
  Package("pkg.vlx", ArchiveOf({{"a.txt", "aaa"}, {"extra.txt", "x"}}), {"a.txt"});
  for (const char* verb : {"list", "test", "extract -C out"}) {
    EXPECT_EQ(Tovin(std::string(verb) + " pkg"), 0) << verb << err_;
    EXPECT_NE((out_ + err_).find("extra.txt"), std::string::npos) << verb;
    EXPECT_NE((out_ + err_).find("not in the file list: the setup leaves it out"), std::string::npos) << verb;
  }
  EXPECT_FALSE(fs::exists(dir_ + "/out/extra.txt"));
}

// Escape sequences, a bare carriage return and an 8-bit or UTF-8 CSI in names, in a template
// and in an error message: every command prints them escaped.
TEST_F(Agreement, NamesWithControlsArePrintedEscaped) {
  Raw trap = kUnknown;
  trap.name = "\x1b]0;pwned\x07";
  std::vector<Raw> members = {trap, {"\x1b[2J.txt", "e"}, {"cr\rname", "r"}, {"\xc2\x9b" "31m.txt", "u"},
                              {"\x9b" "32m.txt", "8"}};
  std::vector<std::string> names;
  for (const auto& m : members) names.push_back(m.name);
  std::string archive = ArchiveOf(members);
  Package("\x1b[2J.vlx", archive, names);
  Make("a.vlx", archive);
  struct Run {
    const char* args;
    std::vector<std::string> says;
  } runs[] = {
      {"list pkg", {"Archive \\x1B[2J.vlx", "\\x1B[2J.txt", "cr\\x0Dname", "\\xC2\\x9B31m.txt", "\\x9B32m.txt",
                    "\\x1B]0;pwned\\x07  (unknown method"}},
      {"test pkg", {"member \\x1B]0;pwned\\x07: Unrecognized compression method: 200"}},
      {"extract -C out pkg", {"member \\x1B]0;pwned\\x07: Unrecognized compression method: 200"}},
      {"archive list a.vlx", {"\\x1B[2J.txt", "cr\\x0Dname", "\\x1B]0;pwned\\x07  (unknown method"}},
      {"archive test a.vlx", {"member \\x1B]0;pwned\\x07: Unrecognized compression method: 200"}},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(Tovin(r.args), 1);
    std::string all = out_ + err_;
    for (const char* raw : {"\x1b", "\r", "\x07", "\x9b"}) EXPECT_EQ(all.find(raw), std::string::npos) << all;
    for (const auto& s : r.says) EXPECT_NE(all.find(s), std::string::npos) << s << "\n" << all;
  }
}

}  // namespace
}  // namespace tovin::test
