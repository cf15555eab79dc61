#include "common/install_config_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "common/name_suggestion.h"
#include "common/profile_reader.h"
#include "common/setup_settings.h"
#include "common/system_routines.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/stream.h"
#include "ui/memo.h"
#include "ui/picture_file.h"

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

std::string Described(Kind kind, int32_t value) {
  if (kind == Kind::Boolean) return value ? "1 (true)" : "0 (false)";
  if (kind == Kind::Integer) return std::to_string(value);
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

std::string BareName(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }

// Text as Windows-1252 shows its bytes, written in UTF-8 for the terminal.
std::string AsWindows1252(const std::string& text) {
  // 0x80-0x9F differ from Latin-1; the five holes show as '?'.
  static const char16_t k80[32] = {0x20AC, '?', 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                   0x2039, 0x0152, '?', 0x017D, '?', '?', 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                   0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, '?', 0x017E, 0x0178};
  std::string out;
  for (unsigned char c : text) {
    char32_t u = c < 0x80 ? c : c < 0xA0 ? k80[c - 0x80] : c;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

// A directory tag written in front of a path: everything up to and including the first ">".
std::string TagOf(const std::string& text) {
  auto close = text.find('>');
  return close == std::string::npos ? std::string() : text.substr(0, close + 1);
}

class Checker {
 public:
  Checker(const std::string& text, const PackageContents* package) : doc_(text), package_(package) {}

  std::vector<TConfigWarning> Run(bool hasByteOrderMark) {
    if (!hasByteOrderMark) {  // with a mark, those keys are the hidden section's, already named
      auto keys = doc_.KeysBeforeSections();
      auto lines = doc_.KeyLinesBeforeSections();
      for (size_t i = 0; i < keys.size(); ++i)
        Warn(lines[i], "key \"" + keys[i] + "\" stands before any section; the setup ignores it");
    }
    Sections();
    MainSection();
    for (const auto& section : {kDirectories, kFiles, kDesktop, kIniSetup, kWorkStation}) ListSection(section);
    OverWriteSection();
    Tags();
    if (package_) Package();
    Pitfalls();
    return std::move(warnings_);
  }

 private:
  void Warn(size_t line, std::string text) { warnings_.push_back({line, std::move(text)}); }
  // The line of the n-th key of that name in the section (the section's header for an empty
  // key); 0 when there is none.
  size_t At(const std::string& section, const std::string& key = "", size_t n = 0) const {
    auto lines = key.empty() ? doc_.SectionLines(section) : doc_.KeyLines(section, key);
    return n < lines.size() ? lines[n] : 0;
  }

  // The value as the setup reads it, cut to its buffer; nullopt when the key is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) {
    auto v = doc_.Value(section, key);
    if (v) return ini::CutToBuffer(*v, kValueBuffer);
    return v;
  }

  void Sections() {
    std::vector<std::string> known{kMain, kDirectories, kFiles, kOverWrite, kDesktop, kIniSetup, kWorkStation};
    std::map<std::string, size_t> seen;
    for (const auto& name : doc_.Sections()) {
      size_t n = seen[Upper(name)]++;
      bool isKnown = false;
      for (const auto& k : known) isKnown = isKnown || ini::EqualNoCase(k, name);
      if (!isKnown)
        Warn(At(name, "", n), "unknown section [" + name + "]; the setup ignores it" + NameSuggestion(name, known, "[", "]"));
      else if (n > 0)
        Warn(At(name, "", n), "[" + name + "] appears again; the setup reads only the first [" + name + "]");
    }
  }

  // Keys named twice: the setup reads the first one's value wherever the name is asked for.
  void RepeatedKeys(const std::string& section, const std::string& consequence) {
    std::map<std::string, size_t> seen;
    for (const auto& key : doc_.Keys(section))
      if (size_t n = seen[Upper(key)]++; n > 0)
        Warn(At(section, key, n), "[" + section + "] key \"" + key + "\" appears again; " + consequence);
  }

  void LongValues(const std::string& section) {
    std::set<std::string> seen;
    for (const auto& key : doc_.Keys(section)) {
      auto v = doc_.Value(section, key);
      if (seen.insert(Upper(key)).second && v && v->size() >= kValueBuffer)
        Warn(At(section, key), "[" + section + "] " + key + " has a value of " + std::to_string(v->size()) +
             " characters; the setup reads only the first " + std::to_string(kValueBuffer - 1));
    }
  }

  // A number that does not convert leaves the setting at its default.
  void Number(const std::string& section, const std::string& key, Kind kind, int32_t fallback) {
    auto v = Value(section, key);
    if (!v || ParseProfileInteger(*v)) return;
    Warn(At(section, key), "[" + section + "] " + key + (v->empty() ? " has no value" : "=" + *v + " is not a number") +
         "; the setup uses the default, " + Described(kind, fallback));
  }

  void MainSection() {
    std::vector<std::string> names;
    for (const auto& k : MainKeys()) names.push_back(k.name);
    for (const auto& key : doc_.Keys(kMain)) {
      bool isKnown = false;
      for (const auto& n : names) isKnown = isKnown || ini::EqualNoCase(n, key);
      if (!isKnown)
        Warn(At(kMain, key), "[" + kMain + "] unknown key \"" + key + "\"; the setup ignores it" + NameSuggestion(key, names, "\"", "\""));
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
        Warn(At(section, keys[i]), "[" + section + "] the key names pass the setup's " + std::to_string(kKeyBuffer) +
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
        Warn(At(kOverWrite, key), "[" + kOverWrite + "] " + key + " belongs to no entry of [" + kFiles + "] (" +
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
      if (auto v = Value(section, key)) {
        line_ = At(section, key);
        check("[" + section + "] " + key + "=" + *v, *v);
      }
    line_ = 0;
  }

  bool Declared(const std::string& tag) const { return declared_.count(Upper(tag)) != 0; }

  void TagUse(const std::string& where, const std::string& tag, const std::string& consequence) {
    if (Declared(tag)) return;
    auto first = tag.find_first_not_of(' '), last = tag.find_last_not_of(' ');
    std::string bare = first == std::string::npos ? std::string() : tag.substr(first, last - first + 1);
    if (bare.empty() || bare[0] != '<') {
      Warn(line_, where + ": names no directory tag; " + consequence);
      return;
    }
    std::string hint = bare != tag && Declared(bare) ? " (the blanks around it count)" : "";
    Warn(line_, where + ": tag \"" + tag + "\" is not declared in [" + kDirectories + "]" + hint + "; " + consequence);
  }

  void Tags() {
    std::set<std::string> seen;
    ForEachEntry(kDirectories, [&](const std::string& where, std::string text) {
      std::string tag;
      NextField(text, '~', tag);
      if (!seen.insert(Upper(tag)).second)
        Warn(line_, where + ": " + tag + " is declared again; the setup installs its files once for each declaration");
      declared_.insert(Upper(tag));
    });
    if (!declared_.count("<INSTALLDIR>"))
      Warn(At(kDirectories), "[" + kDirectories + "] declares no <INSTALLDIR>; the setup has no destination for its own copy and "
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
        Warn(line_, where + ": the icon's tag " + iconTag + " is not used; the setup takes the icon from the directory of " +
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
      Warn(At(kIniSetup), "[" + kIniSetup + "] has entries but [" + kMain + "] names no INI File; the setup cannot write them");

    // Launch is rewritten by every declared tag it contains; one that none matches stays as written.
    std::string launch = Value(kMain, "Launch").value_or("");
    if (!launch.empty() && launch[0] == '<') {
      bool resolved = false;
      for (const auto& d : declared_) resolved = resolved || (!d.empty() && Upper(launch).find(d) != std::string::npos);
      line_ = At(kMain, "Launch");
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
        Warn(line_, where + ": " + BareName(file) + " is not in the package; " + consequence);
      } else if (found->second.size() > 1 && told.insert(found->first).second) {
        std::string names;
        for (const auto& n : found->second) names += (names.empty() ? "" : ", ") + n;
        Warn(line_, where + ": the package holds " + BareName(file) + " more than once (" + names +
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
    line_ = At(kMain, "Bitmap File");
    if (!bitmap.empty()) packaged("[" + kMain + "] Bitmap File=" + bitmap, bitmap, "the background shows no picture");

    auto disks = Value(kMain, "Install Disks");
    auto count = disks ? ParseProfileInteger(*disks) : std::nullopt;
    if (count && package_->SegmentFiles > 0 && *count != package_->SegmentFiles)
      Warn(At(kMain, "Install Disks"), "[" + kMain + "] Install Disks=" + *disks + ", but the package has " +
           std::to_string(package_->SegmentFiles) + " segment file" + (package_->SegmentFiles == 1 ? "" : "s"));
  }

  // Settings the setup reads without a word that still break an installation.
  void Pitfalls() {
    Picture();
    Licence();
    ShiftedOverwriteFlags();
    std::string ini = BareName(Value(kMain, "INI File").value_or(""));
    for (const char* system : {"win.ini", "system.ini"})
      if (ini::EqualNoCase(ini, system))
        Warn(At(kMain, "INI File"), "[" + kMain + "] INI File=" + ini + " is a file of Windows itself; the setup "
             "writes its entries into it and the uninstaller leaves them there");
    std::string header = Value(kMain, "Header").value_or("");
    if (header.find('\\') != std::string::npos)
      Warn(At(kMain, "Header"), "[" + kMain + "] Header=" + header + " holds a backslash; the uninstall entry in "
           "the registry becomes a nested key that Add/Remove Programs does not list");
    NonAscii();
    RestartByDefault();
    MinimumInstall();
  }

  void Picture() {
    std::string bitmap = Value(kMain, "Bitmap File").value_or("");
    if (bitmap.empty()) return;
    std::string where = "[" + kMain + "] Bitmap File=" + bitmap;
    std::string ext = Upper(ui::PictureExtension(bitmap));
    if (ext != "BMP" && ext != "ICO" && ext != "WMF" && ext != "EMF") {
      Warn(At(kMain, "Bitmap File"), where + ": the setup shows only .bmp, .ico, .wmf and .emf pictures; it fails "
           "on this one while expanding, which ends the preparing stage with \"Error Expanding Files!!\" unless it "
           "is the last file expanded");
      return;
    }
    auto bytes = Member(bitmap);
    if (!bytes) return;
    try {
      MemoryStream data(*bytes);
      ui::ReadPictureInfo(data, ui::PictureExtension(bitmap));
    } catch (const Exception& e) {
      Warn(At(kMain, "Bitmap File"), where + ": " + e.Message() + "; the preparing stage ends with \"Error "
           "Expanding Files!!\" unless it is the last file expanded");
    }
  }

  void Licence() {
    auto text = Member("license.txt");
    if (!text || ui::SplitMemoLines(*text).size() > 1) return;
    Warn(0, "license.txt has " + std::string(ui::SplitMemoLines(*text).empty() ? "no lines" : "one line") +
         "; the wizard shows a licence of two or more lines only, so the licence page is skipped (and an answer "
         "Licence=Decline installs)");
  }

  // "File #N" counts entries of [Files] by position: after an entry is taken out, the flags
  // below it mark the entry after the one they were written for. Numbered keys show it.
  void ShiftedOverwriteFlags() {
    auto keys = ListKeys(kFiles);
    std::vector<long> numbers;
    for (const auto& key : keys) {
      size_t digits = key.find_last_not_of("0123456789") + 1;
      if (digits == key.size()) return;  // not numbered keys: nothing to compare with
      numbers.push_back(std::stol(key.substr(digits, 9)));
    }
    for (size_t i = 1; i < numbers.size(); ++i) {
      if (numbers[i] - numbers[0] == static_cast<long>(i)) continue;
      for (size_t j = i; j < keys.size(); ++j)
        if (Value(kOverWrite, "File #" + std::to_string(j)))
          Warn(At(kOverWrite, "File #" + std::to_string(j)), "[" + kOverWrite + "] File #" + std::to_string(j) +
               " marks the entry at position " + std::to_string(j) + ", " + keys[j] + ", since the numbers of [" +
               kFiles + "] skip after " + keys[i - 1] + "; File #N counts positions, not key numbers");
      return;
    }
  }

  // Windows reads the file in its ANSI code page: UTF-8 shows as two or three odd characters.
  void NonAscii() {
    for (const auto& section : {kMain, kDirectories, kFiles, kDesktop, kIniSetup, kWorkStation})
      for (const auto& key : doc_.Keys(section)) {
        auto v = Value(section, key);
        if (!v || std::all_of(v->begin(), v->end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
          continue;
        Warn(At(section, key), "[" + section + "] " + key + " holds characters outside ASCII; Windows reads them in "
             "its ANSI code page, so a Western European system shows \"" + AsWindows1252(*v) + "\"");
      }
  }

  void RestartByDefault() {
    SetupSettings s;
    std::string launch = Upper(Value(kMain, "Launch").value_or(""));
    bool showReBoot = s.ShowReBoot;
    if (auto v = Value(kMain, "Show Re-Boot"))
      if (auto n = ParseProfileInteger(*v)) showReBoot = *n != 0;
    if (showReBoot && (launch.empty() || launch.find("SETUP.") != std::string::npos))
      Warn(At(kMain, "Show Re-Boot") ? At(kMain, "Show Re-Boot") : At(kMain),
           "the finish page preselects \"Re Boot Windows After installed\", so an installation that takes the "
           "defaults restarts Windows; set Show Re-Boot=0, or name a Launch program");
  }

  // The minimum install copies [WorkStation] only; shortcuts and INI entries still follow
  // [Desktop] and [INI - Setup].
  void MinimumInstall() {
    auto v = Value(kMain, "Work Station Prompt");
    auto prompt = v ? ParseProfileInteger(*v) : std::nullopt;
    if (!prompt || *prompt == 0) return;
    std::set<std::string> minimum, full;
    auto collect = [&](const std::string& section, std::set<std::string>& into) {
      ForEachEntry(section, [&](const std::string&, std::string text) {
        std::string source;
        NextField(text, '~', source);
        into.insert(Upper(BareName(source)));
      });
    };
    collect(kFiles, full);
    collect(kWorkStation, minimum);
    auto onlyFull = [&](const std::string& tagged) {
      std::string name = Upper(BareName(tagged.substr(TagOf(tagged).size())));
      return full.count(name) && !minimum.count(name);
    };
    ForEachEntry(kDesktop, [&](const std::string& where, std::string text) {
      std::string name, target;
      NextField(text, '~', name);
      NextField(text, '~', target);
      if (onlyFull(target))
        Warn(line_, where + ": Work Station Prompt preselects the minimum install, which does not copy " +
             BareName(target.substr(TagOf(target).size())) + "; the shortcut would point at nothing");
    });
    ForEachEntry(kIniSetup, [&](const std::string& where, std::string text) {
      std::string section, key;
      NextField(text, '~', section);
      NextField(text, '~', key);
      if (onlyFull(text))
        Warn(line_, where + ": Work Station Prompt preselects the minimum install, which does not copy " +
             BareName(text.substr(TagOf(text).size())) + "; the entry would name a missing file");
    });
  }

  std::optional<std::string> Member(const std::string& name) const {
    if (!package_ || !package_->Read) return std::nullopt;
    for (const auto& f : package_->Files)
      if (ini::EqualNoCase(BareName(f), BareName(name))) return package_->Read(f);
    return std::nullopt;
  }

  ini::Document doc_;
  const PackageContents* package_;
  std::set<std::string> declared_;  // upper-cased tags of [Directories]
  std::vector<TConfigWarning> warnings_;
  size_t line_ = 0;  // the line of the entry being checked
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

std::string FormatConfigWarning(const TConfigWarning& warning) {
  return "install.cfg:" + (warning.Line ? std::to_string(warning.Line) + ":" : std::string()) + " " + warning.Text;
}

std::vector<TConfigWarning> CheckInstallConfig(const std::string& startDir, const PackageContents* package) {
  std::string dir = startDir;
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += "\\";
  if (plat::GetFileAttributes(dir + "install.cfg") == plat::kInvalidAttributes)
    return {{0, "not found in " + dir + "; the setup uses the defaults and has nothing to install"}};
  return CheckInstallConfigFile(dir + "install.cfg", package);
}

std::vector<TConfigWarning> CheckInstallConfigFile(const std::string& path, const PackageContents* package) {
  uint32_t attributes = plat::GetFileAttributes(path);
  if (attributes == plat::kInvalidAttributes)
    return {{0, "not found; the setup uses the defaults and has nothing to install"}};
  if (attributes & plat::kAttrDirectory) return {{0, "is a folder, not a file; the setup uses the defaults"}};
  auto text = ReadWhole(path);
  if (!text)
    return {{0, "cannot be read (" + plat::SystemErrorMessage(plat::GetLastError()) + "); the setup uses the defaults"}};

  std::vector<TConfigWarning> head;
  bool mark = false;
  if (text->rfind("\xEF\xBB\xBF", 0) == 0) {
    mark = true;
    auto sections = ini::Document(text->substr(3)).Sections();
    bool firstIsSection = ini::Document(*text).Sections().size() < sections.size();
    head.push_back({1, "starts with a UTF-8 byte-order mark, which hides " +
                   (firstIsSection ? "its first section [" + sections[0] + "]" : std::string("its first line")) +
                   " from the setup; save it without the mark"});
  } else if (text->rfind("\xFF\xFE", 0) == 0 || text->rfind("\xFE\xFF", 0) == 0) {
    return {{1, "is UTF-16 text; the setup reads 8-bit text and finds no settings in it"}};
  }
  auto found = Checker(*text, package).Run(mark);
  head.insert(head.end(), found.begin(), found.end());
  return head;
}

}  // namespace tovin
