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
TOVIN_EXCEPTION(EFOpenError);    // "Cannot open file %s"
TOVIN_EXCEPTION(EFCreateError);  // "Cannot create file %s"
TOVIN_EXCEPTION(EReadError);     // "Stream read error"
TOVIN_EXCEPTION(EWriteError);    // "Stream write error"
TOVIN_EXCEPTION(EInOutError);    // the system's message for a failed I/O call
TOVIN_EXCEPTION(EGeneralError);  // plain runtime errors ("Unable to create directory")

// Replaces the first %s of a message template with text.
inline std::string Format(const std::string& pattern, const std::string& text) {
  std::string out = pattern;
  auto at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, text);
  return out;
}
// Replaces the first %d of a message template with a number in decimal.
inline std::string Format(const std::string& pattern, int64_t number) {
  std::string out = pattern;
  auto at = out.find("%d");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(number));
  return out;
}

}  // namespace tovin
