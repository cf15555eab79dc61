#include "app/setup_answers.h"

#include <algorithm>
#include <cctype>

#include "common/destination_path.h"
#include "common/system_routines.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "wizard/destination_check.h"

namespace tovin {
namespace {

constexpr const char* kSection = "Answers";

using plat::UpperCase;

std::vector<std::string> Names(std::string text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    std::string field;
    bool last = text.find('~') == std::string::npos;
    NextField(text, '~', field);
    if (!field.empty()) names.push_back(field);
    if (last) break;
  }
  return names;
}

[[noreturn]] void Bad(const std::string& key, const std::string& value, const std::string& expected) {
  throw EAnswersError("answers file: " + key + "=" + value + ": expected " + expected);
}

bool YesNo(const std::string& key, const std::string& value) {
  std::string v = UpperCase(value);
  if (v == "YES") return true;
  if (v == "NO") return false;
  Bad(key, value, "Yes or No");
}

bool ZeroOne(const std::string& key, const std::string& value) {
  if (value == "1") return true;
  if (value == "0") return false;
  Bad(key, value, "0 or 1");
}

}  // namespace

std::string TSetupAnswers::Said(const std::string& upperKey) const {
  auto it = Written.find(upperKey);
  return it == Written.end() ? std::string() : it->second;
}

std::optional<bool> TSetupAnswers::OverwriteAnswer(const std::string& fileName) const {
  auto it = OverwriteFile.find(UpperCase(fileName));
  if (it != OverwriteFile.end()) return it->second;
  return Overwrite;
}

TSetupAnswers ReadSetupAnswers(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  if (a == plat::kInvalidAttributes || (a & plat::kAttrDirectory))
    throw EAnswersError("answers file " + path + " cannot be read");
  if (std::string why = ini::ProfileFileProblem(path); !why.empty())
    throw EAnswersError("answers file " + path + " " + why);
  std::vector<std::string> sections;
  if (auto text = ini::ReadWhole(path)) sections = ini::Document(*text).Sections();
  if (std::none_of(sections.begin(), sections.end(), [](const std::string& n) { return ini::EqualNoCase(n, kSection); })) {
    std::string has;
    for (const auto& n : sections) has += (has.empty() ? "" : ", ") + ("[" + n + "]");
    throw EAnswersError("answers file " + path + " has no [" + kSection + "] section" +
                        (has.empty() ? std::string() : " (it has " + has + ")"));
  }
  TSetupAnswers answers;
  answers.File = path;
  for (const auto& key : plat::GetPrivateProfileKeys(kSection, path)) {
    std::string k = UpperCase(key);
    // A destination is read whole: one cut to the buffer would be another folder.
    size_t buffer = k == "DESTINATION" ? kMaxDestinationLength + 2 : 1024;
    std::string value = plat::GetPrivateProfileString(kSection, key, "", path, buffer);
    answers.Written[k == "LICENSE" ? "LICENCE" : k] = key + "=" + value;
    if (k == "LICENCE" || k == "LICENSE") {
      std::string v = UpperCase(value);
      if (v != "ACCEPT" && v != "DECLINE") Bad(key, value, "Accept or Decline");
      answers.AcceptLicence = v == "ACCEPT";
    } else if (k == "DESTINATION") {
      if (!NamesDriveFolder(value)) Bad(key, value, "a full path that begins with a drive letter, a colon and a backslash");
      if (std::string why = DestinationProblem(value); !why.empty()) throw EAnswersError("answers file: Destination: " + why);
      answers.Destination = value;
    } else if (k == "FOLDER") {
      answers.Folder = value;
    } else if (k == "FOLDERSTARTMENU") {
      answers.FolderStartMenu = ZeroOne(key, value);
    } else if (k == "FOLDERDESKTOP") {
      answers.FolderDesktop = ZeroOne(key, value);
    } else if (k == "NODESKTOP") {
      answers.NoDesktop = Names(value);
    } else if (k == "NOSTARTMENU") {
      answers.NoStartMenu = Names(value);
    } else if (k == "INSTALLTYPE") {
      std::string v = UpperCase(value);
      if (v != "FULL" && v != "MIN") Bad(key, value, "Full or Min");
      answers.MinimumInstall = v == "MIN";
    } else if (k == "FINISH") {
      std::string v = UpperCase(value);
      if (v == "LAUNCH") answers.Finish = TSetupAnswers::fiLaunch;
      else if (v == "RETURN") answers.Finish = TSetupAnswers::fiReturn;
      else if (v == "REBOOT") answers.Finish = TSetupAnswers::fiReboot;
      else Bad(key, value, "Launch, Return or Reboot");
    } else if (k == "CANCEL") {
      if (value.size() != 1 || value[0] < '0' || value[0] > '5') Bad(key, value, "a page number from 0 to 5");
      answers.CancelOnPage = value[0] - '0';
    } else if (k == "OVERWRITE") {
      answers.Overwrite = YesNo(key, value);
    } else if (k.rfind("OVERWRITE.", 0) == 0 && k.size() > 10) {
      answers.OverwriteFile[k.substr(10)] = YesNo(key, value);
    } else {
      throw EAnswersError("answers file: unknown key " + key + " in [Answers]");
    }
  }
  return answers;
}

}  // namespace tovin
