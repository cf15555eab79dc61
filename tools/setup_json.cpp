#include "tools/setup_json.h"

#include <nlohmann/json.hpp>

#include "wizard/uninstall_log_reader.h"

namespace tovin::cli {
namespace {

// Texts are 8-bit Windows text: bytes that are not UTF-8 come out as U+FFFD.
std::string Dump(const nlohmann::json& doc) { return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace); }

}  // namespace

std::string SetupRunJson(const TUnattendedRun& run, const std::string& uninstall) {
  nlohmann::json boxes = nlohmann::json::array();
  for (const TTracedBox& b : run.Boxes) {
    const ui::TTranscriptEntry& e = b.Entry;
    nlohmann::json box = {{"caption", e.Caption}, {"text", e.Text}, {"button", ui::StripAccelerator(e.Button)},
                          {"why", b.Why}, {"id", e.Id}, {"subject", e.Subject}};
    if (e.Kind == ui::mkInput) box["value"] = e.Value;
    boxes.push_back(std::move(box));
  }
  nlohmann::json errors = run.Errors;
  if (!run.Problem.empty()) errors.push_back(run.Problem);
  nlohmann::json installed = nlohmann::json::array();
  const std::string& dir = run.Outcome.InstallDir;
  if (!dir.empty())
    if (auto log = ReadUninstallLog(dir + "\\uninstall.cfg")) installed = log->Files;
  nlohmann::json doc = {{"status", run.ExitStatus},
                        {"result", run.Result},
                        {"installDir", dir.empty() ? nlohmann::json() : nlohmann::json(dir)},
                        {"installed", std::move(installed)},
                        {"restartRequested", run.Outcome.RestartRequested},
                        {"boxes", std::move(boxes)},
                        {"failedFiles", run.FailedFiles},
                        {"errors", std::move(errors)},
                        {"notices", run.Notices},
                        {"transcript", run.Report}};
  if (!uninstall.empty()) doc["uninstall"] = uninstall;
  return Dump(doc);
}

std::string SetupFailureJson(int status, const std::string& error) {
  return Dump({{"status", status}, {"result", "the setup could not start"}, {"errors", nlohmann::json::array({error})}});
}

}  // namespace tovin::cli
