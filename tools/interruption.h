// Ctrl+C, SIGTERM or SIGHUP during a command: the work stops at its next pause and unwinds, so
// that the partial file, the work copy and the temporary folder are removed on the way out.
#pragma once
#include <exception>

namespace tovin::cli {

// Raised where a command pauses once the user asked it to stop. Not a library exception, so
// that no handler of the libraries takes it for a failure of its own and goes on.
class EInterrupted final : public std::exception {
 public:
  explicit EInterrupted(int signal) : signal_(signal) {}
  const char* what() const noexcept override { return "interrupted"; }
  int Signal() const { return signal_; }

 private:
  int signal_;
};

// Raises EInterrupted when a stop was asked for (plat::CatchInterrupts).
void StopIfInterrupted();

// The exit status of a command that was stopped: 128 + the signal's number, as shells report.
int InterruptedExitStatus(int signal);

}  // namespace tovin::cli
