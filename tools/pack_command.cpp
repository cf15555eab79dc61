// tovin pack: a package folder from a folder tree. Everything that could stop the package from
// being built is checked before the first byte is written.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>

#include "codec/method_table.h"
#include "common/install_config_check.h"
#include "platform/platform.h"
#include "platform/exception.h"
#include "platform/stream.h"
#include "segment/package_layout.h"
#include "segment/package_source.h"
#include "segment/package_writer.h"
#include "segment/seg_format.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/progress.h"
#include "tools/setup_program_file.h"
#include "platform/text.h"

namespace tovin::cli {
namespace {

bool IsFile(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && !(a & plat::kAttrDirectory);
}

bool IsFolder(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory);
}

void CopyFile(const std::string& from, const std::string& to) {
  FileStream in(from, FileStream::Mode::OpenRead), out(to, FileStream::Mode::Create);
  std::vector<char> buf(1 << 16);
  for (int64_t n; (n = in.Read(buf.data(), static_cast<int64_t>(buf.size()))) > 0;) out.WriteAll(buf.data(), n);
}


// Seconds since 1970 (UTC), or a date YYYY-MM-DD with an optional THH:MM:SS, as a DOS date-time.
uint32_t DosDateTimeOf(const std::string& text, const std::string& option) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int64_t seconds = 0;
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 12) {
    seconds = std::stoll(text);
    std::time_t t = static_cast<std::time_t>(seconds);
    const std::tm* at = std::gmtime(&t);
    if (!at) throw UsageError(option + ": '" + text + "' is not a time");
    std::tm utc = *at;
    year = utc.tm_year + 1900, month = utc.tm_mon + 1, day = utc.tm_mday;
    hour = utc.tm_hour, minute = utc.tm_min, second = utc.tm_sec;
  } else if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute, &second) < 3 ||
             month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
    throw UsageError(option + ": '" + text + "' is neither seconds since 1970 nor YYYY-MM-DD[THH:MM:SS]");
  }
  if (year < 1980 || year > 2107) throw UsageError(option + ": " + text + " is outside the DOS dates, 1980 to 2107");
  return static_cast<uint32_t>((year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | second / 2);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  try {
    FileStream in(path, FileStream::Mode::OpenRead);
    std::string bytes;
    char buf[65536];
    for (int64_t n; (n = in.Read(buf, sizeof buf)) > 0;) bytes.append(buf, static_cast<size_t>(n));
    return bytes;
  } catch (const Exception&) {
    return std::nullopt;
  }
}

std::string BareName(const std::string& member) { return member.substr(member.rfind('\\') + 1); }

void Note(bool quiet, const char* what, const std::vector<SourceNote>& notes) {
  if (quiet) return;
  for (const auto& n : notes) std::fprintf(stderr, "tovin pack: %s %s: %s\n", what, Printable(n.Name).c_str(), n.What.c_str());
}

}  // namespace

