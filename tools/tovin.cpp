// tovin: build, list, test and extract packages; the raw codec; what a setup reads.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"

#ifndef TOVIN_VERSION
#define TOVIN_VERSION "0.0"
#endif

namespace {

using namespace tovin::cli;

struct Command {
  const char* name;
  const char* summary;
};

constexpr Command kCommands[] = {
    {"pack", "build a package folder (segment set, install.cfg, install.exe) from a folder"},
    {"list", "list a package's archives and files"},
    {"test", "check every file of a package without writing any"},
    {"extract", "extract a package's files into a folder"},
    {"archive", "create, list, test or extract one compressed archive file"},
    {"codec", "encode or decode a raw stream of one method"},
    {"setup", "run a package's setup unattended on the emulated machine"},
    {"uninstall", "remove what a setup installed, as its uninstaller.exe would"},
    {"config", "show what a setup started in a folder reads from its install.cfg"},
    {"init", "write a first install.cfg for a product folder"},
};

void Usage(FILE* to) {
  std::fprintf(to,
               "usage: tovin [-q] [--root R] COMMAND [ARGS]\n"
               "       tovin COMMAND --help | tovin --version\n\nCommands:\n");
  for (const auto& c : kCommands) std::fprintf(to, "  %-10s %s\n", c.name, c.summary);
  std::fprintf(to,
               "\nGlobal options (before the command):\n"
               "  -q, --quiet    no progress and no summary lines\n"
               "  --root R       the folder of the emulated Windows machine (POSIX)\n"
               "\nExit status: 0 done, 1 failed, 2 wrong command line, 128 + N stopped by signal N.\n");
}

int Run(const std::string& command, Args args, const Globals& globals) {
  if (command == "config") return ConfigCommand(args);
  if (command == "init") return InitCommand(args);
  if (command == "codec") return CodecCommand(args, globals);
  if (command == "archive") return ArchiveCommand(args, globals);
  if (command == "pack") return PackCommand(args, globals);
  if (command == "setup") return SetupCommand(args, globals);
  if (command == "uninstall") return UninstallCommand(args, globals);
  if (command == "list" || command == "test" || command == "extract") return ReadPackageCommand(command, args, globals);
  std::fprintf(stderr, "tovin: unknown command '%s'\n", command.c_str());
  Usage(stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  Globals globals;
  Args rootArgs;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-q" || a == "--quiet") {
      globals.quiet = true;
    } else if (a == "--root" && i + 1 < argc) {
      rootArgs = {"--root", argv[++i]};
    } else if (a == "--version") {
      std::printf("tovin %s\n", TOVIN_VERSION);
      return kExitOk;
    } else if (a == "-h" || a == "--help" || a == "help") {
      if (a == "help" && i + 1 < argc) {
        std::string command = argv[i + 1];
        return Run(command, {"--help"}, globals);
      }
      Usage(stdout);
      return kExitOk;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "tovin: unknown option %s\n", a.c_str());
      Usage(stderr);
      return kExitUsage;
    } else {
      break;
    }
  }
  if (i >= argc) {
    Usage(stderr);
    return kExitUsage;
  }
  std::string command = argv[i];
  Args args(argv + i + 1, argv + argc);
  if (!rootArgs.empty()) {
    if (command != "config" && command != "setup" && command != "uninstall") {
      std::fprintf(stderr, "tovin: --root sets the emulated machine, which %s does not use\n", command.c_str());
      return kExitUsage;
    }
    args.insert(args.begin(), rootArgs.begin(), rootArgs.end());
  }
  // These commands stop where they pause and clean up; the others end as the signal says.
  if (command == "list" || command == "test" || command == "extract" || command == "archive" || command == "pack" ||
      command == "setup" || command == "uninstall")
    plat::CatchInterrupts();
  auto interrupted = [&](int signal) {
    std::fprintf(stderr, "\ntovin %s: interrupted\n", command.c_str());
    return InterruptedExitStatus(signal);
  };
  try {
    return Run(command, args, globals);
  } catch (const EInterrupted& e) {
    return interrupted(e.Signal());
  } catch (const UsageError& e) {
    std::fprintf(stderr, "tovin %s: %s\n(tovin %s --help shows the options)\n", command.c_str(), Printable(e.what()).c_str(),
                 command.c_str());
    return kExitUsage;
  } catch (const std::exception& e) {
    // A stop that reached a handler which turned it into an error of its own.
    if (int signal = plat::InterruptSignal()) return interrupted(signal);
    std::fprintf(stderr, "tovin %s: %s\n", command.c_str(), Printable(DisplayMessage(e.what())).c_str());
    return kExitFailure;
  }
}
