#include "files.h"

#include <cerrno>

#include <xtbasis/platform/lasterror.h>

#include "keyblob.h"
#include "os/file.h"
#include "os/filesystem.h"
#include "os/process.h"

namespace xtb::crypto::disk {

namespace {

constexpr uint64_t kLockWaitMs = 5000;

// Another account that may write the folder could replace its files.
bool Trusted(const os::Folder& folder) {
  os::FileFacts facts;
  return os::FactsOf(folder.Get(), facts) && facts.folder &&
         (facts.owner == os::EffectiveUserId() || facts.owner == 0) && (facts.mode & 022) == 0;
}

bool Failed() {
  SetLastErrorFromErrno();
  return false;
}

bool Untrusted() {
  errno = EACCES;
  return Failed();
}

// Replaced as a whole with exactly `mode`; true only when bytes were written.
bool Replace(const char* path, const uint8_t* bytes, size_t size, unsigned mode) {
  if (path == nullptr) return false;
  if (!os::ReplaceWholeFile(path, bytes, size, mode)) return false;  // the last error is set
  return size > 0;
}

}  // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  os::File file;
  return file.OpenShared(path) && os::ReadWholeFile(file.Get(), bytes);
}

bool WriteFileForEveryone(const char* path, const uint8_t* bytes, size_t size) {
  return Replace(path, bytes, size, 0666);
}

bool WriteKeyFile(const char* path, const uint8_t* bytes, size_t size) {
  // A public key and a session key wrapped for its receiver may be shared;
  // anything else may be the secret itself.
  const uint8_t type = BlobType(bytes, size);
  return Replace(path, bytes, size, type == kPublicKeyBlob || type == kSimpleBlob ? 0666 : 0600);
}

bool MakeKeyFolder(const std::string& path, unsigned mode) {
  const os::Folder folder = os::Folder::Make(path, mode);
  if (!folder.IsOpen()) return Failed();
  return Trusted(folder) || Untrusted();
}

// The folder is judged before it is locked, so that an account that made
// it cannot hold the caller at the lock; any account that may read it can
// still hold a lock, so the wait is bounded (ERROR_TIMEOUT after it).
os::Folder OpenKeyFolder(const std::string& path, bool exclusive) {
  os::Folder folder(path, false);
  if (!folder.IsOpen()) {
    Failed();
    return os::Folder();
  }
  if (!Trusted(folder)) {
    Untrusted();
    return os::Folder();
  }
  if (folder.Lock(exclusive, kLockWaitMs)) return folder;
  Failed();
  return os::Folder();
}

bool ReplaceKeyFile(const os::Folder& folder, const std::string& name, const std::vector<uint8_t>& bytes,
                    unsigned mode) {
  return folder.ReplaceEntry(name, bytes.data(), bytes.size(), mode) || Failed();
}

std::vector<std::string> FileNames(const os::Folder& folder) {
  std::vector<std::string> names;
  folder.List([&](std::string_view name) {
    if (name.front() != '.') names.emplace_back(name);
    return true;
  });
  return names;
}

bool FolderExists(const std::string& path) {
  os::FileFacts facts;
  return os::FactsOf(path.c_str(), facts, false) && facts.folder;
}

bool RemoveFolder(const std::string& path) {
  {
    const os::Folder folder = OpenKeyFolder(path, true);
    if (!folder.IsOpen()) return errno == ENOENT;
    for (const std::string& name : FileNames(folder))
      if (!folder.Remove(name) && errno != ENOENT) return Failed();
  }
  return os::RemoveFolder(path.c_str()) || errno == ENOENT || Failed();
}

}  // namespace xtb::crypto::disk
