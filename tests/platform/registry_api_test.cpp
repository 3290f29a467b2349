#include <sys/stat.h>

#include <cstring>

#include "registry_fixture.h"

namespace {

using Registry = RegistryTest;

TEST_F(Registry, QueryFollowsTheMoreDataProtocol) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
  ASSERT_EQ(SetString(key, "Name", "Hello"), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);  // the NUL that was written is counted

  char small[3] = {'x', 'x', 'x'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);

  char exact[6];
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(exact, "Hello");
  char roomy[64];
  size = sizeof roomy;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(roomy), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);

  // Strings keep what the caller counted: no NUL, or two.
  ASSERT_EQ(RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "Bare"), "abc");
  ASSERT_EQ(RegSetValueExA(key, "Two", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("a\0\0"), 3),
            ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "Two"), std::string("a\0\0", 3));

  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(roomy), nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);

  // The default value answers to the empty name and to NULL alike.
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(SetString(key, nullptr, "default"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, ""), std::string("default", 8));
  EXPECT_EQ(ValueNames(key).front(), "Name");
  RegCloseKey(key);
}

TEST_F(Registry, EveryValueTypeRoundTrips) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Types");
  const std::string binary("\x00\x01\xFF\x80\x00", 5);
  const std::string multi("eins\0zwei\0\xE4\xF6\xFC\0\0", 16);
  const uint64_t qword = 0x0123456789ABCDEFull;
  const struct {
    const char* name;
    DWORD type;
    std::string data;
  } cases[] = {
      {"sz", REG_SZ, std::string("Gr\xFC\xDF" "e\0", 6)},
      {"expand", REG_EXPAND_SZ, std::string("%HOME%\\x\0", 9)},
      {"binary", REG_BINARY, binary},
      {"empty", REG_BINARY, std::string()},
      {"dword", REG_DWORD, std::string("\x78\x56\x34\x12", 4)},
      {"multi", REG_MULTI_SZ, multi},
      {"qword", REG_QWORD, std::string(reinterpret_cast<const char*>(&qword), 8)},
      {"none", REG_NONE, std::string("\x01", 1)},
      {"odd", 0x1234, std::string("raw")},
  };
  for (const auto& c : cases)
    ASSERT_EQ(RegSetValueExA(key, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                             static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS) << c.name;
  RegCloseKey(key);
  xtb::CloseRegistryHives();  // read back from the file, not from a cache

  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "software\\types", &key, KEY_READ), ERROR_SUCCESS);
  for (const auto& c : cases) {
    DWORD type = 0xFFFF;
    EXPECT_EQ(Read(key, c.name, &type), c.data) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
  }
  EXPECT_EQ(ReadDword(key, "dword"), 0x12345678u);
  // A second write replaces type and data.
  RegCloseKey(key);
  key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Types");
  ASSERT_EQ(SetDword(key, "sz", 7), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(Read(key, "sz", &type).size(), 4u);
  EXPECT_EQ(type, REG_DWORD);
  RegCloseKey(key);
}

