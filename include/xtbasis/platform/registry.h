// The registry: two hives in SQLite databases (machine and user) behind the
// Reg*A calls with Windows semantics. HKEY_CLASSES_ROOT is the machine
// hive's SOFTWARE\Classes; HKEY_USERS is empty and cannot be written.
//
// Files: the machine hive is /var/lib/xtbasis/machine.db, the user hive
// $XDG_DATA_HOME/xtbasis/user.db (~/.local/share by default). The variable
// XTBASIS_REGISTRY_DIR puts both (machine.db, user.db) into one folder. A
// hive that this process cannot write is read as it is (or as empty when it
// does not exist) and writes to it fail with ERROR_ACCESS_DENIED.
//
// Names of keys and values are code page 1252 and match without case (the
// case of the first creation is kept); '\' separates the keys of a path.
// Subkeys enumerate in name order, values in the order of their creation.
// Data are stored as given: string values keep exactly the terminating NULs
// that the caller counted into the size. Access rights asked for at open are
// enforced as on Windows (KEY_SET_VALUE to write values and so on).
// Deviation: on ERROR_MORE_DATA the Enum calls also store the length that the
// name needs (without its NUL) in the name-length argument.
#pragma once

#include <string>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

typedef DWORD REGSAM;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
typedef FILETIME* PFILETIME;
typedef FILETIME* LPFILETIME;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000))))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000001))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002))))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000003))))

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_DWORD_LITTLE_ENDIAN 4u
#define REG_DWORD_BIG_ENDIAN 5u
#define REG_LINK 6u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u
#define REG_QWORD_LITTLE_ENDIAN 11u

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_WOW64_64KEY 0x0100u
#define KEY_WOW64_32KEY 0x0200u
#define KEY_READ 0x00020019u
#define KEY_WRITE 0x00020006u
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0x000F003Fu

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define MAXIMUM_ALLOWED 0x02000000u

#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_OPTION_VOLATILE 0x00000001u
#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u

XTBASIS_C_API LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
XTBASIS_C_API LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                                   LPDWORD disposition);
XTBASIS_C_API LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                    LPDWORD dataSize);
XTBASIS_C_API LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                                  DWORD dataSize);
XTBASIS_C_API LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
XTBASIS_C_API LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
XTBASIS_C_API LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved,
                                 LPSTR keyClass, LPDWORD classLength, PFILETIME lastWriteTime);
XTBASIS_C_API LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength,
                                 LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
XTBASIS_C_API LONG RegCloseKey(HKEY key);
XTBASIS_C_API LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                                    LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                                    LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                                    LPDWORD securityDescriptorSize, PFILETIME lastWriteTime);
// Deletes subKey with everything below it; with a null or empty subKey the
// subkeys and values of `key` itself (refused for the predefined roots).
XTBASIS_C_API LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);

namespace xtb {

// The database file behind a predefined root as the environment names it now
// (empty for HKEY_USERS and for other handles).
XTBASIS_API std::string RegistryHivePath(HKEY root);
// Closes this process's connections to both hives; the next call reopens.
// Open keys stay valid while the hive files are the same.
XTBASIS_API void CloseRegistryHives();

}  // namespace xtb
