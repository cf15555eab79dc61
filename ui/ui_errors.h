// Failures of the toolkit model, with the messages of the class library the setup was written
// against.
#pragma once
#include <string>

#include "platform/exception.h"

namespace tovin::ui {

TOVIN_EXCEPTION(EListIndexError);    // "List index out of bounds (%d)"
TOVIN_EXCEPTION(EInvalidOperation);  // "Cannot make a visible window modal"

inline std::string ListIndexMessage(int index) {
  return "List index out of bounds (" + std::to_string(index) + ")";
}

}  // namespace tovin::ui
