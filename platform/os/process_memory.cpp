#include "os/process_memory.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace xtb::os {
namespace {

std::string ProcPath(pid_t pid, const char* entry) { return "/proc/" + std::to_string(pid) + "/" + entry; }

}  // namespace

ProcessMemory::ProcessMemory(pid_t pid)
    : m_fd(open(ProcPath(pid, "mem").c_str(), O_RDONLY | O_CLOEXEC)),
      m_pages(open(ProcPath(pid, "pagemap").c_str(), O_RDONLY | O_CLOEXEC)) {}

bool ProcessMemory::AnyPageTouched(uint64_t address, size_t size) const {
  constexpr uint64_t kPage = 4096;
  constexpr uint64_t kPresent = 1ull << 63, kSwapped = 1ull << 62;
  if (!m_pages.IsOpen() || size == 0) return true;
  const uint64_t first = address / kPage, last = (address + size - 1) / kPage;
  uint64_t entries[64];
  for (uint64_t page = first; page <= last;) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(64, last - page + 1));
    const long got = pread(m_pages.Get(), entries, count * 8, static_cast<off_t>(page * 8));
    if (got != static_cast<long>(count * 8)) return true;
    for (size_t i = 0; i < count; ++i) {
      if ((entries[i] & (kPresent | kSwapped)) != 0) return true;
    }
    page += count;
  }
  return false;
}

size_t ProcessMemory::ReadSome(uint64_t address, void* buffer, size_t size) const {
  size_t done = 0;
  while (done < size) {
    const ssize_t got =
        pread(m_fd.Get(), static_cast<char*>(buffer) + done, size - done, static_cast<off_t>(address + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool ProcessMemory::Read(uint64_t address, void* buffer, size_t size) const {
  return ReadSome(address, buffer, size) == size;
}

std::vector<Mapping> MappingsOf(pid_t pid) {
  std::string text;
  if (!ReadWholeFile(ProcPath(pid, "maps").c_str(), text)) return {};
  return ParseMappings(text);
}

std::vector<Mapping> ParseMappings(std::string_view text) {
  std::vector<Mapping> mappings;
  while (!text.empty()) {
    const size_t lineEnd = std::min(text.find('\n'), text.size());
    // sscanf stops at a zero byte: the line is taken up to the first one.
    std::string line(text.substr(0, lineEnd));
    line.resize(std::strlen(line.c_str()));
    text.remove_prefix(std::min(lineEnd + 1, text.size()));
    Mapping mapping;
    char perms[5] = {};
    unsigned long long start = 0, end = 0, offset = 0;
    int pathAt = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx %4s %llx %*s %*s %n", &start, &end, perms, &offset, &pathAt) < 4) continue;
    // The dump's size of a mapping is end - start: a reversed range would
    // be read as most of the address space.
    if (end <= start) continue;
    mapping.start = start;
    mapping.end = end;
    mapping.offset = offset;
    mapping.read = perms[0] == 'r';
    mapping.write = perms[1] == 'w';
    mapping.execute = perms[2] == 'x';
    mapping.shared = perms[3] == 's';
    if (pathAt > 0 && static_cast<size_t>(pathAt) < line.size()) mapping.path = line.substr(static_cast<size_t>(pathAt));
    mappings.push_back(std::move(mapping));
  }
  return mappings;
}

std::vector<uint8_t> AuxiliaryVectorOf(pid_t pid) {
  std::string bytes;
  if (!ReadWholeFile(ProcPath(pid, "auxv").c_str(), bytes)) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string ProgramOf(pid_t pid) {
  char target[PATH_MAX];
  const ssize_t length = readlink(ProcPath(pid, "exe").c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

std::string CommandNameOf(pid_t pid) {
  std::ifstream comm(ProcPath(pid, "comm"));
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace xtb::os
