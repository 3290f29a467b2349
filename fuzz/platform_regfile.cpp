// Arbitrary bytes into the .reg parser: it must refuse or accept, never
// crash or hang. Parsing only; nothing reaches a store.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "registry/regfile_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<xtb::reg::RegFileEntry> entries;
  xtb::RegFileError error;
  const bool ok = xtb::reg::ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), &entries,
                                         &error);
  if (!ok && error.message.empty()) __builtin_trap();  // a refusal always says why
  return 0;
}
