// xtbasis crypt genkey, export, sign, verify.
#include "cmd_crypt.h"

namespace xtbtool::crypt {

namespace {

unsigned long ContainerFlags(Args& args) { return TakeOption(args, "--machine", nullptr) ? CRYPT_MACHINE_KEYSET : 0; }

}  // namespace

int GenKey(Args args) {
  const unsigned long flags = ContainerFlags(args);
  if (args.size() != 1) return 2;
  CXTCrypt crypt;
  if (!crypt.AcquireContext(args[0].c_str(), flags) || !crypt.GenKey(false)) return Failure("genkey", crypt.LastError);
  return 0;
}

int Export(Args args) {
  const unsigned long flags = ContainerFlags(args);
  if (args.size() != 3 || (args[1] != "private" && args[1] != "public")) return 2;
  CXTCrypt crypt;
  if (!crypt.AcquireContext(args[0].c_str(), flags)) return Failure("export", crypt.LastError);
  const KEYTYPE type = args[1] == "private" ? KT_PRIVATE : KT_PUBLIC;
  if (!crypt.GetUserKey() || !crypt.ExportKey(type, args[2].c_str())) return Failure("export", crypt.LastError);
  return 0;
}

int Sign(Args args) {
  const std::string container = ContainerOption(args);
  if (args.size() != 3) return 2;
  CXTCrypt crypt;
  XTCryptCallback progress = Progress();
  if (!crypt.AcquireContext(container.c_str(), 0) || !crypt.ImportKey(KT_PRIVATE, args[0].c_str()) ||
      !crypt.SignHash(args[1].c_str(), args[2].c_str(), progress))
    return Failure("sign", crypt.LastError);
  EndProgress();
  return 0;
}

int Verify(Args args) {
  if (args.size() != 3) return 2;
  CXTCrypt crypt;
  XTCryptCallback progress = Progress();
  if (!crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT) || !crypt.ImportKey(KT_PUBLIC, args[0].c_str()) ||
      !crypt.VerifyHash(args[1].c_str(), args[2].c_str(), progress))
    return Failure("verify", crypt.LastError);
  EndProgress();
  std::puts("OK");
  return 0;
}

}  // namespace xtbtool::crypt
