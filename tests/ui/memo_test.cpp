// Memo lines: splitting text as a Windows memo does, and loading a file through the platform.
#include "platform/exception.h"
#include "tests/support/test_machine.h"
#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(MemoLines, SplitLikeAWindowsMemo) {
  struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"\r\n\r\nx", {"", "", "x"}},
      {" trailing blank ", {" trailing blank "}},
      {"before\0after"s, {"before"}},
      {"a\r\n\0\r\nb"s, {"a"}},
      {"\xE9t\xE9\r\n\x80\xFF"s, {"\xE9t\xE9", "\x80\xFF"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitMemoLines(c.text), c.lines) << testing::PrintToString(c.text);
}

class MemoFile : public tovin::test::MachineTest {
 protected:
  THeadlessBackend backend;
  TApplication app{backend};
  TForm form{app, "Tovin"};
  TMemo memo{form, "Memo3"};
};

TEST_F(MemoFile, LoadReplacesTheLines) {
  memo.SetLines({"built-in", "licence", "text"});
  tovin::test::WriteFile(Path("license.txt"), "LICENSE\r\n\r\nYou may use this.\r\n");
  memo.LoadFromFile(Path("license.txt"));
  EXPECT_EQ(memo.Lines(), (Lines{"LICENSE", "", "You may use this."}));
  tovin::test::WriteFile(Path("empty.txt"), "");
  memo.LoadFromFile(Path("empty.txt"));
  EXPECT_TRUE(memo.Lines().empty());
}

TEST_F(MemoFile, ABreakAcrossTheReadBufferIsOneBreak) {
  // CR as the last byte of the first 8192-byte read and LF as the first of the next.
  std::string first(8191, 'x');
  tovin::test::WriteFile(Path("long.txt"), first + "\r\n" + "second\r\nthird");
  memo.LoadFromFile(Path("long.txt"));
  EXPECT_EQ(memo.Lines(), (Lines{first, "second", "third"}));
}

TEST_F(MemoFile, AMissingFileRaisesAndKeepsTheLines) {
  memo.SetLines({"kept"});
  std::string path = Path("missing.txt");
  try {
    memo.LoadFromFile(path);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + path);
  }
  EXPECT_EQ(memo.Lines(), (Lines{"kept"}));
}

}  // namespace
}  // namespace tovin::ui::test
