// The answers file of an unattended setup: an INI file whose section [Answers] says what a
// person would press. Every key is optional; a missing one takes what the wizard preselects or
// the dialog's default button.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/exception.h"

namespace tovin {

TOVIN_EXCEPTION(EAnswersError);

struct TSetupAnswers {
  std::optional<bool> AcceptLicence;        // Licence=Accept|Decline
  std::optional<std::string> Destination;   // typed into the directory dialog, OK, Yes
  std::optional<std::string> Folder;        // text of CreateFolder
  std::optional<bool> FolderStartMenu;      // CheckBox1
  std::optional<bool> FolderDesktop;        // CheckBox2
  std::vector<std::string> NoDesktop;       // shortcut names to untick in DK
  std::vector<std::string> NoStartMenu;     // ... and in SM
  std::optional<bool> MinimumInstall;       // InstallType=Full|Min
  enum TFinish { fiLaunch, fiReturn, fiReboot };
  std::optional<TFinish> Finish;            // Finish=Launch|Return|Reboot
  std::optional<int> CancelOnPage;          // Cancel=N: press Cancel on page N (0 = welcome)
  std::optional<bool> Overwrite;            // every "File Already Exists" question
  std::map<std::string, bool> OverwriteFile;  // Overwrite.FILENAME, names upper-cased

  // The file they were read from; empty when there is none (every choice the default).
  std::string File;
  // Each key's line as the file has it ("Licence=Decline"), by its upper-cased name, so that
  // a run says which answer pressed what.
  std::map<std::string, std::string> Written;

  // Written[key], or empty.
  std::string Said(const std::string& upperKey) const;

  // The answer to the overwrite question for one file, if the file says.
  std::optional<bool> OverwriteAnswer(const std::string& fileName) const;
};

// Reads path (a file of the platform layer). Raises EAnswersError naming the key for an
// unknown key or a value out of its choices, and for a file that cannot be read or has no
// [Answers] section (a misspelt one would otherwise install every default).
TSetupAnswers ReadSetupAnswers(const std::string& path);

}  // namespace tovin
