// Reading another process from outside (the crash helper reads the crashed
// process): its memory, its mappings, its auxiliary vector, its program.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "file.h"

namespace xtb::os {

struct Mapping {
  uint64_t start = 0;
  uint64_t end = 0;
  bool read = false, write = false, execute = false;
  bool shared = false;  // a shared mapping, not the process's private copy
  uint64_t offset = 0;  // in the file
  std::string path;     // empty for anonymous memory; "[stack]" and the like
};

class ProcessMemory {
 public:
  // Opens the memory of `pid`; IsOpen() is false when the system refuses.
  explicit ProcessMemory(pid_t pid);
  bool IsOpen() const { return m_fd.IsOpen(); }
  // Reads `size` bytes at `address`; false when any of them cannot be read.
  bool Read(uint64_t address, void* buffer, size_t size) const;
  // Reads what can be read, up to `size`; the number of bytes read.
  size_t ReadSome(uint64_t address, void* buffer, size_t size) const;
  // True when any of the pages of [address, address + size) has been
  // touched (is in memory or swapped out); true as well when the system
  // does not tell.
  bool AnyPageTouched(uint64_t address, size_t size) const;

 private:
  Fd m_fd;
  Fd m_pages;
};

std::vector<Mapping> MappingsOf(pid_t pid);
// The mappings of a text in the form of /proc/PID/maps ("start-end perms
// offset device inode path"). A line that is not of that form, or whose
// range is empty or reversed, is left out.
std::vector<Mapping> ParseMappings(std::string_view text);
// The auxiliary vector as the kernel gave it to `pid` (empty on failure).
std::vector<uint8_t> AuxiliaryVectorOf(pid_t pid);
// The program file of `pid` and its command name; empty on failure.
std::string ProgramOf(pid_t pid);
std::string CommandNameOf(pid_t pid);

}  // namespace xtb::os
