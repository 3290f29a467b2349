// CWinApp's profile on the registry store: one key per section below
// HKEY_CURRENT_USER\Software, one value per entry.
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/winapp.h>

#include <cstring>
#include <string>

namespace {

// An open key that closes itself.
class SectionKey {
 public:
  enum Use { kRead, kRemove, kWrite };  // kWrite creates the key when missing
  SectionKey(const CString& path, Use use) {
    const bool create = use == kWrite;
    const LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                             nullptr, &m_key, nullptr)
                           : RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, use == kRead ? KEY_READ : KEY_READ | KEY_SET_VALUE, &m_key);
    if (rc != ERROR_SUCCESS) {
      m_key = nullptr;
      SetLastError(static_cast<DWORD>(rc));
    }
  }
  ~SectionKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  SectionKey(const SectionKey&) = delete;
  SectionKey& operator=(const SectionKey&) = delete;

  bool IsOpen() const { return m_key != nullptr; }

  // The value's bytes if it exists with type `wanted`.
  bool Read(LPCSTR entry, DWORD wanted, std::string& data) const {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(m_key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wanted)
      return false;
    data.resize(size);
    if (RegQueryValueExA(m_key, entry, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        type != wanted)
      return false;
    data.resize(size);
    return true;
  }

  BOOL Write(LPCSTR entry, DWORD type, const void* data, DWORD size) const {
    return Succeeded(RegSetValueExA(m_key, entry, 0, type, static_cast<const BYTE*>(data), size));
  }
  BOOL Remove(LPCSTR entry) const { return Succeeded(RegDeleteValueA(m_key, entry)); }

  static BOOL Succeeded(LONG rc) {
    if (rc == ERROR_SUCCESS) return TRUE;
    SetLastError(static_cast<DWORD>(rc));
    return FALSE;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

void CWinApp::SetRegistryKey(LPCSTR key) {
  if (key == nullptr) return;
  m_registryKey = key;
  m_pszRegistryKey = m_registryKey;
  m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT keyId) {
  CString key;
  if (key.LoadString(keyId)) SetRegistryKey(key);
}

CString CWinApp::SectionPath(LPCSTR section) const {
  CString path("Software\\");
  if (m_pszRegistryKey != nullptr) {
    path += m_pszRegistryKey;
    path += '\\';
  }
  path += m_pszProfileName;
  path += '\\';
  path += section;
  return path;
}

CString CWinApp::ReadProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) {
  std::string data;
  if (section == nullptr || entry == nullptr ||
      !SectionKey(SectionPath(section), SectionKey::kRead).Read(entry, REG_SZ, data))
    return CString(defaultValue);
  return CString(data.c_str());  // up to the stored NUL
}

UINT CWinApp::ReadProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) {
  std::string data;
  DWORD value = 0;
  if (section == nullptr || entry == nullptr ||
      !SectionKey(SectionPath(section), SectionKey::kRead).Read(entry, REG_DWORD, data) || data.size() != sizeof value)
    return static_cast<UINT>(defaultValue);
  std::memcpy(&value, data.data(), sizeof value);
  return value;
}

BOOL CWinApp::ReadProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE* data, UINT* bytes) {
  if (data == nullptr || bytes == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *data = nullptr;
  *bytes = 0;
  std::string stored;
  if (section == nullptr || entry == nullptr ||
      !SectionKey(SectionPath(section), SectionKey::kRead).Read(entry, REG_BINARY, stored))
    return FALSE;
  *data = new BYTE[stored.empty() ? 1 : stored.size()];
  std::memcpy(*data, stored.data(), stored.size());
  *bytes = static_cast<UINT>(stored.size());
  return TRUE;
}

BOOL CWinApp::StoreProfileString(LPCSTR section, LPCSTR entry, LPCSTR value) {
  if (section == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (entry == nullptr) return SectionKey::Succeeded(RegDeleteTreeA(HKEY_CURRENT_USER, SectionPath(section)));
  SectionKey key(SectionPath(section), value != nullptr ? SectionKey::kWrite : SectionKey::kRemove);
  if (value == nullptr) return key.IsOpen() && key.Remove(entry);
  return key.IsOpen() && key.Write(entry, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

BOOL CWinApp::StoreProfileInt(LPCSTR section, LPCSTR entry, int value) {
  if (section == nullptr || entry == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD stored = static_cast<DWORD>(value);
  SectionKey key(SectionPath(section), SectionKey::kWrite);
  return key.IsOpen() && key.Write(entry, REG_DWORD, &stored, sizeof stored);
}

BOOL CWinApp::StoreProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE data, UINT bytes) {
  if (section == nullptr || entry == nullptr || (data == nullptr && bytes > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SectionKey key(SectionPath(section), SectionKey::kWrite);
  return key.IsOpen() && key.Write(entry, REG_BINARY, data, bytes);
}
