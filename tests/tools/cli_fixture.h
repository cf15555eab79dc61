// Runs the tovin binary in a fresh host folder, as a user would.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/lha_archive.h"
#include "tests/support/test_machine.h"

namespace tovin::test {

namespace fs = std::filesystem;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = HostTempDir(); }
  void TearDown() override { RunShell("rm -rf '" + dir_ + "'"); }
  // Runs tovin with args in the test folder; returns the exit status, output in out_.
  int Tovin(std::string args) {
    // Most tests pack bare source trees without a setup program: pack is told to write them
    // anyway, unless a test is about that refusal (strictPack_).
    size_t pack = args.rfind("pack ", 0) == 0 ? 0 : args.rfind("-q pack ", 0) == 0 ? 3 : std::string::npos;
    if (pack != std::string::npos && !strictPack_) args.insert(pack + 5, "--allow-incomplete ");
    int rc = RunShell("cd '" + dir_ + "' && '" TOVIN_BINARY "' " + args + " >out.txt 2>err.txt </dev/null");
    out_ = ReadHostFile(dir_ + "/out.txt");
    err_ = ReadHostFile(dir_ + "/err.txt");
    return rc;
  }
  void Make(const std::string& rel, const std::string& bytes) {
    fs::create_directories(fs::path(dir_ + "/" + rel).parent_path());
    WriteHostFile(dir_ + "/" + rel, bytes);
  }
  std::string dir_, out_, err_;
  bool strictPack_ = false;
};

// Runs a bash script in the folder; returns what it leaves in status.txt (-1 when nothing).
inline int Script(const std::string& dir, const std::string& text) {
  WriteHostFile(dir + "/run.sh", text);
  RunShell("cd '" + dir + "' && bash run.sh");
  std::string status = ReadHostFile(dir + "/status.txt");
  return status.empty() ? -1 : std::stoi(status);
}

// A sparse file of zeros, so that it costs neither disk nor time to make.
inline void Zeros(const std::string& path, uintmax_t size) {
  fs::create_directories(fs::path(path).parent_path());
  WriteHostFile(path, "");
  fs::resize_file(path, size);
}

// "name crc" per regular file below root, sorted: equal trees give equal listings.
inline std::string Tree(const std::string& root) {
  std::string listing;
  std::vector<std::string> names;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) names.push_back(fs::relative(e.path(), root).string());
  std::sort(names.begin(), names.end());
  for (auto& n : names) listing += n + " " + std::to_string(Crc16(ReadHostFile(root + "/" + n))) + "\n";
  return listing;
}

}  // namespace tovin::test
