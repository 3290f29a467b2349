// xtbasis os: the running system's OS code.
#include <cstdio>

#include <xtbasis/osinfo.h>

#include "command.h"

namespace {

int Run(const xtbtool::Args& args) {
  if (!args.empty()) return xtbtool::UsageError("os", "takes no arguments");
  std::printf("%d\n", XTGetOSCode());
  return 0;
}

const xtbtool::Registration registration({"os", "the operating system's code (0: not Windows)", "xtbasis os", Run});

}  // namespace
