// Domain accounts through the system's directory tools: adcli finds the
// domain and creates the user with an administrator's Kerberos ticket (kinit
// first), ldapmodify and ldapsearch set what adcli leaves out. Every step
// carries its own label into the error text.
#include <xtbasis/base64.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

#include <cstdlib>

#include "kiosk.h"
#include "os/programs.h"
#include "utf8cp1252.h"

namespace xtb::kiosk {

namespace {

constexpr unsigned kNormalAccount = 0x200;
constexpr unsigned kPasswordNeverExpires = 0x10000;
constexpr unsigned kAccountDisabled = 0x2;

bool StepFailed(CString* errorText, const char* label, const os::ProgramRun& run) {
  std::string message = run.output;
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  if (message.empty()) message = "exit code " + std::to_string(run.exitCode);
  if (errorText) *errorText = CString(std::string(label) + "\n" + message);
  return false;
}

bool Succeeded(const os::ProgramRun& run) { return run.started && run.exitCode == 0; }

std::string Base64(const std::string& bytes) {
  return EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), false)
      .str();
}

// The directory wants the password as UTF-16LE in quotes.
std::string QuotedUtf16(const std::string& password) {
  std::u16string units;
  AppendUtf8AsUtf16(units, "\"" + password + "\"");
  std::string bytes;
  AppendUtf16Le(bytes, units);
  return bytes;
}

struct Directory {
  std::string uri;
  std::string userDn;

  os::ProgramRun Modify(const std::string& attribute, const std::string& value) const {
    std::string ldif = "dn: " + userDn + "\nchangetype: modify\nreplace: " + attribute + "\n";
    if (!value.empty()) ldif += attribute + ":: " + Base64(value) + "\n";
    ldif += "-\n";
    return os::RunCaptured({"ldapmodify", "-Q", "-Y", "GSSAPI", "-H", uri}, ldif);
  }
};

}  // namespace

bool CreateDomainAccount(const Request& request, CString* errorText) {
  const std::string& domain = request.domain;
  const os::ProgramRun found = os::RunCaptured({"adcli", "info", "--", domain}, "");
  if (!Succeeded(found)) return StepFailed(errorText, "ADsGetObject: ", found);

  std::vector<std::string> create{"adcli", "create-user", "--domain=" + domain, "--login-ccache", "--no-password"};
  if (!request.comment.empty()) create.push_back("--display-name=" + request.comment);
  create.insert(create.end(), {"--", request.user});
  const os::ProgramRun made = os::RunCaptured(create, "");
  if (!Succeeded(made)) return StepFailed(errorText, "Create: ", made);

  Directory directory;
  directory.uri = "ldap://" + domain;
  directory.userDn = "CN=" + request.user + ",CN=Users";
  std::vector<CString> parts;
  SeparatedStrToVec(CString(domain), '.', parts, false);
  for (const CString& part : parts) directory.userDn += ",DC=" + part.str();

  struct Step {
    const char* label;
    std::string attribute, value;
  };
  const Step steps[] = {
      {"SetPassword: ", "unicodePwd", QuotedUtf16(request.password)},
      {"put_AccountDisabled: ", "userAccountControl", std::to_string(kNormalAccount)},
      {"put_Description: ", "description", request.comment},
      {"Put samAccountName: ", "sAMAccountName", request.user},
      {"Put userprincipalname: ", "userPrincipalName", request.user + "@" + domain},
  };
  for (const Step& step : steps) {
    const os::ProgramRun run = directory.Modify(step.attribute, step.value);
    if (!Succeeded(run)) return StepFailed(errorText, step.label, run);
  }

  const os::ProgramRun read = os::RunCaptured(
      {"ldapsearch", "-Q", "-LLL", "-Y", "GSSAPI", "-H", directory.uri, "-b", directory.userDn, "-s", "base",
       "userAccountControl"},
      "");
  const size_t at = read.output.find("userAccountControl: ");
  if (!Succeeded(read) || at == std::string::npos) return StepFailed(errorText, "Get userAccountControl: ", read);
  unsigned control = static_cast<unsigned>(std::strtoul(read.output.c_str() + at + 20, nullptr, 10));
  control = (control | kPasswordNeverExpires) & ~kAccountDisabled;
  const os::ProgramRun put = directory.Modify("userAccountControl", std::to_string(control));
  if (!Succeeded(put)) return StepFailed(errorText, "Put userAccountControl: ", put);
  return true;
}

}  // namespace xtb::kiosk
