// tovin: build, list, test and extract packages; the raw codec; what a setup reads.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/commands.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: tovin COMMAND [ARGS]\n"
               "  config [--root R] [DIR]            what a setup started in DIR reads from install.cfg\n"
               "  codec encode -m METHOD [-k KEY] IN OUT\n"
               "  codec decode -m METHOD -s SIZE [-k KEY] IN OUT\n"
               "                                     raw lh5, lzh or rle streams; prints the checksum\n"
               "  archive create [-m none|rle|lzh|lh5] [-k KEY] [-C DIR] ARCHIVE PATH...\n"
               "  archive list ARCHIVE | archive test [-k KEY] ARCHIVE | archive extract [-k KEY] [-C DIR] ARCHIVE\n"
               "  pack [-m METHOD] [--segment-size N] [--multi-arc] [--config FILE] [--setup FILE] -o OUTDIR SRCDIR\n"
               "  list PACKAGE | test PACKAGE | extract [-C DIR] [--flat] PACKAGE\n"
               "                                     PACKAGE: the package folder or its .001 file; -q: quiet\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage();
    return 2;
  }
  std::string command = argv[1];
  tovin::cli::Args args(argv + 2, argv + argc);
  try {
    if (command == "config") return tovin::cli::ConfigCommand(args);
    if (command == "codec") return tovin::cli::CodecCommand(args);
    if (command == "archive") return tovin::cli::ArchiveCommand(args);
    if (command == "pack" || command == "list" || command == "test" || command == "extract")
      return tovin::cli::PackageCommand(command, args);
    if (command == "-h" || command == "--help" || command == "help") {
      Usage();
      return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovin: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "tovin: unknown command '%s'\n", command.c_str());
  Usage();
  return 2;
}
