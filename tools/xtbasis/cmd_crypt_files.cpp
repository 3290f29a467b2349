// xtbasis crypt encrypt, decrypt: whole files for a recipient's key pair.
#include "cmd_crypt.h"

namespace xtbtool::crypt {

int Encrypt(Args args) {
  const std::string container = ContainerOption(args);
  if (args.size() != 4) return 2;
  CString error;
  if (!CXTCrypt::EncryptFileA(container.c_str(), args[0].c_str(), args[1].c_str(), args[2].c_str(), args[3].c_str(),
                              Progress(), error))
    return Failure("encrypt", error);
  EndProgress();
  return 0;
}

int Decrypt(Args args) {
  const std::string container = ContainerOption(args);
  if (args.size() != 4) return 2;
  CString error;
  if (!CXTCrypt::DecryptFileA(container.c_str(), args[0].c_str(), args[1].c_str(), args[2].c_str(), args[3].c_str(),
                              Progress(), error))
    return Failure("decrypt", error);
  EndProgress();
  return 0;
}

}  // namespace xtbtool::crypt
