// Profile file rules, run against the project's own reader and writer and against the
// platform layer's profile calls (on Windows the real API), so both are shown to agree.
#include <gtest/gtest.h>

#include "platform/ini_document.h"
#include "platform/platform.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
namespace {

struct Profile {
  const char* name;
  std::string (*read)(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def, size_t size);
  std::vector<std::string> (*keys)(const std::string& file, const std::string& section, size_t size);
  bool (*write)(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                const std::optional<std::string>& value);
};

const Profile kOwn{
    "own",
    [](const std::string& f, const std::string& s, const std::string& k, const std::string& d, size_t n) {
      return ini::ReadString(f, s, k, d, n);
    },
    [](const std::string& f, const std::string& s, size_t n) { return ini::ReadKeys(f, s, n); },
    [](const std::string& f, const std::string& s, const std::optional<std::string>& k,
       const std::optional<std::string>& v) { return ini::Write(f, s, k, v); }};

const Profile kPlatform{
    "platform",
    [](const std::string& f, const std::string& s, const std::string& k, const std::string& d, size_t n) {
      return plat::GetPrivateProfileString(s, k, d, f, n);
    },
    [](const std::string& f, const std::string& s, size_t n) { return plat::GetPrivateProfileKeys(s, f, n); },
    [](const std::string& f, const std::string& s, const std::optional<std::string>& k,
       const std::optional<std::string>& v) { return plat::WritePrivateProfileString(s, k, v, f); }};

class ProfileTest : public MachineTest, public ::testing::WithParamInterface<const Profile*> {
 protected:
  const Profile& P() const { return *GetParam(); }
  std::string File() const { return Path("test.ini"); }
};

struct ReadCase {
  const char* what;
  const char* text;
  const char* section;
  const char* key;
  const char* expected;  // the default is "<default>"
};

const ReadCase kReads[] = {
    {"plain value", "[Main]\r\nName=value\r\n", "Main", "Name", "value"},
    {"names without case", "[mAIN]\r\nnAME=value\r\n", "Main", "Name", "value"},
    {"LF line ends", "[Main]\nName=value\n", "Main", "Name", "value"},
    {"blanks around value removed", "[Main]\r\nName =   spaced value  \r\n", "Main", "Name", "spaced value"},
    {"blanks around key and section", "[Main]\r\n   Name=v\r\n", "Main", "Name", "v"},
    {"double quotes removed", "[Main]\r\nName=\"a b\"\r\n", "Main", "Name", "a b"},
    {"single quotes removed", "[Main]\r\nName='a b'\r\n", "Main", "Name", "a b"},
    {"only one pair of quotes", "[Main]\r\nName=\"\"x\"\"\r\n", "Main", "Name", "\"x\""},
    {"unmatched quotes kept", "[Main]\r\nName=\"a'\r\n", "Main", "Name", "\"a'"},
    {"empty quotes give empty", "[Main]\r\nName=\"\"\r\n", "Main", "Name", ""},
    {"present but empty", "[Main]\r\nName=\r\n", "Main", "Name", ""},
    {"missing key", "[Main]\r\nOther=1\r\n", "Main", "Name", "<default>"},
    {"missing section", "[Other]\r\nName=1\r\n", "Main", "Name", "<default>"},
    {"first key wins", "[Main]\r\nName=1\r\nname=2\r\n", "Main", "Name", "1"},
    {"first section wins", "[Main]\r\nName=1\r\n[main]\r\nName=2\r\n", "Main", "Name", "1"},
    {"key of next section not seen", "[Main]\r\n[Next]\r\nName=1\r\n", "Main", "Name", "<default>"},
    {"equals sign inside value", "[Main]\r\nName=a=b\r\n", "Main", "Name", "a=b"},
    {"value with tilde fields", "[Files]\r\n1=app.exe~<INSTALLDIR>\r\n", "Files", "1", "app.exe~<INSTALLDIR>"},
    {"section name with blanks", "[Setup - Main]\r\nFolder=Games\r\n", "Setup - Main", "Folder", "Games"},
    {"no file content", "", "Main", "Name", "<default>"},
};

TEST_P(ProfileTest, ReadsValuesByTheProfileRules) {
  for (const auto& c : kReads) {
    WriteFile(File(), c.text);
    EXPECT_EQ(P().read(File(), c.section, c.key, "<default>", 1024), c.expected) << c.what;
  }
}

TEST_P(ProfileTest, MissingFileGivesTheDefault) {
  EXPECT_EQ(P().read(Path("none.ini"), "Main", "Name", "dflt", 1024), "dflt");
  EXPECT_TRUE(P().keys(Path("none.ini"), "Main", 8192).empty());
}

TEST_P(ProfileTest, LongValuesAreCutAt1023Characters) {
  std::string value(2000, 'v');
  value[1022] = 'L';
  WriteFile(File(), "[Main]\r\nName=" + value + "\r\n");
  std::string got = P().read(File(), "Main", "Name", "", 1024);
  ASSERT_EQ(got.size(), 1023u);
  EXPECT_EQ(got.back(), 'L');
}

TEST_P(ProfileTest, SectionKeysInFileOrder) {
  WriteFile(File(), "[Files]\r\nb=1\r\nA=2\r\nc=\r\n[Other]\r\nd=4\r\n");
  EXPECT_EQ(P().keys(File(), "files", 8192), (std::vector<std::string>{"b", "A", "c"}));
  EXPECT_TRUE(P().keys(File(), "Nothing", 8192).empty());
}

TEST_P(ProfileTest, SectionKeysAreCutByTheBuffer) {
  // 1000 names of 9 characters plus a zero each: 10000 bytes, more than the buffer holds.
  std::string text = "[Many]\r\n";
  for (int i = 0; i < 1000; ++i) text += "Key" + std::string(6 - std::to_string(i).size(), '0') + std::to_string(i) + "=x\r\n";
  WriteFile(File(), text);
  auto keys = P().keys(File(), "Many", 8192);
  // 819 whole names fill 8190 bytes; the rest are lost.
  ASSERT_EQ(keys.size(), 819u);
  EXPECT_EQ(keys.front(), "Key000000");
  EXPECT_EQ(keys.back(), "Key000818");
}

TEST_P(ProfileTest, WritingReplacesAnExistingKeyMatchedWithoutCase) {
  WriteFile(File(), "[Program]\r\nTitle=Old\r\nOther=1\r\n");
  ASSERT_TRUE(P().write(File(), "PROGRAM", std::string("title"), std::string("New")));
  EXPECT_EQ(P().read(File(), "Program", "Title", "", 1024), "New");
  EXPECT_EQ(P().keys(File(), "Program", 8192).size(), 2u);
  EXPECT_EQ(P().read(File(), "Program", "Other", "", 1024), "1");
}

TEST_P(ProfileTest, WritingAppendsKeysToTheirSectionAndSectionsAtTheEnd) {
  WriteFile(File(), "[First]\r\na=1\r\n\r\n[Second]\r\nb=2\r\n");
  ASSERT_TRUE(P().write(File(), "First", std::string("c"), std::string("3")));
  ASSERT_TRUE(P().write(File(), "Third", std::string("d"), std::string("4")));
  EXPECT_EQ(P().keys(File(), "First", 8192), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(P().keys(File(), "Second", 8192), (std::vector<std::string>{"b"}));
  EXPECT_EQ(P().read(File(), "Third", "d", "", 1024), "4");
  std::string text = ReadFile(File());
  EXPECT_LT(text.find("[Second]"), text.find("[Third]"));
  EXPECT_LT(text.find("c=3"), text.find("[Second]"));
}

TEST_P(ProfileTest, WritingCreatesTheFile) {
  ASSERT_TRUE(P().write(File(), "UNINS", std::string("C:\\App\\*.*"), std::string("")));
  EXPECT_EQ(P().read(File(), "UNINS", "C:\\App\\*.*", "<none>", 1024), "");
  EXPECT_NE(ReadFile(File()).find("C:\\App\\*.*="), std::string::npos);
}

TEST_P(ProfileTest, DeletingASectionKeepsTheRest) {
  WriteFile(File(), "[Program]\r\nTitle=App\r\n[UNINS]\r\nx=\r\ny=\r\n[Folders]\r\nf=\r\n");
  ASSERT_TRUE(P().write(File(), "unins", std::nullopt, std::nullopt));
  EXPECT_TRUE(P().keys(File(), "UNINS", 8192).empty());
  EXPECT_EQ(P().read(File(), "Program", "Title", "", 1024), "App");
  EXPECT_EQ(P().keys(File(), "Folders", 8192), (std::vector<std::string>{"f"}));
}

TEST_P(ProfileTest, DeletingAKey) {
  WriteFile(File(), "[Main]\r\na=1\r\nb=2\r\n");
  ASSERT_TRUE(P().write(File(), "Main", std::string("A"), std::nullopt));
  EXPECT_EQ(P().keys(File(), "Main", 8192), (std::vector<std::string>{"b"}));
}

TEST_P(ProfileTest, WritingIntoAMissingFolderFails) {
  EXPECT_FALSE(P().write(Path("no\\such\\dir\\x.ini"), "A", std::string("k"), std::string("v")));
}

INSTANTIATE_TEST_SUITE_P(Implementations, ProfileTest, ::testing::Values(&kOwn, &kPlatform),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(ProfileBuffer, KeysThroughBufferCutsTheLastName) {
  std::vector<std::string> keys{"abc", "defgh"};
  EXPECT_EQ(ini::KeysThroughBuffer(keys, 100), keys);
  EXPECT_EQ(ini::KeysThroughBuffer(keys, 10), (std::vector<std::string>{"abc", "defg"}));
  EXPECT_EQ(ini::KeysThroughBuffer(keys, 6), (std::vector<std::string>{"abc"}));
}

TEST(ProfileDocument, UnchangedLinesSurviveAWrite) {
  ini::Document doc("; comment\r\n[Main]\r\nName = old\r\nKeep=1\r\n");
  doc.Set("main", "NAME", "new");
  EXPECT_EQ(doc.Text(), "; comment\r\n[Main]\r\nName=new\r\nKeep=1\r\n");
}

TEST(ProfileDocument, ReadsFollowEveryChange) {
  ini::Document doc("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=9\r\n");
  EXPECT_EQ(doc.Value("a", "X"), "1");
  EXPECT_EQ(doc.KeyLines("A", "x"), std::vector<size_t>{2});
  doc.Set("B", "z", "3");
  EXPECT_EQ(doc.Value("b", "Z"), "3");
  doc.DeleteKey("B", "y");
  EXPECT_EQ(doc.Value("B", "y"), std::nullopt);
  doc.DeleteSection("A");  // the repeated section is the first of its name now
  EXPECT_EQ(doc.Value("A", "x"), "9");
  EXPECT_EQ(doc.KeyLines("A", "x"), std::vector<size_t>{4});
  doc.Set("C", "k", "v");
  EXPECT_EQ(doc.Value("c", "k"), "v");
}

TEST(ProfileDocument, SectionsAndKeysThatNoReadReaches) {
  struct {
    const char* text;
    std::vector<std::string> sections, stray;
  } cases[] = {
      {"[A]\r\nx=1\r\n[ b ]\r\n[A]\r\n", {"A", "b", "A"}, {}},
      {"; note\r\nk=1\r\nno equals\r\n j = 2\r\n[A]\r\nx=1\r\n", {"A"}, {"k", "j"}},
      // A byte-order mark makes the header an ordinary line, so its keys stand outside.
      {"\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\r\n", {"B"}, {"x"}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    ini::Document doc(c.text);
    EXPECT_EQ(doc.Sections(), c.sections) << c.text;
    EXPECT_EQ(doc.KeysBeforeSections(), c.stray) << c.text;
  }
}

}  // namespace
}  // namespace tovin::test
