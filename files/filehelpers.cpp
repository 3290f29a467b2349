#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <xtbasis/filehelpers.h>

#include "path_parts.h"
#include "temp_names.h"
#include "wildcard.h"

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_fd; }
  bool Close() {
    const bool ok = m_fd < 0 || close(m_fd) == 0;
    m_fd = -1;
    return ok;
  }

 private:
  int m_fd;
};

bool StatPath(const CString& path, struct stat& info) {
  return !path.IsEmpty() && stat(xtb::path::ToFileSystem(path.view()).c_str(), &info) == 0;
}

}  // namespace

bool LoadTextFile(const CString& path, CString& text) {
  Descriptor file(open(xtb::path::ToFileSystem(path.view()).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) return false;
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(file.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    content.append(buffer, static_cast<size_t>(got));
  }
  text = CString(std::move(content));
  return true;
}

bool SaveTextFile(const CString& path, const CString& text) {
  Descriptor file(open(xtb::path::ToFileSystem(path.view()).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.Get() < 0) return false;
  const char* data = text.GetString();
  size_t left = static_cast<size_t>(text.GetLength());
  while (left > 0) {
    const ssize_t put = write(file.Get(), data, left);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    left -= static_cast<size_t>(put);
  }
  return file.Close();
}

CString FindNewestFile(const CString& pattern) {
  std::string newest;
  struct timespec newestTime {};
  xtb::path::ForEachMatch(xtb::path::ToFileSystem(pattern.view()), [&](const std::string& path, const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return true;
    const struct timespec& time = info.st_mtim;
    if (newest.empty() || time.tv_sec > newestTime.tv_sec ||
        (time.tv_sec == newestTime.tv_sec && time.tv_nsec > newestTime.tv_nsec)) {
      newest = path;
      newestTime = time;
    }
    return true;
  });
  return CString(newest);
}

bool FileExists(const CString& path) {
  struct stat info;
  return StatPath(path, info);
}

bool DirExists(CString& path) {
  if (path.IsEmpty()) return false;
  if (!xtb::path::IsSeparator(path[path.GetLength() - 1])) path += xtb::path::SeparatorOf(path.view());
  struct stat info;
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

void GetTempFilePath(CString& path, const CString& prefix) {
  path = xtb::files::CreateUniqueFile(xtb::files::TempDirectory(), prefix);
}

void DocToDocX(CString& fileName) {
  if (FileExists(fileName)) return;
  fileName += FileExists(fileName + "x") ? 'x' : 'm';
}
