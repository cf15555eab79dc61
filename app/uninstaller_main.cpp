// uninstaller.exe on its own: the uninstaller program with the Win32 backend's windows. The
// registered command starts it as "DEST\uninstaller.exe" TITLE, the title unquoted, so a title
// of several words arrives as several arguments.
#include <exception>
#include <string>

#include "app/uninstaller_program.h"
#include "platform/platform.h"
#include "ui/application.h"
#include "ui/win32/win32_backend.h"

int main(int argc, char** argv) {
  std::string title;
  for (int i = 1; i < argc; ++i) title += (i > 1 ? " " : "") + std::string(argv[i]);
  tovin::ui::TWin32Backend backend;
  try {
    tovin::ui::TApplication app(backend);
    return tovin::RunUninstallerProgram(app, plat::GetModuleFileName(), title);
  } catch (const std::exception& e) {
    // A fault of the program itself: said once, in a box of its own, before the program ends.
    tovin::ui::TApplication report(backend);
    report.SetTitle("Tovin - Uninstall");
    report.ShowMessage(e.what());
    return tovin::kUninstallerFailed;
  }
}
