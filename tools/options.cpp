#include "tools/options.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "codec/method_table.h"

namespace tovin::cli {

std::vector<std::string> MethodChoices(bool codedOnly) {
  std::vector<std::string> names;
  for (const auto& m : Methods())
    if (m.Writable() && (!codedOnly || m.Encode)) names.push_back(m.CliName);
  return names;
}

uint8_t MethodByName(const std::string& name) {
  const MethodInfo* m = FindMethodByCliName(name);
  if (!m) throw UsageError("no method named " + name);
  return m->Method;
}

bool ParseNumber(const std::string& text, int64_t min, int64_t max, bool suffixes, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (text.size() > i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  size_t digitsStart = i;
  constexpr uint64_t kLimit = uint64_t{1} << 62;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    int d;
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isdigit(c)) d = c - '0';
    else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
    else break;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > kLimit) return false;
  }
  if (i == digitsStart) return false;
  if (suffixes && i + 1 == text.size() && base == 10) {
    char s = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    int shift = s == 'K' ? 10 : s == 'M' ? 20 : s == 'G' ? 30 : -1;
    if (shift < 0) return false;
    v <<= shift;
    if (v > kLimit) return false;
    ++i;
  }
  if (i != text.size()) return false;
  int64_t signedValue = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  if (signedValue < min || signedValue > max) return false;
  value = signedValue;
  return true;
}

OptionParser::OptionParser(std::string command, std::string usage, std::string summary)
    : command_(std::move(command)), usage_(std::move(usage)), summary_(std::move(summary)) {}

void OptionParser::Add(const std::string& names, const std::string& metavar, const std::string& help,
                       bool takesValue, std::function<void(const std::string&, const std::string&)> set) {
  Option o;
  size_t start = 0;
  while (start <= names.size()) {
    size_t comma = names.find(',', start);
    if (comma == std::string::npos) comma = names.size();
    o.names.push_back(names.substr(start, comma - start));
    start = comma + 1;
  }
  o.metavar = metavar;
  o.help = help;
  o.takesValue = takesValue;
  o.set = std::move(set);
  options_.push_back(std::move(o));
}

void OptionParser::Flag(const std::string& names, const std::string& help, bool& target) {
  Add(names, "", help, false, [&target](const std::string&, const std::string&) { target = true; });
}

void OptionParser::Text(const std::string& names, const std::string& metavar, const std::string& help,
                        std::string& target) {
  Add(names, metavar, help, true, [&target](const std::string& name, const std::string& value) {
    if (value.empty()) throw UsageError(name + " needs a value");
    target = value;
  });
}

void OptionParser::Jobs(const std::string& help, int64_t& target) {
  target = std::max(1u, std::thread::hardware_concurrency());
  Number("-j,--jobs", "N", help + " (default: the number of processors, here " + std::to_string(target) + ")", target, 1,
         256);
}

void OptionParser::Number(const std::string& names, const std::string& metavar, const std::string& help,
                          int64_t& target, int64_t min, int64_t max, bool suffixes) {
  Add(names, metavar, help, true, [&target, min, max, suffixes](const std::string& name, const std::string& value) {
    int64_t v;
    if (!ParseNumber(value, min, max, suffixes, v)) {
      std::string range = std::to_string(min) + " to " + std::to_string(max);
      // A number outside the range is named as such, with the bound it passes.
      if (int64_t any; ParseNumber(value, INT64_MIN / 2, INT64_MAX / 2, suffixes, any)) {
        std::string shown = std::to_string(any) == value ? value : "'" + value + "' (" + std::to_string(any) + ")";
        throw UsageError(name + ": " + shown + (any < min ? " is below the minimum, " + std::to_string(min)
                                                          : " is above the maximum, " + std::to_string(max)));
      }
      throw UsageError(name + ": '" + value + "' is not a number from " + range +
                       (suffixes ? " (decimal, 0x hex, or with K, M or G)" : " (decimal or 0x hex)"));
    }
    target = v;
  });
}

