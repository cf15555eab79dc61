// One option parser for every tovin command: each command declares its options once, and the
// parser checks every value, names the option in every complaint and prints the command's help.
#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovin::cli {

using Args = std::vector<std::string>;

// A complaint about the command line; the caller prints it with the command's usage line.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The command-line names of the methods an archive can be written with (coded ones only when
// codedOnly), from the method table; and the method of such a name.
std::vector<std::string> MethodChoices(bool codedOnly);
uint8_t MethodByName(const std::string& name);

// Parses "123", "0x1F" and, when suffixes is set, "64K" / "2M" (binary multiples). False for
// anything else, for a value out of [min, max] and for overflow.
bool ParseNumber(const std::string& text, int64_t min, int64_t max, bool suffixes, int64_t& value);

class OptionParser {
 public:
  // usage: the argument synopsis after "tovin COMMAND"; summary: one line on what it does.
  OptionParser(std::string command, std::string usage, std::string summary);

  // names: "-q,--quiet" style, comma separated.
  void Flag(const std::string& names, const std::string& help, bool& target);
  void Text(const std::string& names, const std::string& metavar, const std::string& help, std::string& target);
  void Number(const std::string& names, const std::string& metavar, const std::string& help, int64_t& target,
              int64_t min, int64_t max, bool suffixes = false);
  // -j/--jobs N (1 to 256): threads that do what help says; target starts at the number of
  // processors, which the help names.
  void Jobs(const std::string& help, int64_t& target);
  // One of choices, exactly.
  void Choice(const std::string& names, const std::string& metavar, const std::string& help, std::string& target,
              std::vector<std::string> choices);
  // Positional arguments in order; optional ones keep their preset value when absent.
  void Positional(const std::string& metavar, const std::string& help, std::string& target, bool required);
  // The remaining positional arguments, at least min of them.
  void Rest(const std::string& metavar, const std::string& help, std::vector<std::string>& target, size_t min);
  // Extra text at the end of the help.
  void Epilog(const std::string& text) { epilog_ = text; }

  // Fills the targets; raises UsageError. Returns false when --help was asked for (the help is
  // then printed on standard output and the command has nothing more to do).
  bool Parse(const Args& args);
  std::string Help() const;
  std::string UsageLine() const { return "usage: tovin " + command_ + " " + usage_; }
  // Whether the option (any of its names) appeared on the command line.
  bool Given(const std::string& name) const;

 private:
  struct Option {
    std::vector<std::string> names;
    std::string metavar, help;
    std::function<void(const std::string& name, const std::string& value)> set;  // value empty for flags
    bool takesValue = false;
    bool given = false;
  };
  struct Slot {
    std::string metavar, help;
    std::string* one = nullptr;
    std::vector<std::string>* many = nullptr;
    bool required = false;
    size_t min = 0;
  };
  Option* Find(const std::string& name);
  void Add(const std::string& names, const std::string& metavar, const std::string& help, bool takesValue,
           std::function<void(const std::string&, const std::string&)> set);

  std::string command_, usage_, summary_, epilog_;
  std::vector<Option> options_;
  std::vector<Slot> slots_;
};

}  // namespace tovin::cli
