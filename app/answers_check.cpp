#include "app/answers_check.h"

#include <algorithm>

#include "common/name_suggestion.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tovin {

std::vector<std::string> MachineDrives() {
  std::vector<std::string> drives;
  for (char d = 'C'; d <= 'Z'; ++d)
    if (plat::GetFileAttributes(std::string(1, d) + ":\\") != plat::kInvalidAttributes) drives.push_back(std::string(1, d) + ":");
  return drives;
}

std::string AnswersProblem(const TSetupAnswers& answers, const SetupSettings& settings) {
  if (answers.Destination) {
    std::string drive = plat::UpperCase(answers.Destination->substr(0, 2));
    std::vector<std::string> drives = MachineDrives();
    if (std::find(drives.begin(), drives.end(), drive) == drives.end()) {
      std::string has;
      for (const auto& d : drives) has += (has.empty() ? "" : ", ") + d;
      return "answers file: " + answers.Said("DESTINATION") + ": the machine has no drive " + drive + " (its drives: " +
             (has.empty() ? "none" : has) + ")";
    }
  }
  std::vector<std::string> names;
  for (std::string entry : settings.DesktopList) {
    std::string name;
    NextField(entry, '~', name);
    names.push_back(name);
  }
  for (const auto& [key, list] : {std::pair{"NODESKTOP", &answers.NoDesktop}, std::pair{"NOSTARTMENU", &answers.NoStartMenu}})
    for (const auto& n : *list)
      if (std::find(names.begin(), names.end(), n) == names.end())
        return "answers file: " + answers.Said(key) + ": no shortcut \"" + n + "\" in the package's [Desktop]" +
               NameSuggestion(n, names, "\"", "\"");
  return "";
}

}  // namespace tovin
