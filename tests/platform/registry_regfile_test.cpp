#include <xtbasis/platform/regfile.h>

#include <fstream>
#include <sstream>

#include "registry/utf16.h"
#include "registry_fixture.h"

namespace {

using RegFile = RegistryTest;

std::string Utf16File(const std::string& text1252) { return "\xFF\xFE" + xtb::reg::Cp1252ToUtf16Le(text1252); }

struct Sample {
  const char* name;
  DWORD type;
  std::string data;
};

std::vector<Sample> Samples() {
  std::string every;
  for (int c = 1; c < 256; ++c) every += static_cast<char>(c == '\r' || c == '\n' ? 'x' : c);
  return {
      {"", REG_SZ, std::string("default\0", 8)},
      {"quote \" and \\", REG_SZ, std::string("C:\\Pfad\\\"x\"\0", 12)},
      {"every byte", REG_SZ, every + std::string(1, '\0')},
      {"no nul", REG_SZ, "bare"},
      {"line break", REG_SZ, std::string("a\r\nb\0", 5)},
      {"expand", REG_EXPAND_SZ, std::string("%PATH%;\xE4\0", 9)},
      {"multi", REG_MULTI_SZ, std::string("eins\0zw\xF6lf\0\0", 12)},
      {"binary", REG_BINARY, std::string(200, '\x5A') + std::string("\x00\xFF", 2)},
      {"empty binary", REG_BINARY, ""},
      {"dword", REG_DWORD, std::string("\xEF\xBE\xAD\xDE", 4)},
      {"short dword", REG_DWORD, std::string("\x01", 1)},
      {"qword", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
      {"none", REG_NONE, std::string()},
      {"custom", 0x100, std::string("xyz")},
  };
}

void WriteSamples(HKEY key) {
  for (const Sample& s : Samples())
    ASSERT_EQ(RegSetValueExA(key, s.name, 0, s.type, reinterpret_cast<const BYTE*>(s.data.data()),
                             static_cast<DWORD>(s.data.size())),
              ERROR_SUCCESS) << s.name;
}

TEST_F(RegFile, EveryValueTypeSurvivesExportAndImportInBothFormats) {
  for (auto format : {xtb::RegFileFormat::Unicode, xtb::RegFileFormat::Regedit4}) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Export\\Gr\xFC\xDF" "e");
    WriteSamples(key);
    RegCloseKey(key);
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Export\\Empty\\Deeper"));
    const std::string file = dir_ + "/export.reg";
    xtb::RegFileError error;
    ASSERT_TRUE(xtb::ExportRegFile("HKCU\\Software\\Export", file, format, &error)) << error.message;
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Export"), ERROR_SUCCESS);

    ASSERT_TRUE(xtb::ImportRegFile(file, &error)) << error.message;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Export\\GR\xDC\xDF" "E", &key), ERROR_SUCCESS);
    for (const Sample& s : Samples()) {
      DWORD type = 0xFFFF;
      EXPECT_EQ(Read(key, s.name, &type), s.data) << s.name;
      EXPECT_EQ(type, s.type) << s.name;
    }
    EXPECT_EQ(ValueNames(key).size(), Samples().size());
    RegCloseKey(key);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Export\\Empty\\Deeper", &key), ERROR_SUCCESS);
    RegCloseKey(key);
  }
}

TEST_F(RegFile, ExportWritesTheKnownForms) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Form");
  ASSERT_EQ(SetString(key, "Name", "a\"b"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "Count", 0x2A), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%A%"), 4),
            ERROR_SUCCESS);
  RegCloseKey(key);
  std::string text;
  xtb::RegFileError error;
  ASSERT_TRUE(xtb::ExportRegText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Form", xtb::RegFileFormat::Regedit4, &text, &error));
  EXPECT_EQ(text,
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Form]\r\n\"Name\"=\"a\\\"b\"\r\n"
            "\"Count\"=dword:0000002a\r\n\"Path\"=hex(2):25,41,25,00\r\n\r\n");
  ASSERT_TRUE(xtb::ExportRegText("HKLM\\SOFTWARE\\Form", xtb::RegFileFormat::Unicode, &text, &error));
  EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFEW\0", 4));
  EXPECT_NE(xtb::reg::Utf16LeToCp1252(text.substr(2)).find("\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"),
            std::string::npos);
  EXPECT_FALSE(xtb::ExportRegText("HKLM\\SOFTWARE\\Nope", xtb::RegFileFormat::Unicode, &text, &error));
  EXPECT_EQ(error.message, "Schl\xFCssel nicht gefunden: HKLM\\SOFTWARE\\Nope");
}

