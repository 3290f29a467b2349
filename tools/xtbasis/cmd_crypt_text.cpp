// xtbasis crypt aes, hash, pbkdf2.
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "cmd_crypt.h"

namespace xtbtool::crypt {

namespace {

std::string ReadStandardInput() {
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, n);
  return text;
}

}  // namespace

int Aes(Args args) {
  std::string iv;
  const bool hasIv = TakeOption(args, "--iv", &iv);
  if (args.size() != 2 || (args[0] != "encrypt" && args[0] != "decrypt")) return 2;
  std::string input = ReadStandardInput();
  CString error;
  if (args[0] == "encrypt") {
    CString base64;
    if (!CXTCrypt::EncryptDataAESBase64(args[1].c_str(), hasIv ? iv.c_str() : nullptr,
                                        reinterpret_cast<unsigned char*>(input.data()), input.size(), base64, error))
      return Failure("aes", error);
    std::printf("%s\n", base64.GetString());
    return 0;
  }
  unsigned char* data = nullptr;
  unsigned long length = 0;
  if (!CXTCrypt::DecryptDataAESBase64(args[1].c_str(), hasIv ? iv.c_str() : nullptr, CString(input.c_str()), data,
                                      length, error))
    return Failure("aes", error);
  std::fwrite(data, 1, length, stdout);
  std::free(data);
  return 0;
}

int Hash(Args args) {
  static const std::pair<const char*, unsigned> kAlgorithms[] = {
      {"md5", CALG_MD5}, {"sha1", CALG_SHA1}, {"sha256", CALG_SHA_256}, {"sha384", CALG_SHA_384}, {"sha512", CALG_SHA_512}};
  std::string name = "sha256";
  TakeOption(args, "--alg", &name);
  unsigned algorithm = 0;
  for (const auto& [known, id] : kAlgorithms)
    if (name == known) algorithm = id;
  if (algorithm == 0 || args.empty()) return 2;
  int status = 0;
  for (const std::string& file : args) {
    const CString hash = CXTCrypt::CalcFileHash(file.c_str(), algorithm);
    if (hash.IsEmpty()) {
      std::fprintf(stderr, "xtbasis crypt: hash: %s cannot be read\n", file.c_str());
      status = 1;
    } else {
      std::printf("%s  %s\n", hash.GetString(), file.c_str());
    }
  }
  return status;
}

int Pbkdf2(Args args) {
  if (args.size() != 2) return 2;
  CString error;
  const CString hash = CXTCrypt::CalcPBKDF2Hash(CString(args[0].c_str()), CString(args[1].c_str()), error);
  if (hash.IsEmpty()) return Failure("pbkdf2", error);
  std::printf("%s\n", hash.GetString());
  return 0;
}

}  // namespace xtbtool::crypt
