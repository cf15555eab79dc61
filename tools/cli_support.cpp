#include "tools/cli_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>

#include "platform/exception.h"
#include "platform/platform.h"
#include "tools/interruption.h"
#include "platform/windows_names.h"

namespace tovin::cli {

std::string WindowsMemberNote(const std::string& member) {
  std::string why = plat::WindowsTargetProblem(member);
  return why.empty() ? why : "Windows refuses it: " + why;
}

std::optional<std::string> SafeRelative(const std::string& path) {
  std::string p = path;
  for (auto& c : p)
    if (c == '/') c = '\\';
  if (p.size() >= 2 && p[1] == ':') p = p.substr(2);
  std::string out;
  size_t start = 0;
  while (start <= p.size()) {
    size_t sep = p.find('\\', start);
    if (sep == std::string::npos) sep = p.size();
    std::string part = p.substr(start, sep - start);
    start = sep + 1;
    if (part.empty() || part == ".") continue;
    if (part == ".." || part.find(':') != std::string::npos) return std::nullopt;
    out += (out.empty() ? "" : "\\") + part;
  }
  return out;
}

std::optional<std::string> MemberBelow(const std::string& prefix, const std::string& path) {
  std::string member = path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
  bool absolute = !member.empty() && (member[0] == '\\' || member[0] == '/' || (member.size() > 1 && member[1] == ':'));
  auto rel = absolute ? std::nullopt : SafeRelative(member);
  if (!rel || rel->empty()) return std::nullopt;
  return rel;
}

namespace {

std::string AsLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

bool TerminalDialogs::ErrorBoxOkCancel(const std::string& text, TSegQuestion, const std::string&) {
  // Without a terminal nobody can answer: the question's first line is the error.
  if (!plat::IsTerminal(0)) throw EGeneralError(AsLines(text.substr(0, text.find('\n'))));
  std::fprintf(stderr, "\n%s\n", AsLines(text).c_str());
  std::fprintf(stderr, "[OK/cancel] ");
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    StopIfInterrupted();  // Ctrl+C at the prompt
    return false;
  }
  std::transform(answer.begin(), answer.end(), answer.begin(), [](unsigned char c) { return std::tolower(c); });
  return answer.empty() || answer == "ok" || answer == "o" || answer == "y" || answer == "yes";
}

bool TerminalDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                                 const std::string&) {
  if (!plat::IsTerminal(0)) return false;
  std::fprintf(stderr, "\n%s\n%s [%s] (empty line: cancel) ", caption.c_str(), prompt.c_str(), value.c_str());
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    StopIfInterrupted();
    return false;
  }
  if (answer.empty()) return false;
  value = answer;
  return true;
}

void TerminalDialogs::ProcessMessages() { StopIfInterrupted(); }

std::string FailedFileNote(const std::string& target, bool existed) {
  if (target.empty() || plat::GetFileAttributes(target) != plat::kInvalidAttributes) return "";
  return existed ? " (no file is left for it: the file it was replacing is gone too)" : " (no file is left for it)";
}

TempFolder::TempFolder() {
  // Commands run side by side (tests, scripts): a clock reading alone has collided, and one
  // command then deleted the other's work copy. The folder must be new, so mkdir decides.
  std::random_device entropy;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  std::filesystem::path p;
  for (int attempt = 0;; ++attempt) {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    p = base / ("tovin-" + std::to_string(stamp) + "-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(p)) break;
    if (attempt == 100) throw EGeneralError(kMsgUnableToCreateDirectory);
  }
  host_ = p.string();
  path_ = plat::FromHostPath(host_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(host_, ignored);
}

}  // namespace tovin::cli
