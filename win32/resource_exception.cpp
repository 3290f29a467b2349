// The exception of a resource that could not be made.
#include <xtbasis/win32/mfc_object.h>

BOOL CResourceException::GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext) const {
  return CopyMessage("Eine ben\xF6tigte Ressource ist nicht verf\xFCgbar.", buffer, maxLength, helpContext);
}

void AfxThrowResourceException() { throw new CResourceException; }
