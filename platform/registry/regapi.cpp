// The Reg*A calls: argument rules and handles here, storage in store.cpp.
#include <xtbasis/platform/registry.h>

#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "keytable.h"
#include "store.h"

using namespace xtb::reg;

namespace {

enum class Use { Read, Write };

// Runs one call; store failures become their Windows error numbers.
template <class Body>
LONG Guarded(Body&& body) {
  try {
    return body();
  } catch (const StoreError& error) {
    return error.code;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

REGSAM EffectiveAccess(REGSAM access) {
  if (access & (GENERIC_ALL | MAXIMUM_ALLOWED)) access |= KEY_ALL_ACCESS;
  if (access & (GENERIC_READ | GENERIC_EXECUTE)) access |= KEY_READ;
  if (access & GENERIC_WRITE) access |= KEY_WRITE;
  return access;
}

// The handle's key; HKEY_USERS is an empty root that cannot be written.
LONG Resolve(HKEY handle, Use use, KeyRef* ref) {
  if (handle == HKEY_USERS) return use == Use::Write ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
  return FindKey(handle, ref) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG NeedAccess(const KeyRef& ref, REGSAM right) {
  return (ref.access & right) == right ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

const std::vector<std::string_view>& ClassesPath() {
  static const std::vector<std::string_view> path = {"SOFTWARE", "Classes"};
  return path;
}

// The key id of a reference in this session; 0 when HKEY_CLASSES_ROOT has
// no key yet and `create` is false.
int64_t KeyOf(Session& s, const KeyRef& ref, bool create) {
  if (ref.generation != 0 && ref.generation != s.Generation()) throw StoreError{ERROR_KEY_DELETED};
  if (ref.key != kClassesRoot) return ref.key;
  if (!create) return FindPath(s, kRootKey, ClassesPath());
  bool created = false;
  return CreatePath(s, kRootKey, ClassesPath(), &created);
}

// For a lookup that found nothing under `key`: missing, or the key itself is gone.
LONG NotFound(Session& s, int64_t key, LONG missing) {
  return key == kRootKey || KeyExists(s, key) ? missing : ERROR_KEY_DELETED;
}

bool IsRoot(const KeyRef& ref) { return ref.generation == 0; }

std::string_view ValueName(LPCSTR name) { return name ? std::string_view(name) : std::string_view(); }

// Copies a name with its NUL into a buffer of *length characters.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD length) {
  if (name.size() + 1 > *length) {
    *length = static_cast<DWORD>(name.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.data(), name.size());
  buffer[name.size()] = '\0';
  *length = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// The ERROR_MORE_DATA protocol: no buffer asks for the size only.
LONG CopyData(const std::string& data, LPBYTE buffer, LPDWORD size) {
  if (buffer && *size < data.size()) {
    *size = static_cast<DWORD>(data.size());
    return ERROR_MORE_DATA;
  }
  if (buffer) std::memcpy(buffer, data.data(), data.size());
  if (size) *size = static_cast<DWORD>(data.size());
  return ERROR_SUCCESS;
}

void SetFileTime(int64_t fileTime, PFILETIME out) {
  if (!out) return;
  out->dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(fileTime) & 0xFFFFFFFFu);
  out->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(fileTime) >> 32);
}

void ClearClass(LPSTR keyClass, LPDWORD classLength) {
  if (!classLength) return;
  if (keyClass && *classLength > 0) keyClass[0] = '\0';
  *classLength = 0;
}

// Resolves a handle, checks the right it needs and runs `body` on its hive.
template <class Body>
LONG OnKey(HKEY handle, Use use, REGSAM right, Body&& body) {
  KeyRef ref;
  if (const LONG rc = Resolve(handle, use, &ref)) return rc;
  if (const LONG rc = NeedAccess(ref, right)) return rc;
  return Guarded([&]() -> LONG {
    Session s(ref.hive);
    return body(s, ref);
  });
}

LONG OpenOrCreate(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition, bool create) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::vector<std::string_view> segments;
  if (!SplitKeyPath(subKey ? subKey : "", segments)) return ERROR_BAD_PATHNAME;
  KeyRef ref;
  if (const LONG rc = Resolve(key, create ? Use::Write : Use::Read, &ref)) return rc;
  return Guarded([&]() -> LONG {
    Session s(ref.hive);
    const int64_t base = KeyOf(s, ref, false);
    int64_t found = base == 0 ? 0 : FindPath(s, base, segments);
    if (found != 0 && segments.empty() && !IsRoot(ref) && !KeyExists(s, found)) return ERROR_KEY_DELETED;
    DWORD how = REG_OPENED_EXISTING_KEY;
    if (found == 0) {
      if (!create) return base == 0 ? ERROR_FILE_NOT_FOUND : NotFound(s, base, ERROR_FILE_NOT_FOUND);
      if (const LONG rc = NeedAccess(ref, KEY_CREATE_SUB_KEY)) return rc;
      WriteTransaction tx(s);
      bool created = false;
      found = CreatePath(s, KeyOf(s, ref, true), segments, &created);
      tx.Commit();
      if (created) how = REG_CREATED_NEW_KEY;
    }
    if (disposition) *disposition = how;
    *result = AddKey(KeyRef{ref.hive, found, EffectiveAccess(access), s.Generation()});
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  return OpenOrCreate(key, subKey, access, result, nullptr, false);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition) {
  return OpenOrCreate(key, subKey, access, result, disposition, true);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  return OnKey(key, Use::Read, KEY_QUERY_VALUE, [&](Session& s, const KeyRef& ref) -> LONG {
    const int64_t id = KeyOf(s, ref, false);
    ValueEntry value;
    if (id == 0) return ERROR_FILE_NOT_FOUND;
    if (!GetValue(s, id, ValueName(valueName), &value)) return NotFound(s, id, ERROR_FILE_NOT_FOUND);
    if (type) *type = value.type;
    return CopyData(value.data, data, dataSize);
  });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize > 0) return ERROR_INVALID_PARAMETER;
  const std::string_view name = ValueName(valueName);
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  return OnKey(key, Use::Write, KEY_SET_VALUE, [&](Session& s, const KeyRef& ref) -> LONG {
    WriteTransaction tx(s);
    SetValue(s, KeyOf(s, ref, true), name,
             type, std::string_view(reinterpret_cast<const char*>(data), data ? dataSize : 0));
    tx.Commit();
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
  return OnKey(key, Use::Write, KEY_SET_VALUE, [&](Session& s, const KeyRef& ref) -> LONG {
    WriteTransaction tx(s);
    const int64_t id = KeyOf(s, ref, false);
    if (id == 0) return ERROR_FILE_NOT_FOUND;
    if (!DeleteValue(s, id, ValueName(valueName))) return NotFound(s, id, ERROR_FILE_NOT_FOUND);
    tx.Commit();
    return ERROR_SUCCESS;
  });
}

namespace {

// RegDeleteKeyA and RegDeleteTreeA: find the key below `key`, then `remove`.
template <class Remove>
LONG DeleteBelow(HKEY key, LPCSTR subKey, Remove&& remove) {
  std::vector<std::string_view> segments;
  if (!SplitKeyPath(subKey ? subKey : "", segments)) return ERROR_BAD_PATHNAME;
  KeyRef ref;
  if (const LONG rc = Resolve(key, Use::Write, &ref)) return rc;
  if (segments.empty() && IsRoot(ref)) return ERROR_ACCESS_DENIED;
  return Guarded([&]() -> LONG {
    Session s(ref.hive);
    WriteTransaction tx(s);
    const int64_t base = KeyOf(s, ref, false);
    const int64_t id = base == 0 ? 0 : FindPath(s, base, segments);
    if (id == 0) return base == 0 ? ERROR_FILE_NOT_FOUND : NotFound(s, base, ERROR_FILE_NOT_FOUND);
    if (segments.empty() && !KeyExists(s, id)) return ERROR_KEY_DELETED;
    if (const LONG rc = remove(s, id, segments.empty())) return rc;
    tx.Commit();
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  // As on Windows: a key with subkeys stays (RegDeleteTreeA removes those).
  return DeleteBelow(key, subKey, [](Session& s, int64_t id, bool) -> LONG {
    if (HasChildren(s, id)) return ERROR_ACCESS_DENIED;
    DeleteKeyRow(s, id);
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey) {
  return DeleteBelow(key, subKey, [](Session& s, int64_t id, bool itself) -> LONG {
    if (itself) DeleteContents(s, id);
    else DeleteKeyRow(s, id);
    return ERROR_SUCCESS;
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR keyClass,
                   LPDWORD classLength, PFILETIME lastWriteTime) {
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  return OnKey(key, Use::Read, KEY_ENUMERATE_SUB_KEYS, [&](Session& s, const KeyRef& ref) -> LONG {
    const int64_t id = KeyOf(s, ref, false);
    std::string child;
    int64_t written = 0;
    if (id == 0) return ERROR_NO_MORE_ITEMS;
    if (!ChildAt(s, id, index, &child, &written)) return NotFound(s, id, ERROR_NO_MORE_ITEMS);
    if (const LONG rc = CopyName(child, name, nameLength)) return rc;
    ClearClass(keyClass, classLength);
    SetFileTime(written, lastWriteTime);
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize) {
  if (!valueName || !valueNameLength || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return OnKey(key, Use::Read, KEY_QUERY_VALUE, [&](Session& s, const KeyRef& ref) -> LONG {
    const int64_t id = KeyOf(s, ref, false);
    ValueEntry value;
    if (id == 0) return ERROR_NO_MORE_ITEMS;
    if (!ValueAt(s, id, index, &value)) return NotFound(s, id, ERROR_NO_MORE_ITEMS);
    if (const LONG rc = CopyName(value.name, valueName, valueNameLength)) return rc;
    if (type) *type = value.type;
    return CopyData(value.data, data, dataSize);
  });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptorSize,
                      PFILETIME lastWriteTime) {
  return OnKey(key, Use::Read, KEY_QUERY_VALUE, [&](Session& s, const KeyRef& ref) -> LONG {
    const int64_t id = KeyOf(s, ref, false);
    KeyInfo info;
    if (id != 0 && !GetKeyInfo(s, id, &info)) return ERROR_KEY_DELETED;
    auto put = [](LPDWORD out, int64_t value) {
      if (out) *out = static_cast<DWORD>(value);
    };
    ClearClass(keyClass, classLength);
    put(subKeys, info.subKeys);
    put(maxSubKeyLength, info.maxSubKeyLength);
    put(maxClassLength, 0);
    put(values, info.values);
    put(maxValueNameLength, info.maxValueNameLength);
    put(maxValueLength, info.maxValueLength);
    put(securityDescriptorSize, 0);
    SetFileTime(info.written, lastWriteTime);
    return ERROR_SUCCESS;
  });
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT || key == HKEY_USERS)
    return ERROR_SUCCESS;
  return RemoveKey(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace xtb {

std::string RegistryHivePath(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT) return reg::HivePath(HiveId::Machine);
  if (root == HKEY_CURRENT_USER) return reg::HivePath(HiveId::User);
  return std::string();
}

void CloseRegistryHives() { reg::CloseHives(); }

}  // namespace xtb
