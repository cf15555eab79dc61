#include "platform/posix/name_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include <algorithm>
#include <cerrno>
#include <list>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace plat::posix {
namespace {

// Every name of the folder, in no particular order; false when it cannot be read.
bool ReadNames(int folder, std::vector<std::string>& names) {
  int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return false;
  }
  while (dirent* e = ::readdir(dir)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  ::closedir(dir);
  return true;
}

// The least of the stored names folding to the same key, name itself excluded.
std::optional<std::string> Least(const std::vector<std::string>& stored, const std::string& name) {
  std::optional<std::string> best;
  for (const auto& s : stored)
    if (s != name && (!best || s < *best)) best = s;
  return best;
}

#ifdef __linux__

bool g_forkedChild = false;

constexpr uint32_t kWatchMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

class NameCache {
 public:
  ~NameCache() { Reset(); }

  // nullopt for "not cached and cannot be": the caller reads the folder itself.
  std::optional<std::optional<std::string>> Find(int folder, const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    struct stat st;
    if (::fstat(folder, &st) != 0 || !S_ISDIR(st.st_mode) || !Ready()) return std::nullopt;
    // After the fstat: a folder that went away and left its inode number to this one has
    // its notes read by now.
    Drain();
    Id id{st.st_dev, st.st_ino};
    auto known = byId_.find(id);
    Folder* f = known != byId_.end() ? &folders_.at(known->second) : Add(folder, id);
    if (!f) return std::nullopt;
    lru_.splice(lru_.begin(), lru_, f->use);
    auto it = f->names.find(FoldAsciiCase(name));
    if (it == f->names.end()) return std::optional<std::string>();
    return Least(it->second, name);
  }

  size_t FolderCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    Drain();
    return folders_.size();
  }

 private:
  using Id = std::pair<dev_t, ino_t>;
  struct Folder {
    Id id;
    int fd = -1;  // held to check removals against the folder as it is
    std::unordered_map<std::string, std::vector<std::string>> names;  // folded -> stored
    size_t count = 0;
    std::list<int>::iterator use;
  };

  bool Ready() {
    if (notes_ == -1 && !failed_) {
      static bool watched = ::pthread_atfork(nullptr, nullptr, [] { g_forkedChild = true; }) == 0;
      notes_ = watched ? ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1;
      failed_ = notes_ < 0;
    }
    // A forked child shares the parent's notes: reading them would take them from the parent.
    return notes_ >= 0 && !g_forkedChild;
  }

  void Reset() {
    if (notes_ >= 0) ::close(notes_);
    notes_ = -1;
    for (auto& [wd, f] : folders_) ::close(f.fd);
    folders_.clear();
    byId_.clear();
    lru_.clear();
    total_ = 0;
  }

  Folder* Add(int folder, Id id) {
    std::string proc = "/proc/self/fd/" + std::to_string(folder);
    int wd = ::inotify_add_watch(notes_, proc.c_str(), kWatchMask);
    if (wd < 0) return nullptr;
    Forget(wd);  // a folder gone whose ignore note is still on its way
    std::vector<std::string> names;
    int held = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (held < 0 || !ReadNames(folder, names)) {
      if (held >= 0) ::close(held);
      ::inotify_rm_watch(notes_, wd);
      return nullptr;
    }
    lru_.push_front(wd);
    Folder& f = folders_[wd];
    f.id = id;
    f.fd = held;
    f.use = lru_.begin();
    byId_[id] = wd;
    for (auto& n : names) Insert(f, n);
    // Changes made while the folder was read: applied after the read, they leave each name
    // as its last change made it.
    Drain();
    Trim();
    auto it = folders_.find(wd);
    return it == folders_.end() ? nullptr : &it->second;
  }

  void Insert(Folder& f, const std::string& name) {
    auto& stored = f.names[FoldAsciiCase(name)];
    if (std::find(stored.begin(), stored.end(), name) != stored.end()) return;
    stored.push_back(name);
    ++f.count;
    ++total_;
  }

  void Erase(Folder& f, const std::string& name) {
    auto it = f.names.find(FoldAsciiCase(name));
    if (it == f.names.end()) return;
    auto& stored = it->second;
    auto at = std::find(stored.begin(), stored.end(), name);
    if (at == stored.end()) return;
    stored.erase(at);
    if (stored.empty()) f.names.erase(it);
    --f.count;
    --total_;
  }

  void Forget(int wd) {
    auto it = folders_.find(wd);
    if (it == folders_.end()) return;
    total_ -= it->second.count;
    byId_.erase(it->second.id);
    lru_.erase(it->second.use);
    ::close(it->second.fd);
    folders_.erase(it);
  }

  // Drops the least recently used folders beyond the bounds; the newest (first) stays.
  void Trim() {
    while (lru_.size() > 1 && (folders_.size() > kNameCacheFolders || total_ > kNameCacheNames)) {
      int wd = lru_.back();
      Forget(wd);
      ::inotify_rm_watch(notes_, wd);
    }
  }

  void Drain() {
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
      ssize_t n = ::read(notes_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // EAGAIN: nothing more
      // One read takes every note queued when it started while they fit: a short read
      // leaves none behind that was there before this call.
      bool all = static_cast<size_t>(n) + sizeof(struct inotify_event) + NAME_MAX + 1 <= sizeof buffer;
      for (ssize_t at = 0; at < n;) {
        auto* e = reinterpret_cast<struct inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
        if (e->mask & IN_Q_OVERFLOW) {  // notes were lost: nothing kept can be trusted
          Reset();
          Ready();
          return;
        }
        if (e->mask & IN_IGNORED) {
          Forget(e->wd);
          continue;
        }
        auto it = folders_.find(e->wd);
        if (it == folders_.end() || e->len == 0) continue;
        std::string name = e->name;
        if (e->mask & (IN_CREATE | IN_MOVED_TO)) Insert(it->second, name);
        // A name renamed away may be back already (an exchange notes two moves): only one
        // that is gone now is dropped.
        struct stat st;
        if ((e->mask & (IN_DELETE | IN_MOVED_FROM)) &&
            ::fstatat(it->second.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
          Erase(it->second, name);
      }
      if (all) return;
    }
  }

  std::mutex mutex_;
  int notes_ = -1;
  bool failed_ = false;
  std::unordered_map<int, Folder> folders_;  // by watch
  std::map<Id, int> byId_;
  std::list<int> lru_;  // watches, most recently used first
  size_t total_ = 0;
};

NameCache& Cache() {
  static NameCache cache;
  return cache;
}

#endif

// The answer from a fresh read of the whole folder.
std::optional<std::string> ScanForCaseVariant(int folder, const std::string& name) {
  std::vector<std::string> names;
  if (!ReadNames(folder, names)) return std::nullopt;
  std::string key = FoldAsciiCase(name);
  std::vector<std::string> matching;
  for (auto& n : names)
    if (n.size() == name.size() && FoldAsciiCase(n) == key) matching.push_back(std::move(n));
  return Least(matching, name);
}

}  // namespace

std::optional<std::string> FindCaseVariant(int folder, const std::string& name) {
#ifdef __linux__
  if (auto cached = Cache().Find(folder, name)) return *cached;
#endif
  return ScanForCaseVariant(folder, name);
}

size_t NameCacheFolderCount() {
#ifdef __linux__
  return Cache().FolderCount();
#else
  return 0;
#endif
}

}  // namespace plat::posix
