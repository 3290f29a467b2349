// The runtime's file and folder calls on the library's file services.
#include <xtbasis/win32/crt_files.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "invalid_parameter.h"
#include "os/file.h"
#include "os/filesystem.h"
#include "os/process.h"

namespace {

int Result(bool done) { return done ? 0 : -1; }

// 0 or -1 from `call` on a path, which must be given.
int OnPath(const char* path, bool (*call)(const char*)) {
  if (!path) {
    xtb::win32::InvalidParameter(EINVAL);
    return -1;
  }
  return Result(call(path));
}

// Copies `text` into `buffer` of `size` bytes, or into a malloc'd one of at
// least `size` bytes when `buffer` is null; null with ERANGE when it does
// not fit.
char* HandOut(const std::string& text, char* buffer, size_t size) {
  if (!buffer) {
    const size_t room = text.size() + 1 > size ? text.size() + 1 : size;
    buffer = static_cast<char*>(std::malloc(room));
    if (!buffer) {
      errno = ENOMEM;
      return nullptr;
    }
  } else if (text.size() + 1 > size) {
    errno = ERANGE;
    return nullptr;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return buffer;
}

// `path` with '\\' as '/', "." and ".." resolved, against `base` when relative.
std::string Normalised(const std::string& base, const char* path) {
  std::string whole = path[0] == '/' || path[0] == '\\' ? std::string(path) : base + '/' + path;
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= whole.size(); ++i) {
    const char ch = i < whole.size() ? whole[i] : '/';
    if (ch != '/' && ch != '\\') {
      part += ch;
      continue;
    }
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string result;
  for (const std::string& p : parts) result += '/' + p;
  return result.empty() ? "/" : result;
}

template <class Facts>
int FillFacts(const char* path, Facts* out, bool sizeIn32Bits) {
  if (!path || !out) {
    xtb::win32::InvalidParameter(EINVAL);
    return -1;
  }
  xtb::os::FileFacts facts;
  if (!xtb::os::FactsOf(path, facts)) return -1;
  if (sizeIn32Bits && facts.size > INT32_MAX) {
    errno = EOVERFLOW;
    return -1;
  }
  *out = Facts{};
  out->st_dev = static_cast<unsigned int>(facts.id.device);
  out->st_ino = static_cast<unsigned short>(facts.id.inode);
  const unsigned type = facts.folder ? _S_IFDIR : facts.regular ? _S_IFREG : 0;
  out->st_mode = static_cast<unsigned short>(type | (facts.mode & 0777));
  out->st_nlink = static_cast<short>(facts.links);
  out->st_uid = static_cast<short>(facts.owner);
  out->st_size = static_cast<decltype(out->st_size)>(facts.size);
  const XTStatTime modified{static_cast<time_t>(facts.modifiedSeconds), facts.modifiedNanoseconds};
  out->st_atim = modified;
  out->st_mtim = modified;
  out->st_ctim = modified;
  return 0;
}

}  // namespace

int _access(const char* path, int mode) {
  if ((mode & ~6) != 0) {
    xtb::win32::InvalidParameter(EINVAL);
    return -1;
  }
  if (mode & 2) return OnPath(path, [](const char* p) { return xtb::os::MayAccess(p, true); });
  return OnPath(path, [](const char* p) { return xtb::os::MayAccess(p, false); });
}

errno_t _access_s(const char* path, int mode) { return _access(path, mode) == 0 ? 0 : errno; }

int _mkdir(const char* path) { return OnPath(path, [](const char* p) { return xtb::os::MakeFolder(p); }); }
int _rmdir(const char* path) { return OnPath(path, xtb::os::RemoveFolder); }
int _chdir(const char* path) { return OnPath(path, xtb::os::SetCurrentFolder); }
int _unlink(const char* path) { return OnPath(path, xtb::os::RemoveFile); }

char* _getcwd(char* buffer, int size) {
  if (size < 0 || (buffer && size == 0)) {
    xtb::win32::InvalidParameter(EINVAL);
    return nullptr;
  }
  std::string folder;
  if (!xtb::os::CurrentFolder(folder)) return nullptr;
  return HandOut(folder, buffer, static_cast<size_t>(size));
}

char* _fullpath(char* absolute, const char* relative, size_t size) {
  std::string base;
  if (!relative || !*relative) return _getcwd(absolute, static_cast<int>(size > INT32_MAX ? INT32_MAX : size));
  if (relative[0] != '/' && relative[0] != '\\' && !xtb::os::CurrentFolder(base)) return nullptr;
  return HandOut(Normalised(base, relative), absolute, absolute ? size : 0);
}

int _getpid(void) { return static_cast<int>(xtb::os::ProcessId()); }

int _stat(const char* path, struct _stat* facts) { return FillFacts(path, facts, true); }
int _stat64(const char* path, struct _stat64* facts) { return FillFacts(path, facts, false); }
