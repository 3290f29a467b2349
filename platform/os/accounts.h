// Local accounts as the system's account files hold them, read below a root
// folder ("/" for the running system, another folder for an image being
// prepared), and the password hashes those files carry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace xtb::os {

struct Account {
  std::string name;
  uint32_t uid = 0;
  uint32_t gid = 0;
  std::string home;
};

// The entry of `name` in <root>/etc/passwd.
std::optional<Account> FindAccount(const std::string& root, const std::string& name);
// Whether the system's name service (local files, a directory client) knows
// an account of that name.
bool NameServiceKnows(const std::string& name);
// Whether `password` matches the hash of `name` in <root>/etc/shadow; a locked
// or empty hash matches nothing.
bool PasswordMatches(const std::string& root, const std::string& name, const std::string& password);
// A new hash of `password` in the system's preferred method; empty on failure.
std::string HashPassword(const std::string& password);
// The name of the group with id `gid` in <root>/etc/group.
std::optional<std::string> GroupName(const std::string& root, uint32_t gid);

}  // namespace xtb::os