TEST_F(RegFile, ImportReadsWindowsFilesWithDeletionsCommentsAndContinuations) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Old\\Sub");
  RegCloseKey(key);
  key = Create(HKEY_CURRENT_USER, "Software\\Keep");
  ASSERT_EQ(SetDword(key, "gone", 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "stays", 2), ERROR_SUCCESS);
  const std::string file =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; settings carried over\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
      "[HKEY_CURRENT_USER\\Software\\Keep]\r\n"
      "\"gone\"=-\r\n"
      "@=\"Standard \xE4\"\r\n"
      "\"Long\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"D\" = dword:FFFFFFFF\r\n"
      "[HKEY_CLASSES_ROOT\\.xtb]\r\n"
      "@=\"XTB\"\r\n";
  xtb::RegFileError error;
  ASSERT_TRUE(xtb::ImportRegText(Utf16File(file), &error)) << error.message;
  HKEY old = nullptr;
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Old", &old), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read(key, "gone"), "error 2");
  EXPECT_EQ(ReadDword(key, "stays"), 2u);
  EXPECT_EQ(Read(key, ""), std::string("Standard \xE4\0", 11));
  EXPECT_EQ(Read(key, "Long"), "\x01\x02\x03\x04");
  EXPECT_EQ(Read(key, "Multi"), std::string("a\0b\0\0", 5));
  EXPECT_EQ(Read(key, "Q"), std::string("\x01\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(ReadDword(key, "D"), 0xFFFFFFFFu);
  RegCloseKey(key);
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.xtb", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, nullptr), std::string("XTB\0", 4));
  RegCloseKey(key);

  // The same text as UTF-8 and a REGEDIT4 file in 1252 read alike.
  ASSERT_TRUE(xtb::ImportRegText("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\U]\n\"t\"=\"\xC3\xA4\"\n",
                                 &error)) << error.message;
  ASSERT_TRUE(xtb::ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"t\"=\"\xE4\"\n\"x\"=hex(2):e4,00\n", &error))
      << error.message;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "U", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "t"), std::string("\xE4\0", 2));
  RegCloseKey(key);
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "A", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "t"), std::string("\xE4\0", 2));
  EXPECT_EQ(Read(key, "x"), std::string("\xE4\0", 2));
  RegCloseKey(key);
}

TEST_F(RegFile, StrictModeRefusesAMalformedFileWithItsLineAndChangesNothing) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Safe");
  ASSERT_EQ(SetDword(key, "v", 1), ERROR_SUCCESS);
  const struct {
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"REGEDIT4\n\"v\"=dword:2\n", 2, "Wert ohne g\xFCltigen Schl\xFCssel davor"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=dword:2\n\"w\"=dword:123456789\n", 4,
       "ung\xFCltiges DWORD '123456789'"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=hex:01,\\\n 0g\n", 3,
       "ung\xFCltiges Hex-Byte '0g' (in Zeile 4)"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=\"open\n", 3, "nicht geschlossen"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=\"a\\nb\"\n", 3, "Backslash"},
      {"REGEDIT4\n[HKEY_USERS\\x]\n", 2, "ung\xFCltiger Schl\xFCsselname 'HKEY_USERS\\x'"},
      {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2, "Hauptschl\xFCssel"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\a\\\\b]\n", 2, "ung\xFCltiger Schl\xFCsselname"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe\n", 2, "mit ']' enden"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\S]\n\"v\"=hex(2):41\n", 3, "ungerader"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=word:1\n", 3, "unbekannte Wertform 'word:1'"},
      {"REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Safe]\nnonsense\n", 3, "weder Schl\xFCssel noch Wert"},
  };
  for (const auto& c : cases) {
    xtb::RegFileError error;
    std::vector<xtb::RegFileError> problems;
    EXPECT_FALSE(xtb::ImportRegText(c.text, &error, xtb::RegImportMode::Strict, &problems)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
    EXPECT_EQ(error.message.rfind("Zeile " + std::to_string(c.line) + ": ", 0), 0u) << error.message;
    ASSERT_EQ(problems.size(), 1u) << c.text;
    EXPECT_EQ(problems[0].message, error.message);
  }
  EXPECT_EQ(ReadDword(key, "v"), 1u);
  EXPECT_EQ(ValueNames(key).size(), 1u);
  RegCloseKey(key);
}

