#include "resulttext.h"

#include <xtbasis/errortext.h>
#include <xtbasis/platform/com.h>
#include <xtbasis/trace.h>

namespace xtb::xml {
namespace {

struct Known {
  HRESULT code;
  const char* text;  // code page 1252
};

constexpr Known kTexts[] = {
    {S_OK, "Der Vorgang wurde erfolgreich beendet."},
    {S_FALSE, "Falsche Funktion."},
    {E_NOTIMPL, "Nicht implementiert"},
    {E_NOINTERFACE, "Schnittstelle nicht unterst\xFCtzt"},
    {E_POINTER, "Ung\xFCltiger Zeiger"},
    {E_ABORT, "Vorgang abgebrochen"},
    {E_FAIL, "Unbekannter Fehler"},
    {E_UNEXPECTED, "Katastrophaler Fehler"},
    {E_OUTOFMEMORY, "Nicht gen\xFCgend Speicher verf\xFC" "gbar, um diesen Vorgang abzuschlie\xDF" "en."},
    {E_INVALIDARG, "Falscher Parameter."},
};

}  // namespace

bool ResultText(HRESULT result, CString& text) {
  for (const Known& known : kTexts) {
    if (known.code == result) {
      text = CString(known.text) + "\r\n";
      return true;
    }
  }
  if (result <= 0 || result >= 0x10000) return false;
  // A system error number from a failed file write.
  const CString fallback = [&] {
    CString f;
    f.Format("Fehler Nr. %d", static_cast<int>(result));
    return f;
  }();
  text = GetLastErrorString(nullptr, static_cast<DWORD>(result));
  if (text == fallback) return false;
  text += "\r\n";
  return true;
}

}  // namespace xtb::xml
