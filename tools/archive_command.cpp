// tovin archive create|list|test|extract: single compressed archive files.
#include <cstdio>
#include <iostream>

#include "container/archive_writer.h"
#include "container/vellox.h"
#include "container/vellox_errors.h"
#include "platform/platform.h"
#include "tools/cli_support.h"
#include "tools/commands.h"

namespace tovin::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tovin archive create [-m none|rle|lzh|lh5] [-k KEY] [-C DIR] ARCHIVE PATH...\n"
               "       tovin archive list ARCHIVE\n"
               "       tovin archive test [-k KEY] ARCHIVE\n"
               "       tovin archive extract [-k KEY] [-C DIR] ARCHIVE\n");
  return 2;
}

std::string DosDate(int32_t dos) {
  uint32_t d = static_cast<uint32_t>(dos) >> 16, t = static_cast<uint32_t>(dos) & 0xFFFF;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", (d >> 9) + 1980, (d >> 5) & 15, d & 31, t >> 11,
                (t >> 5) & 63, (t & 31) * 2);
  return buf;
}

std::string AttributeLetters(uint16_t a) {
  std::string s = "----";
  if (a & plat::kAttrReadOnly) s[0] = 'R';
  if (a & plat::kAttrHidden) s[1] = 'H';
  if (a & plat::kAttrSystem) s[2] = 'S';
  if (a & plat::kAttrArchive) s[3] = 'A';
  return s;
}

}  // namespace

int ArchiveCommand(const Args& argsIn) {
  if (argsIn.empty()) return Usage();
  std::string verb = argsIn[0];
  TPackMethod method = coLZH5;
  int32_t key = 0;
  std::string dir = ".";
  bool quiet = false;
  Args rest;
  for (size_t i = 1; i < argsIn.size(); ++i) {
    const std::string& a = argsIn[i];
    if (a == "-q") quiet = true;
    else if ((a == "-m" || a == "-k" || a == "-C") && i + 1 < argsIn.size()) {
      const std::string& v = argsIn[++i];
      if (a == "-C") dir = v;
      else if (a == "-k") key = static_cast<int32_t>(std::stoll(v, nullptr, 0));
      else if (v == "none") method = coNone;
      else if (v == "rle") method = coRLE;
      else if (v == "lzh") method = coLZH;
      else if (v == "lh5") method = coLZH5;
      else return Usage();
    } else {
      rest.push_back(a);
    }
  }
  if (rest.empty()) return Usage();
  std::string archive = plat::FromHostPath(rest[0]);
  std::string root = plat::FromHostPath(dir);
  Progress progress(quiet);

  if (verb == "create") {
    if (rest.size() < 2) return Usage();
    FileStream out(archive, FileStream::Mode::Create);
    ArchiveWriter writer(out, method, key);
    int count = 0;
    for (size_t i = 1; i < rest.size(); ++i) {
      auto rel = SafeRelative(rest[i]);
      if (!rel) throw EGeneralError("not below " + dir + ": " + rest[i]);
      std::string path = rel->empty() ? root : root + "\\" + *rel;
      uint32_t attrs = plat::GetFileAttributes(path);
      if (attrs == plat::kInvalidAttributes) throw EFOpenError("Cannot open file " + path);
      std::vector<std::string> names;
      if (attrs & plat::kAttrDirectory) {
        for (const auto& f : FilesBelow(path)) names.push_back(rel->empty() ? f : *rel + "\\" + f);
      } else {
        names.push_back(*rel);
      }
      for (const auto& name : names) {
        progress.Show(name, 0);
        writer.AddFile(root + "\\" + name, name);
        ++count;
      }
    }
    writer.Finish();
    progress.Done();
    if (!quiet) std::fprintf(stderr, "%d files, %d bytes in %s\n", count, writer.TotalSize(), rest[0].c_str());
    return 0;
  }

  TVellox vellox;
  vellox.KeyValue = key;
  if (verb == "list") {
    std::vector<TListedMember> members;
    vellox.ListArchive(archive, members);
    std::printf("%-40s %-6s %10s %10s %-19s %-4s %-8s %s\n", "Name", "Method", "Size", "Stored", "Date", "Attr",
                "Checksum", "Locked");
    for (const auto& m : members)
      std::printf("%-40s %-6s %10d %10d %-19s %-4s %08x %s\n", m.Name.c_str(), MethodName(m.Info.Method),
                  m.Info.ExpandedSize, m.Info.StoredSize, DosDate(m.Info.DateTime).c_str(),
                  AttributeLetters(m.Info.Attributes).c_str(), static_cast<uint32_t>(m.Info.Checksum),
                  m.Info.Locked ? "yes" : "no");
    return 0;
  }
  std::string current;
  vellox.OnCheckFile = [&](std::string& path, TCProcessMode) { current = path; };
  vellox.ShowProgress = [&](int32_t& p) { progress.Show(current, p); };
  std::vector<TListedMember> members;
  if (verb == "test") {
    vellox.TestOnly = true;
    vellox.ExpandArchive(archive);
    progress.Done();
    vellox.ListArchive(archive, members);
    if (!quiet) std::printf("%zu members tested, all good\n", members.size());
    return 0;
  }
  if (verb == "extract") {
    vellox.MakeDirectories = true;
    vellox.ExceptionOnFileError = true;
    vellox.SetTargetPath(root);
    vellox.OnCheckFile = [&](std::string& path, TCProcessMode) {
      auto member = MemberBelow(vellox.TargetPath(), path);
      if (!member) throw EGeneralError("refusing to write outside " + root + ": " + path);
      path = root + "\\" + *member;
      current = path;
    };
    std::vector<std::string> all;
    vellox.ListArchive(archive, members);
    for (auto& m : members) all.push_back(m.Name);
    vellox.ExpandArchive(archive, &all);
    progress.Done();
    if (!quiet) std::fprintf(stderr, "%zu files written below %s\n", all.size(), root.c_str());
    return 0;
  }
  return Usage();
}

}  // namespace tovin::cli
