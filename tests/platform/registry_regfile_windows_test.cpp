// .reg files as Windows imports them: each text goes in as a UTF-16LE file
// with BOM and as a REGEDIT4 file in 1252, and the key it fills must hold
// exactly the keys, value names, types and bytes that Windows leaves there,
// with the lines that Windows skips reported.
#include <xtbasis/platform/regfile.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "registry/utf16.h"
#include "registry_fixture.h"

namespace {

constexpr const char* kBase = "Software\\Import";

// The hex list of a text value in the file's form: UTF-16LE or 1252 bytes.
std::string TextHex(const std::string& text, bool unicode) {
  const std::string bytes = unicode ? xtb::reg::Cp1252ToUtf16Le(text) : text;
  std::string out;
  char byte[4];
  for (unsigned char c : bytes) {
    std::snprintf(byte, sizeof byte, "%02x,", c);
    out += byte;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// A .reg file: the header, then `body` (whose first line is line 2).
std::string RegFile(const std::string& body, bool unicode) {
  if (!unicode) return "REGEDIT4\n" + body;
  std::string crlf;
  for (char c : body) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return "\xFF\xFE" + xtb::reg::Cp1252ToUtf16Le("Windows Registry Editor Version 5.00\r\n" + crlf);
}

struct Value {
  std::string key;  // below kBase, "" for kBase itself
  std::string name;
  DWORD type;
  std::string data;
};

std::string Describe(const Value& v) {
  std::string out = (v.key.empty() ? "." : v.key) + " | " + v.name + " | " + std::to_string(v.type) + " |";
  char byte[4];
  for (unsigned char c : v.data) {
    std::snprintf(byte, sizeof byte, " %02x", c);
    out += byte;
  }
  return out;
}

class RegFileAsWindows : public RegistryTest {
 protected:
  // Every key and value below kBase; a key without values shows as one line
  // with an empty name and type 0xFFFF, so that keys are compared too.
  std::vector<std::string> Dump() {
    std::vector<std::string> out;
    std::function<void(const std::string&)> walk = [&](const std::string& below) {
      HKEY key = nullptr;
      const std::string path = below.empty() ? std::string(kBase) : std::string(kBase) + "\\" + below;
      if (Open(HKEY_CURRENT_USER, path.c_str(), &key, KEY_READ) != ERROR_SUCCESS) return;
      const std::vector<std::string> names = ValueNames(key);
      if (names.empty()) out.push_back(Describe({below, "", 0xFFFF, ""}));
      for (const std::string& name : names) {
        DWORD type = 0;
        const std::string data = Read(key, name.c_str(), &type);
        out.push_back(Describe({below, name, type, data}));
      }
      const std::vector<std::string> children = SubKeys(key);
      RegCloseKey(key);
      for (const std::string& child : children) walk(below.empty() ? child : below + "\\" + child);
    };
    walk("");
    std::sort(out.begin(), out.end());
    return out;
  }

  // Imports `body` in both forms into an empty kBase and compares.
  void Check(const std::function<std::string(bool unicode)>& body, std::vector<Value> expected,
             const std::vector<int>& skippedLines) {
    std::vector<std::string> want;
    for (const Value& v : expected) want.push_back(Describe(v));
    std::sort(want.begin(), want.end());
    for (bool unicode : {true, false}) {
      SCOPED_TRACE(unicode ? "UTF-16 file" : "REGEDIT4 file");
      RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
      xtb::RegFileError error;
      std::vector<xtb::RegFileError> problems;
      ASSERT_TRUE(xtb::ImportRegText(RegFile(body(unicode), unicode), &error, xtb::RegImportMode::SkipMalformed,
                                     &problems)) << error.message;
      EXPECT_EQ(Dump(), want);
      std::vector<int> lines;
      for (const auto& problem : problems) lines.push_back(problem.line);
      EXPECT_EQ(lines, skippedLines);
      for (const auto& problem : problems) {
        EXPECT_EQ(problem.message.rfind("Zeile " + std::to_string(problem.line) + ": ", 0), 0u) << problem.message;
      }
    }
  }
  void Check(const std::string& body, std::vector<Value> expected, const std::vector<int>& skippedLines) {
    Check([&body](bool) { return body; }, std::move(expected), skippedLines);
  }
};

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }
std::string Dword(uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

TEST_F(RegFileAsWindows, ACommentMayFollowTheDataButNothingElse) {
  Check(R"(
[HKEY_CURRENT_USER\Software\Import]
"V39a"="Value1"  ;comment
"V39b"="Value2";comment
"V39c"="Value3"  #comment
"V36a"=dword:1234;5678
"V36b"=dword:1234#5678
"V36c"=dword:1234 5678
"V36d"=dword:1234	;comment
"Bin1"=hex:01,02 ;comment
"Bin2"=hex:01,02,\ ;comment
  03
"Bin3"=hex:01,\
; a comment of its own inside the list
  02,\
  ;one more, ending in a backslash\
  03
"Bin4"=hex:01,02 03
"Gone"=- ;comment
)",
        {{"", "V39a", REG_SZ, Sz("Value1")},
         {"", "V39b", REG_SZ, Sz("Value2")},
         {"", "V36a", REG_DWORD, Dword(0x1234)},
         {"", "V36d", REG_DWORD, Dword(0x1234)},
         {"", "Bin1", REG_BINARY, "\x01\x02"},
         {"", "Bin2", REG_BINARY, "\x01\x02\x03"},
         {"", "Bin3", REG_BINARY, "\x01\x02\x03"}},
        {6, 8, 9, 19});
}

TEST_F(RegFileAsWindows, ACommentEndingInABackslashJoinsNothing) {
  Check(R"(
[HKEY_CURRENT_USER\Software\Import]
;comment\
"V37a"="kept"
; two \\
"V37b"=dword:1
)",
        {{"", "V37a", REG_SZ, Sz("kept")}, {"", "V37b", REG_DWORD, Dword(1)}}, {});
}

TEST_F(RegFileAsWindows, ContinuedDataGoesOnAtTheNextNonBlankLineWhateverItHolds) {
  Check([](bool unicode) {
    return R"(
[HKEY_CURRENT_USER\Software\Import]
"V40a"=hex:01,\

  	
  02
"V40e"=hex(2):)" + TextHex("Line", unicode) + R"(,\
"V40f"="Value 3"
"V40g"=hex:01,\

"V40h"="Value 4"
"V40i"=hex:4c,65\
"V40j"="after"
)";
  },
        {{"", "V40a", REG_BINARY, "\x01\x02"}, {"", "V40j", REG_SZ, Sz("after")}}, {8, 10, 13});
}