TEST_F(RegFile, BytesThatAreNoRegistryFileAreRefusedInEitherMode) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Safe");
  ASSERT_EQ(SetDword(key, "v", 1), ERROR_SUCCESS);
  const std::string body = "[HKEY_CURRENT_USER\\Software\\Safe]\r\n\"v\"=dword:2\r\n";
  const struct {
    std::string bytes;
    const char* says;
  } cases[] = {
      {"", "leer"},
      {body, "Zeile 1: keine Registrierungsdatei"},
      // A blank line before the header makes Windows refuse the file.
      {"\r\nREGEDIT4\r\n" + body, "Zeile 1: keine Registrierungsdatei"},
      {Utf16File("\r\nWindows Registry Editor Version 5.00\r\n" + body), "Zeile 1: keine Registrierungsdatei"},
      {Utf16File("REGEDIT 4\r\n" + body), "Zeile 1: keine Registrierungsdatei"},
      {"\xFF\xFE" "R", "halben Zeichen"},
  };
  for (auto mode : {xtb::RegImportMode::SkipMalformed, xtb::RegImportMode::Strict}) {
    for (const auto& c : cases) {
      xtb::RegFileError error;
      EXPECT_FALSE(xtb::ImportRegText(c.bytes, &error, mode)) << c.bytes;
      EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
    }
    xtb::RegFileError error;
    EXPECT_FALSE(xtb::ImportRegFile(dir_ + "/missing.reg", &error, mode));
    EXPECT_EQ(error.message, dir_ + "/missing.reg kann nicht gelesen werden");
  }
  EXPECT_EQ(ReadDword(key, "v"), 1u);
  RegCloseKey(key);

  // A well-formed file for hives that cannot be written is refused whole.
  setenv("XTBASIS_REGISTRY_DIR", "/dev/null/none", 1);
  xtb::RegFileError error;
  EXPECT_FALSE(xtb::ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Safe]\n\"v\"=dword:2\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\n",
                                  &error));
  EXPECT_EQ(error.message, "nichts importiert: Zugriff verweigert");
}

TEST_F(RegFile, AnImportSpanningBothHivesWritesBoth) {
  xtb::RegFileError error;
  ASSERT_TRUE(xtb::ImportRegText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Both]\n\"v\"=dword:2\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Both]\n\"v\"=dword:3\n",
                                 &error)) << error.message;
  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Both", &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "v"), 2u);
  RegCloseKey(key);
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Both", &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "v"), 3u);
  RegCloseKey(key);
}

TEST(RegFileText, Utf16ConversionKeepsEvery1252Byte) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string wide = xtb::reg::Cp1252ToUtf16Le(all);
  ASSERT_EQ(wide.size(), 512u);
  EXPECT_EQ(wide.substr(0x80 * 2, 2), "\xAC\x20");  // the euro sign
  EXPECT_EQ(wide.substr(0x81 * 2, 2), std::string("\x81\0", 2));
  EXPECT_EQ(xtb::reg::Utf16LeToCp1252(wide), all);
  EXPECT_EQ(xtb::reg::Utf16LeToCp1252(std::string("\x3D\xD8\x00\xDE\x00\xD8", 6)), "??");  // U+1F600, lone surrogate
}

}  // namespace
