// xtbasis crypt <subcommand> ...: key containers, file encryption and
// signatures, AES texts, hashes, PBKDF2 and certificates.
#include "cmd_crypt.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

namespace xtbtool::crypt {

namespace {

const char kUsage[] =
    "xtbasis crypt <subcommand> ...\n"
    "  genkey [--machine] CONTAINER                       make the container's RSA key pair\n"
    "  export [--machine] CONTAINER private|public FILE   write a key blob of the container's key\n"
    "  encrypt [--container NAME] PUBLICKEY SOURCE TARGET SESSIONKEY\n"
    "  decrypt [--container NAME] PRIVATEKEY SESSIONKEY SOURCE TARGET\n"
    "  sign [--container NAME] PRIVATEKEY FILE SIGNATURE\n"
    "  verify PUBLICKEY FILE SIGNATURE\n"
    "  aes encrypt|decrypt [--iv TEXT] PASSWORD          standard input to standard output\n"
    "  hash [--alg md5|sha1|sha256|sha384|sha512] FILE...\n"
    "  pbkdf2 PASSWORD SALT\n"
    "  cert ca [--ca-constraints] [--pem FILE] [--install-trust] CONTAINER NAME FRIENDLYNAME YEARS\n"
    "  cert server [--pem FILE] ROOTSEARCH NAME FRIENDLYNAME YEARS";

int g_lastPercent = -1;

bool ShowPercent(const char*, int percent, bool, void*) {
  if (percent != g_lastPercent) std::fprintf(stderr, "\r%3d %%", percent);
  g_lastPercent = percent;
  return true;
}

int Run(const Args& args) {
  using Function = int (*)(Args);
  static const std::pair<const char*, Function> kCommands[] = {
      {"genkey", GenKey}, {"export", Export}, {"encrypt", Encrypt}, {"decrypt", Decrypt}, {"sign", Sign},
      {"verify", Verify}, {"aes", Aes},       {"hash", Hash},       {"pbkdf2", Pbkdf2},   {"cert", Cert}};
  if (!args.empty())
    for (const auto& [name, function] : kCommands)
      if (args[0] == name) {
        const int status = function(Args(args.begin() + 1, args.end()));
        return status == 2 ? UsageError("crypt", "wrong words for crypt " + args[0]) : status;
      }
  return UsageError("crypt", "needs a subcommand");
}

const Registration registration({"crypt", "key containers, file encryption, signatures, hashes, certificates", kUsage, Run});

}  // namespace

bool TakeOption(Args& args, const char* name, std::string* value) {
  const auto at = std::find(args.begin(), args.end(), name);
  if (at == args.end() || (value != nullptr && at + 1 == args.end())) return false;
  if (value != nullptr) *value = *(at + 1);
  args.erase(at, at + (value != nullptr ? 2 : 1));
  return true;
}

std::string ContainerOption(Args& args) {
  std::string name = "xtbasis";
  TakeOption(args, "--container", &name);
  return name;
}

XTCryptCallback Progress() {
  g_lastPercent = -1;
  return isatty(STDERR_FILENO) ? ShowPercent : nullptr;
}

void EndProgress() {
  if (g_lastPercent >= 0) std::fputc('\n', stderr);
  g_lastPercent = -1;
}

int Failure(const std::string& what, const CString& error) {
  EndProgress();
  std::fprintf(stderr, "xtbasis crypt: %s: %s\n", what.c_str(), AnsiToUTF8(error).GetString());
  return 1;
}

}  // namespace xtbtool::crypt
