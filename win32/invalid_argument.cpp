// The exception of an argument out of range.
#include <xtbasis/win32/mfc_object.h>

BOOL CInvalidArgException::GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext) const {
  return CopyMessage("Ein ung\xFCltiges Argument wurde gefunden.", buffer, maxLength, helpContext);
}

void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
