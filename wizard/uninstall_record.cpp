#include "wizard/uninstall_record.h"

#include "platform/ini_document.h"
#include "platform/platform.h"
#include "wizard/uninstall_info.h"

namespace tovin {
namespace {

constexpr uint64_t kMaxRecordBytes = 16u << 20;

class Writer {
 public:
  void Section(const char* name) {
    if (!text_.empty()) text_ += "\r\n";
    text_ += std::string("[") + name + "]\r\n";
  }
  void Value(const std::string& key, size_t n, const std::string& value) {
    // No line of the file can hold a line break: such a value would not read back as itself.
    if (value.find_first_of("\r\n") != std::string::npos) return;
    text_ += key + std::to_string(n) + "=\"" + value + "\"\r\n";
  }
  void List(const char* section, const char* key, const std::vector<std::string>& values) {
    if (values.empty()) return;
    Section(section);
    for (size_t i = 0; i < values.size(); ++i) Value(key, i + 1, values[i]);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

std::optional<std::string> Numbered(const ini::Document& doc, const char* section, const char* key, size_t n) {
  return doc.Value(section, key + std::to_string(n));
}

std::vector<std::string> ReadList(const ini::Document& doc, const char* section, const char* key) {
  std::vector<std::string> list;
  for (size_t n = 1;; ++n) {
    auto value = Numbered(doc, section, key, n);
    if (!value) return list;
    AddOnce(list, *value);
  }
}

bool Contains(const std::vector<std::string>& list, const std::string& path) {
  for (const auto& p : list)
    if (ini::EqualNoCase(p, path)) return true;
  return false;
}

}  // namespace

bool AddOnce(std::vector<std::string>& list, const std::string& path) {
  if (Contains(list, path)) return false;
  list.push_back(path);
  return true;
}

std::string TUninstallRecord::Text() const {
  Writer w;
  w.List("Found", "File", FoundFiles);
  w.List("Setup Files", "File", SetupFiles);
  w.List("Created Folders", "Folder", CreatedFolders);
  if (!IniFiles.empty()) {
    w.Section("INI Files");
    for (size_t i = 0; i < IniFiles.size(); ++i) {
      w.Value("File", i + 1, IniFiles[i].File);
      w.Value("Existed", i + 1, IniFiles[i].Existed ? "1" : "0");
    }
  }
  if (!IniEntries.empty()) {
    w.Section("INI Entries");
    for (size_t i = 0; i < IniEntries.size(); ++i) {
      const auto& e = IniEntries[i];
      w.Value("File", i + 1, e.File);
      w.Value("Section", i + 1, e.Section);
      w.Value("Key", i + 1, e.Key);
      if (e.Old) w.Value("Old", i + 1, *e.Old);
      if (e.NewSection) w.Value("NewSection", i + 1, "1");
    }
  }
  w.List("Registry", "Key", RegistryKeys);
  w.List("Created Keys", "Key", CreatedKeys);
  return w.Text();
}

TUninstallRecord TUninstallRecord::Parse(std::string_view text) {
  ini::Document doc(text);
  TUninstallRecord r;
  r.FoundFiles = ReadList(doc, "Found", "File");
  r.SetupFiles = ReadList(doc, "Setup Files", "File");
  r.CreatedFolders = ReadList(doc, "Created Folders", "Folder");
  for (size_t n = 1;; ++n) {
    auto file = Numbered(doc, "INI Files", "File", n);
    if (!file) break;
    if (!r.IniFile(*file)) r.IniFiles.push_back({*file, Numbered(doc, "INI Files", "Existed", n).value_or("1") != "0"});
  }
  for (size_t n = 1;; ++n) {
    auto file = Numbered(doc, "INI Entries", "File", n);
    auto section = Numbered(doc, "INI Entries", "Section", n);
    auto key = Numbered(doc, "INI Entries", "Key", n);
    if (!file || !section || !key) break;
    if (r.IniEntry(*file, *section, *key)) continue;
    r.IniEntries.push_back({*file, *section, *key, Numbered(doc, "INI Entries", "Old", n),
                            Numbered(doc, "INI Entries", "NewSection", n).value_or("0") == "1"});
  }
  r.RegistryKeys = ReadList(doc, "Registry", "Key");
  r.CreatedKeys = ReadList(doc, "Created Keys", "Key");
  return r;
}

bool TUninstallRecord::Found(const std::string& file) const { return Contains(FoundFiles, file); }

bool TUninstallRecord::IsSetupFile(const std::string& file) const { return Contains(SetupFiles, file); }

const TIniFileRecord* TUninstallRecord::IniFile(const std::string& file) const {
  for (const auto& f : IniFiles)
    if (ini::EqualNoCase(f.File, file)) return &f;
  return nullptr;
}

const TIniEntryRecord* TUninstallRecord::IniEntry(const std::string& file, const std::string& section,
                                                  const std::string& key) const {
  for (const auto& e : IniEntries)
    if (ini::EqualNoCase(e.File, file) && ini::EqualNoCase(e.Section, section) && ini::EqualNoCase(e.Key, key)) return &e;
  return nullptr;
}

std::string UninstallRecordFile(const std::string& installDir) { return installDir + "\\" + kUninstallRecordName; }

std::optional<TUninstallRecord> ReadUninstallRecord(const std::string& installDir) {
  std::string file = UninstallRecordFile(installDir);
  auto found = plat::FindFiles(file, plat::kAttrMaskFiles);
  if (found.size() != 1 || found[0].size > kMaxRecordBytes) return std::nullopt;
  auto text = ini::ReadWhole(file);
  if (!text) return std::nullopt;
  return TUninstallRecord::Parse(*text);
}

void SaveUninstallRecord(const std::string& installDir, const TUninstallRecord& record) {
  std::string file = UninstallRecordFile(installDir);
  if (!ini::ReplaceWhole(file, record.Text())) throw EUnableToWrite(Format(kMsgUnableToWrite, file));
}

}  // namespace tovin
