#include "tests/support/pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace tovin::test {

TPseudoTerminal::TPseudoTerminal(int columns, int rows) {
  struct winsize size {};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = static_cast<unsigned short>(rows);
  int terminal = -1, keys[2] = {-1, -1};
  if (::openpty(&master_, &terminal, nullptr, nullptr, &size) != 0 || ::pipe(keys) != 0)
    throw std::runtime_error("no pseudo-terminal");
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  screen_ = ::fdopen(terminal, "w");
  keyboard_ = ::fdopen(keys[0], "r");
  keysWrite_ = keys[1];
  reader_ = std::thread([this] {
    char buffer[4096];
    for (;;) {
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;  // the terminal side was closed
      drawn_ += static_cast<size_t>(n);
      std::lock_guard<std::mutex> hold(tailLock_);
      tail_.append(buffer, static_cast<size_t>(n));
      if (tail_.size() > 8192) tail_.erase(0, tail_.size() - 8192);
    }
  });
}

TPseudoTerminal::~TPseudoTerminal() {
  std::fclose(screen_);
  std::fclose(keyboard_);
  ::close(keysWrite_);
  reader_.join();
  ::close(master_);
}

void TPseudoTerminal::Type(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(keysWrite_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) throw std::runtime_error("the keyboard pipe is closed");
    done += static_cast<size_t>(n);
  }
}

std::string TPseudoTerminal::Tail() const {
  std::lock_guard<std::mutex> hold(tailLock_);
  return tail_;
}

std::string TPseudoTerminal::Modes() const {
  struct termios modes {};
  if (::tcgetattr(::fileno(screen_), &modes) != 0) return "none";
  return std::to_string(modes.c_iflag) + " " + std::to_string(modes.c_oflag) + " " + std::to_string(modes.c_cflag) +
         " " + std::to_string(modes.c_lflag);
}

void TPseudoTerminal::SetSize(int columns, int rows) {
  struct winsize size {};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = static_cast<unsigned short>(rows);
  ::ioctl(master_, TIOCSWINSZ, &size);
}

}  // namespace tovin::test
