#include "known_folders.h"

#include <xtbasis/win32/shell_folders.h>

#include "os/environment.h"
#include "os/process.h"

namespace xtb::win32 {

namespace {

std::string Home() {
  const char* home = os::NonEmptyEnvironmentValue("HOME");
  return home ? home : os::AccountHomeFolder();
}

// An XDG base folder: the variable when it holds an absolute path, else its
// default under the home folder.
std::string BaseFolder(const char* variable, const char* underHome) {
  const char* value = os::NonEmptyEnvironmentValue(variable);
  if (value && value[0] == '/') return value;
  return Home() + underHome;
}

}  // namespace

std::optional<std::string> KnownFolder(int csidl) {
  switch (csidl) {
    case CSIDL_PROFILE: return Home();
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return Home() + "/Desktop";
    case CSIDL_PERSONAL: return Home() + "/Documents";
    case CSIDL_MYMUSIC: return Home() + "/Music";
    case CSIDL_MYVIDEO: return Home() + "/Videos";
    case CSIDL_MYPICTURES: return Home() + "/Pictures";
    case CSIDL_TEMPLATES: return Home() + "/Templates";
    case CSIDL_APPDATA: return BaseFolder("XDG_CONFIG_HOME", "/.config");
    case CSIDL_STARTUP: return BaseFolder("XDG_CONFIG_HOME", "/.config") + "/autostart";
    case CSIDL_LOCAL_APPDATA: return BaseFolder("XDG_DATA_HOME", "/.local/share");
    case CSIDL_PROGRAMS: return BaseFolder("XDG_DATA_HOME", "/.local/share") + "/applications";
    case CSIDL_INTERNET_CACHE: return BaseFolder("XDG_CACHE_HOME", "/.cache");
    case CSIDL_COMMON_APPDATA: return std::string("/var/lib");
    case CSIDL_COMMON_DOCUMENTS: return std::string("/srv");
    case CSIDL_COMMON_DESKTOPDIRECTORY: return std::string("/usr/share/applications");
    case CSIDL_COMMON_STARTUP: return std::string("/etc/xdg/autostart");
    case CSIDL_PROGRAM_FILES: return std::string("/opt");
    case CSIDL_PROGRAM_FILES_COMMON: return std::string("/usr/lib");
    case CSIDL_WINDOWS: return std::string("/usr");
    case CSIDL_SYSTEM: return std::string("/usr/bin");
    case CSIDL_FONTS: return std::string("/usr/share/fonts");
    default: return std::nullopt;
  }
}

}  // namespace xtb::win32
