#include "common/install_config_check.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "common/profile_reader.h"
#include "common/setup_settings.h"
#include "common/system_routines.h"
#include "platform/ini_document.h"
#include "platform/platform.h"

namespace tovin {
namespace {

// The buffers through which the setup reads values and key names.
constexpr size_t kValueBuffer = 1024, kKeyBuffer = 8192;

const std::string kMain = "Setup - Main", kDirectories = "Directories", kFiles = "Files",
                  kOverWrite = "Files - OverWrite", kDesktop = "Desktop", kIniSetup = "INI - Setup",
                  kWorkStation = "WorkStation";

enum class Kind { Text, Integer, Colour, Boolean };

struct MainKey {
  std::string name;
  Kind kind;
  int32_t fallback;  // what the setup uses when a number does not convert
};

// The keys of "Setup - Main", with the defaults of a fresh record and a fresh window.
std::vector<MainKey> MainKeys() {
  const SetupSettings s;
  const LookSettings look;
  return {
      {"Install Disks", Kind::Integer, s.InstallDisks},
      {"Install Dir", Kind::Text, 0},
      {"INI File", Kind::Text, 0},
      {"Launch", Kind::Text, 0},
      {"Folder", Kind::Text, 0},
      {"Add to Program Files", Kind::Boolean, s.AddToProgramFiles},
      {"Show Warning Screen", Kind::Boolean, s.ShowWarningScreen},
      {"Show Re-Boot", Kind::Boolean, s.ShowReBoot},
      {"Work Station Prompt", Kind::Boolean, s.WorkStationPrompt},
      {"Bitmap File", Kind::Text, 0},
      {"Align Center", Kind::Boolean, s.AlignCenter},
      {"Align Left", Kind::Boolean, s.AlignLeft},
      {"Align Right", Kind::Boolean, s.AlignRight},
      {"Dither From", Kind::Colour, look.FromColor},
      {"Dither To", Kind::Colour, look.ToColor},
      {"Header", Kind::Text, 0},
      {"Header Font Name", Kind::Text, 0},
      {"Header Font Size", Kind::Integer, look.HeaderFontSize},
      {"Header Font Color", Kind::Colour, look.HeaderFontColor},
      {"Header Font Shadow", Kind::Colour, look.HeaderFontShadow},
      {"Header2", Kind::Text, 0},
      {"Header2 Font Name", Kind::Text, 0},
      {"Header2 Font Size", Kind::Integer, look.Header2FontSize},
      {"Header2 Font Color", Kind::Colour, look.Header2FontColor},
      {"Header2 Font Shadow", Kind::Colour, look.Header2FontShadow},
  };
}

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Letters and digits only, in lower case: "ShowReboot" and "Show Re-Boot" look alike.
std::string Folded(const std::string& s) {
  std::string out;
  for (unsigned char c : s)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

std::string Suggestion(const std::string& name, const std::vector<std::string>& known,
                       const char* open, const char* close) {
  for (const auto& k : known)
    if (Folded(k) == Folded(name)) return std::string(" (did you mean ") + open + k + close + "?)";
  return "";
}

std::string Described(Kind kind, int32_t value) {
  if (kind == Kind::Boolean) return value ? "1 (true)" : "0 (false)";
  if (kind == Kind::Integer) return std::to_string(value);
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

std::string BareName(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }

// A directory tag written in front of a path: everything up to and including the first ">".
std::string TagOf(const std::string& text) {
  auto close = text.find('>');
  return close == std::string::npos ? std::string() : text.substr(0, close + 1);
}

class Checker {
 public:
  Checker(const std::string& text, const PackageContents* package) : doc_(text), package_(package) {}

  std::vector<std::string> Run(bool hasByteOrderMark) {
    if (!hasByteOrderMark)  // with a mark, those keys are the hidden section's, already named
      for (const auto& key : doc_.KeysBeforeSections())
        Warn("key \"" + key + "\" stands before any section; the setup ignores it");
    Sections();
    MainSection();
    for (const auto& section : {kDirectories, kFiles, kDesktop, kIniSetup, kWorkStation}) ListSection(section);
    OverWriteSection();
    Tags();
    if (package_) Package();
    return std::move(warnings_);
  }

 private:
  void Warn(std::string line) { warnings_.push_back(std::move(line)); }

  // The value as the setup reads it, cut to its buffer; nullopt when the key is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) {
    auto v = doc_.Value(section, key);
    if (v) return ini::CutToBuffer(*v, kValueBuffer);
    return v;
  }

  void Sections() {
    std::vector<std::string> known{kMain, kDirectories, kFiles, kOverWrite, kDesktop, kIniSetup, kWorkStation};
    std::set<std::string> seen;
    for (const auto& name : doc_.Sections()) {
      bool isKnown = false;
      for (const auto& k : known) isKnown = isKnown || ini::EqualNoCase(k, name);
      if (!isKnown) Warn("unknown section [" + name + "]; the setup ignores it" + Suggestion(name, known, "[", "]"));
      else if (!seen.insert(Upper(name)).second)
        Warn("[" + name + "] appears again; the setup reads only the first [" + name + "]");
    }
  }

  // Keys named twice: the setup reads the first one's value wherever the name is asked for.
  void RepeatedKeys(const std::string& section, const std::string& consequence) {
    std::set<std::string> seen;
    for (const auto& key : doc_.Keys(section))
      if (!seen.insert(Upper(key)).second) Warn("[" + section + "] key \"" + key + "\" appears again; " + consequence);
  }

  void LongValues(const std::string& section) {
    std::set<std::string> seen;
    for (const auto& key : doc_.Keys(section)) {
      auto v = doc_.Value(section, key);
      if (seen.insert(Upper(key)).second && v && v->size() >= kValueBuffer)
        Warn("[" + section + "] " + key + " has a value of " + std::to_string(v->size()) +
             " characters; the setup reads only the first " + std::to_string(kValueBuffer - 1));
    }
  }

  // A number that does not convert leaves the setting at its default.
  void Number(const std::string& section, const std::string& key, Kind kind, int32_t fallback) {
    auto v = Value(section, key);
    if (!v || ParseProfileInteger(*v)) return;
    Warn("[" + section + "] " + key + (v->empty() ? " has no value" : "=" + *v + " is not a number") +
         "; the setup uses the default, " + Described(kind, fallback));
  }

  void MainSection() {
    std::vector<std::string> names;
    for (const auto& k : MainKeys()) names.push_back(k.name);
    for (const auto& key : doc_.Keys(kMain)) {
      bool isKnown = false;
      for (const auto& n : names) isKnown = isKnown || ini::EqualNoCase(n, key);
      if (!isKnown)
        Warn("[" + kMain + "] unknown key \"" + key + "\"; the setup ignores it" + Suggestion(key, names, "\"", "\""));
    }
    RepeatedKeys(kMain, "the setup reads only the first");
    LongValues(kMain);
    for (const auto& k : MainKeys())
      if (k.kind != Kind::Text) Number(kMain, k.name, k.kind, k.fallback);
  }

  // The keys of a list section as the setup collects them: through its key-name buffer.
  std::vector<std::string> ListKeys(const std::string& section) {
    return ini::KeysThroughBuffer(doc_.Keys(section), kKeyBuffer);
  }

  void ListSection(const std::string& section) {
    auto keys = doc_.Keys(section);
    auto read = ListKeys(section);
    for (size_t i = 0; i < keys.size(); ++i)
      if (i >= read.size() || read[i] != keys[i]) {
        Warn("[" + section + "] the key names pass the setup's " + std::to_string(kKeyBuffer) +
             "-byte buffer; it loses the entries from " + keys[i] + " on");
        break;
      }
    RepeatedKeys(section, "the setup reads the first one's value for it too, so this entry is lost");
    LongValues(section);
  }

  void OverWriteSection() {
    size_t entries = ListKeys(kFiles).size();
    for (const auto& key : doc_.Keys(kOverWrite)) {
      bool known = false;
      for (size_t i = 0; i < entries && !known; ++i) known = ini::EqualNoCase(key, "File #" + std::to_string(i));
      if (!known)
        Warn("[" + kOverWrite + "] " + key + " belongs to no entry of [" + kFiles + "] (" +
             (entries ? "File #0 to File #" + std::to_string(entries - 1) : std::string("it has none")) +
             "); the setup ignores it");
    }
    RepeatedKeys(kOverWrite, "the setup reads only the first");
    for (size_t i = 0; i < entries; ++i) Number(kOverWrite, "File #" + std::to_string(i), Kind::Boolean, 0);
  }

  // Each list entry as the setup reads it, with its key for the messages.
  template <typename Check>
  void ForEachEntry(const std::string& section, Check check) {
    for (const auto& key : ListKeys(section))
      if (auto v = Value(section, key)) check("[" + section + "] " + key + "=" + *v, *v);
  }

  bool Declared(const std::string& tag) const { return declared_.count(Upper(tag)) != 0; }

  void TagUse(const std::string& where, const std::string& tag, const std::string& consequence) {
    if (Declared(tag)) return;
    auto first = tag.find_first_not_of(' '), last = tag.find_last_not_of(' ');
    std::string bare = first == std::string::npos ? std::string() : tag.substr(first, last - first + 1);
    if (bare.empty() || bare[0] != '<') {
      Warn(where + ": names no directory tag; " + consequence);
      return;
    }
    std::string hint = bare != tag && Declared(bare) ? " (the blanks around it count)" : "";
    Warn(where + ": tag \"" + tag + "\" is not declared in [" + kDirectories + "]" + hint + "; " + consequence);
  }

  void Tags() {
    std::set<std::string> seen;
    ForEachEntry(kDirectories, [&](const std::string& where, std::string text) {
      std::string tag;
      NextField(text, '~', tag);
      if (!seen.insert(Upper(tag)).second)
        Warn(where + ": " + tag + " is declared again; the setup installs its files once for each declaration");
      declared_.insert(Upper(tag));
    });
    if (!declared_.count("<INSTALLDIR>"))
      Warn("[" + kDirectories + "] declares no <INSTALLDIR>; the setup has no destination for its own copy and "
           "the uninstall log");

    auto files = [&](const std::string& section, const std::string& appended) {
      ForEachEntry(section, [&](const std::string& where, const std::string& value) {
        std::string text = value + appended, source, tag;
        NextField(text, '~', source);
        NextField(text, '~', tag);
        TagUse(where, tag, "the setup never installs " + BareName(source));
      });
    };
    files(kFiles, "~");  // the reader appends the overwrite field
    files(kWorkStation, "");

    ForEachEntry(kDesktop, [&](const std::string& where, std::string text) {
      std::string name, target, desktop, startMenu;
      NextField(text, '~', name);
      NextField(text, '~', target);
      NextField(text, '~', desktop);
      NextField(text, '~', startMenu);
      std::string tag = TagOf(target), iconTag = TagOf(text);
      TagUse(where, tag, "the setup makes no shortcut " + name);
      if (!iconTag.empty() && Upper(iconTag) != Upper(tag))
        Warn(where + ": the icon's tag " + iconTag + " is not used; the setup takes the icon from the directory of " +
             (tag.empty() ? "the target" : tag));
    });

    bool iniEntries = false;
    ForEachEntry(kIniSetup, [&](const std::string& where, std::string text) {
      std::string section, identifier;
      NextField(text, '~', section);
      NextField(text, '~', identifier);
      TagUse(where, TagOf(text), "the setup does not write " + identifier);
      iniEntries = true;
    });
    if (iniEntries && Value(kMain, "INI File").value_or("").empty())
      Warn("[" + kIniSetup + "] has entries but [" + kMain + "] names no INI File; the setup cannot write them");

    // Launch is rewritten by every declared tag it contains; one that none matches stays as written.
    std::string launch = Value(kMain, "Launch").value_or("");
    if (!launch.empty() && launch[0] == '<') {
      bool resolved = false;
      for (const auto& d : declared_) resolved = resolved || (!d.empty() && Upper(launch).find(d) != std::string::npos);
      if (!resolved) TagUse("[" + kMain + "] Launch=" + launch, TagOf(launch), "the setup cannot start it");
    }
  }

  void Package() {
    std::map<std::string, std::vector<std::string>> byName;  // packaged under one bare name
    for (const auto& f : package_->Files) byName[Upper(BareName(f))].push_back(f);
    std::set<std::string> told;
    auto packaged = [&](const std::string& where, const std::string& file, const std::string& consequence) {
      auto found = byName.find(Upper(BareName(file)));
      if (found == byName.end()) {
        Warn(where + ": " + BareName(file) + " is not in the package; " + consequence);
      } else if (found->second.size() > 1 && told.insert(found->first).second) {
        std::string names;
        for (const auto& n : found->second) names += (names.empty() ? "" : ", ") + n;
        Warn(where + ": the package holds " + BareName(file) + " more than once (" + names +
             "); expanded flat, one overwrites the other");
      }
    };
    for (const auto& section : {kFiles, kWorkStation})
      ForEachEntry(section, [&](const std::string& where, std::string text) {
        std::string source;
        NextField(text, '~', source);
        if (!source.empty()) packaged(where, source, "the setup cannot install it");
      });
    std::string bitmap = Value(kMain, "Bitmap File").value_or("");
    if (!bitmap.empty()) packaged("[" + kMain + "] Bitmap File=" + bitmap, bitmap, "the background shows no picture");

    auto disks = Value(kMain, "Install Disks");
    auto count = disks ? ParseProfileInteger(*disks) : std::nullopt;
    if (count && package_->SegmentFiles > 0 && *count != package_->SegmentFiles)
      Warn("[" + kMain + "] Install Disks=" + *disks + ", but the package has " +
           std::to_string(package_->SegmentFiles) + " segment file" + (package_->SegmentFiles == 1 ? "" : "s"));
  }

  ini::Document doc_;
  const PackageContents* package_;
  std::set<std::string> declared_;  // upper-cased tags of [Directories]
  std::vector<std::string> warnings_;
};

std::optional<std::string> ReadWhole(const std::string& path) {
  auto f = plat::OpenFile(path, plat::Access::Read, plat::Share::DenyWrite, plat::Disposition::OpenExisting);
  if (!f) return std::nullopt;
  std::string text;
  char buf[8192];
  for (int64_t n; (n = f->Read(buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  return text;
}

}  // namespace

std::vector<std::string> CheckInstallConfig(const std::string& startDir, const PackageContents* package) {
  std::string dir = startDir;
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += "\\";
  std::string path = dir + "install.cfg";
  uint32_t attributes = plat::GetFileAttributes(path);
  if (attributes == plat::kInvalidAttributes)
    return {"not found in " + dir + "; the setup uses the defaults and has nothing to install"};
  if (attributes & plat::kAttrDirectory) return {"is a folder, not a file; the setup uses the defaults"};
  auto text = ReadWhole(path);
  if (!text)
    return {"cannot be read (" + plat::SystemErrorMessage(plat::GetLastError()) + "); the setup uses the defaults"};

  std::vector<std::string> head;
  bool mark = false;
  if (text->rfind("\xEF\xBB\xBF", 0) == 0) {
    mark = true;
    auto sections = ini::Document(text->substr(3)).Sections();
    bool firstIsSection = ini::Document(*text).Sections().size() < sections.size();
    head.push_back("starts with a UTF-8 byte-order mark, which hides " +
                   (firstIsSection ? "its first section [" + sections[0] + "]" : std::string("its first line")) +
                   " from the setup; save it without the mark");
  } else if (text->rfind("\xFF\xFE", 0) == 0 || text->rfind("\xFE\xFF", 0) == 0) {
    return {"is UTF-16 text; the setup reads 8-bit text and finds no settings in it"};
  }
  auto found = Checker(*text, package).Run(mark);
  head.insert(head.end(), found.begin(), found.end());
  return head;
}

}  // namespace tovin
