// Faults of a headless run: the driver (a test, an answers file) left a loop with nothing to
// do, let it run away, or answered a box that cannot be answered that way. They are not
// failures of the program, so they derive from std::logic_error rather than tovin::Exception:
// no loop shows them in a box; they reach the driver.
#pragma once
#include <stdexcept>

namespace tovin::ui {

// "modal loop of <caption> has nothing left to do"
class EHeadlessStall : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// "modal loop of <caption> did not end after <n> turns"
class EHeadlessRunaway : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// A scripted answer names a button the box does not have, or types into a box without an
// input line.
class EHeadlessScript : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// The model told of a control it never announced, or of one that has gone: a backend holding
// a handle for it would hold a dead pointer.
class EHeadlessLifetime : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace tovin::ui
