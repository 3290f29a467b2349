// The keys that a process has open: HKEY values handed out by RegOpenKeyExA
// and RegCreateKeyExA stand for entries of this table, so a closed or made-up
// handle is told apart (ERROR_INVALID_HANDLE) rather than followed.
#pragma once

#include <xtbasis/platform/registry.h>

#include "hive.h"

namespace xtb::reg {

inline constexpr int64_t kClassesRoot = -1;  // HKEY_CLASSES_ROOT: the machine hive's SOFTWARE\Classes

struct KeyRef {
  HiveId hive = HiveId::Machine;
  int64_t key = kRootKey;
  REGSAM access = KEY_ALL_ACCESS;
  uint64_t generation = 0;  // 0: a predefined root, valid in every generation
};

HKEY AddKey(const KeyRef& ref);
bool RemoveKey(HKEY handle);
// A predefined root or an open key; false for anything else.
bool FindKey(HKEY handle, KeyRef* ref);

}  // namespace xtb::reg
