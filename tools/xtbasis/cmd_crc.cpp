// xtbasis crc FILE: the file's CRC as eight hex digits.
#include <cstdio>

#include <xtbasis/checksum.h>

#include "command.h"

namespace {

int Run(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("crc", "needs one FILE");
  const CString sum = XTCheckSum(args[0].c_str());
  if (sum.IsEmpty()) {
    std::fprintf(stderr, "xtbasis crc: cannot read %s\n", args[0].c_str());
    return 1;
  }
  std::printf("%s\n", sum.GetString());
  return 0;
}

const xtbtool::Registration registration({"crc", "CRC-32 of a file (eight hex digits)", "xtbasis crc FILE", Run});

}  // namespace
