// Failures travel as exceptions, one class per kind, each carrying the system's own message.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tovin {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  const std::string Message() const { return what(); }
};

#define TOVIN_EXCEPTION(Name) \
  class Name : public ::tovin::Exception { \
   public: \
    using ::tovin::Exception::Exception; \
  }

// Stream failures, with the messages of the stream classes the setup was written against.
TOVIN_EXCEPTION(EFOpenError);
inline constexpr const char* kMsgCannotOpenFile = "Cannot open file %s";
TOVIN_EXCEPTION(EFCreateError);
inline constexpr const char* kMsgCannotCreateFile = "Cannot create file %s";
TOVIN_EXCEPTION(EReadError);
inline constexpr const char* kMsgStreamReadError = "Stream read error";
TOVIN_EXCEPTION(EWriteError);
inline constexpr const char* kMsgStreamWriteError = "Stream write error";
// Carries the system's message for a failed I/O call.
TOVIN_EXCEPTION(EInOutError);
// Plain runtime errors.
TOVIN_EXCEPTION(EGeneralError);
inline constexpr const char* kMsgUnableToCreateDirectory = "Unable to create directory";
// An index outside a string list; %d is the index.
TOVIN_EXCEPTION(EListError);
inline constexpr const char* kMsgListIndexOutOfBounds = "List index out of bounds (%d)";
// The host folder asked to hold the emulated machine cannot be one.
TOVIN_EXCEPTION(EMachineRootError);

// Replaces the first %s of a message template with text; the text itself is not read as a
// template.
std::string Format(const std::string& pattern, const std::string& text);
// Replaces the first %d of a message template with a number in decimal.
std::string Format(const std::string& pattern, int64_t number);

}  // namespace tovin
