// Turns version information into the suite's OS code. Pure: every input comes
// through XTOSVersionInfo, so each row of the code table can be checked.
#include <xtbasis/osinfo.h>

#include <strings.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int kPlatform9x = 1;
constexpr int kPlatformNT = 2;
constexpr int kWorkstation = 1;
constexpr unsigned kSuitePersonal = 0x200;

// Compares dotted versions part by part; a missing part counts as 0.
int CompareDotted(std::string_view a, std::string_view b) {
  while (!a.empty() || !b.empty()) {
    auto next = [](std::string_view& text) {
      const size_t dot = text.find('.');
      const std::string part(text.substr(0, dot));
      text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
      return std::atoi(part.c_str());
    };
    const int x = next(a);
    const int y = next(b);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

int Identify9x(const XTOSVersionInfo& v) {
  if (v.major < 4 || (v.major == 4 && v.minor == 0)) return -1;
  const bool me = (v.major == 4 && v.minor >= 90) || v.major > 4 ||
                  (v.hasVersionNumber && v.versionNumber && CompareDotted(v.versionNumber, "4.90") >= 0);
  return me ? -3 : -2;
}

// The workstation code of an NT version; 32 when the version is not known.
int NtBaseCode(const XTOSVersionInfo& v) {
  const unsigned major = v.major, minor = v.minor;
  if (major <= 4) return 1;
  if (major == 5 && minor == 0) return 3;
  // The suite mask is part of the extended record: without it, Professional.
  if (major == 5 && minor == 1) return (v.extended && (v.suiteMask & kSuitePersonal)) ? 5 : 6;
  if (major == 5 && minor == 2) {
    if (v.serverR2 != 0) return v.x64 ? 11 : 10;
    return v.x64 ? 8 : 7;
  }
  if (major == 6 && minor == 0) return v.x64 ? 13 : 12;
  if (major == 6 && minor >= 1 && minor <= 3) return 16 + 3 * static_cast<int>(minor - 1) + (v.x64 ? 1 : 0);
  if (major == 10 && minor == 0) {
    if (!v.x64) return 25;
    return v.build < 22000 ? 26 : 30;
  }
  return 32;
}

int ServerAdjusted(const XTOSVersionInfo& v, int code) {
  if (!v.extended || v.major < 5) {
    const char* type = v.hasProductTypeText ? v.productTypeText : nullptr;
    if (type && (strcasecmp(type, "SERVERNT") == 0 || strcasecmp(type, "LANMANNT") == 0)) return code + 1;
    return code;
  }
  if (v.productType == kWorkstation) return code;
  switch (code) {
    case 8: case 17: case 20: case 23: case 26: case 30: return code + 1;
    case 12: case 13: return code + 2;
    default: return code < 4 ? code + 1 : code;
  }
}

}  // namespace

int XTIdentifyOS(const XTOSVersionInfo* info) {
  if (info == nullptr || !info->readable) return 0;
  const XTOSVersionInfo& v = *info;
  if (v.platformId == kPlatform9x) return Identify9x(v);
  if (v.platformId != kPlatformNT) return 0;
  int code = ServerAdjusted(v, NtBaseCode(v));
  if (code == 27) {
    const char* release = v.hasDisplayVersion ? v.displayVersion : v.hasReleaseId ? v.releaseId : nullptr;
    if (release && std::string_view(release) == "21H2") code = 29;
    else if (release && std::string_view(release) == "1809") code = 28;
  }
  return code;
}

int XTGetOSCode() {
  // Linux is "another platform": its version record names neither Windows
  // platform, so the code is 0.
  XTOSVersionInfo info;
  info.readable = true;
  return XTIdentifyOS(&info);
}
