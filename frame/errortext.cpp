// GetErrorMessage and GetLastErrorString.
#include <string>
#include <vector>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/errortext.h>

#include "os/system_text.h"

namespace {

constexpr UINT kMessageBuffer = 100000;

// The system's text for the errno value of the same failure as `number`,
// in the language of the process locale, ending in CR LF as the system's
// message texts do.
bool SystemText(DWORD number, CString& text) {
  const int error = xtb::ErrnoFromWinError(number);
  std::string message;
  if ((error == 0 && number != ERROR_SUCCESS) || !xtb::os::SystemErrorText(error, message)) return false;
  text = CString(std::move(message) + "\r\n");
  return true;
}

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
  const bool found = (module && XTFindModuleMessage(module, errorNumber, text)) || SystemText(errorNumber, text);
  if (!found) text.Format(errorNumber < 0x10000 ? "Fehler Nr. %d" : "Fehler Nr. 0x%08x", errorNumber);
  SetLastError(lastError);
  return text;
}