TEST_F(RegFileAsWindows, LinesAreJoinedOnlyAfterACommaOrTheTypeInHexData) {
  Check(R"(
[HKEY_CURRENT_USER\Software\Import]
"V41a"=dword:1234\
5678
"V\
41b"="x"
"V41c"=hex:01,4\
f
\
"V41d"="after a lone backslash"
"V41e"=hex:\
02
"V41f"=hex:01,\
\
02
)",
        {{"", "V41d", REG_SZ, Sz("after a lone backslash")}, {"", "V41e", REG_BINARY, "\x02"}},
        {4, 5, 6, 7, 8, 9, 10, 14, 16});
}

// The list may start on the line after the type, for text types too.
TEST_F(RegFileAsWindows, AHexListMayStartOnTheLineAfterItsType) {
  Check([](bool unicode) {
    return R"(
[HKEY_CURRENT_USER\Software\Import]
"V42a"=hex(2):\
  )" + TextHex("%Pfad%", unicode) + R"(
"V42b"=hex:\ ; the bytes follow
  0a,\
  0b
"V42c"=hex(7):\
"V42d"="after"
)";
  },
        {{"", "V42a", REG_EXPAND_SZ, Sz("%Pfad%")}, {"", "V42b", REG_BINARY, "\x0a\x0b"}}, {9});
}

TEST_F(RegFileAsWindows, TheEndOfTheFileEndsContinuedData) {
  Check("\n[HKEY_CURRENT_USER\\Software\\Import]\n\"V62a\"=hex(0):56,61,6c,75,65,\\",
        {{"", "V62a", REG_NONE, "Value"}}, {});
  Check("\n[HKEY_CURRENT_USER\\Software\\Import]\n\"V62b\"=hex:56,\\\n\n  \n", {{"", "V62b", REG_BINARY, "V"}},
        {});
}

