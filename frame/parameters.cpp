// The registry parameter functions and the ActiveX colours.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/winlong.h>
#include <xtbasis/sysbase.h>

#include "regvalue.h"

namespace {

constexpr DWORD kFirstBufferSize = 256;

// One value as text; false when it is missing or of another type.
bool ReadParameter(HKEY key, const char* name, std::string& buffer, CString& value) {
  DWORD type = REG_NONE;
  if (xtb::QueryRegValue(key, name, static_cast<DWORD>(std::max<size_t>(buffer.capacity(), kFirstBufferSize)), type,
                         buffer) != ERROR_SUCCESS)
    return false;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    value = CString(xtb::RegText(buffer));
    return true;
  }
  if (type == REG_DWORD && buffer.size() >= sizeof(DWORD)) {
    int32_t number = 0;
    std::memcpy(&number, buffer.data(), sizeof number);
    value.Format("%ld", static_cast<long>(number));
    return true;
  }
  return false;
}

// Runs `read`, turning the platform's exceptions and a failed allocation into `failed`.
template <typename Result, typename Read>
Result Guarded(Result failed, Read read) {
  try {
    return read();
  } catch (CException* e) {
    e->Delete();
  } catch (const std::bad_alloc&) {
  }
  return failed;
}

bool WriteValue(HKEY key, const CString& name, DWORD type, const void* data, DWORD size) {
  return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

unsigned long ActiveXColor(const char* name, unsigned long fallback) {
  CString text;
  if (!GetXTActiveXParameter(name, text)) return fallback;
  text.Replace("$", "0x");
  const unsigned long number = xtb::winlong::StrToUL(text, nullptr, 0);
  return (number & 0xFFFFFFul) | 0x2000000ul;
}

}  // namespace

bool GetXTParameter(HKEY key, const CString& name, CString& value) {
  return Guarded(false, [&] {
    std::string buffer;
    return ReadParameter(key, name, buffer, value);
  });
}

int GetXTParameters(HKEY key, int count, const char* const* names, CString* values) {
  return Guarded(0, [&] {
    std::string buffer;
    int read = 0;
    for (int i = 0; i < count; ++i)
      if (ReadParameter(key, names[i], buffer, values[i])) ++read;
    return read;
  });
}

bool SetXTParameterS(HKEY key, const CString& name, const CString& value) {
  return WriteValue(key, name, REG_SZ, value.GetString(), static_cast<DWORD>(value.GetLength() + 1));
}

bool SetXTParameterI(HKEY key, const CString& name, const DWORD& value) {
  return WriteValue(key, name, REG_DWORD, &value, sizeof value);
}

bool GetXTActiveXParameter(const CString& name, CString& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, XT_ACTIVEX_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool read = GetXTParameter(key, name, value);
  RegCloseKey(key);
  return read;
}

bool SetXTActiveXParameter(const CString& name, const CString& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, XT_ACTIVEX_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const bool written = SetXTParameterS(key, name, value);
  RegCloseKey(key);
  return written;
}

unsigned long GetXTDialogColor(void) { return ActiveXColor("DialogColor", XT_DEFAULT_DIALOG_COLOR); }
unsigned long GetXTBackColor(void) { return ActiveXColor("BackColor", XT_DEFAULT_BACK_COLOR); }
unsigned long GetXTLabelColor(void) { return ActiveXColor("LabelColor", XT_DEFAULT_LABEL_COLOR); }
