#include <xtbasis/win32/registry_key.h>

#include <cstring>
#include <string>

namespace {

bool IsOneOf(DWORD type, DWORD accepted, DWORD alsoAccepted) { return type == accepted || type == alsoAccepted; }

// Bytes of a list of strings: up to and with the empty string that ends it.
ULONG MultiStringBytes(LPCSTR list) {
  const char* at = list;
  while (*at != '\0') at += std::strlen(at) + 1;
  return static_cast<ULONG>(at - list + 1);
}

}  // namespace

CRegKey& CRegKey::operator=(CRegKey& other) {
  if (&other != this) Attach(other.Detach());
  return *this;
}

CRegKey::~CRegKey() { Close(); }

LONG CRegKey::Create(HKEY parent, LPCSTR keyName, LPSTR keyClass, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, LPDWORD disposition) {
  HKEY key = nullptr;
  const LONG rc =
      RegCreateKeyExA(parent, keyName, 0, keyClass, options, access | m_samWOW64, security, &key, disposition);
  if (rc == ERROR_SUCCESS) Attach(key);
  return rc;
}

LONG CRegKey::Open(HKEY parent, LPCSTR keyName, REGSAM access) {
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExA(parent, keyName, 0, access | m_samWOW64, &key);
  if (rc == ERROR_SUCCESS) Attach(key);
  return rc;
}

LONG CRegKey::Close() {
  if (m_hKey == nullptr) return ERROR_SUCCESS;
  const LONG rc = RegCloseKey(m_hKey);
  m_hKey = nullptr;
  m_samWOW64 = 0;
  return rc;
}

