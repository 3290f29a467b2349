// The reading of /proc/PID/maps that the crash helper builds its dump on,
// over arbitrary text: every mapping it gives has a range the dump can copy
// (start below end) and a path of one line without leading blanks; written
// back in the kernel's form, the mappings read back field for field.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "os/process_memory.h"

namespace {

std::string KernelLine(const xtb::os::Mapping& mapping) {
  char head[128];
  std::snprintf(head, sizeof head, "%llx-%llx %c%c%c%c %08llx fd:01 1234 ",
                static_cast<unsigned long long>(mapping.start), static_cast<unsigned long long>(mapping.end),
                mapping.read ? 'r' : '-', mapping.write ? 'w' : '-', mapping.execute ? 'x' : '-',
                mapping.shared ? 's' : 'p', static_cast<unsigned long long>(mapping.offset));
  return head + mapping.path + "\n";
}

bool Same(const xtb::os::Mapping& a, const xtb::os::Mapping& b) {
  return a.start == b.start && a.end == b.end && a.read == b.read && a.write == b.write && a.execute == b.execute &&
         a.shared == b.shared && a.offset == b.offset && a.path == b.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto mappings = xtb::os::ParseMappings(text);
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  if (mappings.size() > lines) std::abort();
  std::string written;
  for (const auto& mapping : mappings) {
    if (mapping.end <= mapping.start) std::abort();
    if (mapping.path.find('\n') != std::string::npos || mapping.path.find('\0') != std::string::npos) std::abort();
    if (!mapping.path.empty() && std::isspace(static_cast<unsigned char>(mapping.path[0]))) std::abort();
    written += KernelLine(mapping);
  }
  const auto again = xtb::os::ParseMappings(written);
  if (again.size() != mappings.size()) std::abort();
  for (size_t i = 0; i < again.size(); ++i) {
    if (!Same(again[i], mappings[i])) std::abort();
  }
  return 0;
}