TEST_F(RegFileAsWindows, ExpandAndMultiStringsGetTheirTerminatingNul) {
  Check([](bool unicode) {
    return "\n[HKEY_CURRENT_USER\\Software\\Import]\n"
           "\"Multi\"=hex(7):" + TextHex("Line", unicode) + "\n"
           "\"Expand\"=hex(2):" + TextHex("%PATH%", unicode) + "\n"
           "\"Ended\"=hex(7):" + TextHex(std::string("a\0b\0\0", 5), unicode) + "\n"
           "\"Empty\"=hex(2):\n"
           "\"Sz\"=hex(1):" + TextHex("ba", unicode) + "\n";
  },
        {{"", "Multi", REG_MULTI_SZ, Sz("Line")},
         {"", "Expand", REG_EXPAND_SZ, Sz("%PATH%")},
         {"", "Ended", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
         {"", "Empty", REG_EXPAND_SZ, ""},
         {"", "Sz", REG_SZ, "ba"}},
        {});
}

TEST_F(RegFileAsWindows, KeyNamesMayEndInBackslashesButNotDoubleThemInside) {
  Check(R"(
[HKEY_CURRENT_USER\Software\Import\Gone\Below]
"x"="y"
[HKEY_CURRENT_USER\Software\Import\Subkey1f\\]
"a"="1"
[HKEY_CURRENT_USER\Software\Import\Subkey1g\\\\]
"b"="2"
[HKEY_CURRENT_USER\Software\Import\Sub\\1h]
"c"="3"
[HKEY_CURRENT_USER\Software\Import\Subkey1f]
"d"="4"
[-HKEY_CURRENT_USER\Software\Import\Gone\\]
"e"="5"
)",
        {{"", "", 0xFFFF, ""},
         {"Subkey1f", "a", REG_SZ, Sz("1")},
         {"Subkey1f", "d", REG_SZ, Sz("4")},
         {"Subkey1g", "b", REG_SZ, Sz("2")}},
        {9, 10, 14});

  // The key calls treat the names alike: trailing backslashes are passed
  // over, a doubled one inside is a bad path.
  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Import\\Subkey1f\\\\", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "a"), Sz("1"));
  RegCloseKey(key);
  DWORD how = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Import\\Subkey1g\\\\\\\\", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Import\\New\\\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Import\\New\\\\\\"), ERROR_SUCCESS);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Import\\New", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Import\\\\Subkey1f", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "\\Software\\Import", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\\\Import"), ERROR_BAD_PATHNAME);
}

TEST_F(RegFileAsWindows, ValuesAfterABadKeyLineAreNotWrittenToTheKeyBefore) {
  Check(R"(
[HKEY_CURRENT_USER\Software\Import]
"good"=dword:1
[HKEY_USERS\Elsewhere]
"stray"=dword:2
"stray list"=hex:01,\
  02
[HKEY_CURRENT_USER\Software\Import\Next
"stray too"=dword:3
[HKEY_CURRENT_USER\Software\Import]
"good again"=dword:4
)",
        {{"", "good", REG_DWORD, Dword(1)}, {"", "good again", REG_DWORD, Dword(4)}}, {5, 6, 7, 9, 10});
}

TEST_F(RegFileAsWindows, SkippedEntriesAreReportedInGermanAndStrictModeWritesNothing) {
  const std::string text = RegFile(R"(
[HKEY_CURRENT_USER\Software\Import]
"a"=dword:1234#5678
"b"=hex:01,\
  zz
"c"="kept"
)",
                                   false);
  xtb::RegFileError error;
  std::vector<xtb::RegFileError> problems;
  ASSERT_TRUE(xtb::ImportRegText(text, &error, xtb::RegImportMode::SkipMalformed, &problems));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].message, "Zeile 4: ung\xFCltiges DWORD '1234#5678'");
  EXPECT_EQ(problems[1].message, "Zeile 5: ung\xFCltiges Hex-Byte 'zz' (in Zeile 6)");
  EXPECT_EQ(Dump(), std::vector<std::string>{Describe({"", "c", REG_SZ, Sz("kept")})});

  RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
  EXPECT_FALSE(xtb::ImportRegText(text, &error, xtb::RegImportMode::Strict, &problems));
  EXPECT_EQ(error.line, 4);
  EXPECT_EQ(error.message, problems[0].message);
  EXPECT_EQ(problems.size(), 2u);
  EXPECT_TRUE(Dump().empty());
}

}  // namespace
