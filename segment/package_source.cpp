#include "segment/package_source.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "platform/platform.h"
#include "platform/windows_names.h"
#include "platform/text.h"

namespace tovin {
namespace {


struct Walker {
  SourceScan scan;
  std::vector<std::string> exclude;  // folded final paths
  // Folded member paths already taken: Windows keeps one of two names that differ in case only.
  std::map<std::string, std::string> taken;

  bool Excluded(const std::optional<std::string>& final) const {
    return final && std::find(exclude.begin(), exclude.end(), plat::UpperCase(*final)) != exclude.end();
  }

  void Walk(const std::string& dir, const std::string& rel, std::vector<std::string>& ancestry) {
    std::string prefix = dir.back() == '\\' ? dir : dir + "\\";
    auto entries = plat::FindFiles(prefix + "*", plat::kAttrMaskNoVolume);
    bool any = false;
    for (const auto& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      any = true;
      std::string name = rel.empty() ? e.name : rel + "\\" + e.name;
      std::string path = prefix + e.name;
      bool link = e.attributes & plat::kAttrReparsePoint;
      if (e.attributes == plat::kAttrReparsePoint) {
        scan.Skipped.push_back({name, "a link to nothing"});
        continue;
      }
      if (e.attributes & plat::kAttrDevice) {
        scan.Skipped.push_back({name, "neither a file nor a folder"});
        continue;
      }
      if (std::string why = plat::WindowsNameProblem(e.name); !why.empty()) {
        scan.Refused.push_back({name, why});
        continue;
      }
      if (e.attributes & plat::kAttrDirectory) {
        auto final = plat::GetFinalPathName(path);
        if (Excluded(final)) continue;
        std::string key = final ? plat::UpperCase(*final) : plat::UpperCase(path);
        if (std::find(ancestry.begin(), ancestry.end(), key) != ancestry.end()) {
          scan.Skipped.push_back({name, "a link loop (it leads back to a folder that holds it)"});
          continue;
        }
        if (link) scan.Followed.push_back({name, "link to a folder, followed"});
        ancestry.push_back(key);
        Walk(path, name, ancestry);
        ancestry.pop_back();
        continue;
      }
      if (std::string why = plat::WindowsPathProblem(name); !why.empty()) {
        scan.Refused.push_back({name, why});
        continue;
      }
      auto [it, fresh] = taken.emplace(plat::UpperCase(name), name);
      if (!fresh) {
        scan.Refused.push_back({name, "differs from " + it->second + " only in letter case; Windows keeps one of them"});
        continue;
      }
      if (link) scan.Followed.push_back({name, "link to a file, followed"});
      scan.Files.push_back({path, name, e.size});
    }
    if (!any && !rel.empty()) scan.Skipped.push_back({rel, "an empty folder (a package holds files only)"});
  }
};

}  // namespace

SourceScan ScanSourceTree(const std::string& srcDir, const std::vector<std::string>& exclude) {
  Walker w;
  for (const auto& e : exclude) w.exclude.push_back(plat::UpperCase(e));
  std::string dir = srcDir;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  std::vector<std::string> ancestry;
  auto final = plat::GetFinalPathName(dir);
  ancestry.push_back(plat::UpperCase(final ? *final : dir));
  w.Walk(dir, "", ancestry);
  return std::move(w.scan);
}

}  // namespace tovin
