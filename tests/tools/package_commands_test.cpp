// pack, list, test and extract as a new user meets them: refused names, replaced packages,
// links, clashes, honest errors and numbers checked before anything is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

std::string Text(int lines, int seed) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string((i + seed) * 7919 % 10007) + " of a text\n";
  return text;
}

size_t Count(const std::string& haystack, const std::string& needle) {
  size_t n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
  return n;
}

bool EmptyOrMissing(const std::string& dir) { return !fs::exists(dir) || fs::is_empty(dir); }

TEST_F(Cli, PackRefusesEveryNameWindowsCannotHoldBeforeWriting) {
  Make("src/good.txt", "fine");
  const std::vector<std::string> bad = {"a:b", "q?", "star*", "pipe|", "lt<", "gt>", "quote\"", "ctl\x01",
                                        "blank ", "dot.", "CON", "nul.txt", "com1.log", "LPT9", "back\\slash"};
  for (const auto& name : bad) Make("src/sub/" + name, "x");
  Make("src/" + std::string(250, 'd') + "/" + std::string(20, 'f'), "long");
  EXPECT_EQ(Tovin("pack -o pkg src"), 1);
  for (const auto& name : bad) {
    std::string shown = name == "ctl\x01" ? "ctl\\x01" : name;
    EXPECT_NE(err_.find("refused sub\\" + shown + ":"), std::string::npos) << name << "\n" << err_;
  }
  EXPECT_NE(err_.find("characters long"), std::string::npos) << err_;
  EXPECT_EQ(Count(err_, "refused "), bad.size() + 1) << err_;
  EXPECT_NE(err_.find("nothing was written"), std::string::npos);
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
}

TEST_F(Cli, PackRefusesNamesThatDifferOnlyInCase) {
  Make("src/Readme.txt", "one");
  Make("src/README.TXT", "two");
  EXPECT_EQ(Tovin("pack -q -o pkg src"), 1);
  EXPECT_NE(err_.find("only in letter case"), std::string::npos) << err_;
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
}

