#include "file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "systempath.h"

namespace xtb::os {

namespace {

void Describe(const struct stat& info, FileFacts& facts) {
  facts.id = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  facts.size = static_cast<int64_t>(info.st_size);
  facts.links = static_cast<uint64_t>(info.st_nlink);
  facts.regular = S_ISREG(info.st_mode);
  facts.folder = S_ISDIR(info.st_mode);
  facts.symbolicLink = S_ISLNK(info.st_mode);
  facts.socket = S_ISSOCK(info.st_mode);
  facts.mode = static_cast<unsigned>(info.st_mode & 07777);
  facts.owner = static_cast<uint32_t>(info.st_uid);
  facts.modifiedSeconds = static_cast<int64_t>(info.st_mtim.tv_sec);
  facts.modifiedNanoseconds = info.st_mtim.tv_nsec;
  facts.accessedSeconds = static_cast<int64_t>(info.st_atim.tv_sec);
  facts.accessedNanoseconds = info.st_atim.tv_nsec;
}

}  // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.Release();
  }
  return *this;
}

bool Fd::Close() {
  if (m_fd < 0) return true;
  // Linux releases the descriptor even when close reports EINTR: never retry.
  const bool ok = close(m_fd) == 0 || errno == EINTR;
  m_fd = -1;
  return ok;
}

namespace {

// Repeats `step(into, count, done)` (read or pread) until `size` bytes or the
// end, through interruptions and short reads.
template <class Step>
long ReadAll(void* buffer, size_t size, Step step) {
  auto* bytes = static_cast<char*>(buffer);
  size_t total = 0;
  while (total < size) {
    const ssize_t got = step(bytes + total, size - total, total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<long>(total);
}

}  // namespace

long ReadFull(int fd, void* buffer, size_t size) {
  return ReadAll(buffer, size, [fd](char* into, size_t count, size_t) { return read(fd, into, count); });
}

void FreeReadBuffer::operator()(uint8_t* buffer) const { std::free(buffer); }

ReadBuffer MakeReadBuffer(size_t size) {
  constexpr size_t kPage = 4096;
  const size_t rounded = (size + kPage - 1) / kPage * kPage;  // aligned_alloc wants whole alignments
  return ReadBuffer(static_cast<uint8_t*>(std::aligned_alloc(kPage, rounded == 0 ? kPage : rounded)));
}

long ReadFullAt(int fd, void* buffer, size_t size, int64_t offset) {
  return ReadAll(buffer, size, [fd, offset](char* into, size_t count, size_t done) {
    return pread(fd, into, count, static_cast<off_t>(offset + static_cast<int64_t>(done)));
  });
}

bool WriteFull(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = write(fd, bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;  // a device that takes nothing would loop for ever
      return false;
    }
    bytes += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool WriteFullOrHole(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (size == 0 || bytes[0] != 0 || std::memcmp(bytes, bytes + 1, size - 1) != 0) return WriteFull(fd, data, size);
  const off_t end = lseek(fd, static_cast<off_t>(size), SEEK_CUR);
  return end >= 0 && ftruncate(fd, end) == 0;
}

bool FactsOf(int fd, FileFacts& facts) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  Describe(info, facts);
  return true;
}

bool SetMode(int fd, unsigned mode) { return fchmod(fd, static_cast<mode_t>(mode)) == 0; }

bool FactsOf(const char* path, FileFacts& facts, bool followLink) {
  if (path == nullptr) return FactsAt(AT_FDCWD, path, facts, followLink);
  const std::string systemPath = SystemPath(path);
  return FactsAt(AT_FDCWD, systemPath.c_str(), facts, followLink) || FailedOn(systemPath);
}

bool FactsAt(int folderFd, const char* name, FileFacts& facts, bool followLink) {
  struct stat info {};
  if (name == nullptr || *name == '\0' ||
      fstatat(folderFd, name, &info, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
    return false;
  Describe(info, facts);
  return true;
}

bool ReadWholeFile(const char* path, std::string& content) {
  const std::string systemPath = SystemPath(path);
  const Fd file(open(systemPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsOpen()) return FailedOn(systemPath);
  content.clear();
  char buffer[64 * 1024];
  for (;;) {
    const long got = ReadFull(file.Get(), buffer, sizeof buffer);
    if (got < 0) return false;
    content.append(buffer, static_cast<size_t>(got));
    if (static_cast<size_t>(got) < sizeof buffer) return true;
  }
}

bool ReadWholeFile(int fd, std::vector<uint8_t>& bytes) {
  FileFacts facts;
  if (!FactsOf(fd, facts) || facts.size < 0) return false;
  bytes.resize(static_cast<size_t>(facts.size));
  const long got = ReadFull(fd, bytes.data(), bytes.size());
  if (got >= 0 && static_cast<size_t>(got) != bytes.size()) errno = EIO;  // cut short while read
  return got >= 0 && static_cast<size_t>(got) == bytes.size();
}

bool File::OpenRead(const char* path) {
  Close();
  if (path == nullptr) return false;
  const std::string systemPath = SystemPath(path);
  m_fd = Fd(open(systemPath.c_str(), O_RDONLY | O_CLOEXEC));
  return IsOpen() || FailedOn(systemPath);
}

bool File::OpenLocked(const char* path, bool exclusive) {
  if (!OpenRead(path)) return false;
  if (flock(m_fd.Get(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
  const int error = errno;
  Close();
  errno = error;
  return FailedOn(SystemPath(path));
}

bool File::OpenShared(const char* path) { return OpenLocked(path, false); }

bool File::OpenExclusive(const char* path) { return OpenLocked(path, true); }

bool File::Names(const char* path) const {
  FileFacts named, own;
  return IsOpen() && FactsAt(AT_FDCWD, SystemPath(path).c_str(), named, true) && FactsOf(m_fd.Get(), own) &&
         named.id == own.id;
}

bool File::Create(const char* path, const File& source) {
  Close();
  if (path == nullptr || source.Names(path)) return false;
  const std::string systemPath = SystemPath(path);
  m_fd = Fd(open(systemPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  return IsOpen() || FailedOn(systemPath);
}

bool File::CreateExclusive(const char* path, const File& source) {
  Close();
  if (path == nullptr || source.Names(path)) return false;
  const std::string systemPath = SystemPath(path);
  m_fd = Fd(open(systemPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (IsOpen() && flock(m_fd.Get(), LOCK_EX | LOCK_NB) == 0 && ftruncate(m_fd.Get(), 0) == 0) return true;
  const int error = errno;
  Close();
  errno = error;
  return FailedOn(systemPath);
}

bool File::Seek(int64_t offset) { return lseek(m_fd.Get(), static_cast<off_t>(offset), SEEK_SET) == offset; }

int64_t File::Length() const {
  FileFacts facts;
  return FactsOf(m_fd.Get(), facts) ? facts.size : -1;
}

}  // namespace xtb::os
