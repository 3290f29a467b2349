// xtbasis path split PATH | path join BASE RELATIVE...
#include <cstdio>

#include <xtbasis/path.h>

#include "command.h"

namespace {

int Split(const std::string& text) {
  const CPath path(text.c_str());
  std::printf("drive: %s\ndir: %s\nname: %s\next: %s\n", path.GetDrive().GetString(), path.GetDir().GetString(),
              path.GetFilename().GetString(), path.GetExtension().GetString());
  return 0;
}

int Join(const xtbtool::Args& args) {
  CPath path(args[1].c_str());
  for (size_t i = 2; i < args.size(); ++i) path += CPath(args[i].c_str());
  std::printf("%s\n", path.c_str());
  return 0;
}

int Run(const xtbtool::Args& args) {
  if (args.size() == 2 && args[0] == "split") return Split(args[1]);
  if (args.size() >= 3 && args[0] == "join") return Join(args);
  return xtbtool::UsageError("path", "needs split PATH or join BASE RELATIVE...");
}

const xtbtool::Registration registration({"path", "split a path into its parts or join paths",
                                          "xtbasis path split PATH\n"
                                          "       xtbasis path join BASE RELATIVE...",
                                          Run});

}  // namespace