TEST_F(Cli, PackIntoAFolderWithAPackageNeedsForceAndReplacesExactlyTheOldSet) {
  Make("big/data.txt", Text(20000, 1));
  Make("big/install.cfg", "[Setup - Main]\r\n");
  ASSERT_EQ(Tovin("pack -q -m none --segment-size 16384 --setup big/data.txt -o pkg big"), 0) << err_;
  ASSERT_TRUE(fs::exists(dir_ + "/pkg/tovinsetup.005"));
  Make("pkg/notes.txt", "the author's own file");
  Make("pkg/tovinsetup.$2$", "left by a pack that was cut off");
  Make("small/one.txt", "one");

  EXPECT_EQ(Tovin("pack -q -o pkg small"), 1);
  EXPECT_NE(err_.find("not empty"), std::string::npos) << err_;
  EXPECT_TRUE(fs::exists(dir_ + "/pkg/tovinsetup.005"));

  ASSERT_EQ(Tovin("pack -o pkg --force small"), 0) << err_;
  EXPECT_NE(err_.find("the package has none"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(dir_ + "/pkg/tovinsetup.002"));
  EXPECT_FALSE(fs::exists(dir_ + "/pkg/tovinsetup.005"));
  EXPECT_FALSE(fs::exists(dir_ + "/pkg/install.cfg"));
  // The old setup program is gone; the project's own takes its place where it has been built.
  EXPECT_TRUE(!fs::exists(dir_ + "/pkg/install.exe") || ReadHostFile(dir_ + "/pkg/install.exe") != Text(20000, 1));
  EXPECT_FALSE(fs::exists(dir_ + "/pkg/tovinsetup.$2$"));
  EXPECT_EQ(ReadHostFile(dir_ + "/pkg/notes.txt"), "the author's own file");
  ASSERT_EQ(Tovin("extract -q -C out pkg"), 0) << err_;
  EXPECT_EQ(Tree(dir_ + "/out"), Tree(dir_ + "/small"));
}

TEST_F(Cli, PackLeavesAnOutputFolderInsideTheSourceOutOfTheWalk) {
  Make("src/a.txt", Text(100, 2));
  ASSERT_EQ(Tovin("pack -q -o src/pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("pack -q --force -o src/pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("list src/pkg"), 0) << err_;
  EXPECT_EQ(out_.find("tovinsetup.001  "), std::string::npos) << out_;
  EXPECT_EQ(out_.find("pkg\\"), std::string::npos) << out_;
  EXPECT_NE(out_.find("1 file\n"), std::string::npos) << out_;
}

TEST_F(Cli, LinksAreFollowedOnceLoopsAndDanglingLinksAreNamed) {
  Make("src/real/file.txt", "content");
  Make("outside/shared.txt", "shared");
  fs::create_directories(dir_ + "/src/empty");
  fs::create_directory_symlink(dir_ + "/outside", dir_ + "/src/linked");
  fs::create_symlink(dir_ + "/src/real/file.txt", dir_ + "/src/alias.txt");
  fs::create_directory_symlink("..", dir_ + "/src/real/loop");
  fs::create_symlink(dir_ + "/nowhere", dir_ + "/src/dangling");
  ASSERT_EQ(Tovin("pack -o pkg src"), 0) << err_;
  EXPECT_NE(err_.find("left out real\\loop: a link loop"), std::string::npos) << err_;
  EXPECT_NE(err_.find("left out dangling: a link to nothing"), std::string::npos) << err_;
  EXPECT_NE(err_.find("left out empty: an empty folder"), std::string::npos) << err_;
  EXPECT_NE(err_.find("followed linked"), std::string::npos) << err_;
  EXPECT_NE(err_.find("followed alias.txt"), std::string::npos) << err_;
  ASSERT_EQ(Tovin("extract -q -C out pkg"), 0) << err_;
  EXPECT_EQ(ReadHostFile(dir_ + "/out/linked/shared.txt"), "shared");
  EXPECT_EQ(ReadHostFile(dir_ + "/out/alias.txt"), "content");
  EXPECT_EQ(ReadHostFile(dir_ + "/out/real/file.txt"), "content");
  EXPECT_FALSE(fs::exists(dir_ + "/out/real/loop"));
}

TEST_F(Cli, FlatExtractionNamesClashesAndCountsWhatIsOnDisk) {
  Make("src/a/readme.txt", "first");
  Make("src/b/README.TXT", "second");
  Make("src/c/other.txt", "other");
  ASSERT_EQ(Tovin("pack -o pkg src"), 0) << err_;
  EXPECT_NE(err_.find("share a file name"), std::string::npos) << err_;
  ASSERT_EQ(Tovin("extract --flat -C flat pkg"), 0) << err_;
  EXPECT_NE(err_.find("b\\README.TXT replaces a\\readme.txt"), std::string::npos) << err_;
  EXPECT_NE(err_.find("2 files written"), std::string::npos) << err_;
  size_t onDisk = 0;
  for (auto& e : fs::directory_iterator(dir_ + "/flat")) onDisk += e.is_regular_file();
  EXPECT_EQ(onDisk, 2u);
}

TEST_F(Cli, EveryMemberErrorNamesTheMember) {
  Make("src/first.txt", "small");
  Make("src/t.txt", Text(3000, 3));
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  std::string seg = ReadHostFile(dir_ + "/pkg/tovinsetup.001");
  seg[seg.size() * 3 / 4] ^= 0x10;
  WriteHostFile(dir_ + "/pkg/tovinsetup.001", seg);
  for (const char* verb : {"test", "extract -C out"}) {
    EXPECT_EQ(Tovin(std::string(verb) + " pkg"), 1) << verb;
    EXPECT_NE(err_.find("archive tovinsetup.vlx, member t.txt: "), std::string::npos) << err_;
  }
}

TEST_F(Cli, NoPackageIsSaidPlainly) {
  fs::create_directories(dir_ + "/empty");
  Make("plain.txt", "not a segment");
  for (const char* verb : {"list", "test", "extract -C out"}) {
    EXPECT_EQ(Tovin(std::string(verb) + " empty"), 1);
    EXPECT_NE(err_.find("no package found in empty"), std::string::npos) << err_;
    EXPECT_EQ(Tovin(std::string(verb) + " plain.txt"), 1);
    EXPECT_NE(err_.find("plain.txt is not a segment file"), std::string::npos) << err_;
    EXPECT_EQ(err_.find("aborted by user"), std::string::npos) << err_;
    EXPECT_EQ(err_.find("Unable to locate"), std::string::npos) << err_;
  }
}

TEST_F(Cli, ATruncatedSegmentIsNamed) {
  Make("src/big.txt", Text(5000, 4));
  ASSERT_EQ(Tovin("pack -q -m none --segment-size 65536 -o pkg src"), 0) << err_;
  ASSERT_TRUE(fs::exists(dir_ + "/pkg/tovinsetup.002"));
  ASSERT_FALSE(fs::exists(dir_ + "/pkg/tovinsetup.003"));
  std::string last = ReadHostFile(dir_ + "/pkg/tovinsetup.002");
  WriteHostFile(dir_ + "/pkg/tovinsetup.002", last.substr(0, last.size() / 2));
  EXPECT_EQ(Tovin("test pkg"), 1);
  EXPECT_NE(err_.find("tovinsetup.003 is missing, or tovinsetup.002 is truncated"), std::string::npos) << err_;
  EXPECT_EQ(err_.find("tovinsetup.004"), std::string::npos) << err_;

  ASSERT_EQ(Tovin("pack -q --force -m none --segment-size 16384 -o pkg src"), 0) << err_;
  std::string second = ReadHostFile(dir_ + "/pkg/tovinsetup.002");
  WriteHostFile(dir_ + "/pkg/tovinsetup.002", second.substr(0, 100));
  EXPECT_EQ(Tovin("list pkg"), 1);
  EXPECT_NE(err_.find("segment tovinsetup.002 is damaged: it holds 100 bytes"), std::string::npos) << err_;
}

struct BadOption {
  const char* args;
  const char* names;  // what the message must name
};

class CliOptions : public Cli, public ::testing::WithParamInterface<BadOption> {};

TEST_P(CliOptions, EveryBadValueIsAUsageErrorNamingTheOption) {
  Make("src/a.txt", "a");
  EXPECT_EQ(Tovin(GetParam().args), 2) << GetParam().args;
  EXPECT_NE(err_.find(GetParam().names), std::string::npos) << err_;
  EXPECT_EQ(err_.find("stol"), std::string::npos) << err_;
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, CliOptions,
    ::testing::Values(BadOption{"pack --segment-size abc -o pkg src", "--segment-size: 'abc'"},
                      BadOption{"pack --segment-size -5 -o pkg src", "--segment-size: -5 is below the minimum, 16384"},
                      BadOption{"pack --segment-size 3000000000 -o pkg src", "3000000000 is above the maximum, 2147483647"},
                      BadOption{"pack --segment-size 10K -o pkg src", "'10K' (10240) is below the minimum, 16384"},
                      BadOption{"pack -j 0 -o pkg src", "-j: 0 is below the minimum, 1"},
                      BadOption{"pack -m foo -o pkg src", "-m: 'foo' is not one of none, rle, lzh, lh5"},
                      BadOption{"pack -o pkg", "missing SRCDIR"},
                      BadOption{"pack src", "missing -o OUTDIR"},
                      BadOption{"pack --bogus -o pkg src", "unknown option --bogus"},
                      BadOption{"test -k zz pkg", "-k: 'zz'"},
                      BadOption{"codec decode -m lh5 -s 12x a b", "-s: '12x'"},
                      BadOption{"codec encode -m lh6 a b", "-m: 'lh6'"},
                      BadOption{"archive extract -k 0x1ffffffff a.vlx", "-k: '0x1ffffffff'"},
                      BadOption{"list a b", "unexpected argument 'b'"},
                      BadOption{"frobnicate", "unknown command 'frobnicate'"}));

TEST_F(Cli, DecodingToASizeTheDataDoesNotHoldFailsAndLeavesNoOutput) {
  Make("text.txt", Text(500, 8));
  for (const char* m : {"lh5", "lzh", "rle"}) {
    ASSERT_EQ(Tovin(std::string("codec encode -m ") + m + " text.txt packed"), 0) << err_;
    std::string size = std::to_string(fs::file_size(dir_ + "/text.txt"));
    ASSERT_EQ(Tovin(std::string("codec decode -m ") + m + " -s " + size + " packed back"), 0) << err_;
    EXPECT_EQ(ReadHostFile(dir_ + "/back"), ReadHostFile(dir_ + "/text.txt"));
    EXPECT_EQ(Tovin(std::string("codec decode -m ") + m + " -s " + size + "000 packed over"), 1) << m;
    EXPECT_NE(err_.find("ends too soon"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(dir_ + "/over")) << m;
  }
}

TEST_F(Cli, NumbersInHexAndWithSuffixesAreRead) {
  Make("src/a.txt", Text(20000, 5));
  ASSERT_EQ(Tovin("pack -q -m none --segment-size 0x10000 -o pkg src"), 0) << err_;
  EXPECT_EQ(fs::file_size(dir_ + "/pkg/tovinsetup.001"), 65536u);
  ASSERT_EQ(Tovin("pack -q -m none --segment-size 32K -o pkg2 src"), 0) << err_;
  EXPECT_EQ(fs::file_size(dir_ + "/pkg2/tovinsetup.001"), 32768u);
}

TEST_F(Cli, HelpVersionAndGlobalOptions) {
  for (const char* cmd : {"pack", "list", "test", "extract", "archive", "codec", "config"}) {
    ASSERT_EQ(Tovin(std::string(cmd) + " --help"), 0) << cmd;
    EXPECT_NE(out_.find("usage: tovin " + std::string(cmd)), std::string::npos) << out_;
    EXPECT_TRUE(err_.empty()) << err_;
  }
  ASSERT_EQ(Tovin("pack --help"), 0);
  EXPECT_NE(out_.find("--segment-size N"), std::string::npos) << out_;
  EXPECT_NE(out_.find("--force"), std::string::npos) << out_;
  ASSERT_EQ(Tovin("--version"), 0);
  EXPECT_EQ(out_.rfind("tovin ", 0), 0u) << out_;
  ASSERT_EQ(Tovin("--help"), 0);
  EXPECT_NE(out_.find("Exit status"), std::string::npos);

  Make("src/a.txt", "a");
  ASSERT_EQ(Tovin("-q pack -o pkg src"), 0) << err_;
  EXPECT_TRUE(err_.empty()) << err_;
  ASSERT_EQ(Tovin("-q test pkg"), 0) << err_;
  EXPECT_TRUE(out_.empty()) << out_;
}

TEST_F(Cli, MissingInputsAreFoundBeforeAnythingIsWritten) {
  Make("src/a.txt", Text(100, 6));
  EXPECT_EQ(Tovin("pack -q --config nope.cfg -o pkg src"), 1);
  EXPECT_NE(err_.find("--config: no such file: nope.cfg"), std::string::npos) << err_;
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
  EXPECT_EQ(Tovin("pack -q --setup nope.exe -o pkg src"), 1);
  EXPECT_NE(err_.find("--setup: no such file: nope.exe"), std::string::npos) << err_;
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
  EXPECT_EQ(Tovin("pack -q -o pkg nosuchdir"), 1);
  EXPECT_NE(err_.find("not a folder: nosuchdir"), std::string::npos) << err_;
}

TEST_F(Cli, MoreThanTwoGibibytesInOneArchiveIsRefusedAtOnce) {
  // Sparse files: the sizes are real, the disk and the time are not spent.
  fs::create_directories(dir_ + "/src");
  for (const char* name : {"a.bin", "b.bin"}) {
    FILE* f = std::fopen((dir_ + "/src/" + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 1200L * 1000 * 1000, SEEK_SET);
    std::fputc('x', f);
    std::fclose(f);
  }
  EXPECT_EQ(Tovin("pack -q -o pkg src"), 1);
  EXPECT_NE(err_.find("an archive holds at most 2 GiB"), std::string::npos) << err_;
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
}

TEST_F(Cli, ListShowsMethodSizesRatioDateAttributesAndTotals) {
  Make("src/text.txt", Text(2000, 7));
  Make("src/empty.dat", "");
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("list pkg"), 0) << err_;
  EXPECT_NE(out_.find("Archive tovinsetup.vlx (2 files)"), std::string::npos) << out_;
  EXPECT_NE(out_.find("Method       Size     Stored  Ratio  Date"), std::string::npos) << out_;
  EXPECT_NE(out_.find("lh5    "), std::string::npos) << out_;
  EXPECT_NE(out_.find("lh5             0          0      - "), std::string::npos) << out_;
  EXPECT_NE(out_.find(" text.txt\n"), std::string::npos) << out_;
  EXPECT_NE(out_.find("2 files\n"), std::string::npos) << out_;
}

// Links planted in the target folder: extraction stops at the member, names the file it
// could not create, and nothing outside the target is created or changed.
TEST_F(Cli, ExtractionIntoAFolderHoldingLinksWritesNothingOutsideIt) {
  Make("src/LINK/file", "through a folder link");
  Make("src/flink", "over a file link");
  Make("src/dangling", "through a dangling link");
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  Make("elsewhere/victim", "original");
  auto outside = [&] {
    std::string seen;
    for (auto& e : fs::recursive_directory_iterator(dir_ + "/elsewhere"))
      seen += e.path().string() + "=" + (e.is_regular_file() ? ReadHostFile(e.path().string()) : "") + "\n";
    return seen;
  };
  const std::string before = outside();
  struct Planted {
    const char* name;    // the link in the target
    const char* to;      // what it points at, below elsewhere/
    const char* member;  // the member that meets it
  } planted[] = {{"link", "", "LINK\\file"}, {"flink", "victim", "flink"}, {"dangling", "nothing", "dangling"}};
  int n = 0;
  for (const auto& p : planted)
    for (const char* flat : {"", "--flat "}) {
      if (*flat && std::string(p.name) == "link") continue;  // --flat drops the folder
      std::string target = "t" + std::to_string(n++);
      fs::create_directories(dir_ + "/" + target);
      fs::create_symlink(dir_ + "/elsewhere/" + p.to, dir_ + "/" + target + "/" + p.name);
      SCOPED_TRACE(std::string(flat) + p.name);
      EXPECT_EQ(Tovin("extract -q " + std::string(flat) + "-C " + target + " pkg"), 1);
      EXPECT_NE(err_.find("member " + std::string(p.member) + ": Cannot create file " + dir_ + "/" + target + "/"),
                std::string::npos)
          << err_;
      EXPECT_EQ(outside(), before);
      EXPECT_FALSE(fs::exists(dir_ + "/elsewhere/nothing"));
      EXPECT_TRUE(fs::is_symlink(dir_ + "/" + target + "/" + p.name));
    }
}

// pack refuses names Windows cannot hold, so such members are made by renaming stored ones in
// place (same length; stored without compression, so the file list holds the names as text).
void Rename(const std::string& path, const std::vector<std::pair<std::string, std::string>>& names) {
  std::string bytes = ReadHostFile(path);
  for (const auto& [from, to] : names)
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1))
      bytes.replace(at, from.size(), to);
  WriteHostFile(path, bytes);
}

// Written as they are on this host, such members reach a device or another file on Windows:
// every command names them.
TEST_F(Cli, MembersWindowsWouldRefuseAreNamedByEveryCommand) {
  Make("src/zzz.txt", "device");
  Make("src/sub/dirx", "trimmed");
  Make("src/ok.txt", "fine");
  ASSERT_EQ(Tovin("archive create -q -m none -C src a.vlx zzz.txt sub ok.txt"), 0) << err_;
  ASSERT_EQ(Tovin("pack -q -m none -o pkg src"), 0) << err_;
  const std::vector<std::pair<std::string, std::string>> names = {{"zzz.txt", "aux.txt"}, {"dirx", "dir."}};
  Rename(dir_ + "/a.vlx", names);
  Rename(dir_ + "/pkg/tovinsetup.001", names);
  const std::string device = "aux.txt: Windows refuses it: 'aux.txt' is the name of a Windows device";
  const std::string dot = "sub\\dir.: Windows refuses it: 'dir.' ends in a dot, which Windows drops";
  for (std::string list : {"archive list a.vlx", "list pkg"}) {
    SCOPED_TRACE(list);
    EXPECT_EQ(Tovin(list), 0) << err_;
    EXPECT_NE(out_.find("aux.txt  (Windows refuses it: 'aux.txt' is the name of a Windows device)"),
              std::string::npos) << out_;
    EXPECT_NE(out_.find("sub\\dir.  (Windows refuses it: 'dir.' ends in a dot"), std::string::npos) << out_;
    EXPECT_NE(out_.find(" ok.txt\n"), std::string::npos) << out_;
  }
  struct Run {
    const char* args;
    const char* prefix;  // before the member's name
  } runs[] = {{"archive test a.vlx", "tovin archive test: member "},
              {"archive extract -C out1 a.vlx", "tovin archive extract: member "},
              {"test pkg", "tovin test: archive tovinsetup.vlx, member "},
              {"extract -C out2 pkg", "tovin extract: archive tovinsetup.vlx, member "},
              {"extract --flat -C out3 pkg", "tovin extract: archive tovinsetup.vlx, member "}};
  for (const auto& r : runs) {
    SCOPED_TRACE(r.args);
    EXPECT_EQ(Tovin(r.args), 0) << err_;
    EXPECT_NE(err_.find(r.prefix + device + "\n"), std::string::npos) << err_;
    EXPECT_NE(err_.find(r.prefix + dot + "\n"), std::string::npos) << err_;
    EXPECT_EQ(Count(err_, "Windows refuses it"), 2u) << err_;
  }
  EXPECT_EQ(ReadHostFile(dir_ + "/out2/aux.txt"), "device");
  EXPECT_EQ(ReadHostFile(dir_ + "/out3/dir."), "trimmed");
}

}  // namespace
}  // namespace tovin::test

