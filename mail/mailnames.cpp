#include "mailnames.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <xtbasis/platform/codepage1252.h>

namespace xtb::mail {

namespace {

constexpr const char* kTypeNames[] = {"",        "PING",           "PONG",
                                      "USER",    "BENCH",          "R9ANAM",
                                      "R9CLIENTUPDATE", "STOPR9CLIENTUPDATE", "PQMSG"};
constexpr int kTypeCount = sizeof kTypeNames / sizeof kTypeNames[0];

bool IsAsciiAlnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

unsigned char Fold(char c) { return static_cast<unsigned char>(xtb::cp1252::ToLower(c)); }

// File names stay well inside a socket address of 108 bytes behind
// "/proc/self/fd/NNNN/".
constexpr size_t kMaxFileName = 80;

std::atomic<bool> g_pipeMode{false};

}  // namespace

bool PipeMode() { return g_pipeMode.load(std::memory_order_relaxed); }

void SwitchToPipeMode() { g_pipeMode.store(true, std::memory_order_relaxed); }

const char* TypeName(int type) { return type >= 0 && type < kTypeCount ? kTypeNames[type] : ""; }

MAILTYPES TypeOfName(std::string_view name) {
  for (int type = 0; type < kTypeCount; ++type) {
    const std::string_view wire = kTypeNames[type];
    if (wire.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < wire.size(); ++i) same = Fold(wire[i]) == Fold(name[i]);
    if (same) return static_cast<MAILTYPES>(type);
  }
  return MAILTYPE_NONE;
}

std::string EndpointName(bool pipeMode, const CString& name, const CString& subName) {
  std::string endpoint = pipeMode ? "pipe\\" : "mailslot\\";
  endpoint.append(name.GetString(), static_cast<size_t>(name.GetLength()));
  if (!subName.IsEmpty()) {
    const CString sub = pipeMode ? SanitizeMailName(subName) : MailslotSubPath(subName);
    endpoint += pipeMode ? '_' : '\\';
    endpoint.append(sub.GetString(), static_cast<size_t>(sub.GetLength()));
  }
  return endpoint;
}

std::string EndpointFile(std::string_view endpoint) {
  std::string file;
  for (char c : endpoint) {
    const unsigned char folded = Fold(c);
    if ((folded >= 'a' && folded <= 'z') || (folded >= '0' && folded <= '9') || folded == '_' || folded == '.' ||
        folded == '-') {
      file += static_cast<char>(folded);
    } else if (c == '\\' || c == '/') {
      file += '+';
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02x", folded);
      file += escaped;
    }
  }
  if (file.size() <= kMaxFileName) return file;
  // FNV-1a over the folded name; the mode prefix stays readable.
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : file) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  char hashed[40];
  std::snprintf(hashed, sizeof hashed, "#%016llx", static_cast<unsigned long long>(hash));
  return file.substr(0, file.find('+') + 1) + hashed;
}

bool IsEndpointOfMode(std::string_view endpoint, bool pipeMode) {
  const std::string_view prefix = pipeMode ? "pipe\\" : "mailslot\\";
  return endpoint.size() > prefix.size() && endpoint.size() <= kMaxEndpoint && endpoint.starts_with(prefix) &&
         endpoint.find('\0') == std::string_view::npos;
}

}  // namespace xtb::mail

CString SanitizeMailName(const CString& name) {
  std::string clean(name.GetString(), static_cast<size_t>(name.GetLength()));
  for (char& c : clean)
    if (!xtb::mail::IsAsciiAlnum(c)) c = '_';
  return CString(std::move(clean));
}

CString MailslotSubPath(const CString& name) {
  const CString clean = SanitizeMailName(name);
  CString path;
  int at = 0;
  for (; clean.GetLength() - at > 8; at += 8) path += clean.Mid(at, 8) + ".msl\\";
  return path + clean.Mid(at);
}
