// xtmaild [--config FILE] [--foreground]: the mail router of this computer.
// The configuration (default /etc/xtbasis/xtmaild.conf; a missing default
// file means the defaults) is described in config.h.
#include <cstdio>
#include <cstring>
#include <string>

#include "os/poller.h"
#include "config.h"
#include "router.h"

namespace {

constexpr char kDefaultConfig[] = "/etc/xtbasis/xtmaild.conf";

int Usage() {
  std::fprintf(stderr, "usage: xtmaild [--config FILE] [--foreground]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = kDefaultConfig;
  bool foreground = false, pathGiven = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--foreground") == 0) {
      foreground = true;
    } else if (std::strcmp(argv[i], "--config") == 0 && i + 1 < argc) {
      path = argv[++i];
      pathGiven = true;
    } else {
      return Usage();
    }
  }
  xtmaild::Config config;
  std::string error;
  if (!xtmaild::LoadConfig(path, config, error) && (pathGiven || !xtmaild::ParseConfig("", config, error))) {
    std::fprintf(stderr, "xtmaild: %s\n", error.c_str());
    return 1;
  }
  xtmaild::Router router(path, config);
  if (!router.Start(error)) {
    std::fprintf(stderr, "xtmaild: %s\n", error.c_str());
    return 1;
  }
  std::printf("xtmaild: listening on %s port %u\n", config.listen.c_str(), config.port);
  std::fflush(stdout);
  if (!foreground && !xtb::os::Daemonise()) {
    std::fprintf(stderr, "xtmaild: cannot go into the background\n");
    return 1;
  }
  router.Run();
  return 0;
}
