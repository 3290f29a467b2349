// xtbasis region create|attach|free NAME [SIZE]: a look at a shared region.
//   create  creates (or attaches to) the region with SIZE data bytes (0 when
//           left out) and holds it until standard input ends, so that other
//           programs can attach meanwhile
//   attach  shows owner flag, size and the first data bytes of a region held
//           by some process
//   free    removes what is left of a region that no process holds any more
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xtbasis/sharedregion.h>

#include "command.h"

namespace {

constexpr const char* kUsage = "xtbasis region create|attach|free NAME [SIZE]";
constexpr int kShownBytes = 256;

void Describe(const CXTSharedRegion& region) {
  std::printf("name: %s\nobject: %s\nowner: %s\nsize: %d\n", region.GetName().GetString(),
              RegionObjectName(region.GetName()).GetString(), region.bIAmOwner() ? "yes" : "no", region.GetSize());
}

void Dump(const CXTSharedRegion& region) {
  const auto* data = static_cast<const unsigned char*>(region.pGetData());
  const int shown = std::min(std::max(region.GetSize(), 0), kShownBytes);
  for (int i = 0; i < shown; i += 16) {
    std::printf("%08x ", i);
    for (int j = i; j < i + 16 && j < shown; ++j) std::printf(" %02x", data[j]);
    std::printf("\n");
  }
}

int Create(const std::string& name, const std::string& sizeText) {
  char* end = nullptr;
  const long size = std::strtol(sizeText.c_str(), &end, 10);
  if (sizeText.empty() || *end != '\0' || size < 0 || size > 0x7FFFFFF7L)
    return xtbtool::UsageError("region", "SIZE must be a number of bytes from 0 to 2147483639");
  CXTSharedRegion region;
  if (!region.AllocateRegion(name.c_str(), static_cast<int>(size))) {
    std::fprintf(stderr, "xtbasis region: %s\n", region.sGetLastError().GetString());
    return 1;
  }
  Describe(region);
  std::printf("held until standard input ends\n");
  std::fflush(stdout);
  char buffer[256];
  while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  return 0;
}

// Attaching to a region that nobody holds creates it: then there was none,
// and freeing the new one removes it again.
int Attach(const std::string& name, bool show) {
  CXTSharedRegion region;
  if (!region.AllocateRegion(name.c_str(), 0)) {
    std::fprintf(stderr, "xtbasis region: %s\n", region.sGetLastError().GetString());
    return 1;
  }
  if (region.bIAmOwner()) {
    std::printf("no region %s is held\n", name.c_str());
    return show ? 1 : 0;
  }
  if (show) {
    Describe(region);
    Dump(region);
    return 0;
  }
  std::printf("region %s is still held by a process\n", name.c_str());
  return 1;
}

int Run(const xtbtool::Args& args) {
  if ((args.size() == 2 || args.size() == 3) && args[0] == "create") return Create(args[1], args.size() == 3 ? args[2] : "0");
  if (args.size() == 2 && args[0] == "attach") return Attach(args[1], true);
  if (args.size() == 2 && args[0] == "free") return Attach(args[1], false);
  return xtbtool::UsageError("region", "needs create, attach or free and a NAME");
}

const xtbtool::Registration registration({"region", "create, look at or clear a shared region", kUsage, Run});

}  // namespace
