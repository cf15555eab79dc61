// The tovin command line end to end, as a user runs it on the host.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "container/archive_writer.h"
#include "platform/platform.h"
#include "segment/seg_writer.h"
#include "tests/support/lha_archive.h"
#include "tests/tools/cli_fixture.h"

namespace tovin::test {
namespace {

namespace fs = std::filesystem;

TEST_F(Cli, PackListTestExtractRoundTrip) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "line " + std::to_string(i * 31 % 977) + " of a document\n";
  Make("src/readme.txt", text);
  Make("src/install.cfg", "[Setup - Main]\r\nInstall Dir=App\r\n");
  std::string noise(40000, '\0');
  uint32_t x = 1;
  for (auto& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  Make("src/bin/app.bin", std::string(10000, '\x90') + noise + text.substr(0, 30000));
  Make("src/empty.dat", "");
  Make("src/docs/deep/er/note.txt", "note");
  ASSERT_EQ(Tovin("pack -q --segment-size 16384 -o pkg src"), 0) << err_;
  EXPECT_TRUE(fs::exists(dir_ + "/pkg/tovinsetup.002"));
  EXPECT_EQ(ReadHostFile(dir_ + "/pkg/install.cfg"), "[Setup - Main]\r\nInstall Dir=App\r\n");

  ASSERT_EQ(Tovin("list pkg"), 0) << err_;
  EXPECT_NE(out_.find("bin\\app.bin"), std::string::npos);
  EXPECT_NE(out_.find("docs\\deep\\er\\note.txt"), std::string::npos);
  ASSERT_EQ(Tovin("test pkg/tovinsetup.001"), 0) << err_;
  EXPECT_NE(out_.find("5 files tested"), std::string::npos) << out_;

  ASSERT_EQ(Tovin("extract -q -C out pkg"), 0) << err_;
  EXPECT_EQ(Tree(dir_ + "/out"), Tree(dir_ + "/src"));
  ASSERT_EQ(Tovin("extract -q --flat -C flat pkg"), 0) << err_;
  EXPECT_EQ(ReadHostFile(dir_ + "/flat/note.txt"), "note");
  EXPECT_EQ(ReadHostFile(dir_ + "/flat/app.bin").size(), 80000u);
  ASSERT_EQ(Tovin("extract -q -C again pkg/tovinsetup.001"), 0) << err_;
  EXPECT_EQ(Tree(dir_ + "/again"), Tree(dir_ + "/src"));
  for (const char* jobs : {"1", "4"}) {  // decoded on the writing thread, and ahead of it
    ASSERT_EQ(Tovin(std::string("extract -q -j ") + jobs + " -C x" + jobs + " pkg"), 0) << err_;
    EXPECT_EQ(Tree(dir_ + "/x" + jobs), Tree(dir_ + "/src")) << jobs;
    ASSERT_EQ(Tovin(std::string("test -j ") + jobs + " pkg"), 0) << err_;
  }

  ASSERT_EQ(Tovin("pack -q --multi-arc -m lzh -o multi src"), 0) << err_;
  ASSERT_EQ(Tovin("extract -q -C mout multi"), 0) << err_;
  EXPECT_EQ(Tree(dir_ + "/mout"), Tree(dir_ + "/src"));

  // However many threads code the members, the package is the same.
  ASSERT_EQ(Tovin("pack -q -j 1 --segment-size 16384 -o j1 src"), 0) << err_;
  ASSERT_EQ(Tovin("pack -q -j 3 --segment-size 16384 -o j3 src"), 0) << err_;
  EXPECT_EQ(Tree(dir_ + "/j3"), Tree(dir_ + "/j1"));
  for (const auto& e : fs::directory_iterator(dir_ + "/j1"))
    EXPECT_EQ(ReadHostFile(dir_ + "/j3/" + e.path().filename().string()), ReadHostFile(e.path().string()))
        << e.path();
}

TEST_F(Cli, MissingSegmentIsAnErrorWithoutATerminal) {
  Make("src/big.bin", std::string(100000, 'b') + "end");
  ASSERT_EQ(Tovin("pack -q -m none --segment-size 16384 -o pkg src"), 0) << err_;
  fs::remove(dir_ + "/pkg/tovinsetup.003");
  EXPECT_EQ(Tovin("test pkg"), 1);
  EXPECT_NE(err_.find("segment tovinsetup.003 is missing"), std::string::npos) << err_;
  EXPECT_EQ(err_.find("aborted by user"), std::string::npos) << err_;
}

TEST_F(Cli, DamagedDataFailsTheTest) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += std::to_string(i * 7919 % 10007) + " words\n";
  Make("src/t.txt", text);
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  std::string seg = ReadHostFile(dir_ + "/pkg/tovinsetup.001");
  seg[seg.size() * 3 / 4] ^= 0x10;  // inside the archive's compressed data
  WriteHostFile(dir_ + "/pkg/tovinsetup.001", seg);
  EXPECT_NE(Tovin("test pkg"), 0);
  EXPECT_FALSE(err_.empty());
}

TEST_F(Cli, ArchiveCommands) {
  Make("in/a.txt", std::string(300, 'a') + "alpha alpha alpha alpha alpha alpha alpha alpha");
  Make("in/sub/b.txt", "beta");
  for (const char* m : {"none", "rle", "lzh", "lh5"}) {
    ASSERT_EQ(Tovin(std::string("archive create -q -m ") + m + " -k 12345 -C in a.vlx a.txt sub"), 0) << err_;
    ASSERT_EQ(Tovin("archive list a.vlx"), 0) << err_;
    EXPECT_NE(out_.find("sub\\b.txt"), std::string::npos);
    EXPECT_NE(out_.find("yes"), std::string::npos);  // locked
    if (std::string(m) != "none") {  // stored members cannot be locked
      EXPECT_NE(Tovin("archive test a.vlx"), 0) << m;
      EXPECT_NE(err_.find("File locked -- valid key required"), std::string::npos) << err_;
    }
    ASSERT_EQ(Tovin("archive test -k 12345 a.vlx"), 0) << err_;
    fs::remove_all(dir_ + "/x");
    ASSERT_EQ(Tovin("archive extract -q -k 12345 -C x a.vlx"), 0) << err_;
    EXPECT_EQ(Tree(dir_ + "/x"), Tree(dir_ + "/in")) << m;
  }
}

TEST_F(Cli, ExtractNeverWritesOutsideTheFolder) {
  for (const char* evil : {"..\\evil.txt", "\\evil.txt", "C:\\evil.txt", "ok\\..\\..\\evil.txt"}) {
    MemoryStream out;
    ArchiveWriter w(out, coLZH5);
    w.AddData("fine", "fine.txt", 0x2A4320A3u, 0);
    w.AddData("bad", evil, 0x2A4320A3u, 0);
    w.Finish();
    WriteHostFile(dir_ + "/evil.vlx", out.Data());
    fs::create_directories(dir_ + "/jail");
    EXPECT_NE(Tovin("archive extract -q -C jail evil.vlx"), 0) << evil;
    EXPECT_NE(err_.find("refusing"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(dir_ + "/evil.txt")) << evil;
    EXPECT_FALSE(fs::exists("/evil.txt"));
  }
}

TEST_F(Cli, PackageExtractRefusesTemplatesThatLeaveTheFolder) {
  for (const char* tmpl : {"..\\up\\a.vlx", "sub\\..\\..\\a.vlx"}) {
    MemoryStream data;
    ArchiveWriter w(data, coLZH5);
    w.AddData("payload", "f.txt", 0x2A4320A3u, 0);
    w.Finish();
    SegArchiveSource a;
    a.Template = tmpl;
    a.Archive = data.Data();
    a.Files = {"f.txt"};
    fs::remove_all(dir_ + "/pkg");
    fs::create_directories(dir_ + "/pkg");
    SegSetOptions o;
    o.SegDir = plat::FromHostPath(dir_ + "/pkg");
    WriteSegmentSet({a}, o);
    EXPECT_NE(Tovin("extract -q -C jail/inner pkg"), 0) << tmpl;
    EXPECT_NE(err_.find("refusing"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(dir_ + "/jail/up/f.txt"));
    EXPECT_FALSE(fs::exists(dir_ + "/jail/f.txt"));
    EXPECT_FALSE(fs::exists(dir_ + "/f.txt"));
  }
}

TEST_F(Cli, ConfigRemovesItsTemporaryMachine) {
  fs::create_directories(dir_ + "/tmp");
  Make("not-a-folder", "");
  Make("app/install.cfg", "[Setup - Main]\r\nFolder=Tools\r\n");
  const char* before = std::getenv("TMPDIR");
  std::string saved = before ? before : "";
  bool hadTmp = before != nullptr;
  ::setenv("TMPDIR", (dir_ + "/not-a-folder").c_str(), 1);
  int unusable = Tovin("config app");
  std::string unusableErr = err_;
  ::setenv("TMPDIR", (dir_ + "/tmp").c_str(), 1);
  int ok = Tovin("config app");
  std::string okOut = out_;
  int failed = Tovin("config no-such-folder");
  if (hadTmp) ::setenv("TMPDIR", saved.c_str(), 1);
  else ::unsetenv("TMPDIR");
  // The machine is made where TMPDIR says, or not at all ...
  EXPECT_EQ(unusable, 1);
  EXPECT_NE(unusableErr.find("tovin config: machine root " + dir_ + "/not-a-folder/tovin-machine-"), std::string::npos)
      << unusableErr;
  // ... and is gone when tovin ends, whether the command worked or not.
  EXPECT_EQ(ok, 0);
  EXPECT_NE(okOut.find("Folder=Tools\n"), std::string::npos) << okOut;
  EXPECT_EQ(failed, 1);
  EXPECT_TRUE(fs::is_empty(dir_ + "/tmp"));
}

TEST_F(Cli, ConfigRootIsAFolderOrOneNewLevelBelowOne) {
  Make("plain", "not a folder");
  Make("app/install.cfg", "[Setup - Main]\r\nFolder=Tools\r\n");
  struct {
    const char* root;
    int status;
    const char* message;  // on standard error
  } cases[] = {
      {"plain", 1, "tovin config: machine root plain: not a folder"},
      {"a/b/c", 1, "tovin config: machine root a/b/c: its parent folder does not exist"},
      {"plain/sub", 1, "tovin config: machine root plain/sub: its parent is not a folder"},
      {"fresh", 0, ""},
      {"fresh", 0, ""},  // now an existing folder
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Tovin(std::string("config --root ") + c.root + " app"), c.status) << c.root;
    EXPECT_NE(err_.find(c.message), std::string::npos) << err_;
    if (c.status == 0) {
      EXPECT_NE(out_.find("Folder=Tools\n"), std::string::npos) << out_;
    } else {
      EXPECT_EQ(out_, "") << c.root;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ + "/a"));
  EXPECT_TRUE(fs::is_directory(dir_ + "/fresh/drive_c/WINDOWS/Temp"));
}

TEST_F(Cli, ConfigWarnsWhereTheSetupFallsBackSilently) {
  struct {
    const char* name;
    std::string cfg;  // "": no install.cfg; "/": a folder of that name
    const char* warning;
    const char* shown;  // what the setup still reads
  } cases[] = {
      {"missing", "", "tovin: warning: install.cfg: not found in ", "Folder=Accessories\n"},
      {"folder", "/", "tovin: warning: install.cfg: is a folder, not a file", "Folder=Accessories\n"},
      {"mark", "\xEF\xBB\xBF; saved by an editor\r\n[Setup - Main]\r\nLaunch=a.exe\r\n[Directories]\r\nD=<INSTALLDIR>~\r\n",
       "tovin: warning: install.cfg:1: starts with a UTF-8 byte-order mark, which hides its first line", "Launch=a.exe\n"},
      {"word", "[Setup - Main]\r\nShow Re-Boot=yes\r\nLaunch=a.exe\r\n[Directories]\r\nD=<INSTALLDIR>~\r\n",
       "tovin: warning: install.cfg:2: [Setup - Main] Show Re-Boot=yes is not a number; the setup uses the default, 1",
       "ShowReBoot=1\n"},
  };
  for (const auto& c : cases) {
    std::string app = std::string("apps/") + c.name;
    if (c.cfg == "/") fs::create_directories(dir_ + "/" + app + "/install.cfg");
    else if (c.cfg.empty()) fs::create_directories(dir_ + "/" + app);
    else Make(app + "/install.cfg", c.cfg);
    EXPECT_EQ(Tovin("config --root machine " + app), 0) << err_;
    EXPECT_NE(err_.find(c.warning), std::string::npos) << err_;
    EXPECT_EQ(err_.find("warning", err_.find("warning") + 1), std::string::npos) << err_;  // one only
    EXPECT_NE(out_.find(c.shown), std::string::npos) << out_;
  }
}

// An author's first session: init writes a configuration that passes the strict checks, packs
// and installs every file of the folder where it stands, with a shortcut to the program.
// Two checkouts give their files different dates: with SOURCE_DATE_EPOCH (or --mtime) the
// packages are the same byte for byte.
TEST_F(Cli, PackagesAreReproducibleAcrossCheckouts) {
  Make("src/a.txt", "alpha");
  Make("src/sub/b.txt", "beta");
  auto pack = [&](const std::string& out, const std::string& how) {
    EXPECT_EQ(Tovin("pack -q " + how + " -o " + out + " src"), 0) << err_;
    return ReadHostFile(dir_ + "/" + out + "/tovinsetup.001");
  };
  fs::last_write_time(dir_ + "/src/a.txt", fs::file_time_type::clock::now() - std::chrono::hours(24 * 400));
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  std::string first = pack("one", "");
  fs::last_write_time(dir_ + "/src/a.txt", fs::file_time_type::clock::now());
  std::string second = pack("two", "");
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(first, second);
  EXPECT_EQ(pack("three", "--mtime 2023-11-14T22:13:20"), first) << "the same instant, given as a date";
  EXPECT_NE(pack("four", ""), first) << "without a fixed time the dates are the files' own";
  EXPECT_EQ(Tovin("pack -q --mtime yesterday -o five src"), 2);
  EXPECT_NE(err_.find("--mtime: 'yesterday' is neither seconds since 1970 nor YYYY-MM-DD"), std::string::npos) << err_;
}

// An author's CI reads list and config as JSON.
TEST_F(Cli, ListAndConfigSpeakJson) {
  Make("src/a.txt", "alpha");
  Make("src/sub/b.txt", "beta");
  Make("src/install.cfg", "[Setup - Main]\r\nFolder=Tools\r\nLaunch=x.exe\r\n[Directories]\r\nD=<INSTALLDIR>~\r\n"
                          "[Files]\r\nF=gone.txt~<INSTALLDIR>\r\n");
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("list --json pkg"), 0) << err_;
  auto listing = nlohmann::json::parse(out_);
  std::vector<std::string> names;
  for (const auto& f : listing["archives"][0]["files"]) names.push_back(f["name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "install.cfg", "sub\\b.txt"}));
  EXPECT_EQ(listing["archives"][0]["files"][0]["size"], 5);
  EXPECT_EQ(listing["problems"], 0);

  ASSERT_EQ(Tovin("config --json --root machine pkg"), 0) << err_;
  auto config = nlohmann::json::parse(out_);
  EXPECT_EQ(config["Folder"], "Tools");
  EXPECT_EQ(config["FilesList"], (std::vector<std::string>{"gone.txt~<INSTALLDIR>~"}));
  ASSERT_EQ(config["warnings"].size(), 1u) << out_;
  EXPECT_EQ(config["warnings"][0]["line"], 7);
}

TEST_F(Cli, InitWritesAConfigurationThatInstallsTheWholeFolder) {
  Make("Editor/editor.exe", "MZ editor");
  Make("Editor/license.txt", "Licence\r\nline two\r\n");
  Make("Editor/docs/api/ref.txt", "reference");
  Make("setup.exe", "MZ setup");
  ASSERT_EQ(Tovin("init Editor"), 0) << err_;
  EXPECT_EQ(Tovin("init Editor"), 1) << "an existing install.cfg is kept";
  ASSERT_EQ(Tovin("config --strict --root machine Editor"), 0) << err_;
  ASSERT_EQ(Tovin("pack -q --strict --setup setup.exe -o pkg Editor"), 0) << err_;
  ASSERT_EQ(Tovin("setup -q --root machine pkg"), 0) << out_ << err_;
  std::string dest = dir_ + "/machine/drive_c/Program Files/Editor/";
  EXPECT_TRUE(fs::exists(dest + "editor.exe"));
  EXPECT_TRUE(fs::exists(dest + "docs/api/ref.txt")) << "a folder of the product keeps its place";
  EXPECT_TRUE(fs::exists(dir_ + "/machine/drive_c/WINDOWS/Desktop/Editor.lnk"));
}

TEST_F(Cli, ConfigLooksForItsFilesInThePackage) {
  std::string dirs = "[Directories]\r\nD=<INSTALLDIR>~\r\n";
  Make("src/bin/app.exe", "program");
  Make("src/readme.txt", "text");
  Make("src/install.cfg",
       "[Setup - Main]\r\nInstall Disks=1\r\nLaunch=app.exe\r\n" + dirs + "[Files]\r\nF1=APP.EXE~<INSTALLDIR>\r\n");
  ASSERT_EQ(Tovin("pack -q -o pkg src"), 0) << err_;
  ASSERT_EQ(Tovin("config --strict --root machine pkg"), 0) << err_;
  EXPECT_EQ(err_, "");

  std::string stale = "[Setup - Main]\r\nInstall Disks=2\r\nLaunch=app.exe\r\n" + dirs +
                      "[Files]\r\nF1=app.exe~<INSTALLDIR>\r\nF2=lib.dll~<INSTALLDIR>\r\n";
  WriteHostFile(dir_ + "/pkg/install.cfg", stale);
  ASSERT_EQ(Tovin("config --root machine pkg"), 0) << err_;
  const std::string warnings =
      "install.cfg:8: [Files] F2=lib.dll~<INSTALLDIR>: lib.dll is not in the package; the setup cannot install it\n";
  EXPECT_EQ(err_, "tovin: warning: " + warnings +
                      "tovin: warning: install.cfg:2: [Setup - Main] Install Disks=2, but the package has 1 segment "
                      "file\n");
  EXPECT_EQ(Tovin("config --strict --root machine pkg"), 1) << "an author's CI fails on a warning";

  // pack checks what it ships the same way, and --strict refuses before writing anything.
  Make("other.cfg", stale);
  EXPECT_EQ(Tovin("pack -q --config other.cfg -o pkg2 src"), 0) << err_;
  EXPECT_EQ(err_, "tovin pack: warning: " + warnings);
  ASSERT_EQ(Tovin("list pkg2"), 0) << err_;
  EXPECT_EQ(out_.find("install.cfg"), std::string::npos) << "src's own install.cfg is not the one that ships:\n" << out_;
  EXPECT_NE(out_.find("readme.txt"), std::string::npos) << out_;
  EXPECT_EQ(Tovin("pack -q --strict --config other.cfg -o pkg3 src"), 1);
  EXPECT_NE(err_.find("1 warning(s) about install.cfg and --strict; nothing was written"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(dir_ + "/pkg3/tovinsetup.001"));

  WriteHostFile(dir_ + "/pkg/tovinsetup.001", "damaged");
  ASSERT_EQ(Tovin("config --root machine pkg"), 0) << err_;
  EXPECT_NE(err_.find("tovin: warning: tovinsetup.001: "), std::string::npos) << err_;
  EXPECT_EQ(err_.find("lib.dll"), std::string::npos) << err_;
}

}  // namespace
}  // namespace tovin::test
