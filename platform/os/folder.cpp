#include "folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "system_text.h"

namespace xtb::os {

namespace {

int OpenFlags(EntryRule::Access access) {
  switch (access) {
    case EntryRule::Access::Read: return O_RDONLY;
    case EntryRule::Access::Write: return O_WRONLY;
    case EntryRule::Access::Append: return O_WRONLY | O_APPEND;
  }
  return O_RDONLY;
}

// The checks that an opened entry must pass; 0, or the refusal.
int Refusal(int fd, const EntryRule& rule) {
  FileFacts facts;
  if (!FactsOf(fd, facts)) return errno;
  if (!facts.regular) return ENXIO;
  if (rule.singleLink && facts.links > 1) return EMLINK;
  return 0;
}

}  // namespace

Folder::Folder(const std::string& path)
    : m_fd(open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

Fd Folder::OpenEntry(std::string_view name, const EntryRule& rule, int& error) const {
  const std::string entry(name);
  if (!IsOpen() || entry.empty() || entry.find('/') != std::string::npos) {
    error = IsOpen() ? EINVAL : EBADF;
    return Fd();
  }
  // O_NONBLOCK: opening a planted pipe must not wait for its other end.
  const int flags = OpenFlags(rule.access) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  // Open what is there, or create with O_EXCL, so that a name that appears in
  // between is opened by the next round and checked like any other.
  for (int round = 0; round < 4; ++round) {
    bool created = false;
    Fd fd(openat(m_fd.Get(), entry.c_str(), flags));
    if (!fd.IsOpen() && errno == ENOENT && rule.create) {
      fd = Fd(openat(m_fd.Get(), entry.c_str(), flags | O_CREAT | O_EXCL, static_cast<mode_t>(rule.mode)));
      if (!fd.IsOpen() && errno == EEXIST) continue;
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

bool Folder::Rename(std::string_view from, std::string_view to) const {
  return renameat(m_fd.Get(), std::string(from).c_str(), m_fd.Get(), std::string(to).c_str()) == 0;
}

bool Folder::Remove(std::string_view name) const { return unlinkat(m_fd.Get(), std::string(name).c_str(), 0) == 0; }

bool Folder::FactsOfEntry(std::string_view name, FileFacts& facts) const {
  return FactsAt(m_fd.Get(), std::string(name).c_str(), facts, false);
}

void SplitFolderAndName(std::string_view path, std::string& folder, std::string& name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) {
    folder = ".";
    name = path;
    return;
  }
  folder = slash == 0 ? "/" : std::string(path.substr(0, slash));
  name = path.substr(slash + 1);
}

std::string EntryErrorText(int error) {
  switch (error) {
    case ELOOP: return "the name is a symbolic link";
    case EMLINK: return "the file has other names (a hard link)";
    case ENXIO: return "the name is no regular file";
    default: {
      std::string text;
      return SystemErrorText(error, text) ? text : "error " + std::to_string(error);
    }
  }
}

}  // namespace xtb::os
