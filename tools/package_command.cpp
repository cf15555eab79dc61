// tovin pack|list|test|extract: packages, that is segment sets with their install.cfg and setup.
#include <cstdio>
#include <filesystem>
#include <cctype>
#include <map>

#include "container/archive_writer.h"
#include "platform/platform.h"
#include "segment/seg_vellox.h"
#include "segment/seg_writer.h"
#include "tools/cli_support.h"
#include "tools/commands.h"

namespace tovin::cli {
namespace {

constexpr const char* kBaseName = "tovinsetup";
constexpr const char* kArchiveExt = ".vlx";

bool ParseMethod(const std::string& v, TPackMethod& m) {
  if (v == "none") m = coNone;
  else if (v == "rle") m = coRLE;
  else if (v == "lzh") m = coLZH;
  else if (v == "lh5") m = coLZH5;
  else return false;
  return true;
}

void CopyFile(const std::string& from, const std::string& to) {
  FileStream in(from, FileStream::Mode::OpenRead), out(to, FileStream::Mode::Create);
  std::vector<char> buf(1 << 16);
  for (int64_t n; (n = in.Read(buf.data(), static_cast<int64_t>(buf.size()))) > 0;) out.WriteAll(buf.data(), n);
}

int Pack(const Args& args) {
  TPackMethod method = coLZH5;
  int32_t segSize = 1440000;
  bool multi = false, quiet = false;
  std::string config, setup, outDir, srcDir;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "-q") quiet = true;
    else if (a == "--multi-arc") multi = true;
    else if (a == "-m" && hasValue) {
      if (!ParseMethod(args[++i], method)) return 2;
    } else if (a == "--segment-size" && hasValue) {
      segSize = static_cast<int32_t>(std::stol(args[++i]));
      if (segSize < 16384) segSize = 16384;  // the smallest segment a set is written with
    }
    else if (a == "--config" && hasValue) config = args[++i];
    else if (a == "--setup" && hasValue) setup = args[++i];
    else if (a == "-o" && hasValue) outDir = args[++i];
    else if (srcDir.empty() && a[0] != '-') srcDir = a;
    else return 2;
  }
  if (outDir.empty() || srcDir.empty()) return 2;
  std::string src = plat::FromHostPath(srcDir), out = plat::FromHostPath(outDir);
  if ((plat::GetFileAttributes(src) & plat::kAttrDirectory) == 0 || plat::GetFileAttributes(src) == plat::kInvalidAttributes)
    throw EGeneralError("not a folder: " + srcDir);
  std::filesystem::create_directories(outDir);

  // One archive of everything, or with --multi-arc one per top-level folder (and one for the
  // files at the top), each written into its own folder.
  std::map<std::string, std::vector<std::string>> groups;
  Progress progress(quiet);
  for (const auto& f : FilesBelow(src)) {
    auto cut = f.find('\\');
    groups[multi && cut != std::string::npos ? f.substr(0, cut) : std::string()].push_back(f);
  }
  std::vector<SegArchiveSource> archives;
  size_t fileCount = 0;
  int64_t bytes = 0;
  for (auto& [folder, files] : groups) {
    // A Windows file system keeps one of two names that differ only in letter case.
    std::map<std::string, std::string> folded;
    for (const auto& f : files) {
      std::string key = f;
      for (auto& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      auto [it, fresh] = folded.emplace(key, f);
      if (!fresh)
        std::fprintf(stderr, "tovin: warning: %s and %s differ only in letter case; extracting keeps only the later\n",
                     it->second.c_str(), f.c_str());
    }
    SegArchiveSource a;
    a.Template = folder.empty() ? std::string(kBaseName) + kArchiveExt : folder + "\\" + folder + kArchiveExt;
    MemoryStream data;
    ArchiveWriter writer(data, method);
    size_t n = 0;
    for (const auto& f : files) {
      std::string member = folder.empty() ? f : f.substr(folder.size() + 1);
      progress.Show(f, static_cast<int>(++n * 100 / files.size()));
      writer.AddFile(src + "\\" + f, member);
      a.Files.push_back(member);
    }
    writer.Finish();
    bytes += writer.TotalSize();
    fileCount += files.size();
    a.Archive = data.Data();
    archives.push_back(std::move(a));
  }
  progress.Done();
  SegSetOptions options;
  options.SegDir = out;
  options.SegBaseName = kBaseName;
  options.SegSize = segSize;
  auto segments = WriteSegmentSet(archives, options);

  std::string cfg = config.empty() ? src + "\\install.cfg" : plat::FromHostPath(config);
  if (plat::GetFileAttributes(cfg) != plat::kInvalidAttributes) CopyFile(cfg, out + "\\install.cfg");
  else if (!config.empty()) throw EFOpenError("Cannot open file " + cfg);
  else if (!quiet) std::fprintf(stderr, "tovin: %s has no install.cfg; the package has none\n", srcDir.c_str());
  std::string setupExe = setup.empty() ? std::string() : plat::FromHostPath(setup);
  if (!setupExe.empty()) CopyFile(setupExe, out + "\\install.exe");
  else if (!quiet) std::fprintf(stderr, "tovin: no setup program given (--setup); the package has no install.exe\n");
  if (!quiet)
    std::fprintf(stderr, "%zu files (%lld bytes) in %zu archive(s), %zu segment(s) in %s\n", fileCount,
                 static_cast<long long>(bytes), archives.size(), segments.size(), outDir.c_str());
  return 0;
}

// The package's folder and segment base name, from the folder or its .001 file.
void Locate(const std::string& package, TSegVellox& seg) {
  std::string path = plat::FromHostPath(package);
  uint32_t a = plat::GetFileAttributes(path);
  if (a == plat::kInvalidAttributes) throw EFOpenError("Cannot open file " + path);
  if (a & plat::kAttrDirectory) {
    seg.SetSegDir(path);
    auto first = plat::FindFiles(path + "\\*.001", 0);
    seg.SetSegBaseName(first.size() == 1 ? first[0].name.substr(0, first[0].name.size() - 4) : kBaseName);
  } else {
    auto cut = path.rfind('\\');
    seg.SetSegDir(path.substr(0, cut + 1));
    std::string name = path.substr(cut + 1);
    auto dot = name.rfind('.');
    seg.SetSegBaseName(dot == std::string::npos ? name : name.substr(0, dot));
  }
  seg.SegPopUp = false;
}

int ReadPackage(const std::string& verb, const Args& args) {
  std::string package, dir = ".";
  bool flat = false, quiet = false;
  int32_t key = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-q") quiet = true;
    else if (args[i] == "--flat" && verb == "extract") flat = true;
    else if (args[i] == "-C" && i + 1 < args.size() && verb == "extract") dir = args[++i];
    else if (args[i] == "-k" && i + 1 < args.size()) key = static_cast<int32_t>(std::stoll(args[++i], nullptr, 0));
    else if (package.empty()) package = args[i];
    else return 2;
  }
  if (package.empty()) return 2;
  TSegVelloxEZ seg;
  TerminalDialogs dialogs;
  TempFolder temp;
  Locate(package, seg);
  seg.Dialogs = &dialogs;
  seg.KeyValue = key;
  seg.SetSegTmpDir(temp.Path());
  Progress progress(quiet);
  std::string current;
  seg.ShowProgress = [&](int32_t& p) { progress.Show(current, p); };

