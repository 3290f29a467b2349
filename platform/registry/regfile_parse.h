// Reading a .reg file into a list of changes, without touching the store.
// A malformed entry (key line, value, hex list) is left out and reported
// with its line and reason, and the lines around it are read on as Windows
// reads them; only bytes that are no registry file at all are refused whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/regfile.h>

#include "hive.h"

namespace xtb::reg {

struct RegFileEntry {
  enum Kind { Key, DeleteKey, Value, DeleteValue } kind = Key;
  HiveId hive = HiveId::User;
  std::string path;  // below the hive root, HKEY_CLASSES_ROOT already resolved
  std::string name;  // of a value
  DWORD type = 0;
  std::string data;
  int line = 0;
};

// False, with `error`, when the bytes are no registry file. Otherwise every
// well-formed entry is in `entries` and every malformed one in `problems`,
// both in file order.
bool ParseRegFile(std::string_view bytes, std::vector<RegFileEntry>* entries, std::vector<RegFileError>* problems,
                  RegFileError* error);

// The hive and in-hive path of "HKLM\X" and the long root names.
bool ResolveKeyPath(std::string_view keyPath, HiveId* hive, std::string* path);

}  // namespace xtb::reg
