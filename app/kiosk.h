// The kiosk installation's steps, with the folder they work below, so an
// image or a test's throw-away root can be prepared like the running system.
#pragma once

#include <string>

#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb::kiosk {

struct Request {
  std::string root = "/";  // where the account files and session settings live
  std::string user;
  std::string password;  // UTF-8, as the user types it at the login
  std::string domain;  // empty or ".": a local account
  std::string comment;  // UTF-8
  std::string program;  // what the kiosk session runs
};

bool Install(const Request& request, DWORD* created, CString* errorText);
bool Remove(const std::string& root, const std::string& user, CString* errorText);

// The kiosk session of `user` (local path: the account files below `root`).
struct Session {
  bool accountCreated = false;  // the kiosk installation made the account
  std::string program;
};
// Writes the session entry and selects it for the user; an earlier choice is
// kept in the entry so Remove can give it back. false with errno set.
bool WriteSession(const std::string& root, const std::string& user, const Session& session);
// Reads the session entry; false when the user has none.
bool ReadSession(const std::string& root, const std::string& user, Session& session);
// Gives back the user's earlier session and deletes the entry.
bool RemoveSession(const std::string& root, const std::string& user);
// Where they live, for the documentation and the tests.
std::string SessionEntryPath(const std::string& root, const std::string& user);
std::string UserSettingsPath(const std::string& root, const std::string& user);

// Creates the account in the directory of `request.domain`; false with the
// failing step's label and message in `errorText`.
bool CreateDomainAccount(const Request& request, CString* errorText);

}  // namespace xtb::kiosk
