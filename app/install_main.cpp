// install.exe: the setup program on Windows. Started by a person it shows its windows (the
// Win32 backend) and reads no command line. Started with /answers=FILE it runs unattended
// instead, without a window: the answers file of `tovin setup` presses the controls, the
// transcript of every window, page, press and box and the result go to FILE.log, and the exit
// status is the one `tovin setup` documents (kSetupInstalled and the others).
//
// The same program, copied into the destination as uninstaller.exe, is the uninstaller: the
// registered command starts it as "DEST\uninstaller.exe" TITLE, the title unquoted, so a title
// of several words arrives as several arguments. One program rather than a second one carried
// inside the first: the setup already has it in its temporary folder, and a package keeps the
// size of a single executable.
#include <cctype>
#include <exception>
#include <functional>
#include <string>

#include "app/setup_program.h"
#include "app/uninstaller_program.h"
#include "app/unattended_setup.h"
#include "platform/platform.h"
#include "ui/application.h"
#include "ui/win32/win32_backend.h"

namespace tovin {
namespace {

constexpr const char* kAnswersOption = "/answers=";

// The value of /answers= (the option's name in any letter case); empty when it is absent.
std::string AnswersFile(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string name = arg.substr(0, std::char_traits<char>::length(kAnswersOption));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == kAnswersOption) return arg.substr(name.size());
  }
  return {};
}

void WriteLog(const std::string& path, const std::vector<std::string>& lines) {
  auto file = plat::OpenFile(path, plat::Access::Write, plat::Share::DenyWrite, plat::Disposition::CreateAlways);
  if (!file) return;  // nowhere to report to: the exit status still tells
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  file->Write(text.data(), static_cast<int64_t>(text.size()));
}

int Unattended(const std::string& answersFile) {
  std::string log = answersFile + ".log";
  TSetupAnswers answers;
  try {
    answers = ReadSetupAnswers(answersFile);
  } catch (const std::exception& e) {
    WriteLog(log, {std::string("install: ") + e.what()});
    return kSetupCouldNotStart;
  }
  ui::THeadlessBackend headless;
  TUnattendedRun run = RunUnattendedSetup(answers, &headless, headless, [](const std::string& path) { return path; });
  WriteLog(log, RunLog(run));
  return run.ExitStatus;
}

// Runs a program with the Win32 backend's windows. A fault of the program itself is said once,
// in a box of its own, before the program ends with status failed.
int WithWindows(const char* title, int failed, const std::function<int(ui::TApplication&)>& program) {
  ui::TWin32Backend backend;
  try {
    ui::TApplication app(backend);
    return program(app);
  } catch (const std::exception& e) {
    ui::TApplication report(backend);
    report.SetTitle(title);
    report.ShowMessage(e.what());
    return failed;
  }
}

int Interactive() {
  return WithWindows("Tovin - Setup", kSetupCouldNotStart, [](ui::TApplication& app) {
    RunSetupProgram(app);
    return kSetupInstalled;
  });
}

int Uninstall(int argc, char** argv, const std::string& self) {
  std::string title;
  for (int i = 1; i < argc; ++i) title += (i > 1 ? " " : "") + std::string(argv[i]);
  return WithWindows("Tovin - Uninstall", kUninstallerFailed,
                     [&](ui::TApplication& app) { return RunUninstallerProgram(app, self, title); });
}

}  // namespace
}  // namespace tovin

int main(int argc, char** argv) {
  std::string self = plat::GetModuleFileName();
  if (tovin::IsUninstallerProgram(self)) return tovin::Uninstall(argc, argv, self);
  std::string answers = tovin::AnswersFile(argc, argv);
  return answers.empty() ? tovin::Interactive() : tovin::Unattended(answers);
}
