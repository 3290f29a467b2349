// ATL's registry key class CRegKey, on the library's registry store.
//
// A CRegKey owns the key in m_hKey and closes it when it goes. Every call
// returns the Windows error code as LONG (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND,
// ERROR_MORE_DATA ...), as the Reg*A calls give it. Sizes follow ATL:
// QueryStringValue and QueryMultiStringValue count characters including the
// terminating NULs, QueryBinaryValue bytes; when the buffer is too small the
// call answers ERROR_MORE_DATA with the size needed. A value of another type
// than the call reads is ERROR_INVALID_DATA.
//
// Differences from ATL: Attach closes a key the object still holds (ATL
// asserts there is none); Flush has nothing to do, since the store has made
// every change durable when the call that made it returns; m_samWOW64 is
// kept and added to the rights asked for, and the store has one view only.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>

class XTBASIS_API CRegKey {
 public:
  CRegKey() = default;
  // Takes over `key` (closed by this object).
  explicit CRegKey(HKEY key) : m_hKey(key) {}
  // The copy forms hand the key over, as ATL's do: `other` is left empty.
  CRegKey(CRegKey& other) : m_hKey(other.Detach()) {}
  CRegKey(CRegKey&& other) : m_hKey(other.Detach()) {}
  CRegKey& operator=(CRegKey& other);
  CRegKey& operator=(CRegKey&& other) { return *this = other; }
  ~CRegKey();

  operator HKEY() const { return m_hKey; }

  // Create opens the key, creating it if missing; both close the key held
  // before, but only once the new one is open.
  LONG Create(HKEY parent, LPCSTR keyName, LPSTR keyClass = nullptr, DWORD options = REG_OPTION_NON_VOLATILE,
              REGSAM access = KEY_READ | KEY_WRITE, LPSECURITY_ATTRIBUTES security = nullptr,
              LPDWORD disposition = nullptr);
  LONG Open(HKEY parent, LPCSTR keyName, REGSAM access = KEY_READ | KEY_WRITE);
  LONG Close();
  LONG Flush();
  void Attach(HKEY key);
  HKEY Detach();

  LONG QueryValue(LPCSTR valueName, DWORD* type, void* data, ULONG* bytes);
  LONG QueryStringValue(LPCSTR valueName, LPSTR value, ULONG* chars);
  LONG QueryMultiStringValue(LPCSTR valueName, LPSTR value, ULONG* chars);
  LONG QueryDWORDValue(LPCSTR valueName, DWORD& value);
  LONG QueryQWORDValue(LPCSTR valueName, ULONGLONG& value);
  LONG QueryBinaryValue(LPCSTR valueName, void* value, ULONG* bytes);
  // The older forms: a DWORD, or a string with its size in characters
  // including the NUL.
  LONG QueryValue(DWORD& value, LPCSTR valueName);
  LONG QueryValue(LPSTR value, LPCSTR valueName, DWORD* chars);

  LONG SetValue(LPCSTR valueName, DWORD type, const void* data, ULONG bytes);
  LONG SetStringValue(LPCSTR valueName, LPCSTR value, DWORD type = REG_SZ);
  // `value` is a list of NUL-terminated strings ended by an empty one.
  LONG SetMultiStringValue(LPCSTR valueName, LPCSTR value);
  LONG SetDWORDValue(LPCSTR valueName, DWORD value);
  LONG SetQWORDValue(LPCSTR valueName, ULONGLONG value);
  LONG SetBinaryValue(LPCSTR valueName, const void* value, ULONG bytes);
  // The older forms: a DWORD; a string (a list as for SetMultiStringValue
  // when `multi`, `length` characters when not -1).
  LONG SetValue(DWORD value, LPCSTR valueName);
  LONG SetValue(LPCSTR value, LPCSTR valueName = nullptr, bool multi = false, int length = -1);
  // The string `value` under `valueName` of the key `keyName`, created below
  // `parent` (or below this key) if missing.
  static LONG SetValue(HKEY parent, LPCSTR keyName, LPCSTR value, LPCSTR valueName = nullptr);
  LONG SetKeyValue(LPCSTR keyName, LPCSTR value, LPCSTR valueName = nullptr);

  LONG DeleteValue(LPCSTR valueName);
  // Deletes a subkey that has no subkeys of its own.
  LONG DeleteSubKey(LPCSTR subKey);
  // Deletes a subkey with everything below it; a null or empty name is
  // ERROR_INVALID_PARAMETER (it would be this key's own contents).
  LONG RecurseDeleteKey(LPCSTR subKey);
  // The name of subkey `index`: *nameLength holds the buffer's size in
  // characters and receives the name's length without the NUL;
  // ERROR_NO_MORE_ITEMS past the last.
  LONG EnumKey(DWORD index, LPSTR name, LPDWORD nameLength, FILETIME* lastWriteTime = nullptr);

  HKEY m_hKey = nullptr;
  REGSAM m_samWOW64 = 0;

 private:
  // Reads a value of one of the types `accepted` (up to two) into data.
  LONG QueryTyped(LPCSTR valueName, DWORD accepted, DWORD alsoAccepted, void* data, ULONG* bytes);
  // A DWORD or QWORD: exactly `size` bytes (at most 8) of `type`.
  LONG QueryFixed(LPCSTR valueName, DWORD type, void* value, ULONG size);
  LONG QueryText(LPCSTR valueName, DWORD accepted, DWORD alsoAccepted, LPSTR value, ULONG* chars);
};
