// The uninstaller program: started by the registered uninstall command with the product's title
// as its arguments, it removes the installation in its own folder through the uninstaller's
// window. The setup program copied into the destination under the name uninstaller.exe is the
// uninstaller: one program, whose behaviour follows its file name.
#pragma once
#include <functional>
#include <string>

#include "ui/application.h"

namespace tovin {

class TUninstallForm;

// Exit statuses of uninstaller.exe.
inline constexpr int kUninstallerRemoved = 0;
inline constexpr int kUninstallerFailed = 1;     // no log, a refused log, or items that stayed
inline constexpr int kUninstallerCancelled = 2;

// Whether a program file of this name is the uninstaller.
bool IsUninstallerProgram(const std::string& programPath);

// Runs the uninstall of the destination that holds programPath. title: the command line's
// words, named in the box that says there is nothing to uninstall; the log's own title
// names the product otherwise. beforeRun sees the window before its loop starts (a driver
// hooks in there). Returns one of the statuses above.
int RunUninstallerProgram(ui::TApplication& app, const std::string& programPath, const std::string& title,
                          const std::function<void(TUninstallForm&)>& beforeRun = {});

}  // namespace tovin
