#include "provider_errors.h"

#include <mutex>

#include <xtbasis/crypt.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>

namespace xtb::crypto {

namespace {

constexpr XTResourceText kMessages[] = {
    {NTE_BAD_UID, "Ungültige Kennung des Anbieters."},
    {NTE_BAD_KEY, "Ungültiger Schlüssel."},
    {NTE_BAD_LEN, "Ungültige Länge."},
    {NTE_BAD_DATA, "Ungültige Daten."},
    {NTE_BAD_SIGNATURE, "Ungültige Signatur."},
    {NTE_BAD_VER, "Ungültige Version des Anbieters."},
    {NTE_BAD_ALGID, "Ungültiger Algorithmus angegeben."},
    {NTE_BAD_FLAGS, "Ungültige Flags angegeben."},
    {NTE_BAD_TYPE, "Ungültiger Typ angegeben."},
    {NTE_BAD_KEY_STATE, "Der Schlüssel ist im angegebenen Status nicht gültig."},
    {NTE_NO_KEY, "Der Schlüssel ist nicht vorhanden."},
    {NTE_EXISTS, "Das Objekt ist bereits vorhanden."},
    {NTE_BAD_KEYSET, "Der Schlüsselsatz ist nicht vorhanden."},
    {NTE_FAIL, "Interner Fehler."},
    {0x80092004u, "Das Objekt oder die Eigenschaft wurde nicht gefunden."},
};

}  // namespace

bool Fail(DWORD code) {
  SetLastError(code);
  return false;
}

void RegisterProviderMessages() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Another part of the program may have registered the name already;
    // its texts then stand.
    const DWORD saved = GetLastError();
    XTRegisterModule({"advapi32.dll", nullptr, 0, kMessages, sizeof kMessages / sizeof kMessages[0]});
    SetLastError(saved);
  });
}

}  // namespace xtb::crypto
