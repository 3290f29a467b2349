// xtbasis newest PATTERN: the newest file that the wildcard pattern matches.
#include <cstdio>

#include <xtbasis/filehelpers.h>

#include "command.h"

namespace {

int Run(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("newest", "needs one PATTERN");
  const CString newest = FindNewestFile(args[0].c_str());
  if (newest.IsEmpty()) {
    std::fprintf(stderr, "xtbasis newest: no file matches %s\n", args[0].c_str());
    return 1;
  }
  std::printf("%s\n", newest.GetString());
  return 0;
}

const xtbtool::Registration registration({"newest", "newest file matching a wildcard PATTERN",
                                          "xtbasis newest PATTERN   (e.g. '/var/log/app*.log'; quote it)", Run});

}  // namespace
