// CRegKey as ATL documents it, on a registry store of the test's own:
// typed reads refuse other types, strings follow the size protocol, the
// object owns its key, and deletions keep their rules.
#include <atlbase.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "scratch_dir.h"

namespace {

class RegistryKey : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = scratch_.Path().substr(0, scratch_.Path().size() - 1);
    setenv("XTBASIS_REGISTRY_DIR", dir.c_str(), 1);
    ASSERT_EQ(key_.Create(HKEY_CURRENT_USER, "Software\\Praxis\\Empfang"), ERROR_SUCCESS);
  }
  void TearDown() override {
    key_.Close();
    xtb::CloseRegistryHives();
    unsetenv("XTBASIS_REGISTRY_DIR");
  }

  ScratchDir scratch_;
  CRegKey key_;
};

TEST_F(RegistryKey, TypedValuesRoundTripAndOtherTypesAreInvalidData) {
  ASSERT_EQ(key_.SetDWORDValue("Port", 4711), ERROR_SUCCESS);
  ASSERT_EQ(key_.SetQWORDValue("Bytes", 0x123456789ull), ERROR_SUCCESS);
  const BYTE blob[] = {0, 1, 0xFF};
  ASSERT_EQ(key_.SetBinaryValue("Blob", blob, sizeof blob), ERROR_SUCCESS);
  ASSERT_EQ(key_.SetStringValue("Name", "Zahnarztpraxis M\xFCller"), ERROR_SUCCESS);

  DWORD port = 0;
  EXPECT_EQ(key_.QueryDWORDValue("Port", port), ERROR_SUCCESS);
  EXPECT_EQ(port, 4711u);
  ULONGLONG bytes = 0;
  EXPECT_EQ(key_.QueryQWORDValue("Bytes", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, 0x123456789ull);
  BYTE read[8] = {};
  ULONG readSize = sizeof read;
  EXPECT_EQ(key_.QueryBinaryValue("Blob", read, &readSize), ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(read), readSize), std::string("\0\1\xFF", 3));

  EXPECT_EQ(key_.QueryDWORDValue("Name", port), ERROR_INVALID_DATA);
  EXPECT_EQ(key_.QueryQWORDValue("Port", bytes), ERROR_INVALID_DATA);
  char text[32];
  ULONG chars = sizeof text;
  EXPECT_EQ(key_.QueryStringValue("Port", text, &chars), ERROR_INVALID_DATA);
  EXPECT_EQ(key_.QueryDWORDValue("Fehlt", port), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(port, 4711u);  // unchanged by the failures
}

TEST_F(RegistryKey, StringsCountCharactersWithTheirNulsAndAskForMore) {
  ASSERT_EQ(key_.SetStringValue("Name", "Praxis"), ERROR_SUCCESS);
  ULONG chars = 0;
  EXPECT_EQ(key_.QueryStringValue("Name", nullptr, &chars), ERROR_SUCCESS);
  EXPECT_EQ(chars, 7u);
  char small[4];
  chars = sizeof small;
  EXPECT_EQ(key_.QueryStringValue("Name", small, &chars), ERROR_MORE_DATA);
  EXPECT_EQ(chars, 7u);
  char text[16];
  chars = sizeof text;
  EXPECT_EQ(key_.QueryStringValue("Name", text, &chars), ERROR_SUCCESS);
  EXPECT_STREQ(text, "Praxis");

  // A string stored without its NUL still comes back as a C string.
  ASSERT_EQ(key_.SetValue("Roh", REG_SZ, "abc", 3), ERROR_SUCCESS);
  chars = sizeof text;
  EXPECT_EQ(key_.QueryStringValue("Roh", text, &chars), ERROR_SUCCESS);
  EXPECT_EQ(chars, 4u);
  EXPECT_STREQ(text, "abc");

  ASSERT_EQ(key_.SetMultiStringValue("Liste", "eins\0zwei\0"), ERROR_SUCCESS);
  chars = sizeof text;
  EXPECT_EQ(key_.QueryMultiStringValue("Liste", text, &chars), ERROR_SUCCESS);
  EXPECT_EQ(std::string(text, chars), std::string("eins\0zwei\0\0", 11));
  ASSERT_EQ(key_.SetValue("Kaputt", REG_MULTI_SZ, "eins", 4), ERROR_SUCCESS);
  chars = sizeof text;
  EXPECT_EQ(key_.QueryMultiStringValue("Kaputt", text, &chars), ERROR_INVALID_DATA);

  // The older forms.
  ASSERT_EQ(key_.SetValue("Abrechnung", "Kurz", false, 3), ERROR_SUCCESS);
  DWORD count = sizeof text;
  EXPECT_EQ(key_.QueryValue(text, "Kurz", &count), ERROR_SUCCESS);
  EXPECT_STREQ(text, "Abr");
  ASSERT_EQ(key_.SetValue(DWORD{9}, "Neun"), ERROR_SUCCESS);
  DWORD nine = 0;
  EXPECT_EQ(key_.QueryValue(nine, "Neun"), ERROR_SUCCESS);
  EXPECT_EQ(nine, 9u);
  EXPECT_EQ(key_.SetStringValue("Leer", nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryKey, TheObjectOwnsItsKeyAndHandsItOver) {
  CRegKey other;
  EXPECT_EQ(other.Open(HKEY_CURRENT_USER, "Software\\Fehlt"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(other.m_hKey, nullptr);

  CRegKey taken(key_);  // ATL's copy hands the key over
  EXPECT_EQ(key_.m_hKey, nullptr);
  ASSERT_NE(static_cast<HKEY>(taken), nullptr);
  HKEY raw = taken.Detach();
  EXPECT_EQ(taken.m_hKey, nullptr);
  {
    CRegKey owner(raw);
    EXPECT_EQ(owner.SetDWORDValue("x", 1), ERROR_SUCCESS);
  }
  // Closed with its owner: the handle is no key any more.
  EXPECT_EQ(RegDeleteValueA(raw, "x"), ERROR_INVALID_HANDLE);

  // A failed Open keeps the key the object held.
  ASSERT_EQ(key_.Open(HKEY_CURRENT_USER, "Software\\Praxis\\Empfang"), ERROR_SUCCESS);
  EXPECT_EQ(key_.Open(HKEY_CURRENT_USER, "Software\\Fehlt"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key_.SetDWORDValue("y", 2), ERROR_SUCCESS);
}

TEST_F(RegistryKey, SubkeysEnumerateAndDeleteAsTheStoreRules) {
  ASSERT_EQ(key_.SetKeyValue("Ablage\\Tief", "wert"), ERROR_SUCCESS);
  ASSERT_EQ(CRegKey::SetValue(key_, "Bilder", "b", "Name"), ERROR_SUCCESS);
  char name[16];
  DWORD length = sizeof name;
  EXPECT_EQ(key_.EnumKey(0, name, &length), ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), "Ablage");
  length = sizeof name;
  EXPECT_EQ(key_.EnumKey(1, name, &length), ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), "Bilder");
  length = sizeof name;
  EXPECT_EQ(key_.EnumKey(2, name, &length), ERROR_NO_MORE_ITEMS);

  EXPECT_NE(key_.DeleteSubKey("Ablage"), ERROR_SUCCESS);  // it has a subkey
  EXPECT_EQ(key_.RecurseDeleteKey(""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key_.RecurseDeleteKey("Ablage"), ERROR_SUCCESS);
  EXPECT_EQ(key_.DeleteSubKey("Bilder"), ERROR_SUCCESS);
  length = sizeof name;
  EXPECT_EQ(key_.EnumKey(0, name, &length), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(key_.DeleteValue("Fehlt"), ERROR_FILE_NOT_FOUND);
}

}  // namespace
