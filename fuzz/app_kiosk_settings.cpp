// The per-user session setting over arbitrary earlier settings files: the
// kiosk choice replaces Session and XSession of the [User] group and keeps
// every other line in order; taking it back restores the earlier choice and
// leaves no trace of the kiosk session.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../app/kiosk.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The [User] group's lines for `key`, and the lines that are no such key.
void Split(const std::vector<std::string>& lines, std::vector<std::string>& keyed, std::vector<std::string>& rest) {
  bool inUser = false;
  for (const std::string& line : lines) {
    if (line.starts_with("[")) inUser = line == "[User]";
    else if (inUser && (line.starts_with("Session=") || line.starts_with("XSession="))) {
      keyed.push_back(line);
      continue;
    }
    rest.push_back(line);
  }
}

bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  size_t at = 0;
  for (const std::string& line : whole)
    if (at < part.size() && line == part[at]) ++at;
  return at == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = fs::temp_directory_path() / ("xtb-fuzz-kiosk-" + std::to_string(getpid()));
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (input.find("xtbasis-kiosk") != std::string::npos) return 0;
  fs::remove_all(root);
  const std::string settingsPath = xtb::kiosk::UserSettingsPath(root, "u");
  fs::create_directories(fs::path(settingsPath).parent_path());
  std::ofstream(settingsPath, std::ios::binary) << input;

  std::vector<std::string> keyedBefore, restBefore;
  Split(Lines(input), keyedBefore, restBefore);

  xtb::kiosk::Session session;
  session.program = "/opt/praxis/bin/Termine";
  if (!xtb::kiosk::WriteSession(root, "u", session)) std::abort();
  std::vector<std::string> keyed, rest;
  Split(Lines(Read(settingsPath)), keyed, rest);
  const std::vector<std::string> kiosk{"Session=xtbasis-kiosk-u", "XSession=xtbasis-kiosk-u"};
  if (keyed != kiosk || !IsSubsequence(restBefore, rest)) std::abort();

  if (!xtb::kiosk::RemoveSession(root, "u")) std::abort();
  const std::string after = Read(settingsPath);
  if (after.find("xtbasis-kiosk") != std::string::npos) std::abort();
  std::vector<std::string> keyedAfter, restAfter;
  Split(Lines(after), keyedAfter, restAfter);
  if (!IsSubsequence(restBefore, restAfter)) std::abort();
  // The first earlier Session and XSession come back.
  std::vector<std::string> expected;
  for (const char* key : {"Session=", "XSession="}) {
    for (const std::string& line : keyedBefore)
      if (line.starts_with(key)) {
        if (line.size() > std::string(key).size()) expected.push_back(line);
        break;
      }
  }
  if (keyedAfter != expected) std::abort();
  return 0;
}
