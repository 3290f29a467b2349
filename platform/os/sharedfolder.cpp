#include "sharedfolder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "process.h"

namespace xtb::os {

os::Folder OpenSharedFolder(const std::string& path) {
  os::Folder folder = os::Folder::Make(path, 01777);
  if (!folder.IsOpen()) return folder;
  if (!folder.OthersCannotSwapEntries()) {
    errno = EACCES;
    return os::Folder();
  }
  return folder;
}

os::Fd OpenSharedFile(const os::Folder& folder, const std::string& name, std::string& refusal) {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::ReadWrite;
  rule.everyoneFullAccess = true;  // other users' programs open it too
  int error = 0;
  os::Fd file = folder.OpenEntry(name, rule, error);
  if (!file.IsOpen()) Refuse(error, name, refusal);
  return file;
}

os::Fd OpenPrivateFile(const os::Folder& folder, const std::string& name, std::string& refusal) {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::ReadWrite;
  rule.mode = 0600;
  int error = 0;
  os::Fd file = folder.OpenEntry(name, rule, error);
  os::FileFacts facts;
  if (file.IsOpen() && (!os::FactsOf(file.Get(), facts) || facts.owner != os::EffectiveUserId() ||
                        (facts.mode & 0077) != 0)) {
    error = EACCES;
    file = os::Fd();
  }
  if (!file.IsOpen()) Refuse(error, name, refusal);
  return file;
}

std::atomic<uint64_t>* MapPrivateWord(const os::Fd& file) {
  static_assert(std::atomic<uint64_t>::is_always_lock_free);
  if (!file.IsOpen()) return nullptr;
  const int fd = file.Get();
  void* memory = MAP_FAILED;
  if (lseek(fd, 0, SEEK_END) >= static_cast<off_t>(sizeof(uint64_t)) || ftruncate(fd, sizeof(uint64_t)) == 0)
    memory = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return memory == MAP_FAILED ? nullptr : static_cast<std::atomic<uint64_t>*>(memory);
}

bool Refuse(int error, const std::string& name, std::string& refusal) {
  refusal = name + ": " + os::EntryErrorText(error);
  // A planted name of any kind is a refusal, not a missing file; a socket
  // name somebody else holds is an existing endpoint.
  switch (error) {
    case ELOOP: case EMLINK: case ENXIO: case ENOTSOCK: case EPERM: case EACCES:
      errno = EACCES;
      break;
    case EADDRINUSE:
      errno = EEXIST;
      break;
    default:
      errno = error;
  }
  return false;
}

}  // namespace xtb::os
