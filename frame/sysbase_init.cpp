// CXTSysBase::InitInstance: the user's locale, with the character classes,
// case tables and collation of code page 1252, and the suite's common files
// in front of PATH.
#include <clocale>
#include <string>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "os/environment.h"

#ifndef XTB_COMMON_FILES_DIR
#define XTB_COMMON_FILES_DIR "/usr/local/lib/xtbasis"
#endif

namespace {

constexpr size_t kMaxFolder = MAX_PATH - 1;
constexpr size_t kMaxPathVariable = 32767;

// The common-files folder: $XTBASIS_COMMON_FILES, else the installation's.
bool CommonFilesFolder(std::string& folder) {
  const char* chosen = xtb::os::EnvironmentValue(XT_COMMON_FILES_ENV);
  folder = chosen && *chosen ? chosen : XTB_COMMON_FILES_DIR;
  return folder.size() <= kMaxFolder;
}

// The program's bytes are code page 1252, as on Windows, where the runtime's
// German locale makes umlauts letters with their case pairs: LC_CTYPE and
// LC_COLLATE go to the 1252 form of the user's language (else the German
// one); numbers, money and times stay the user's. Without such a locale
// (the installation generates de_DE.CP1252) the classes stay the user's, and
// one warning record says so.
void UseCodePage1252Classes() {
  const char* user = std::setlocale(LC_CTYPE, nullptr);
  const std::string userName = user ? user : "C";
  const std::string language = userName.substr(0, userName.find_first_of(".@"));
  for (const std::string& candidate : {language + ".CP1252", std::string("de_DE.CP1252")}) {
    if (std::setlocale(LC_CTYPE, candidate.c_str()) != nullptr) {
      std::setlocale(LC_COLLATE, candidate.c_str());
      return;
    }
  }
  XTTrace(XTTRACE_WARN, XTTRACE_PROGID_XTBASIS, "XTSysBase", __LINE__,
          "CXTSysBase::InitInstance: kein Locale mit Codepage 1252 (%s.CP1252, de_DE.CP1252), Zeichenklassen von %s",
          language.c_str(), userName.c_str());
}

}  // namespace

int CXTSysBase::InitInstance() {
  std::setlocale(LC_ALL, "");
  UseCodePage1252Classes();
  std::string folder;
  if (!CommonFilesFolder(folder)) return 0;
  if (folder.back() != '/') folder += '/';
  folder += "XT/Dental";
  // A program with rights its caller lacks searches the system's folders,
  // never the caller's.
  const char* path = xtb::os::EnvironmentIsTrusted() ? xtb::os::EnvironmentValue("PATH") : xtb::os::kSystemSearchPath;
  if (!path || !*path || std::string_view(path).size() > kMaxPathVariable) return 0;
  const std::string searchPath = folder + ':' + path;
  return xtb::os::SetEnvironmentValue("PATH", searchPath);
}
