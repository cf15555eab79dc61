// The installation run: resolves and creates the directories, copies the setup program and the
// files, makes the shortcuts, writes the INI entries, the uninstall log and the registry entry,
// starts the installed program when asked, and closes the wizard. Errors it does not catch
// (the setup program's own copy, the log, the INI file, the registry) stop it where they occur.
// Each step it counts on the progress bar goes to the host's progress observer too.
#pragma once

namespace tovin {

class TTovin;

void RunInstallation(TTovin& wizard);

}  // namespace tovin
