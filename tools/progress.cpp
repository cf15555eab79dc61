#include "tools/progress.h"

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"
#include "tools/host_paths.h"

namespace tovin::cli {

std::string HumanBytes(uint64_t bytes) {
  char buf[32];
  if (bytes < 1000) std::snprintf(buf, sizeof buf, "%llu B", static_cast<unsigned long long>(bytes));
  else if (bytes < 1000000) std::snprintf(buf, sizeof buf, "%.1f kB", static_cast<double>(bytes) / 1e3);
  else if (bytes < 1000000000) std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / 1e6);
  else std::snprintf(buf, sizeof buf, "%.2f GB", static_cast<double>(bytes) / 1e9);
  return buf;
}

std::string ProgressLine(const std::string& labelIn, uint64_t done, uint64_t total, int width, bool bytes) {
  done = std::min(done, total);
  int percent = total ? static_cast<int>(done * 100 / total) : 100;
  char tail[64];
  if (bytes) std::snprintf(tail, sizeof tail, " %3d%% %s/%s", percent, HumanBytes(done).c_str(), HumanBytes(total).c_str());
  else std::snprintf(tail, sizeof tail, " %3d%% %llu/%llu", percent, static_cast<unsigned long long>(done),
                     static_cast<unsigned long long>(total));
  int barWidth = std::clamp(width / 5, 5, 30);
  std::string bar = " [" + std::string(static_cast<size_t>(barWidth * percent / 100), '#');
  bar.resize(static_cast<size_t>(barWidth) + 2, ' ');
  bar += "]";
  size_t room = static_cast<size_t>(std::max(width - 1, 0));
  // A narrow terminal loses the bar first, then the byte counts.
  std::string right = bar + tail;
  if (right.size() + 4 > room) right = tail;
  if (right.size() + 4 > room) right = std::string(tail).substr(0, 5);
  if (right.size() > room) right.resize(room);
  std::string label = Printable(labelIn);
  size_t labelRoom = room - right.size();
  if (label.size() > labelRoom) label = labelRoom > 3 ? "..." + label.substr(label.size() - (labelRoom - 3)) : "";
  label.resize(labelRoom, ' ');
  return label + right;
}

Progress::Progress(bool quiet) : on_(!quiet && plat::IsTerminal(2)) {}
Progress::~Progress() { Done(); }

void Progress::Show(const std::string& label, uint64_t done) {
  if (!on_) return;
  auto now = std::chrono::steady_clock::now();
  if (label == lastLabel_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  lastLabel_ = label;
  std::fprintf(stderr, "\r%s", ProgressLine(label, done, total_, plat::TerminalColumns(2), bytes_).c_str());
  std::fflush(stderr);
  shown_ = true;
}

void Progress::ShowCount(const std::string& label, uint64_t done) {
  bytes_ = false;
  Show(label, done);
  bytes_ = true;
}

void Progress::Done() {
  if (shown_) std::fprintf(stderr, "\r%*s\r", std::max(plat::TerminalColumns(2) - 1, 0), "");
  shown_ = false;
  lastLabel_.clear();
}

}  // namespace tovin::cli
