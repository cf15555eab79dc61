// Failures travel as exceptions, one class per kind, each carrying the system's own message.
#pragma once
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
TOVIN_EXCEPTION(EFOpenError);    // "Cannot open file %s"
TOVIN_EXCEPTION(EFCreateError);  // "Cannot create file %s"
TOVIN_EXCEPTION(EReadError);     // "Stream read error"
TOVIN_EXCEPTION(EWriteError);    // "Stream write error"
TOVIN_EXCEPTION(EInOutError);    // the system's message for a failed I/O call
TOVIN_EXCEPTION(EGeneralError);  // plain runtime errors ("Unable to create directory")
// The host folder asked to hold the emulated machine cannot be one.
TOVIN_EXCEPTION(EMachineRootError);

// Replaces the first %s of a message template.
inline std::string Format(const std::string& pattern, const std::string& arg) {
  std::string out = pattern;
  auto at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

}  // namespace tovin
