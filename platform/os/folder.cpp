#include "folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>

#include "clocks.h"
#include "process.h"
#include "system_text.h"
#include "systempath.h"

namespace xtb::os {

namespace {

bool ByUmask(unsigned mode) { return mode == kModeLessUmask; }

int OpenFlags(EntryRule::Access access) {
  switch (access) {
    case EntryRule::Access::Read: return O_RDONLY;
    case EntryRule::Access::Write: return O_WRONLY;
    case EntryRule::Access::Append: return O_WRONLY | O_APPEND;
    case EntryRule::Access::ReadWrite: return O_RDWR;
  }
  return O_RDONLY;
}

// A name of an entry of this folder: no path (neither separator, so that
// no name with a backslash is made), neither the folder itself nor its
// parent.
bool IsEntryName(std::string_view name) {
  return !name.empty() && name.find_first_of("/\\") == std::string_view::npos && name != "." && name != "..";
}

// The checks that an opened entry must pass; 0, or the refusal.
int Refusal(int fd, const EntryRule& rule) {
  FileFacts facts;
  if (!FactsOf(fd, facts)) return errno;
  if (!facts.regular) return ENXIO;
  if (rule.singleLink && facts.links > 1) return EMLINK;
  return 0;
}

// A name for a new file beside `name` that no other writer of this
// process or another one picks at the same time.
std::string DraftName(std::string_view name) {
  static std::atomic<unsigned> counter{0};
  return "." + std::string(name) + "." + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
         ".new";
}

// Keeps errno across the clean-up after a failure.
class KeepErrno {
 public:
  ~KeepErrno() { errno = m_error; }

 private:
  int m_error = errno;
};

}  // namespace

Folder::Folder(const std::string& path, bool followLastLink) {
  const std::string systemPath = path.empty() ? std::string(".") : SystemPath(path);
  m_fd = Fd(open(systemPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLastLink ? 0 : O_NOFOLLOW)));
  if (!IsOpen()) FailedOn(systemPath);
}

Folder Folder::Make(const std::string& givenPath, unsigned mode, unsigned parentMode, bool followLastLink) {
  const std::string path = SystemPath(givenPath);
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string parent = path.substr(0, slash);
    if (mkdir(parent.c_str(), static_cast<mode_t>(parentMode)) == 0) {
      // The umask took its bits; the mode is set on the folder just made,
      // never through a link put in its place.
      const Fd made(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (!made.IsOpen() || fchmod(made.Get(), static_cast<mode_t>(parentMode)) != 0) return FailedOn(path), Folder();
    } else if (errno != EEXIST) {
      return FailedOn(path), Folder();
    }
  }
  const bool made = mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0;
  if (!made && errno != EEXIST) return FailedOn(path), Folder();
  Folder folder(path, followLastLink);
  if (made && folder.IsOpen() && fchmod(folder.Get(), static_cast<mode_t>(mode)) != 0) return Folder();
  return folder;
}

