#include "keytable.h"

#include <mutex>
#include <unordered_map>

namespace xtb::reg {

namespace {

struct KeyTable {
  std::mutex mutex;
  std::unordered_map<uintptr_t, KeyRef> keys;
  uintptr_t next = 0x1000;  // never reused; far below the predefined roots
};

KeyTable& Table() {
  static KeyTable* table = new KeyTable;  // lives until exit: handles may be closed from static destructors
  return *table;
}

}  // namespace

HKEY AddKey(const KeyRef& ref) {
  KeyTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const uintptr_t value = table.next;
  table.next += 4;
  table.keys.emplace(value, ref);
  return reinterpret_cast<HKEY>(value);
}

bool RemoveKey(HKEY handle) {
  KeyTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.keys.erase(reinterpret_cast<uintptr_t>(handle)) == 1;
}

bool FindKey(HKEY handle, KeyRef* ref) {
  if (handle == HKEY_LOCAL_MACHINE || handle == HKEY_CURRENT_USER) {
    *ref = KeyRef{handle == HKEY_LOCAL_MACHINE ? HiveId::Machine : HiveId::User, kRootKey, KEY_ALL_ACCESS, 0};
    return true;
  }
  if (handle == HKEY_CLASSES_ROOT) {
    *ref = KeyRef{HiveId::Machine, kClassesRoot, KEY_ALL_ACCESS, 0};
    return true;
  }
  KeyTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const auto found = table.keys.find(reinterpret_cast<uintptr_t>(handle));
  if (found == table.keys.end()) return false;
  *ref = found->second;
  return true;
}

}  // namespace xtb::reg