TEST_F(Registry, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
  DWORD how = 0;
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Gr\xFC\xDF" "e\\\xC4rzte", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, REG_CREATED_NEW_KEY);
  RegCloseKey(key);
  // Umlauts fold like ASCII letters; a trailing backslash is allowed.
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\GR\xDC\xDF" "E\\\xE4RZTE\\", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, REG_OPENED_EXISTING_KEY);
  ASSERT_EQ(SetString(key, "Praxis", "a"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, "PRAXIS", "b"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "praxis"), std::string("b", 2));
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Praxis"});
  RegCloseKey(key);

  HKEY software = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "software", &software), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(software), std::vector<std::string>{"Gr\xFC\xDF" "e"});
  RegCloseKey(software);
  // Letters without a case partner in 1252 match only themselves.
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\GRUSSE", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, EnumerationIsOrderedAndReportsShortBuffers) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Enum");
  for (const char* name : {"zeta", "Alpha", "beta", "Gamma"}) RegCloseKey(Create(key, name));
  EXPECT_EQ(SubKeys(key), (std::vector<std::string>{"Alpha", "beta", "Gamma", "zeta"}));
  for (const char* name : {"second", "First", "third"}) ASSERT_EQ(SetDword(key, name, 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "SECOND", 2), ERROR_SUCCESS);  // overwriting keeps the place
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"second", "First", "third"}));

  char name[4];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 5u);
  length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 5u);

  char longName[16];
  BYTE data[2];
  DWORD type = 0, size = sizeof data;
  length = sizeof longName;
  EXPECT_EQ(RegEnumValueA(key, 0, longName, &length, nullptr, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  DWORD value = 0;
  size = sizeof value;
  length = sizeof longName;
  EXPECT_EQ(RegEnumValueA(key, 0, longName, &length, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(longName, "second");
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(value, 2u);
  length = sizeof longName;
  EXPECT_EQ(RegEnumValueA(key, 3, longName, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
  FILETIME written{};
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxName,
                             &maxData, nullptr, &written),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 4u);
  EXPECT_EQ(maxSubKey, 5u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(maxName, 6u);
  EXPECT_EQ(maxData, 4u);
  // After 2020-01-01 (132223104000000000 in 100 ns since 1601).
  EXPECT_GT((static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime,
            132223104000000000ull);
  RegCloseKey(key);
}

TEST_F(Registry, DeletionFollowsWindowsRules) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Software\\Del");
  HKEY child = Create(parent, "Child");
  RegCloseKey(Create(child, "Grandchild"));
  ASSERT_EQ(SetDword(child, "v", 1), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKeyA(parent, "Child"), ERROR_ACCESS_DENIED);  // it has a subkey
  EXPECT_EQ(RegDeleteKeyA(parent, "Nope"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(parent, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(parent, "CHILD\\grandchild"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(child, "v"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(child, "v"), ERROR_FILE_NOT_FOUND);

  // An open key that is deleted answers ERROR_KEY_DELETED, also through a new
  // key of the same name.
  RegCloseKey(Create(child, "Again"));
  EXPECT_EQ(RegDeleteTreeA(parent, "Child"), ERROR_SUCCESS);
  RegCloseKey(Create(parent, "Child"));
  EXPECT_EQ(SetDword(child, "v", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(Read(child, "v"), "error 1018");
  char name[32];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(child, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  HKEY below = nullptr;
  EXPECT_EQ(RegCreateKeyExA(child, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &below, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(below, nullptr);
  EXPECT_EQ(Open(child, "", &below), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);

  // RegDeleteTreeA without a subkey empties the key itself.
  ASSERT_EQ(SetDword(parent, "kept", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeA(parent, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(SubKeys(parent).empty());
  EXPECT_TRUE(ValueNames(parent).empty());
  EXPECT_EQ(RegDeleteKeyA(parent, ""), ERROR_SUCCESS);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Del", &below), ERROR_FILE_NOT_FOUND);
  RegCloseKey(parent);
}

TEST_F(Registry, HandlesRightsAndPathsAreChecked) {
  HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x4242));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(bogus, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Rights");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetDword(key, "v", 1), ERROR_INVALID_HANDLE);

  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Rights", &key, KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(key, "v", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_ACCESS_DENIED);
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyExA(key, "new", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Rights", &key, KEY_SET_VALUE), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(key, "v", 1), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "v"), "error 5");
  RegCloseKey(key);

  EXPECT_EQ(Open(HKEY_CURRENT_USER, "\\Software", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\\\Rights", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, (std::string("Software\\") + std::string(256, 'k')).c_str(), &key),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", nullptr), ERROR_INVALID_PARAMETER);

  EXPECT_EQ(Open(HKEY_USERS, ".DEFAULT", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyExA(HKEY_USERS, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_ACCESS_DENIED);
}

TEST_F(Registry, HivesAreSeparateFilesAndClassesRootIsInTheMachineHive) {
  HKEY key = Create(HKEY_CLASSES_ROOT, ".xtb");
  ASSERT_EQ(SetString(key, nullptr, "XTB.Document"), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.xtb", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, nullptr), std::string("XTB.Document", 13));
  RegCloseKey(key);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "SOFTWARE\\Classes\\.xtb", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SetDword(HKEY_CLASSES_ROOT, "RootValue", 3), ERROR_SUCCESS);
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "RootValue"), 3u);
  RegCloseKey(key);

  EXPECT_EQ(xtb::RegistryHivePath(HKEY_LOCAL_MACHINE), dir_ + "/machine.db");
  EXPECT_EQ(xtb::RegistryHivePath(HKEY_CURRENT_USER), dir_ + "/user.db");
  struct stat info;
  EXPECT_EQ(stat((dir_ + "/machine.db").c_str(), &info), 0);
  EXPECT_EQ(stat((dir_ + "/user.db").c_str(), &info), 0);

  // Another folder is another store; keys opened in the first are gone.
  HKEY old = Create(HKEY_CURRENT_USER, "Software\\Old");
  const std::string other = dir_ + "/other";
  setenv("XTBASIS_REGISTRY_DIR", other.c_str(), 1);
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.xtb", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SetDword(old, "v", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(stat((other + "/user.db").c_str(), &info), 0);
  RegCloseKey(old);
}

TEST_F(Registry, AHiveThatCannotBeCreatedIsEmptyAndRefusesWrites) {
  setenv("XTBASIS_REGISTRY_DIR", "/dev/null/registry", 1);  // not even root can make this folder
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER).empty());
  EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "x"), ERROR_ACCESS_DENIED);
}

TEST_F(Registry, ACorruptHiveIsReportedNotReplaced) {
  const std::string path = dir_ + "/user.db";
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::string garbage(4096, 'x');
  std::fwrite(garbage.data(), 1, garbage.size(), file);
  std::fclose(file);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_REGISTRY_CORRUPT);
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", &key), ERROR_REGISTRY_CORRUPT);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 4096);  // the file is left for its owner to look at
}

}  // namespace