LONG CRegKey::Flush() { return m_hKey != nullptr ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

void CRegKey::Attach(HKEY key) {
  if (key == m_hKey) return;
  Close();
  m_hKey = key;
}

HKEY CRegKey::Detach() {
  HKEY key = m_hKey;
  m_hKey = nullptr;
  m_samWOW64 = 0;
  return key;
}

LONG CRegKey::QueryValue(LPCSTR valueName, DWORD* type, void* data, ULONG* bytes) {
  return RegQueryValueExA(m_hKey, valueName, nullptr, type, static_cast<LPBYTE>(data), bytes);
}

LONG CRegKey::QueryTyped(LPCSTR valueName, DWORD accepted, DWORD alsoAccepted, void* data, ULONG* bytes) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(m_hKey, valueName, nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  if (!IsOneOf(type, accepted, alsoAccepted)) return ERROR_INVALID_DATA;
  return RegQueryValueExA(m_hKey, valueName, nullptr, &type, static_cast<LPBYTE>(data), bytes);
}

LONG CRegKey::QueryText(LPCSTR valueName, DWORD accepted, DWORD alsoAccepted, LPSTR value, ULONG* chars) {
  if (chars == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(m_hKey, valueName, nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  if (!IsOneOf(type, accepted, alsoAccepted)) return ERROR_INVALID_DATA;
  std::string text(size, '\0');
  rc = RegQueryValueExA(m_hKey, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(text.data()), &size);
  if (rc != ERROR_SUCCESS) return rc;
  text.resize(size);
  if (type == REG_MULTI_SZ) {
    // A list must end with its empty string; a cut one is not guessed at.
    if (text.size() < 2 || text.compare(text.size() - 2, 2, std::string(2, '\0')) != 0) return ERROR_INVALID_DATA;
  } else if (text.empty() || text.back() != '\0') {
    text.push_back('\0');  // stored without its NUL: the caller still gets a C string
  }
  const ULONG needed = static_cast<ULONG>(text.size());
  if (value != nullptr && *chars < needed) rc = ERROR_MORE_DATA;
  if (value != nullptr && rc == ERROR_SUCCESS) std::memcpy(value, text.data(), needed);
  *chars = needed;
  return rc;
}

LONG CRegKey::QueryStringValue(LPCSTR valueName, LPSTR value, ULONG* chars) {
  return QueryText(valueName, REG_SZ, REG_EXPAND_SZ, value, chars);
}

LONG CRegKey::QueryMultiStringValue(LPCSTR valueName, LPSTR value, ULONG* chars) {
  return QueryText(valueName, REG_MULTI_SZ, REG_MULTI_SZ, value, chars);
}

LONG CRegKey::QueryFixed(LPCSTR valueName, DWORD type, void* value, ULONG size) {
  ULONGLONG read = 0;
  ULONG bytes = size;
  const LONG rc = QueryTyped(valueName, type, type, &read, &bytes);
  if (rc != ERROR_SUCCESS) return rc;
  if (bytes != size) return ERROR_INVALID_DATA;
  std::memcpy(value, &read, size);
  return ERROR_SUCCESS;
}

LONG CRegKey::QueryDWORDValue(LPCSTR valueName, DWORD& value) {
  return QueryFixed(valueName, REG_DWORD, &value, sizeof value);
}

LONG CRegKey::QueryQWORDValue(LPCSTR valueName, ULONGLONG& value) {
  return QueryFixed(valueName, REG_QWORD, &value, sizeof value);
}

LONG CRegKey::QueryBinaryValue(LPCSTR valueName, void* value, ULONG* bytes) {
  return QueryTyped(valueName, REG_BINARY, REG_BINARY, value, bytes);
}

LONG CRegKey::QueryValue(DWORD& value, LPCSTR valueName) { return QueryDWORDValue(valueName, value); }

LONG CRegKey::QueryValue(LPSTR value, LPCSTR valueName, DWORD* chars) {
  return QueryText(valueName, REG_SZ, REG_EXPAND_SZ, value, chars);
}

LONG CRegKey::SetValue(LPCSTR valueName, DWORD type, const void* data, ULONG bytes) {
  return RegSetValueExA(m_hKey, valueName, 0, type, static_cast<const BYTE*>(data), bytes);
}

LONG CRegKey::SetStringValue(LPCSTR valueName, LPCSTR value, DWORD type) {
  if (value == nullptr || (type != REG_SZ && type != REG_EXPAND_SZ)) return ERROR_INVALID_PARAMETER;
  return SetValue(valueName, type, value, static_cast<ULONG>(std::strlen(value) + 1));
}

LONG CRegKey::SetMultiStringValue(LPCSTR valueName, LPCSTR value) {
  if (value == nullptr) return ERROR_INVALID_PARAMETER;
  return SetValue(valueName, REG_MULTI_SZ, value, MultiStringBytes(value));
}

LONG CRegKey::SetDWORDValue(LPCSTR valueName, DWORD value) {
  return SetValue(valueName, REG_DWORD, &value, sizeof value);
}

LONG CRegKey::SetQWORDValue(LPCSTR valueName, ULONGLONG value) {
  return SetValue(valueName, REG_QWORD, &value, sizeof value);
}

LONG CRegKey::SetBinaryValue(LPCSTR valueName, const void* value, ULONG bytes) {
  if (value == nullptr && bytes > 0) return ERROR_INVALID_PARAMETER;
  return SetValue(valueName, REG_BINARY, value, bytes);
}

LONG CRegKey::SetValue(DWORD value, LPCSTR valueName) { return SetDWORDValue(valueName, value); }

LONG CRegKey::SetValue(LPCSTR value, LPCSTR valueName, bool multi, int length) {
  if (value == nullptr) return ERROR_INVALID_PARAMETER;
  if (multi) return SetMultiStringValue(valueName, value);
  if (length < 0) return SetStringValue(valueName, value);
  // `length` characters, stored with a NUL of their own.
  std::string text(value, static_cast<size_t>(length));
  return SetValue(valueName, REG_SZ, text.c_str(), static_cast<ULONG>(text.size() + 1));
}

LONG CRegKey::SetValue(HKEY parent, LPCSTR keyName, LPCSTR value, LPCSTR valueName) {
  if (keyName == nullptr || value == nullptr) return ERROR_INVALID_PARAMETER;
  CRegKey key;
  const LONG rc = key.Create(parent, keyName);
  return rc == ERROR_SUCCESS ? key.SetStringValue(valueName, value) : rc;
}

LONG CRegKey::SetKeyValue(LPCSTR keyName, LPCSTR value, LPCSTR valueName) {
  return SetValue(m_hKey, keyName, value, valueName);
}

LONG CRegKey::DeleteValue(LPCSTR valueName) { return RegDeleteValueA(m_hKey, valueName); }

LONG CRegKey::DeleteSubKey(LPCSTR subKey) { return RegDeleteKeyA(m_hKey, subKey); }

LONG CRegKey::RecurseDeleteKey(LPCSTR subKey) {
  if (subKey == nullptr || *subKey == '\0') return ERROR_INVALID_PARAMETER;
  return RegDeleteTreeA(m_hKey, subKey);
}

LONG CRegKey::EnumKey(DWORD index, LPSTR name, LPDWORD nameLength, FILETIME* lastWriteTime) {
  return RegEnumKeyExA(m_hKey, index, name, nameLength, nullptr, nullptr, nullptr, lastWriteTime);
}
