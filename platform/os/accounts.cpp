#include "accounts.h"

#include <crypt.h>
#include <pwd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "file.h"

namespace xtb::os {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t from = 0;
  for (;;) {
    const size_t colon = line.find(':', from);
    fields.push_back(line.substr(from, colon == std::string_view::npos ? std::string_view::npos : colon - from));
    if (colon == std::string_view::npos) return fields;
    from = colon + 1;
  }
}

// The fields of the line whose field `key` equals `value`, in <root>/<file>.
std::optional<std::vector<std::string>> FindLine(const std::string& root, const char* file, size_t key,
                                                 std::string_view value) {
  std::string content;
  if (!ReadWholeFile((root + file).c_str(), content)) return std::nullopt;
  std::string_view rest(content);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() > key && fields[key] == value) return std::vector<std::string>(fields.begin(), fields.end());
  }
  return std::nullopt;
}

uint32_t Number(const std::string& text) { return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10)); }

}  // namespace

std::optional<Account> FindAccount(const std::string& root, const std::string& name) {
  const auto fields = FindLine(root, "/etc/passwd", 0, name);
  if (!fields || fields->size() < 7) return std::nullopt;
  return Account{(*fields)[0], Number((*fields)[2]), Number((*fields)[3]), (*fields)[5]};
}

bool NameServiceKnows(const std::string& name) {
  passwd entry {};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  return getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr;
}

bool PasswordMatches(const std::string& root, const std::string& name, const std::string& password) {
  const auto fields = FindLine(root, "/etc/shadow", 0, name);
  if (!fields || fields->size() < 2) return false;
  const std::string& hash = (*fields)[1];
  if (hash.empty() || hash[0] == '!' || hash[0] == '*') return false;
  auto data = std::make_unique<crypt_data>();
  const char* computed = crypt_r(password.c_str(), hash.c_str(), data.get());
  // A failed crypt() returns a text starting with '*', which never equals a hash.
  const bool match = computed != nullptr && hash == computed;
  explicit_bzero(data.get(), sizeof(crypt_data));
  return match;
}

std::string HashPassword(const std::string& password) {
  char salt[CRYPT_GENSALT_OUTPUT_SIZE];
  if (crypt_gensalt_rn(nullptr, 0, nullptr, 0, salt, sizeof salt) == nullptr) return {};
  auto data = std::make_unique<crypt_data>();
  const char* hash = crypt_r(password.c_str(), salt, data.get());
  std::string result = hash != nullptr && hash[0] != '*' ? hash : "";
  explicit_bzero(data.get(), sizeof(crypt_data));
  return result;
}

std::optional<std::string> GroupName(const std::string& root, uint32_t gid) {
  const auto fields = FindLine(root, "/etc/group", 2, std::to_string(gid));
  if (!fields) return std::nullopt;
  return (*fields)[0];
}

}  // namespace xtb::os
