// tovin archive create|list|test|extract: single compressed archive files.
#include <algorithm>
#include <cstdio>

#include "codec/method_table.h"
#include "container/archive_writer.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "platform/platform.h"
#include "segment/package_source.h"
#include "tools/cli_support.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/member_table.h"
#include "tools/progress.h"

namespace tovin::cli {
namespace {

int Create(const Args& args, bool quiet) {
  std::string methodName = "lh5", dir = ".", archiveName;
  int64_t key = 0;
  std::vector<std::string> paths;
  OptionParser p("archive create", "[-m METHOD] [-k KEY] [-C DIR] ARCHIVE PATH...",
                 "Creates a compressed archive file of the files and folders given (relative to DIR).");
  p.Choice("-m,--method", "METHOD", MethodCliNames() + " (default lh5)", methodName, MethodChoices(false));
  p.Number("-k,--key", "KEY", "lock the members with this key (decimal or 0x hex, 32 bits)", key, INT32_MIN, UINT32_MAX);
  p.Text("-C,--directory", "DIR", "the folder the paths are relative to (default: the current folder)", dir);
  p.Flag("-q,--quiet", "no progress and no summary", quiet);
  p.Positional("ARCHIVE", "the archive file to write", archiveName, true);
  p.Rest("PATH...", "files and folders to pack", paths, 1);
  if (!p.Parse(args)) return kExitOk;

  std::string root = plat::FromHostPath(dir);
  std::vector<SourceFile> files;
  for (const auto& given : paths) {
    auto rel = SafeRelative(given);
    if (!rel) throw EGeneralError("not below " + dir + ": " + given);
    std::string path = rel->empty() ? root : root + "\\" + *rel;
    uint32_t attrs = plat::GetFileAttributes(path);
    if (attrs == plat::kInvalidAttributes) throw EFOpenError("Cannot open file " + path);
    if (!(attrs & plat::kAttrDirectory)) {
      auto found = plat::FindFiles(path, plat::kAttrMaskFiles);
      files.push_back({path, *rel, found.size() == 1 ? found[0].size : 0});
      continue;
    }
    SourceScan scan = ScanSourceTree(path);
    for (const auto& r : scan.Refused)
      std::fprintf(stderr, "tovin archive: refused %s: %s\n", Printable(r.Name).c_str(), r.What.c_str());
    if (!scan.Refused.empty()) throw EGeneralError("names Windows cannot hold; nothing was written");
    for (const auto& s : scan.Skipped)
      if (!quiet) std::fprintf(stderr, "tovin archive: left out %s: %s\n", Printable(s.Name).c_str(), s.What.c_str());
    for (auto& f : scan.Files) {
      if (!rel->empty()) f.Member = *rel + "\\" + f.Member;
      files.push_back(std::move(f));
    }
  }
  Progress progress(quiet);
  uint64_t total = 0, before = 0;
  for (const auto& f : files) total += f.Size;
  progress.SetTotal(total);
  std::string current;
  std::string archive = plat::FromHostPath(archiveName);
  FileStream out(archive, FileStream::Mode::Create);
  ArchiveWriter writer(out, static_cast<TPackMethod>(MethodByName(methodName)), static_cast<int32_t>(static_cast<uint32_t>(key)),
                       [&](int64_t done, int64_t) { progress.Show(current, before + static_cast<uint64_t>(done)); });
  for (const auto& f : files) {
    current = f.Member;
    writer.AddFile(f.Path, f.Member);
    before += f.Size;
  }
  writer.Finish();
  progress.Done();
  if (!quiet) std::fprintf(stderr, "%zu files, %s in %s\n", files.size(), HumanBytes(total).c_str(), archiveName.c_str());
  return kExitOk;
}

}  // namespace

int ArchiveCommand(const Args& argsIn, const Globals& globals) {
  static const char* kUsage =
      "usage: tovin archive create [-m METHOD] [-k KEY] [-C DIR] ARCHIVE PATH...\n"
      "       tovin archive list ARCHIVE\n"
      "       tovin archive test [-k KEY] [-j N] ARCHIVE\n"
      "       tovin archive extract [-k KEY] [-j N] [-C DIR] ARCHIVE\n"
      "\n"
      "One compressed archive file (not a package: see pack, list, test, extract).\n"
      "\n"
      "Options:\n"
      "  -m, --method METHOD  create: none, rle, lzh or lh5 (default lh5)\n"
      "  -k, --key KEY        the archive's key lock, decimal or 0x hex, 32 bits (default 0)\n"
      "  -j, --jobs N         test, extract: threads that decode (default: the processors)\n"
      "  -C DIR               create: where PATHs are taken from; extract: where files go\n"
      "                       (default: the current folder)\n"
      "tovin archive VERB --help shows one verb's options.\n";
  if (argsIn.empty() || argsIn[0] == "-h" || argsIn[0] == "--help") {
    std::fputs(kUsage, argsIn.empty() ? stderr : stdout);
    return argsIn.empty() ? kExitUsage : kExitOk;
  }
  std::string verb = argsIn[0];
  Args args(argsIn.begin() + 1, argsIn.end());
  bool quiet = globals.quiet;
  if (verb == "create") return Create(args, quiet);
  if (verb != "list" && verb != "test" && verb != "extract") throw UsageError("unknown archive command '" + verb + "'");

  std::string archiveName, dir = ".";
  int64_t key = 0;
  OptionParser p("archive " + verb, verb == "extract" ? "[-k KEY] [-j N] [-C DIR] ARCHIVE" : verb == "test" ? "[-k KEY] [-j N] ARCHIVE" : "ARCHIVE",
                 verb == "list" ? "Lists the members of a compressed archive file."
                 : verb == "test" ? "Checks every member of a compressed archive file without writing any."
                                  : "Extracts every member of a compressed archive file below a folder.");
  if (verb != "list")
    p.Number("-k,--key", "KEY", "the key of a locked archive (decimal or 0x hex, 32 bits)", key, INT32_MIN, UINT32_MAX);
  int64_t jobs = 1;
  if (verb != "list") p.Jobs("threads that decode files ahead of the one that writes them", jobs);
  if (verb == "extract") p.Text("-C,--directory", "DIR", "the folder to extract into (default: the current folder)", dir);
  p.Flag("-q,--quiet", "no progress and no summary", quiet);
  p.Positional("ARCHIVE", "the archive file", archiveName, true);
  if (!p.Parse(args)) return kExitOk;

  std::string archive = plat::FromHostPath(archiveName);
  TVellox vellox;
  vellox.KeyValue = static_cast<int32_t>(static_cast<uint32_t>(key));
  vellox.DecodeThreads = static_cast<int>(jobs);
  if (verb == "list") {
    std::vector<TListedMember> members;
    vellox.ListArchive(archive, members);
    MemberTable table;
    std::string out = table.Header();
    int32_t totalSize = 0;
    if (!members.empty()) {
      FileStream in(archive, FileStream::Mode::OpenRead);
      std::string methodId;
      totalSize = vellox.ReadArchiveHeader(in, methodId).TotalSize;
    }
    std::vector<bool> reached = MembersReached(members, totalSize);
    bool damaged = false;
    for (size_t i = 0; i < members.size(); ++i) {
      const TListedMember& m = members[i];
      std::string remark = reached[i] ? UnknownMethodRemark(m.Info.Method) : PastTotalRemark(totalSize);
      damaged = damaged || !remark.empty();
      if (std::string note = WindowsMemberNote(m.Name); !note.empty())
        remark += (remark.empty() ? "" : "; ") + Printable(note);
      out += table.Row({m.Name, m.Info.Method, m.Info.ExpandedSize, m.Info.StoredSize, m.Info.DateTime,
                        m.Info.Attributes, m.Info.Locked, remark});
    }
    std::fputs((out + table.Totals()).c_str(), stdout);
    return damaged ? kExitFailure : kExitOk;
  }

  Progress progress(quiet);
  std::string current;
  uint64_t done = 0;
  int64_t size = 0;
  vellox.OnMemberHeader = [&](const TArchiveHeader& a, const TMemberHeader& h, const std::string& name) {
    StopIfInterrupted();  // stored members have no pause of their own
    done += static_cast<uint64_t>(std::max<int64_t>(size, 0));
    size = h.ExpandedSize;
    current = name;
    progress.SetTotal(static_cast<uint64_t>(std::max(a.TotalSize, 0)));
  };
  vellox.ShowProgress = [&](int32_t& percent) {
    StopIfInterrupted();
    progress.Show(current, done + static_cast<uint64_t>(size) * static_cast<uint64_t>(std::max(percent, 0)) / 100);
  };
  std::string target;  // the file extract writes now, and whether one was there before
  bool targetExisted = false;
  auto run = [&](std::vector<std::string>* selection) {
    try {
      vellox.ExpandArchive(archive, selection);
    } catch (const std::exception& e) {
      progress.Done();
      throw EGeneralError((current.empty() ? "" : "member " + Printable(current) + ": ") + e.what() +
                          FailedFileNote(target, targetExisted));
    }
    progress.Done();
  };
  std::vector<TListedMember> members;
  vellox.ListArchive(archive, members);
  std::vector<std::string> all;
  for (auto& m : members) {
    all.push_back(m.Name);
    if (std::string note = WindowsMemberNote(m.Name); !note.empty())
      std::fprintf(stderr, "tovin archive %s: member %s: %s\n", verb.c_str(), Printable(m.Name).c_str(),
                   Printable(note).c_str());
  }
  // Reading stops once the running total meets the header's TotalSize: what comes after it
  // is never expanded, which test and extract must not pass over in silence.
  auto allReached = [&](const char* what) {
    if (all.size() != members.size())
      throw EGeneralError(std::to_string(members.size() - all.size()) + " of " + std::to_string(members.size()) +
                          " members were not " + what + ": they lie past the archive's total size");
  };
  if (verb == "test") {
    vellox.TestOnly = true;
    run(&all);
    allReached("checked");
    if (!quiet) std::printf("%zu members tested, all good\n", members.size());
    return kExitOk;
  }
  std::string root = plat::FromHostPath(dir);
  vellox.MakeDirectories = true;
  vellox.ExceptionOnFileError = true;
  vellox.DeleteFailedFiles = true;
  vellox.CheckSpaceBeforeExpand = true;
  vellox.SetTargetPath(root);
  vellox.OnCheckFile = [&](std::string& path, TCProcessMode) {
    auto member = MemberBelow(vellox.TargetPath(), path);
    if (!member) throw EGeneralError("refusing to write outside " + dir + ": " + Printable(path));
    path = root + "\\" + *member;
    target = path;
    targetExisted = plat::GetFileAttributes(path) != plat::kInvalidAttributes;
  };
  run(&all);
  allReached("written");
  if (!quiet) std::fprintf(stderr, "%zu files written below %s\n", all.size(), dir.c_str());
  return kExitOk;
}

}  // namespace tovin::cli
