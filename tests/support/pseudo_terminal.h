// A terminal for the terminal backend's tests, without a person: a pseudo-terminal whose
// terminal side the backend draws on (a real terminal, so its modes and its size can be set
// and read) and a pipe that stands for the keyboard, so that keys written here are there to be
// read at once. What the backend draws is read away on a thread of its own.
#pragma once
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace tovin::test {

class TPseudoTerminal {
 public:
  TPseudoTerminal(int columns, int rows);
  ~TPseudoTerminal();
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

  FILE* Screen() const { return screen_; }  // what the backend writes to
  FILE* Keyboard() const { return keyboard_; }  // what the backend reads keys from
  // Bytes as the terminal would send them for keys.
  void Type(const std::string& bytes);
  // The terminal takes a new size (as a window the person resized).
  void SetSize(int columns, int rows);
  // Bytes the backend has written so far, and the last few thousand of them.
  size_t Drawn() const { return drawn_; }
  std::string Tail() const;
  // The terminal side's modes (input, output, control and local flags), to compare.
  std::string Modes() const;

 private:
  int master_ = -1, keysWrite_ = -1;
  FILE* screen_ = nullptr;
  FILE* keyboard_ = nullptr;
  std::atomic<size_t> drawn_{0};
  mutable std::mutex tailLock_;
  std::string tail_;
  std::thread reader_;
};

}  // namespace tovin::test
