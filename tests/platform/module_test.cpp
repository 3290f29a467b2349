#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>

#include "utf8cp1252.h"

namespace {

const XTResourceText kStrings[] = {
    {101, "Zahnärztliche Behandlung"},
    {102, "Preis: 5 € – Größe µ"},
    {103, "日本"},  // not in 1252
    {104, ""},
};
const XTResourceText kMessages[] = {{0x20001, "Modulfehler Nr. 1\r\n"}};

HINSTANCE TestModule() {
  static HINSTANCE module = XTRegisterModule({"xtmodtest.dll", kStrings, 4, kMessages, 1});
  return module;
}

TEST(Module, RegistrationRefusesDuplicatesAndBadTables) {
  ASSERT_NE(TestModule(), nullptr);
  SetLastError(0);
  EXPECT_EQ(XTRegisterModule({"XTMODTEST", nullptr, 0, nullptr, 0}), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

  const XTResourceText twice[] = {{1, "a"}, {1, "b"}};
  EXPECT_EQ(XTRegisterModule({"twice", twice, 2, nullptr, 0}), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  const XTResourceText missing[] = {{1, nullptr}};
  EXPECT_EQ(XTRegisterModule({"missing", missing, 1, nullptr, 0}), nullptr);
  EXPECT_EQ(XTRegisterModule({"", nullptr, 0, nullptr, 0}), nullptr);
  EXPECT_EQ(XTRegisterModule({nullptr, nullptr, 0, nullptr, 0}), nullptr);
  // A refused registration leaves the name free.
  EXPECT_EQ(GetModuleHandleA("twice"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Module, HandlesAreFoundByNameWithoutCaseOrSuffix) {
  ASSERT_NE(TestModule(), nullptr);  // registers the module before it is looked up
  EXPECT_EQ(GetModuleHandleA("xtmodtest.dll"), TestModule());
  EXPECT_EQ(GetModuleHandleA("XTModTest"), TestModule());
  EXPECT_EQ(GetModuleHandleA("XTMODTEST.DLL"), TestModule());
  EXPECT_EQ(XTModuleName(TestModule()), "xtmodtest.dll");
  EXPECT_EQ(GetModuleHandleA("xtmod"), nullptr);
  HMODULE program = GetModuleHandleA(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), program);
  EXPECT_EQ(XTModuleName(program), program_invocation_short_name);
}

TEST(Module, LoadStringCopiesTruncatesAndTerminates) {
  char buffer[64];
  ASSERT_EQ(LoadStringA(TestModule(), 101, buffer, sizeof buffer), 24);
  EXPECT_STREQ(buffer, "Zahn\xE4rztliche Behandlung");  // handed out as 1252
  ASSERT_EQ(LoadStringA(TestModule(), 102, buffer, sizeof buffer), 20);
  EXPECT_STREQ(buffer, "Preis: 5 \x80 \x96 Gr\xF6\xDF" "e \xB5");
  EXPECT_EQ(LoadStringA(TestModule(), 103, buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "??");

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(LoadStringA(TestModule(), 101, buffer, 5), 4);
  EXPECT_STREQ(buffer, "Zahn");
  EXPECT_EQ(buffer[5], 'x');  // nothing written beyond bufferMax
  EXPECT_EQ(LoadStringA(TestModule(), 101, buffer, 1), 0);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(Module, LoadStringWithBufferMaxZeroHandsOutAReadOnlyPointer) {
  const char* text = nullptr;
  ASSERT_EQ(LoadStringA(TestModule(), 101, reinterpret_cast<LPSTR>(&text), 0), 24);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, 24), "Zahn\xE4rztliche Behandlung");
  const char* again = nullptr;
  LoadStringA(TestModule(), 101, reinterpret_cast<LPSTR>(&again), 0);
  EXPECT_EQ(again, text);  // the table's own text, not a copy
}

TEST(Module, LoadStringFailuresGiveZeroAndALastError) {
  char buffer[16] = "old";
  SetLastError(0);
  EXPECT_EQ(LoadStringA(TestModule(), 999, buffer, sizeof buffer), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(LoadStringA(TestModule(), 104, buffer, sizeof buffer), 0);  // empty counts as missing
  EXPECT_EQ(LoadStringA(TestModule(), 101, nullptr, 10), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadStringA(TestModule(), 101, buffer, -1), 0);
  int notAModule = 0;
  EXPECT_EQ(LoadStringA(reinterpret_cast<HINSTANCE>(&notAModule), 101, buffer, sizeof buffer), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(LoadStringA(nullptr, 101, buffer, sizeof buffer), 0);  // the program's table is empty
}

TEST(Module, MessageTableLookup) {
  CString text("old");
  ASSERT_TRUE(XTFindModuleMessage(TestModule(), 0x20001, text));
  EXPECT_EQ(text, "Modulfehler Nr. 1\r\n");
  text = "old";
  EXPECT_FALSE(XTFindModuleMessage(TestModule(), 2, text));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(text, "old");
  int notAModule = 0;
  EXPECT_FALSE(XTFindModuleMessage(reinterpret_cast<HINSTANCE>(&notAModule), 0x20001, text));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(CodePage1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  const std::string utf8 = xtb::Cp1252ToUtf8(all);
  EXPECT_EQ(xtb::Utf8ToCp1252(utf8), all);
  EXPECT_EQ(xtb::Cp1252ToUtf8("\x80\xE4\x81"), "\xE2\x82\xAC\xC3\xA4\xC2\x81");  // €, ä, undefined 0x81
  EXPECT_EQ(xtb::Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage1252, MissingCharactersAndMalformedUtf8BecomeQuestionMarks) {
  EXPECT_EQ(xtb::Utf8ToCp1252("\xE2\x82\xAC \xC5\x81 \xF0\x9F\x98\x80"), "\x80 ? ?");  // €, Ł, emoji
  EXPECT_EQ(xtb::Utf8ToCp1252("a\xC3"), "a?");                   // cut sequence
  EXPECT_EQ(xtb::Utf8ToCp1252("\xC3" "A"), "?A");                // bad continuation keeps the next byte
  EXPECT_EQ(xtb::Utf8ToCp1252("\xC0\xAF"), "?");                 // overlong form: one mark
  EXPECT_EQ(xtb::Utf8ToCp1252("\xFF\xFE"), "??");
  EXPECT_EQ(xtb::Utf8ToCp1252("\xED\xA0\x80"), "?");             // surrogate half
}

}  // namespace
