// tovin init [SRCDIR]: a first install.cfg for a product folder, for the author to edit.
#include <cstdio>

#include "common/config_template.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "segment/package_source.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"

namespace tovin::cli {

int InitCommand(const Args& args) {
  std::string srcDir = ".";
  bool force = false, toStdout = false;
  OptionParser p("init", "[--force] [--stdout] [SRCDIR]",
                 "Writes a commented install.cfg into SRCDIR (default: the current folder) that installs\n"
                 "every file of it: a <SUBn> tag per folder, a shortcut to the first program, the\n"
                 "licence and picture it finds. Edit it, check it with tovin config --strict, pack.");
  p.Flag("--force", "replace an install.cfg already there", force);
  p.Flag("--stdout", "print it instead of writing the file", toStdout);
  p.Positional("SRCDIR", "the product's folder", srcDir, false);
  if (!p.Parse(args)) return kExitOk;

  std::string src = plat::FromHostPath(srcDir);
  uint32_t a = plat::GetFileAttributes(src);
  if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory)) throw EGeneralError("not a folder: " + srcDir);
  SourceScan scan = ScanSourceTree(src);
  for (const auto& r : scan.Refused)
    std::fprintf(stderr, "tovin init: %s: %s; pack will refuse it\n", Printable(r.Name).c_str(), r.What.c_str());
  TProductFolder product;
  std::string full = plat::GetFullPathName(src);
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  product.Name = full.substr(full.find_last_of("\\:") + 1);
  if (product.Name.empty()) product.Name = "Product";
  for (const auto& f : scan.Files) product.Members.push_back(f.Member);
  std::string text = MakeInstallConfig(product);

  if (toStdout) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
  }
  std::string cfg = src + "\\install.cfg";
  if (plat::GetFileAttributes(cfg) != plat::kInvalidAttributes && !force)
    throw EGeneralError(srcDir + " already has an install.cfg (--force replaces it, --stdout prints the new one)");
  FileStream(cfg, FileStream::Mode::Create).WriteAll(text.data(), static_cast<int64_t>(text.size()));
  std::fprintf(stderr, "tovin init: wrote %s (%zu files); check it with: tovin config --strict %s\n",
               plat::ToHostPath(cfg).c_str(), product.Members.size(), srcDir.c_str());
  return kExitOk;
}

}  // namespace tovin::cli
