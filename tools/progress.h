// A progress line on standard error, redrawn in place, when it is a terminal and not quiet:
// what is being done, a bar and the bytes done of the total, cut to the terminal's width.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace tovin::cli {

// "12.3 MB" style, decimal units.
std::string HumanBytes(uint64_t bytes);

// The line for label at done of total bytes (or items), at most width columns.
std::string ProgressLine(const std::string& label, uint64_t done, uint64_t total, int width, bool bytes = true);

class Progress {
 public:
  explicit Progress(bool quiet);
  ~Progress();
  void SetTotal(uint64_t total) { total_ = total; }
  // Redraws at most ten times a second, and whenever the label changes.
  void Show(const std::string& label, uint64_t done);
  // The same, counting items instead of bytes.
  void ShowCount(const std::string& label, uint64_t done);
  void Done();  // clears the line

 private:
  bool on_;
  bool shown_ = false;
  uint64_t total_ = 0;
  bool bytes_ = true;
  std::string lastLabel_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace tovin::cli
