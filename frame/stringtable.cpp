// The German string table of the library, stored as UTF-8; the module record
// hands the texts out in code page 1252.
#include "stringtable.h"

// The sentence that closes every message about a database failure.
#define XTB_LOCKED_HINT                                  \
  "Wenden Sie sich bitte UMGEHEND an die Hotline!\n\n" \
  "Ein Weiterarbeiten ohne Datenverlust kann nicht gewährleistet werden, R9 wird daher jetzt gesperrt."

namespace xtb {

const XTResourceText kXTBasisStrings[] = {
    // Dialog captions and notes.
    {2, "Änderung"},
    {3, "Neuaufnahme"},
    {6, "Hinweis!"},
    {39, "Problem"},
    {44, "Folgende Eingabefelder müssen gefüllt sein:\n"},

    // Function keys.
    {128, "F12 - Speichern"},
    {129, "ESC  -  Abbrechen"},
    {130, "F1 - Hilfe"},
    {131, "F11 - Drucken"},
    {132, "F12 - Speichern und Verlassen"},
    {147, "F12 - Weiter"},
    {153, "F12 - Versenden"},
    {154, "F12 - Datenträger erstellen"},
    {155, "Um+F11 - Druckvorschau"},
    {158, "Strg+F11 - Druckmanager"},
    {2100, "Strg+Pos1 - Erste Seite"},
    {2101, "Strg+Ende - Letzte Seite"},
    {2102, "Bild runter - Nächste Seite"},
    {2103, "Bild hoch - Vorherige Seite"},
    {2104, "F9 - Vergrößern"},
    {2105, "Um+F9 - Verkleinern"},
    {2147, "F6 - Seite einrichten"},

    // Short words, buttons, progress display.
    {200, "Kopieren"},
    {201, "Gespeichert"},
    {205, "Anzeige"},
    {1024, "&Weiter"},
    {1025, "&Ja"},
    {1026, "&Nein"},
    {1027, "&Abbrechen"},
    {1028, "Start: "},
    {1029, "Jetzt: "},
    {1030, "Ende: "},
    {1032, "Arbeitsfortschritt"},

    // General results and errors.
    {2000, "Erfolgreich."},
    {2001, "Fehler aufgetreten."},
    {2002, "Unbekannter Fehler."},
    {2003, "Fehler beim Öffnen der Datei"},
    {2004, "Fehler beim Lesen der Datei"},
    {2005, "Fehler beim Umbenennen der Datei"},
    {2006, "Fehler beim Schreiben der Datei"},
    {2007, "Fehler beim Löschen der Datei"},
    {2008, "Dateiende vorzeitig erreicht"},
    {2009, "Nicht genügend Speicher"},
    {2010, "Datei nicht gefunden"},
    {2011, "Sektion nicht gefunden"},
    {2012, "Eintrag nicht gefunden"},
    {2013, "Fehler beim Löschen der Datei"},
    {2014, "Wert nicht gefunden"},
    {2015, "Datei ist schreibgeschützt"},
    {2016, "Fehler beim Lesen des Datensatzes"},
    {2017, "Fehler beim Schreiben des Datensatzes"},
    {2018, "Fehler beim Überschreiben des Datensatzes"},
    {2019, "Fehler beim Löschen des Datensatzes"},
    {2020, "Bearbeitung abgebrochen"},
    {2021, "Virtuelle Funktion. Muß überschrieben werden."},
    {2022, "Fehler beim Kopieren der Datei"},
    {2023, "Fehler beim Lesen der Registry."},
    {2024, "Fehler beim Schreiben der Registry."},
    {2025, "Fehler beim Ausführen des Programms"},

    // Printing and dispatch.
    {2108, "Ihre Daten werden für die Druckvorschau aufbereitet"},
    {2109, "Ihre Daten werden für den Druck aufbereitet"},
    {2115, "Datenträger (DTA)"},
    {2116, "ISDN (Online/DFÜ)"},
    {2117, "Rechenzentrum"},
    {2118, "_Papierzufuhr:"},
    {2119, "_Abrechnungsstufe:"},
    {2121, "Datenträger"},
    {2122, "Versand"},
    {2123, "Drucken"},
    {2124, "Druckwiederholung"},
    {2125, "Möchten Sie den Druck wiederholen ?"},
    {2126, "Die Druckereigenschaften sind derzeit nicht verfügbar.\nBitte drucken Sie in die Warteschlange."},
    {2190,
     "Mit Anhaken der Option werden alle Rechnungen mit einem Betrag von 0,00 EUR gedruckt.\n"
     "Ohne Haken werden diese Rechnungen übergangen und nur in der Rechnungsliste geführt.\n"
     "Die Einstellung gilt für alle folgenden Druckläufe."},
    {2191,
     "Mit Anhaken der Option werden Rechnungen mit einem Betrag von 0,00 EUR nur dann gedruckt,\n"
     "wenn der Patient ausdrücklich eine Rechnung wünscht.\n"
     "Alle übrigen Rechnungen ohne Betrag werden als erledigt gekennzeichnet.\n"
     "Die Einstellung gilt für alle folgenden Druckläufe."},
    {2192,
     "Mit Anhaken der Option werden Rechnungen unter einem Ratenzahlungsvertrag\n"
     "zusammen mit dem aktuellen Ratenplan gedruckt.\n"
     "Ohne Haken wird nur die Rechnung selbst gedruckt."},
    {2193,
     "Mit Anhaken der Option werden Rechnungen mit bestehendem Ratenzahlungsvertrag\n"
     "beim Sammeldruck übergangen.\n"
     "Sie werden erst gedruckt, wenn der Vertrag beendet ist,\n"
     "oder einzeln aus der Rechnungsliste heraus.\n"
     "Ohne Haken werden sie wie alle anderen Rechnungen gedruckt."},

    // Printer administration.
    {2200, "CPrinterAdmin ist nicht initialisiert."},
    {2201, "Druckername nicht gefunden."},
    {2202, "Druckerschacht nicht gefunden."},
    {2203, "Fehler beim Setzen des Standard-Windows-Druckers."},
    {2204, "Fehler beim Öffnen des Druckers."},
    {2205, "Fehler beim Lesen der Druckereigenschaften."},
    {2206, "Fehler beim Setzen der Druckereigenschaften."},
    {2207, "Fehler beim Schreiben der Registry."},
    {2208, "Der Netzwerkdrucker ist nicht bereit."},
    {2209, "(Standard-)Drucker nicht gefunden."},
    {2210, "Ungültiger devicemode."},
    {2211, "Fehler beim Setzen der DocumentProperties."},
    {2212, "Der Drucker ist nicht bereit."},
    {2213, "Der Drucker ist beschäftigt."},

    // Forms.
    {2300, "Unbekannter Formulartyp "},
    {2301, "First.sql"},
    {2341, "Ungültiger Befehlscode in der DAT-Datei"},

    // Archiving of printouts.
    {2320, "Das Archivprogramm ist auf diesem Arbeitsplatz nicht installiert.\n"
           "Ausdrucke können daher nicht archiviert werden."},
    {2321, "Anmeldung beim Archiv gescheitert."},
    {2322, "Fehler beim Laden des Archiv-Dokuments."},
    {2323, "Fehler beim Initialisieren des Archivs."},
    {2324, "Fehler bei der Ablage des Archiv-Dokuments"},
    {2325, "Automatische Archivierung"},
    {2326, "Soll eine Kopie dieses Ausdrucks im Archivprogramm abgelegt werden?"},
    {2327, "Eine Kopie des Ausdrucks wurde unter\nPat.Nr.\t $1\nName\t $2\nabgelegt"},
    {2328, "gilt für &alle Ausdrucke dieses Auftrags"},
    {2329, "&Ja"},
    {2330, "&Nein"},
    {2331, "Für die automatische Archivierung wird eine neuere Version des Archivprogramms benötigt.\n"
           "Bitte aktualisieren Sie das Archivprogramm."},

    // Report and label printing engine.
    {2400, "Der Druckauftrag konnte nicht geöffnet werden (LlOpenJob).\n"
           "Möglicherweise ist die Druckkomponente nicht richtig installiert."},
    {2401, "Es sind zu viele Druckaufträge gleichzeitig geöffnet.\n"
           "Bitte schließen Sie andere Druckvorgänge und versuchen Sie es erneut."},
    {2402, "Ungültige Nummer des Druckauftrags!\nDer Druckauftrag wurde bereits geschlossen."},
    {2403, "Die Druckkomponente ist bereits mit einem anderen Druckvorgang beschäftigt!\n"
           "Bitte warten Sie, bis dieser beendet ist."},
    {2404, "Die Druckvorlage konnte nicht geladen werden!\nDie Datei ist beschädigt oder hat ein unbekanntes Format."},
    {2405, "Die Druckvorlage ist schreibgeschützt!\nÄnderungen an der Vorlage können nicht gespeichert werden."},
    {2406, "Angebene Druckvorlage existiert nicht!"},
    {2407, "Die Druckvorlage wird gerade von einem anderen Benutzer bearbeitet!\n"
           "Bitte versuchen Sie es später noch einmal."},
    {2408, "Die Druckvorlage wurde mit einer neueren Version der Druckkomponente erstellt!\n"
           "Bitte aktualisieren Sie das Programm."},
    {2409, "Abbruch des Ausdruckes durch den Benutzer."},
    {2410, "Der Drucker meldet einen Fehler!\nBitte prüfen Sie Papier, Toner und die Verbindung zum Drucker."},
    {2411, "Der Druckertreiber konnte nicht geladen werden!\nBitte installieren Sie den Druckertreiber neu."},
    {2412, "Kein Drucker verfügbar!"},
    {2413, "Der gewählte Druckerschacht ist nicht vorhanden!\nEs wird der Standardschacht des Druckers verwendet."},
    {2414, "Das eingestellte Papierformat wird vom Drucker nicht unterstützt!\n"
           "Bitte wählen Sie in der Druckvorlage ein anderes Format."},
    {2415, "Ein Parameterfehler ist aufgetreten!"},
    {2416, "Eine Variable der Druckvorlage ist nicht definiert!\n"
           "Bitte prüfen Sie die Druckvorlage im Designer."},
    {2417, "Ein Feld der Druckvorlage ist nicht definiert!\nBitte prüfen Sie die Druckvorlage im Designer."},
    {2418, "Der Ausdruck in der Druckvorlage enthält einen Syntaxfehler (LlExprEvaluate)!\n"
           "Bitte prüfen Sie die Formel im Designer."},
    {2419, "Vorlagendatei wurde nicht gefunden !"},
    {2420, "Die Seite ist voll, der Datensatz passt nicht mehr auf die Seite!\n"
           "Der Datensatz wird auf der nächsten Seite gedruckt."},
    {2421, "Der Datensatz ist zu groß für eine Seite!\nBitte verkleinern Sie die Tabellenzeile in der Druckvorlage."},
    {2422, "Der Druck wurde noch nicht gestartet (LlPrintWithBoxStart)!\nInterner Fehler der Druckansteuerung."},
    {2423, "Der Druck wurde bereits gestartet!\nInterner Fehler der Druckansteuerung."},
    {2424, "Das Fortschrittsfenster konnte nicht angezeigt werden (LlPrintWithBoxStart)!\n"
           "Der Druck wird ohne Fortschrittsanzeige fortgesetzt."},
    {2425, "Der Text des Fortschrittsfensters konnte nicht gesetzt werden (LlPrintSetBoxText)!"},
    {2426, "Eine Option der Druckkomponente konnte nicht gesetzt werden (LlSetOption)!\n"
           "Interner Fehler der Druckansteuerung."},
    {2427, "Die Vorschaudatei konnte nicht geschrieben werden!\n"
           "Möglicherweise ist zu wenig Platz auf der Festplatte."},
    {2428, "Die Vorschaudatei konnte nicht gelesen werden!\nDie Datei ist beschädigt oder wurde gelöscht."},
    {2429, "Die Exportdatei konnte nicht erzeugt werden!\nBitte prüfen Sie Pfad und Zugriffsrechte."},
    {2430, "Das gewählte Exportformat wird nicht unterstützt!"},
    {2431, "Eine Grafik der Druckvorlage konnte nicht geladen werden!\n"
           "Bitte prüfen Sie, ob die Grafikdatei vorhanden ist."},
    {2432, "Eine Schriftart der Druckvorlage ist nicht installiert!\nEs wird eine Ersatzschrift verwendet."},
    {2433, "Der Barcode enthält ungültige Zeichen!\nDer Barcode kann nicht gedruckt werden."},
    {2434, "Die Tabelle der Druckvorlage ist fehlerhaft!\nBitte prüfen Sie die Druckvorlage im Designer."},
    {2435, "Der Designer der Druckvorlagen konnte nicht gestartet werden!\n"
           "Möglicherweise ist die Druckkomponente nicht richtig installiert."},
    {2436, "Die Lizenz der Druckkomponente ist ungültig!\nBitte wenden Sie sich an die Hotline."},
    {2437, "Kein Arbeitsspeicher mehr verfügbar!"},
    {2438, "Eine Bibliothek der Druckkomponente wurde nicht gefunden!\nBitte installieren Sie das Programm neu."},
    {2439, "Unbekannter Fehler der Druckkomponente!\nBitte notieren Sie die Fehlernummer und wenden Sie sich an die Hotline."},

    // Data backup and restore.
    {7116, "Sie müssen zunächst ein Laufwerk auswählen!"},
    {7118, "Fehler beim Erzeugen der Datensicherung!\n\nMöglicherweise ist zu wenig Platz auf der Festplatte."},
    {7120, "Fehler beim Schreiben der Datensicherung!\n\n"
           "Möglicherweise ist der Datenträger voll oder schreibgeschützt."},
    {7122, "Fehler beim Vergleichen der Datensicherung!\n\n"
           "Möglicherweise ist der Datenträger beschädigt."},
    {7123, "Fehler beim Kopieren der Datensicherung auf den Datenträger!\n\n"
           "Möglicherweise wurde der Datenträger während der Sicherung entfernt."},
    {7125, "Beim Einlesen der gesicherten Daten in die Datenbank ist ein Fehler aufgetreten!\n\n" XTB_LOCKED_HINT},
    {7126, "Beim Leeren der Datenbank vor dem Einlesen ist ein Fehler aufgetreten!\n\n" XTB_LOCKED_HINT},
    {7128, "Fehler beim Entpacken der Datensicherung!\n\n"
           "Möglicherweise ist auf der Festplatte zu wenig Platz für die entpackten Daten."},
    {7130, "Fehler beim Lesen der Datensicherung!\n\n"
           "Möglicherweise ist der Datenträger beschädigt oder nicht richtig eingelegt."},
    {7131, "Fehler beim Entpacken der Datensicherung!\n\n"
           "Möglicherweise ist die Sicherungsdatei unvollständig."},
    {7133, "Gesicherte Daten erfolgreich eingelesen!"},
    {7134, "Beim Wiederherstellen der Datenbankstruktur ist ein Fehler aufgetreten!\n\n" XTB_LOCKED_HINT},
    {7135, "Beim Abschließen der Rücksicherung ist ein Datenbankfehler aufgetreten!\n\n" XTB_LOCKED_HINT},
    {7136, "Die Datensicherung kann nicht gelesen werden!\n\n"
           "Die Datenbank wurde nicht verändert.\n"
           "Möglicherweise wurde ein falsches Kennwort eingegeben oder der Datenträger ist beschädigt."},
    {7195, "Beim Wiederherstellen der Quartalsabrechnungsdaten ist ein Fehler aufgetreten!"},
    {7212, "Von dem ausgewählten Laufwerk kann nur gelesen werden!"},
    {7219, "Sie müssen zunächst ein Datum eingeben!"},

    // Input hints.
    {8077, "Geben Sie hier bitte einen Text ein"},
    {8078, "Geben Sie hier bitte ein Datum ein"},
    {8079, "Geben Sie hier bitte eine Zahnangabe ein"},
    {8080, "Geben Sie hier bitte einen Kommawert ein"},
    {8154, "Auswahl eines vorhandenen Textes bzw. einer Vorlage"},
    {8155, "Eingabe des Namens für einen neuen Text bzw. eine neue Vorlage"},
};

const size_t kXTBasisStringCount = sizeof kXTBasisStrings / sizeof kXTBasisStrings[0];

}  // namespace xtb

#undef XTB_LOCKED_HINT
