// The German texts of the key container class, in code page 1252 like every
// text the library hands out.
#pragma once

namespace xtb::crypto {

constexpr const char* kOpenFailed = "Fehler beim \xD6" "ffnen der Datei:\n";
constexpr const char* kCreateFailed = "Fehler beim Erzeugen der Datei:\n";
constexpr const char* kLoadFailed = "Fehler beim Laden der Datei:\n";
constexpr const char* kSaveFailed = "Fehler beim Speichern der Datei:\n";
constexpr const char* kPasswordLength = "Das Kennwort muss genau 32 Zeichen lang sein!";

}  // namespace xtb::crypto
