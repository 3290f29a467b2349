// GetErrorMessage and GetLastErrorString.
#include <vector>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/errortext.h>

#include "message_text.h"

namespace {

constexpr UINT kMessageBuffer = 100000;

}  // namespace

CString GetErrorMessage(CException* e) {
  if (!e) return CString();
  std::vector<char> buffer(kMessageBuffer, '\0');
  e->GetErrorMessage(buffer.data(), kMessageBuffer, nullptr);
  buffer.back() = '\0';
  return CString(buffer.data());
}

CString GetLastErrorString(const char* moduleName, DWORD errorNumber) {
  const DWORD lastError = GetLastError();
  if (errorNumber == 0xFFFFFFFFu) errorNumber = lastError;
  CString text;
  HMODULE module = moduleName ? GetModuleHandleA(moduleName) : nullptr;
  if (!xtb::FindMessageText(module, module != nullptr, true, errorNumber, text)) text.Format(errorNumber < 0x10000 ? "Fehler Nr. %d" : "Fehler Nr. 0x%08x", errorNumber);
  SetLastError(lastError);
  return text;
}
