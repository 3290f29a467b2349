#include "message_text.h"

#include <string>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>

#include "os/system_text.h"

namespace xtb {
namespace {

// The system's text for the errno value of the same failure as `number`,
// ending in CR LF as the system's message texts do.
bool SystemText(DWORD number, CString& text) {
  const int error = ErrnoFromWinError(number);
  std::string message;
  if ((error == 0 && number != ERROR_SUCCESS) || !os::SystemErrorText(error, message)) return false;
  text = CString(std::move(message) + "\r\n");
  return true;
}

}  // namespace

bool FindMessageText(HMODULE module, bool searchModule, bool searchSystem, DWORD number, CString& text) {
  const DWORD lastError = GetLastError();
  const bool found = (searchModule && XTFindModuleMessage(module, number, text)) ||
                     (searchSystem && SystemText(number, text));
  SetLastError(lastError);
  return found;
}

}  // namespace xtb
