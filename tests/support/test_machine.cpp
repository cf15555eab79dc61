#include "tests/support/test_machine.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "platform/platform.h"
#ifndef _WIN32
#include "platform/posix/machine.h"
#endif

namespace tovin::test {
namespace {

std::atomic<int> g_counter{0};

std::string RemoveTreeCommand(const std::string& host) { return "rm -rf '" + host + "'"; }

}  // namespace

void MachineTest::SetUp() {
  savedCurrent_ = plat::GetCurrentDirectory();
  int n = g_counter++;
  if (plat::IsEmulated()) {
#ifndef _WIN32
    char tmpl[] = "/tmp/tovin-test-XXXXXX";
    const char* made = mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    hostRoot_ = made;
#endif
    plat::SetMachineRoot(hostRoot_);
    base_ = "C:\\work";
  } else {
    const char* tmp = std::getenv("TEMP");
    base_ = std::string(tmp ? tmp : "C:\\windows\\temp") + "\\tovin-test-" + std::to_string(n) + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  ASSERT_TRUE(plat::CreateDirectory(base_)) << base_;
}

void MachineTest::TearDown() {
  plat::SetCurrentDirectory(savedCurrent_);
  if (!hostRoot_.empty()) {
    int rc = std::system(RemoveTreeCommand(hostRoot_).c_str());
    (void)rc;
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  auto f = plat::OpenFile(path, plat::Access::Write, plat::Share::Exclusive, plat::Disposition::CreateAlways);
  if (!f) throw std::runtime_error("cannot create " + path);
  if (f->Write(bytes.data(), static_cast<int64_t>(bytes.size())) != static_cast<int64_t>(bytes.size()))
    throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  auto f = plat::OpenFile(path, plat::Access::Read, plat::Share::DenyNone, plat::Disposition::OpenExisting);
  if (!f) throw std::runtime_error("cannot open " + path);
  std::string out;
  char buf[8192];
  for (int64_t n; (n = f->Read(buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  return out;
}

bool Exists(const std::string& path) { return plat::GetFileAttributes(path) != plat::kInvalidAttributes; }

#ifdef _WIN32
namespace {
constexpr const char* kRestartLog = "C:\\restart-requests.log";
}

bool RestartsObservable() { return RunningUnderWine() && Exists(kRestartLog); }

std::vector<uint32_t> RestartRequests(size_t awaited) {
  std::vector<uint32_t> modes;
  if (!RestartsObservable()) return modes;
  for (int tries = 0; tries < 50; ++tries) {
    modes.clear();
    std::string log = ReadFile(kRestartLog);
    for (size_t start = 0, end; start < log.size(); start = end + 1) {
      end = log.find('\n', start);
      if (end == std::string::npos) end = log.size();
      std::string line = log.substr(start, end - start);
      if (line.find("--end-session") == std::string::npos && line.find("--kill") == std::string::npos) continue;
      modes.push_back((line.find("--shutdown") != std::string::npos ? 1u : 2u) |
                      (line.find("--kill") != std::string::npos ? 4u : 0u));
    }
    if (modes.size() >= awaited) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return modes;
}
#else
bool RestartsObservable() { return true; }

std::vector<uint32_t> RestartRequests(size_t) { return plat::posix::ExitRequests(); }
#endif


}  // namespace tovin::test