namespace tovin::test {
namespace {

// Where the install.exe of a package comes from when pack is given none, and the refusal of a
// package that could not install.
TEST_F(Cli, PackShipsASetupProgramOrRefusesAPackageThatCannotInstall) {
  strictPack_ = true;
  Make("bin/install.exe", "MZ beside tovin");
  fs::copy_file(TOVIN_BINARY, dir_ + "/bin/tovin");
  auto pack = [&](const std::string& src) {
    fs::remove_all(dir_ + "/pkg");
    return RunShell("cd '" + dir_ + "' && ./bin/tovin pack -q -o pkg " + src + " >out.txt 2>err.txt </dev/null");
  };
  Make("own/install.cfg", "[Setup - Main]\r\n");
  Make("own/install.exe", "MZ the source's own");
  Make("own/a.txt", "a");
  ASSERT_EQ(pack("own"), 0) << ReadHostFile(dir_ + "/err.txt");
  EXPECT_EQ(ReadHostFile(dir_ + "/pkg/install.exe"), "MZ the source's own");

  Make("plain/install.cfg", "[Setup - Main]\r\n");
  Make("plain/a.txt", "a");
  ASSERT_EQ(pack("plain"), 0) << ReadHostFile(dir_ + "/err.txt");
  EXPECT_EQ(ReadHostFile(dir_ + "/pkg/install.exe"), "MZ beside tovin");

  Make("nocfg/a.txt", "a");
  EXPECT_EQ(pack("nocfg"), 1);
  EXPECT_NE(ReadHostFile(dir_ + "/err.txt").find("has no install.cfg, and a package without one cannot install"),
            std::string::npos);
  EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));

  // The installed tovin's own beside it is gone: the build's install.exe, if there is one.
  fs::remove(dir_ + "/bin/install.exe");
  int status = pack("plain");
  if (fs::exists(TOVIN_SETUP_EXE)) {
    ASSERT_EQ(status, 0) << ReadHostFile(dir_ + "/err.txt");
    EXPECT_EQ(ReadHostFile(dir_ + "/pkg/install.exe"), ReadHostFile(TOVIN_SETUP_EXE));
  } else {
    EXPECT_EQ(status, 1);
    EXPECT_NE(ReadHostFile(dir_ + "/err.txt").find("no setup program"), std::string::npos);
    EXPECT_NE(ReadHostFile(dir_ + "/err.txt").find("--allow-incomplete"), std::string::npos);
    EXPECT_TRUE(EmptyOrMissing(dir_ + "/pkg"));
  }
  ASSERT_EQ(Tovin("pack -q --allow-incomplete -o pkg2 nocfg"), 0) << err_;
  EXPECT_TRUE(fs::exists(dir_ + "/pkg2/tovinsetup.001"));
}

}  // namespace
}  // namespace tovin::test