bool Folder::Lock(bool exclusive, uint64_t waitMs) const {
  const uint64_t deadline = MonotonicMilliseconds() + waitMs;
  for (int round = 0;; ++round) {
    if (flock(m_fd.Get(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (MonotonicMilliseconds() >= deadline) {
      errno = ETIMEDOUT;
      return false;
    }
    SleepMilliseconds(round < 10 ? 1 : 10);  // the suite's own holders are done within milliseconds
  }
}

bool Folder::List(const std::function<bool(std::string_view name)>& visit) const {
  // The listing gets a descriptor of its own: closedir closes it.
  const int own = IsOpen() ? openat(m_fd.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(own >= 0 ? fdopendir(own) : nullptr, closedir);
  if (!listing) {
    if (own >= 0) close(own);
    return false;
  }
  while (const dirent* entry = readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!visit(name)) break;
  }
  return true;
}

Fd Folder::OpenEntry(std::string_view name, const EntryRule& rule, int& error) const {
  if (!IsOpen() || !IsEntryName(name)) {
    error = IsOpen() ? EINVAL : EBADF;
    return Fd();
  }
  const std::string entry(name);
  // O_NONBLOCK: opening a planted pipe must not wait for its other end.
  const int flags = OpenFlags(rule.access) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  // Open what is there, or create with O_EXCL, so that a name that appears in
  // between is opened by the next round and checked like any other. An
  // exclusive rule only creates.
  for (int round = 0; round < 4; ++round) {
    bool created = false;
    Fd fd;
    if (!rule.exclusive) fd = Fd(openat(m_fd.Get(), entry.c_str(), flags));
    if (rule.exclusive || (!fd.IsOpen() && errno == ENOENT && rule.create)) {
      fd = Fd(openat(m_fd.Get(), entry.c_str(), flags | O_CREAT | O_EXCL, static_cast<mode_t>(rule.mode)));
      if (!fd.IsOpen() && errno == EEXIST && !rule.exclusive) continue;
      created = fd.IsOpen();
    }
    if (!fd.IsOpen()) {
      error = errno;
      return Fd();
    }
    if ((error = Refusal(fd.Get(), rule)) != 0) return Fd();
    // Back to blocking writes; of the status flags only O_APPEND stays.
    if (fcntl(fd.Get(), F_SETFL, flags & O_APPEND) != 0 ||
        (created && rule.everyoneFullAccess && fchmod(fd.Get(), 0666) != 0)) {
      error = errno;
      return Fd();
    }
    error = 0;
    return fd;
  }
  error = EEXIST;
  return Fd();
}

Folder Folder::MakeSubfolder(std::string_view name, unsigned mode, bool& made) const {
  made = false;
  Folder folder;
  if (!IsOpen() || !IsEntryName(name)) return folder;
  const std::string entry(name);
  made = mkdirat(m_fd.Get(), entry.c_str(), static_cast<mode_t>(mode)) == 0;
  if (!made && errno != EEXIST) return folder;
  folder.m_fd = Fd(openat(m_fd.Get(), entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (made && folder.IsOpen() && fchmod(folder.Get(), static_cast<mode_t>(mode)) != 0) return Folder();
  return folder;
}

bool Folder::Rename(std::string_view from, std::string_view to) const {
  return renameat(m_fd.Get(), std::string(from).c_str(), m_fd.Get(), std::string(to).c_str()) == 0;
}

bool Folder::Remove(std::string_view name) const { return unlinkat(m_fd.Get(), std::string(name).c_str(), 0) == 0; }

Folder Folder::OpenSubfolder(std::string_view name) const {
  Folder folder;
  if (!IsOpen() || !IsEntryName(name)) {
    errno = IsOpen() ? EINVAL : EBADF;
    return folder;
  }
  folder.m_fd = Fd(openat(m_fd.Get(), std::string(name).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  return folder;
}

bool Folder::RemoveSubfolder(std::string_view name) const {
  return unlinkat(m_fd.Get(), std::string(name).c_str(), AT_REMOVEDIR) == 0;
}

bool Folder::FactsOfEntry(std::string_view name, FileFacts& facts) const {
  return FactsAt(m_fd.Get(), std::string(name).c_str(), facts, false);
}

bool Folder::ReadEntry(std::string_view name, std::vector<uint8_t>& bytes) const {
  EntryRule rule;
  rule.access = EntryRule::Access::Read;
  rule.create = false;
  int error = 0;
  const Fd file = OpenEntry(name, rule, error);
  if (!file.IsOpen()) {
    errno = error;
    return false;
  }
  return ReadWholeFile(file.Get(), bytes);
}

bool Folder::ReplaceEntry(std::string_view name, const void* data, size_t size, unsigned mode) const {
  return ReplaceEntryWith(name, [data, size](int fd) { return WriteFull(fd, data, size); }, mode);
}

bool Folder::ReplaceEntryWith(std::string_view name, const std::function<bool(int fd)>& write, unsigned mode) const {
  if (!IsOpen() || !IsEntryName(name)) {
    errno = IsOpen() ? EINVAL : EBADF;
    return false;
  }
  // O_EXCL with O_NOFOLLOW: the new file is this call's own, never a name
  // someone planted; a name taken by a leftover gets the next number.
  std::string draft;
  Fd file;
  for (int round = 0; round < 8 && !file.IsOpen(); ++round) {
    draft = DraftName(name);
    file = Fd(openat(m_fd.Get(), draft.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     static_cast<mode_t>(ByUmask(mode) ? 0666 : mode)));
    if (!file.IsOpen() && errno != EEXIST) return false;
  }
  if (!file.IsOpen()) return false;
  if ((ByUmask(mode) || fchmod(file.Get(), static_cast<mode_t>(mode)) == 0) && write(file.Get()) &&
      fsync(file.Get()) == 0 && file.Close() && Rename(draft, name))
    return true;
  const KeepErrno keep;
  unlinkat(m_fd.Get(), draft.c_str(), 0);
  return false;
}

bool Folder::OthersCannotSwapEntries() const {
  FileFacts facts;
  const uint32_t self = EffectiveUserId();
  return IsOpen() && FactsOf(m_fd.Get(), facts) && facts.folder && (facts.owner == self || facts.owner == 0) &&
         ((facts.mode & 0022) == 0 || (facts.mode & S_ISVTX) != 0);
}

std::string Folder::EntryPath(std::string_view name) const {
  return "/proc/self/fd/" + std::to_string(m_fd.Get()) + "/" + std::string(name);
}

Fd Folder::BindSocket(std::string_view name, int type, unsigned mode, int& error) const {
  if (!IsOpen() || !IsEntryName(name)) {
    error = IsOpen() ? EINVAL : EBADF;
    return Fd();
  }
  const std::string path = EntryPath(name);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    error = ENAMETOOLONG;
    return Fd();
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  Fd fd(socket(AF_UNIX, type | SOCK_CLOEXEC, 0));
  // bind makes the name, never follows one; chmod after it reaches our own
  // socket, which in a folder that passes OthersCannotSwapEntries nobody
  // else can have replaced.
  if (!fd.IsOpen() || bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      fchmodat(m_fd.Get(), std::string(name).c_str(), static_cast<mode_t>(mode), 0) != 0) {
    error = errno;
    return Fd();
  }
  error = 0;
  return fd;
}

int Folder::RemoveStaleSocket(std::string_view name) const {
  FileFacts facts;
  if (!FactsOfEntry(name, facts)) return errno == ENOENT ? 0 : errno;
  if (facts.symbolicLink) return ELOOP;
  if (!facts.socket) return ENOTSOCK;
  if (facts.links > 1) return EMLINK;
  return Remove(name) || errno == ENOENT ? 0 : errno;
}

Fd Folder::OpenSocketEntry(std::string_view name, int& error) const {
  if (!IsOpen() || !IsEntryName(name)) {
    error = IsOpen() ? EINVAL : EBADF;
    return Fd();
  }
  Fd entry(openat(m_fd.Get(), std::string(name).c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  FileFacts facts;
  if (!entry.IsOpen() || !FactsOf(entry.Get(), facts)) {
    error = errno;
    return Fd();
  }
  error = facts.symbolicLink ? ELOOP : !facts.socket ? ENOTSOCK : facts.links > 1 ? EMLINK : 0;
  return error == 0 ? std::move(entry) : Fd();
}

namespace {

// ReplaceWholeFile for a path in the system's form.
bool ReplaceNamed(const std::string& path, const void* data, size_t size, unsigned mode) {
  std::string folderPath, name;
  SplitFolderAndName(path, folderPath, name);
  const Folder folder(folderPath);
  if (!folder.IsOpen()) return false;
  if (folder.ReplaceEntry(name, data, size, mode)) return true;
  if (errno != EACCES && errno != EPERM) return false;
  EntryRule rule;
  rule.access = EntryRule::Access::Write;
  rule.create = false;  // a folder that takes no new file takes no new name either
  int error = 0;
  Fd file = folder.OpenEntry(name, rule, error);
  if (!file.IsOpen()) {
    errno = error;
    return false;
  }
  // Truncated only now that the checks passed: a planted name is never cut.
  const bool written = ftruncate(file.Get(), 0) == 0 && WriteFull(file.Get(), data, size) && fsync(file.Get()) == 0;
  if (ByUmask(mode)) return written && file.Close();  // an existing file keeps its mode
  if (!written) {
    const KeepErrno keep;
    fchmod(file.Get(), static_cast<mode_t>(mode));  // whatever became of the write
    return false;
  }
  return fchmod(file.Get(), static_cast<mode_t>(mode)) == 0 && file.Close();
}

}  // namespace

bool ReplaceWholeFile(const char* path, const void* data, size_t size, unsigned mode) {
  const std::string systemPath = SystemPath(path != nullptr ? path : "");
  return ReplaceNamed(systemPath, data, size, mode) || FailedOn(systemPath);
}

void SplitFolderAndName(std::string_view path, std::string& folder, std::string& name) {
  const std::string systemPath = SystemPath(path);
  const size_t slash = systemPath.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = systemPath;
    return;
  }
  folder = slash == 0 ? "/" : systemPath.substr(0, slash);
  name = systemPath.substr(slash + 1);
}

std::string EntryErrorText(int error) {
  switch (error) {
    case ELOOP: return "the name is a symbolic link";
    case EMLINK: return "the file has other names (a hard link)";
    case ENXIO: return "the name is no regular file";
    case ENOTSOCK: return "the name is no socket";
    default: {
      std::string text;
      return SystemErrorText(error, text) ? text : "error " + std::to_string(error);
    }
  }
}

}  // namespace xtb::os