void OptionParser::Choice(const std::string& names, const std::string& metavar, const std::string& help,
                          std::string& target, std::vector<std::string> choices) {
  Add(names, metavar, help, true, [&target, choices](const std::string& name, const std::string& value) {
    if (std::find(choices.begin(), choices.end(), value) == choices.end()) {
      std::string list;
      for (const auto& c : choices) list += (list.empty() ? "" : ", ") + c;
      throw UsageError(name + ": '" + value + "' is not one of " + list);
    }
    target = value;
  });
}

void OptionParser::Positional(const std::string& metavar, const std::string& help, std::string& target,
                              bool required) {
  Slot s;
  s.metavar = metavar;
  s.help = help;
  s.one = &target;
  s.required = required;
  slots_.push_back(s);
}

void OptionParser::Rest(const std::string& metavar, const std::string& help, std::vector<std::string>& target,
                        size_t min) {
  Slot s;
  s.metavar = metavar;
  s.help = help;
  s.many = &target;
  s.min = min;
  slots_.push_back(s);
}

OptionParser::Option* OptionParser::Find(const std::string& name) {
  for (auto& o : options_)
    if (std::find(o.names.begin(), o.names.end(), name) != o.names.end()) return &o;
  return nullptr;
}

bool OptionParser::Given(const std::string& name) const {
  for (const auto& o : options_)
    if (std::find(o.names.begin(), o.names.end(), name) != o.names.end()) return o.given;
  return false;
}

bool OptionParser::Parse(const Args& args) {
  std::vector<std::string> positionals;
  bool onlyPositionals = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositionals || a.size() < 2 || a[0] != '-') {
      positionals.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyPositionals = true;
      continue;
    }
    if (a == "-h" || a == "--help") {
      std::fputs(Help().c_str(), stdout);
      return false;
    }
    std::string name = a, value;
    bool inlineValue = false;
    if (auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
      inlineValue = true;
    }
    Option* o = Find(name);
    if (!o) throw UsageError("unknown option " + name);
    if (o->takesValue && !inlineValue) {
      if (i + 1 >= args.size()) throw UsageError(name + " needs a value (" + o->metavar + ")");
      value = args[++i];
    } else if (!o->takesValue && inlineValue) {
      throw UsageError(name + " takes no value");
    }
    o->given = true;
    o->set(name, value);
  }
  size_t next = 0;
  for (const auto& s : slots_) {
    if (s.many) {
      size_t count = positionals.size() - std::min(next, positionals.size());
      if (count < s.min) throw UsageError("missing " + s.metavar);
      s.many->assign(positionals.begin() + static_cast<std::ptrdiff_t>(next), positionals.end());
      next = positionals.size();
    } else if (next < positionals.size()) {
      *s.one = positionals[next++];
    } else if (s.required) {
      throw UsageError("missing " + s.metavar);
    }
  }
  if (next < positionals.size()) throw UsageError("unexpected argument '" + positionals[next] + "'");
  return true;
}

std::string OptionParser::Help() const {
  std::string out = UsageLine() + "\n" + summary_ + "\n";
  auto row = [&out](const std::string& left, const std::string& help) {
    out += "  " + left;
    out += left.size() < 26 ? std::string(26 - left.size(), ' ') : "\n" + std::string(28, ' ');
    out += help + "\n";
  };
  if (!slots_.empty()) out += "\nArguments:\n";
  for (const auto& s : slots_) row(s.metavar, s.help);
  out += "\nOptions:\n";
  for (const auto& o : options_) {
    std::string left;
    for (const auto& n : o.names) left += (left.empty() ? "" : ", ") + n;
    if (o.takesValue) left += " " + o.metavar;
    row(left, o.help);
  }
  row("-h, --help", "show this help");
  if (!epilog_.empty()) out += "\n" + epilog_ + "\n";
  return out;
}

}  // namespace tovin::cli