  if (verb == "list") {
    seg.OnSegBeforeExpand = [&](TSegArcList& list) {
      for (const auto& arc : list) {
        std::printf("%s\n", arc->Template.c_str());
        for (const auto& f : arc->Files) std::printf("  %s\n", f.c_str());
      }
      list.clear();  // listing only: nothing is expanded
    };
    seg.ExpandSet();
    return 0;
  }
  if (verb == "test") {
    seg.TestOnly = true;
    size_t files = 0;
    seg.OnCheckFile = [&](std::string& path, TCProcessMode) { current = path; };
    seg.OnSegAfterArchive = [&](TSegArcHeader&, const std::string& tmpl) {
      progress.Done();
      if (!quiet) std::printf("%s: ok\n", tmpl.c_str());
    };
    seg.ExpandSet();
    for (const auto& arc : seg.Archives()) files += arc->Files.size();
    if (!quiet) std::printf("%zu archive(s), %zu files tested, all good\n", seg.Archives().size(), files);
    return 0;
  }
  std::string root = plat::FromHostPath(dir);
  std::filesystem::create_directories(dir);
  seg.ExceptionOnFileError = true;
  seg.OnCheckFile = [&](std::string& path, TCProcessMode) {
    std::string prefix = seg.TargetPath();
    std::string member = path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
    if (flat) {  // as the setup does: every file by its bare name in one folder
      std::string bare = member.substr(member.find_last_of("\\/:") + 1);
      if (bare.empty() || bare == "." || bare == "..") throw EGeneralError("refusing member " + member);
      path = root + "\\" + bare;
    } else {
      auto folder = SafeRelative(prefix);
      auto rel = MemberBelow(prefix, path);
      if (!folder) throw EGeneralError("refusing to write outside " + dir + ": template folder " + prefix);
      if (!rel || rel->empty()) throw EGeneralError("refusing to write outside " + dir + ": member " + member);
      path = root + "\\" + (folder->empty() ? "" : *folder + "\\") + *rel;
    }
    current = path;
  };
  seg.ExpandSet();
  progress.Done();
  size_t files = 0;
  for (const auto& arc : seg.Archives()) files += arc->Files.size();
  if (!quiet) std::fprintf(stderr, "%zu files written below %s\n", files, dir.c_str());
  return 0;
}

}  // namespace

int PackageCommand(const std::string& verb, const Args& argsIn) {
  Args args = argsIn;
  int rc = verb == "pack" ? Pack(args) : ReadPackage(verb, args);
  if (rc == 2)
    std::fprintf(stderr,
                 "usage: tovin pack [-m METHOD] [--segment-size N] [--multi-arc] [--config FILE] [--setup FILE] -o OUTDIR SRCDIR\n"
                 "       tovin list PACKAGE\n"
                 "       tovin test [-k KEY] PACKAGE\n"
                 "       tovin extract [-k KEY] [-C DIR] [--flat] PACKAGE\n");
  return rc;
}

}  // namespace tovin::cli