int PackCommand(const Args& args, const Globals& globals) {
  std::string methodName = "lh5", config, setup, outDir, srcDir;
  int64_t segSize = kDefaultSegSize;
  int64_t jobs = 1;
  std::string mtime;
  bool multi = false, force = false, strict = false, incomplete = false, quiet = globals.quiet;
  OptionParser p("pack", "[OPTIONS] -o OUTDIR SRCDIR", "Builds a package folder from the files below SRCDIR.");
  p.Text("-o,--output", "OUTDIR", "the package folder to write (created when missing; must be empty)", outDir);
  p.Choice("-m,--method", "METHOD", MethodCliNames() + " (default lh5)", methodName, MethodChoices(false));
  p.Number("--segment-size", "N",
           "bytes per segment file, " + std::to_string(kMinSegSize) + " to 2147483647 (default " +
               std::to_string(kDefaultSegSize) + "; K, M allowed)",
           segSize, kMinSegSize, 2147483647, true);
  p.Jobs("threads that compress files; the package is the same for every N", jobs);
  p.Flag("--multi-arc", "one archive per top-level folder instead of one for everything", multi);
  p.Text("--config", "FILE", "the install.cfg to ship beside the set (default: SRCDIR's own)", config);
  p.Text("--setup", "FILE",
         "the setup program to ship as install.exe (default: SRCDIR's own, else the project's install.exe)", setup);
  p.Flag("--allow-incomplete", "write the package even without install.exe or install.cfg (it cannot install)",
         incomplete);
  p.Flag("--force", "replace the package already in OUTDIR (its segment files, install.cfg, install.exe)", force);
  p.Text("--mtime", "TIME",
         "no member dated later than TIME: seconds since 1970 or YYYY-MM-DD[THH:MM:SS] in UTC\n"
         "(default: $SOURCE_DATE_EPOCH when set), for packages the same from every checkout",
         mtime);
  p.Flag("--strict", "refuse to pack when the checks of install.cfg warn (see tovin config)", strict);
  p.Flag("-q,--quiet", "no progress and no summary", quiet);
  p.Positional("SRCDIR", "the folder whose files are packed", srcDir, true);
  p.Epilog(
      "Refused before anything is written: names Windows cannot hold (<>:\"|?* and control\n"
      "characters, a trailing blank or dot, device names such as CON or COM1, paths over 259\n"
      "characters), names that differ only in letter case, more than 2 GiB in one archive.\n"
      "Links are followed; link loops, dangling links, devices and empty folders are left out\n"
      "and named.");
  if (!p.Parse(args)) return kExitOk;
  if (outDir.empty()) throw UsageError("missing -o OUTDIR");
  std::optional<uint32_t> latest;
  if (!mtime.empty()) latest = DosDateTimeOf(mtime, "--mtime");
  else if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch)
    latest = DosDateTimeOf(epoch, "SOURCE_DATE_EPOCH");

  std::string src = plat::FromHostPath(srcDir), out = plat::FromHostPath(outDir);
  if (!IsFolder(src)) throw EGeneralError("not a folder: " + srcDir);
  std::string cfg = config.empty() ? src + "\\install.cfg" : plat::FromHostPath(config);
  if (!config.empty() && !IsFile(cfg)) throw EGeneralError("--config: no such file: " + config);
  std::string setupExe = setup.empty() ? FindSetupProgram(src) : plat::FromHostPath(setup);
  if (!setup.empty() && !IsFile(setupExe)) throw EGeneralError("--setup: no such file: " + setup);
  // The preparing stage copies install.exe and install.cfg first: a package without either
  // stops there, so it is written only when asked for.
  if (!incomplete && !IsFile(cfg))
    throw EGeneralError(srcDir + " has no install.cfg, and a package without one cannot install; give it with "
                        "--config FILE (or pass --allow-incomplete to write the package anyway)");
  if (!incomplete && setupExe.empty())
    throw EGeneralError("no setup program: SRCDIR has no install.exe and the project's was not found (" +
                        SetupProgramPlaces() + "), and a package without one cannot install; give it with "
                        "--setup FILE, build it with 'cmake --preset win32 && cmake --build --preset win32 "
                        "--target install_exe' (or pass --allow-incomplete to write the package anyway)");
  // Opening them now finds unreadable ones before any segment is written.
  if (IsFile(cfg)) FileStream(cfg, FileStream::Mode::OpenRead);
  if (!setupExe.empty()) FileStream(setupExe, FileStream::Mode::OpenRead);

  // The output folder: empty, or an old package that --force replaces.
  std::vector<std::string> oldFiles;
  if (IsFolder(out)) {
    bool empty = true;
    for (const auto& f : plat::FindFiles(out + "\\*", plat::kAttrMaskNoVolume))
      if (f.name != "." && f.name != "..") empty = false;
    if (!empty) {
      if (!force) throw EGeneralError("the output folder " + outDir + " is not empty (--force replaces a package in it)");
      oldFiles = PackageFilesIn(out);
    }
  } else if (plat::GetFileAttributes(out) != plat::kInvalidAttributes) {
    throw EGeneralError("the output folder " + outDir + " is a file");
  }

  std::vector<std::string> exclude;
  if (auto final = plat::GetFinalPathName(out)) exclude.push_back(*final);
  SourceScan scan = ScanSourceTree(src, exclude);
  for (const auto& r : scan.Refused)
    std::fprintf(stderr, "tovin pack: refused %s: %s\n", Printable(r.Name).c_str(), r.What.c_str());
  Note(quiet, "left out", scan.Skipped);
  Note(quiet, "followed", scan.Followed);
  if (!scan.Refused.empty())
    throw EGeneralError(std::to_string(scan.Refused.size()) + " name(s) cannot be held by Windows; nothing was written");

  // A configuration or setup program named on the command line is the one that ships beside
  // the set; a different one of the same name in the source would be installed in its place.
  auto stale = [&](const char* name, const std::string& chosen, const char* option) {
    if (chosen.empty()) return;
    auto final = plat::GetFinalPathName(chosen);
    std::erase_if(scan.Files, [&](const SourceFile& f) {
      if (plat::UpperCase(f.Member) != plat::UpperCase(name) || (final && plat::GetFinalPathName(f.Path) == final)) return false;
      if (!quiet)
        std::fprintf(stderr, "tovin pack: left out %s: %s names the one that ships beside the set\n", name, option);
      return true;
    });
  };
  stale("install.cfg", config.empty() ? std::string() : cfg, "--config");
  stale("install.exe", setupExe, "--setup");

  if (IsFile(cfg)) {
    PackageContents contents;
    for (const auto& f : scan.Files) contents.Files.push_back(f.Member);
    contents.Read = [&scan](const std::string& member) -> std::optional<std::string> {
      for (const auto& f : scan.Files)
        if (f.Member == member && f.Size <= (16u << 20)) return ReadWholeFile(f.Path);
      return std::nullopt;
    };
    auto warnings = CheckInstallConfigFile(cfg, &contents);
    for (const auto& w : warnings)
      std::fprintf(stderr, "tovin pack: warning: %s\n", Printable(FormatConfigWarning(w)).c_str());
    if (strict && !warnings.empty())
      throw EGeneralError(std::to_string(warnings.size()) + " warning(s) about install.cfg and --strict; nothing was written");
  }

  auto archives = GroupIntoArchives(scan.Files, multi);
  for (const auto& a : archives) {
    if (a.Bytes > 2147483647u || ArchiveSizeBound(a) > 2147483647u)
      throw EGeneralError("archive " + a.Template + " would hold " + HumanBytes(a.Bytes) +
                          "; an archive holds at most 2 GiB (try --multi-arc); nothing was written");
  }
  if (!quiet) {
    // The setup expands every file into one folder: of two files with one name only the later stays.
    std::map<std::string, std::string> bare;
    for (const auto& f : scan.Files) {
      auto [it, fresh] = bare.emplace(plat::UpperCase(BareName(f.Member)), f.Member);
      if (!fresh)
        std::fprintf(stderr,
                     "tovin pack: warning: %s and %s share a file name; the setup expands files into one folder "
                     "and keeps only the later\n",
                     Printable(it->second).c_str(), Printable(f.Member).c_str());
    }
  }

  for (const auto& f : oldFiles) plat::DeleteFile(out + "\\" + f);
  if (!oldFiles.empty() && !quiet)
    std::fprintf(stderr, "tovin pack: replaced the package in %s (%zu files removed)\n", outDir.c_str(), oldFiles.size());
  std::error_code failed;
  std::filesystem::create_directories(plat::ToHostPath(out), failed);
  if (failed) throw EGeneralError("cannot create the folder " + outDir + ": " + failed.message());

  Progress progress(quiet);
  uint64_t total = 0;
  for (const auto& f : scan.Files) total += f.Size;
  progress.SetTotal(total);
  PackageOptions options;
  options.OutDir = out;
  options.SegSize = static_cast<int32_t>(segSize);
  options.Method = static_cast<TPackMethod>(MethodByName(methodName));
  options.Threads = static_cast<int>(jobs);
  options.LatestDosDateTime = latest;
  options.Progress = [&](const std::string& member, uint64_t done) {
    StopIfInterrupted();
    progress.Show(member, done);
  };
  PackageResult result = WritePackage(archives, options);
  progress.Done();
  try {
    if (IsFile(cfg)) CopyFile(cfg, out + "\\install.cfg");
    if (!setupExe.empty()) CopyFile(setupExe, out + "\\install.exe");
  } catch (...) {
    for (const auto& s : result.Segments) plat::DeleteFile(s);
    plat::DeleteFile(out + "\\install.cfg");
    throw;
  }
  if (!quiet) {
    if (!IsFile(cfg)) std::fprintf(stderr, "tovin pack: %s has no install.cfg; the package has none\n", srcDir.c_str());
    if (setupExe.empty()) std::fprintf(stderr, "tovin pack: no setup program given (--setup); the package has no install.exe\n");
    std::fprintf(stderr, "%zu files (%s) in %zu archive(s), %zu segment(s) in %s\n", result.Files,
                 HumanBytes(result.Bytes).c_str(), archives.size(), result.Segments.size(), outDir.c_str());
  }
  return kExitOk;
}

}  // namespace tovin::cli
