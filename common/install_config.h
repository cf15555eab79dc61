// Reading install.cfg: the setup's paths, its settings and lists, and the look settings.
#pragma once
#include "common/setup_settings.h"

namespace tovin {

// StartDir from the current directory, SystemDriveRoot and TempDir from the Windows directory.
void ComputeSetupPaths(SetupSettings& settings);

// Reads StartDir + "install.cfg" into settings (its three paths already set) and look
// (holding the controls' current values). Never fails: a missing file gives the defaults.
// Applying the look to the window and preselecting the wizard's choices is the caller's.
void ReadInstallConfig(SetupSettings& settings, LookSettings& look);

}  // namespace tovin
