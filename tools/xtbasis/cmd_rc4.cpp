// xtbasis rc4 encrypt|decrypt --format A|B SOURCE TARGET
#include <cstdio>
#include <string>

#include <xtbasis/rc4file.h>

#include "command.h"

namespace {

using FileFunction = bool (*)(const char*, const char*);

FileFunction Choose(const std::string& direction, const std::string& format) {
  if (format == "A")
    return direction == "encrypt"   ? EncryptRC4FileSchwachsinnigeVDDSEXPVariante
           : direction == "decrypt" ? DecryptRC4FileSchwachsinnigeVDDSEXPVariante
                                    : nullptr;
  if (format == "B")
    return direction == "encrypt"   ? EncryptRC4File20
           : direction == "decrypt" ? DecryptRC4FileNochSchwachsinnigereRZ2_1Variante
                                    : nullptr;
  return nullptr;
}

int Run(const xtbtool::Args& args) {
  const FileFunction function = args.size() == 5 && args[1] == "--format" ? Choose(args[0], args[2]) : nullptr;
  if (function == nullptr)
    return xtbtool::UsageError("rc4", "needs encrypt or decrypt, --format A or B, SOURCE and TARGET");
  if (!function(args[3].c_str(), args[4].c_str())) {
    std::fprintf(stderr, "xtbasis rc4: %s of %s to %s failed\n", args[0].c_str(), args[3].c_str(), args[4].c_str());
    return 1;
  }
  return 0;
}

const xtbtool::Registration registration({"rc4", "encrypt or decrypt an RC4 file (format A or B)",
                                          "xtbasis rc4 encrypt|decrypt --format A|B SOURCE TARGET", Run});

}  // namespace
