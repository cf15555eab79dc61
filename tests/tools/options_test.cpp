// The option parser, the progress line and the host form of paths in messages.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tools/host_paths.h"
#include "tools/options.h"
#include "tools/progress.h"

namespace tovin::cli {
namespace {

struct NumberCase {
  const char* text;
  bool suffixes;
  bool ok;
  int64_t value;
};

class Numbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, ParseOrRefuse) {
  const auto& c = GetParam();
  int64_t v = -12345;
  EXPECT_EQ(ParseNumber(c.text, -2147483648LL, 4294967295LL, c.suffixes, v), c.ok) << c.text;
  if (c.ok) EXPECT_EQ(v, c.value) << c.text;
  else EXPECT_EQ(v, -12345) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Numbers,
    ::testing::Values(NumberCase{"0", false, true, 0}, NumberCase{"1440000", false, true, 1440000},
                      NumberCase{"0x10000", false, true, 65536}, NumberCase{"0XfF", false, true, 255},
                      NumberCase{"-5", false, true, -5}, NumberCase{"+7", false, true, 7},
                      NumberCase{"0xFFFFFFFF", false, true, 4294967295LL},
                      NumberCase{"0x100000000", false, false, 0}, NumberCase{"3000000000000", false, false, 0},
                      NumberCase{"99999999999999999999999", false, false, 0}, NumberCase{"abc", false, false, 0},
                      NumberCase{"", false, false, 0}, NumberCase{"-", false, false, 0},
                      NumberCase{"0x", false, false, 0}, NumberCase{"12 ", false, false, 0},
                      NumberCase{"1.5", false, false, 0}, NumberCase{"64K", false, false, 0},
                      NumberCase{"64K", true, true, 65536}, NumberCase{"2m", true, true, 2097152},
                      NumberCase{"4G", true, false, 0}, NumberCase{"0x10K", true, false, 0},
                      NumberCase{"KB", true, false, 0}));

TEST(OptionParser, ReadsOptionsPositionalsAndInlineValues) {
  bool quiet = false;
  std::string out, method = "lh5", src;
  int64_t size = 1;
  std::vector<std::string> rest;
  OptionParser p("pack", "[OPTIONS] SRC", "packs");
  p.Flag("-q,--quiet", "quiet", quiet);
  p.Text("-o", "OUT", "output", out);
  p.Choice("-m", "M", "method", method, {"none", "lh5"});
  p.Number("--size", "N", "size", size, 1, 100);
  p.Positional("SRC", "source", src, true);
  p.Rest("MORE", "more", rest, 0);
  ASSERT_TRUE(p.Parse({"x", "--size=42", "-q", "-o", "o", "y", "--", "-z"}));
  EXPECT_TRUE(quiet);
  EXPECT_EQ(out, "o");
  EXPECT_EQ(size, 42);
  EXPECT_EQ(method, "lh5");
  EXPECT_EQ(src, "x");
  EXPECT_EQ(rest, (std::vector<std::string>{"y", "-z"}));
  EXPECT_TRUE(p.Given("--size"));
  EXPECT_FALSE(p.Given("-m"));
}

TEST(OptionParser, ComplaintsNameTheOption) {
  auto complaint = [](std::vector<std::string> args) {
    bool flag = false;
    std::string text, one;
    int64_t n = 0;
    OptionParser p("cmd", "", "");
    p.Flag("-f", "", flag);
    p.Text("-t", "T", "", text);
    int64_t size = 0;
    p.Number("-n", "N", "", n, 0, 10);
    p.Number("-s", "SIZE", "", size, 16384, 1 << 30, true);
    p.Positional("ONE", "", one, true);
    try {
      p.Parse(args);
    } catch (const UsageError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(complaint({"-n", "11", "a"}), "-n: 11 is above the maximum, 10");
  EXPECT_EQ(complaint({"-n", "ten", "a"}).rfind("-n: 'ten' is not a number from 0 to 10", 0), 0u);
  EXPECT_EQ(complaint({"-s", "10K", "a"}), "-s: '10K' (10240) is below the minimum, 16384");
  EXPECT_EQ(complaint({"a", "-t"}), "-t needs a value (T)");
  EXPECT_EQ(complaint({"a", "-f=1"}), "unknown option -f=1");
  EXPECT_EQ(complaint({"-x", "a"}), "unknown option -x");
  EXPECT_EQ(complaint({}), "missing ONE");
  EXPECT_EQ(complaint({"a", "b"}), "unexpected argument 'b'");
  EXPECT_EQ(complaint({"a", "-f"}), "");
}

TEST(ProgressLine, FitsTheWidthAndCountsBytes) {
  for (int width : {20, 40, 80, 200}) {
    std::string line = ProgressLine(std::string(300, 'n') + "/tail.bin", 150000000, 300000000, width);
    EXPECT_EQ(static_cast<int>(line.size()), width - 1) << line;
    if (width >= 40) EXPECT_NE(line.find(" 50% 150.0 MB/300.0 MB"), std::string::npos) << line;
    else EXPECT_NE(line.find(" 50%"), std::string::npos) << line;
  }
  EXPECT_NE(ProgressLine("a", 500, 1000, 80).find("a "), std::string::npos);
  EXPECT_NE(ProgressLine("x", 9, 0, 80).find("100%"), std::string::npos);
  EXPECT_NE(ProgressLine("esc\x1b[2J", 1, 2, 80).find("esc\\x1B[2J"), std::string::npos);
}

TEST(HostPaths, MessagesShowHostPaths) {
  if (!plat::IsEmulated()) GTEST_SKIP() << "paths are the host's own on Windows";
  EXPECT_EQ(DisplayMessage("Cannot open file Z:\\tmp\\pkg\\a b.txt"), "Cannot open file /tmp/pkg/a b.txt");
  EXPECT_EQ(DisplayMessage("Unable to locate \"Z:\\x\\y\" on this"), "Unable to locate \"/x/y\" on this");
  EXPECT_EQ(DisplayMessage("ratio 1:\\2 stays"), "ratio 1:\\2 stays");
  EXPECT_EQ(Printable("a\nb\x7f"), "a\\x0Ab\\x7F");
}

}  // namespace
}  // namespace tovin::cli
