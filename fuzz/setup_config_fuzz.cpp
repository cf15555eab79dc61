// A whole install.cfg of arbitrary bytes, run through the setup as tovin setup runs it:
// headless, unattended with the default answers, in the sandbox, into a scratch machine. The
// package folder lies on the host beside the machine (in the folder that must not change, as
// a real package's folder is reached through Z:), and its default destination C:\out holds
// links out of the machine. Anything outside the machine that changed counts as a crash.
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "app/unattended_driver.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"
#include "platform/stream.h"
#include "segment/package_layout.h"
#include "segment/package_writer.h"
#include "ui/headless/headless_backend.h"

namespace {

using namespace tovin;
namespace fs = std::filesystem;

// install.cfg is read whole by the setup; a larger one is refused before the run.
constexpr size_t kConfigLimit = 1 << 16;

// The package's files: a program, a licence (so the licence page is shown), and members
// named like the links planted in the destination.
const std::pair<const char*, const char*> kFiles[] = {
    {"app.exe", "MZ the application"},
    {"license.txt", "Licence line one\r\nLicence line two\r\n"},
    {"data\\table.dat", "1 2 3 4"},
    {"link", "through the folder link"},
    {"flink", "over the file link"},
    {"dangling", "through the dangling link"},
};

void WriteMachineFile(const std::string& path, const std::string& bytes) {
  FileStream f(path, FileStream::Mode::Create);
  f.WriteAll(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// The package's segment set and setup program, made once in its host folder.
std::string MakePackage(const fuzz::ScratchMachine& machine) {
  std::string folder = (machine.Outside() / "pkg").string();
  fs::create_directories(folder);
  std::string pkg = plat::FromHostPath(folder);
  plat::CreateDirectory("C:\\src");
  plat::CreateDirectory("C:\\src\\data");
  std::vector<SourceFile> sources;
  for (const auto& [name, bytes] : kFiles) {
    WriteMachineFile(std::string("C:\\src\\") + name, bytes);
    sources.push_back({std::string("C:\\src\\") + name, name, std::string(bytes).size()});
  }
  PackageOptions options;
  options.OutDir = pkg;
  options.SegSize = 16384;
  WritePackage(GroupIntoArchives(sources, false), options);
  WriteMachineFile(pkg + "\\install.exe", "MZ setup program");
  return folder;
}

// A fresh machine for every input: the drives emptied, the Windows folder, the registry and
// the restart log made again.
void FreshMachine(fuzz::ScratchMachine& machine) {
  std::error_code ignored;
  for (const char* own : {"drive_c/WINDOWS", "registry", "exitwindows.log"})
    fs::remove_all(machine.Machine() / own, ignored);
  machine.Reset();
  plat::SetMachineRoot(machine.Machine().string());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchMachine machine("setup_config_fuzz");
  static const std::string package = MakePackage(machine);
  static const bool quiet = (plat::posix::SetNoticeSink([](const std::string&) {}), true);
  (void)quiet;
  if (size > kConfigLimit) return 0;
  FreshMachine(machine);
  std::ofstream(package + "/install.cfg", std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
  machine.Refresh();  // the configuration just written is part of what must stay as it is

  if (!plat::SetCurrentDirectory(plat::FromHostPath(package))) std::abort();
  plat::SetSandbox(true);
  {
    ui::THeadlessBackend headless;
    ui::TApplication app(headless);
    std::unique_ptr<TUnattendedDriver> driver;
    try {
      RunSetupProgram(app, [&](const TSetupWindows& windows) {
        driver = std::make_unique<TUnattendedDriver>(TSetupAnswers{}, windows);
        headless.OnIdle = [&](ui::TForm& form) { return driver->OnIdle(form); };
        headless.Script = [&](const ui::TMessageRequest& r) { return driver->Answer(r); };
      });
    } catch (const std::exception&) {
      // A setup the default answers cannot finish (a stalled wizard) is no escape.
    }
  }
  plat::SetSandbox(false);
  machine.Check();
  return 0;
}
