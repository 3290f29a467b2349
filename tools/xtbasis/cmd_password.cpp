// xtbasis password LENGTH: a random password of that length.
#include <cstdio>
#include <cstdlib>

#include <xtbasis/password.h>

#include "command.h"

namespace {

int Run(const xtbtool::Args& args) {
  char* end = nullptr;
  const long length = args.size() == 1 ? std::strtol(args[0].c_str(), &end, 10) : 0;
  if (args.size() != 1 || *end != '\0' || length < 3 || length > 4096)
    return xtbtool::UsageError("password", "LENGTH must be a number from 3 to 4096");
  std::printf("%s\n", XTCreatePassword(static_cast<int>(length)).GetString());
  return 0;
}

const xtbtool::Registration registration({"password", "random password of LENGTH characters",
                                          "xtbasis password LENGTH   (3 to 4096)", Run});

}  // namespace
