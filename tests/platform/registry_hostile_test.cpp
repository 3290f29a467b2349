// The user's hive against other accounts: private whatever the umask, and
// never one that another account prepared in the folder it was told to use.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "registry_fixture.h"
#include "second_account.h"

namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The user hive's files in `folder` with their owners, modes and content.
std::map<std::string, std::string> UserHiveFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& [path, what] : Snapshot(folder, ""))
    if (fs::path(path).filename().string().rfind("user.db", 0) == 0) {
      struct stat info {};
      lstat(path.c_str(), &info);
      files[path] = std::to_string(info.st_uid) + ":" + what;
    }
  return files;
}

using UserHive = RegistryTest;

TEST_F(UserHive, IsClosedToOthersWhateverTheUmaskWithItsCompanions) {
  fs::permissions(dir_, fs::perms(0755));  // a folder others may read, as XTBASIS_REGISTRY_DIR may name
  const mode_t before = umask(0);
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Private");
  const LONG written = SetString(key, "pin", "1234");
  umask(before);
  ASSERT_EQ(written, ERROR_SUCCESS);
  for (const char* name : {"/user.db", "/user.db-wal", "/user.db-shm"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ModeOf(dir_ + name), 0600u);
  }
  RegCloseKey(key);
  xtb::CloseRegistryHives();

  // A hive that an older program left readable by others is closed on use.
  ASSERT_EQ(chmod((dir_ + "/user.db").c_str(), 0644), 0);
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Private", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "pin"), std::string("1234", 5));
  RegCloseKey(key);
  EXPECT_EQ(ModeOf(dir_ + "/user.db"), 0600u);
}

// Another account makes the folder first and a hive in it with a value of
// its choosing: the hive is neither read nor written.
TEST_F(UserHive, AFolderAnotherAccountPreparedIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
  fs::permissions(dir_, fs::perms(01777));  // where the setting points, every account makes folders (/tmp)
  const std::string planted = dir_ + "/planted";
  setenv("XTBASIS_REGISTRY_DIR", planted.c_str(), 1);
  ASSERT_TRUE(AsNobody([&] {
    HKEY key = nullptr;
    const bool made = mkdir(planted.c_str(), 0755) == 0 &&
                      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Chosen", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      &key, nullptr) == ERROR_SUCCESS &&
                      SetDword(key, "admin", 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    xtb::CloseRegistryHives();
    return made;
  }));
  const auto before = UserHiveFiles(planted);
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Chosen", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Root", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_ACCESS_DENIED);
  xtb::CloseRegistryHives();
  EXPECT_TRUE(UserHiveFiles(planted) == before);
}

}  // namespace
