// A scratch machine for fuzz targets that write: a fresh folder per run below the build tree,
// holding the emulated machine and, beside it, files that links planted in the target point
// at. After each input nothing outside the machine may have changed.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "platform/platform.h"

namespace tovin::fuzz {

namespace fs = std::filesystem;

class ScratchMachine {
 public:
  // The target folder of the platform layer, which holds the planted links.
  static constexpr const char* kTarget = "C:\\out";

  explicit ScratchMachine(const std::string& name) {
    fs::create_directories(TOVIN_FUZZ_SCRATCH);
    std::string tmpl = std::string(TOVIN_FUZZ_SCRATCH) + "/" + name + "-XXXXXX";
    if (!mkdtemp(tmpl.data())) Fail("cannot make the scratch folder " + tmpl);
    run_ = tmpl;
    fs::create_directories(run_ / "machine");
    fs::create_directories(run_ / "outside" / "folder");
    Write(run_ / "outside" / "folder" / "kept.txt", "a file beside the machine");
    Write(run_ / "outside" / "victim", "the file a planted link points at");
    plat::SetMachineRoot((run_ / "machine").string());
    drive_ = fs::path(plat::ToHostPath(kTarget)).parent_path();
    fs::create_directories(drive_);
    for (const auto& entry : fs::directory_iterator(drive_)) own_.insert(entry.path().filename());
    before_ = Snapshot();
  }
  ~ScratchMachine() {
    std::error_code ignored;
    fs::remove_all(run_, ignored);
  }

  // An empty target again, with a link to a folder, one to a file and a dangling one in it,
  // each under the names the seeds give members.
  void Reset() {
    fs::path target = drive_ / "out";
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(drive_, ignored))
      if (!own_.count(entry.path().filename())) fs::remove_all(entry.path(), ignored);
    fs::create_directories(target);
    fs::create_directory_symlink(run_ / "outside" / "folder", target / "link");
    fs::create_symlink(run_ / "outside" / "victim", target / "flink");
    fs::create_symlink(run_ / "outside" / "nothing", target / "dangling");
  }

  // The host folder beside the machine that must not change; a target may keep its own input
  // there (a package folder) and take what it wrote as the state to keep with Refresh.
  fs::path Outside() const { return run_ / "outside"; }
  fs::path Machine() const { return run_ / "machine"; }
  void Refresh() { before_ = Snapshot(); }

  // Aborts, which libFuzzer keeps as a crash, when anything outside the machine changed.
  void Check() const {
    if (Snapshot() != before_) Fail("a file outside the machine changed");
    if (fs::exists(fs::symlink_status(run_ / "outside" / "nothing")))
      Fail("the dangling link's target was created");
    for (const auto& entry : fs::directory_iterator(run_))
      if (entry.path().filename() != "machine" && entry.path().filename() != "outside")
        Fail("written beside the machine: " + entry.path().string());
  }

 private:
  [[noreturn]] static void Fail(const std::string& what) {
    std::fprintf(stderr, "scratch machine: %s\n", what.c_str());
    std::abort();
  }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Every entry beside the machine with its kind, size, time, permissions and bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> seen;
    for (const auto& entry : fs::recursive_directory_iterator(run_ / "outside")) {
      auto status = entry.symlink_status();
      std::string facts = std::to_string(static_cast<int>(status.type())) + " " +
                          std::to_string(static_cast<unsigned>(status.permissions()));
      if (status.type() == fs::file_type::regular) {
        std::ifstream in(entry.path(), std::ios::binary);
        facts += " " + std::to_string(entry.last_write_time().time_since_epoch().count()) + " " +
                 std::string(std::istreambuf_iterator<char>(in), {});
      }
      seen[entry.path().string()] = facts;
    }
    return seen;
  }

  fs::path run_, drive_;
  std::set<fs::path> own_;  // what the machine's drive held before the first input
  std::map<std::string, std::string> before_;
};

}  // namespace tovin::fuzz
