// Key files in folders that another account may write: exported keys in a
// shared folder, the key file of a container, the files of a certificate
// store. A name planted there (a symbolic link, a second name of someone
// else's file) never makes the writer write, read or delete anything
// outside the folder; a container or store folder that someone else could
// change is refused. Played with a real second account (nobody), the
// writer as root.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "crypt_fixture.h"
#include "second_account.h"

namespace {

namespace fs = std::filesystem;

class SharedKeyFolders : public CryptTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    CryptTest::SetUp();
    m_area = fs::path(Path("area"));
    fs::permissions(m_area.parent_path(), fs::perms(0755));
    m_shared = m_area / "shared";
    fs::create_directories(m_shared);
    fs::permissions(m_shared, fs::perms(0777));
    m_secret = (m_area / "secret").string();
    MakeRootSecret(m_secret);
    m_before = Snapshot(m_area, m_shared);
  }

  void ExpectNothingOutsideChanged() const {
    EXPECT_TRUE(RootSecretUntouched(m_secret));
    EXPECT_TRUE(Snapshot(m_area, m_shared) == m_before);
  }
  // The file is the writer's own: a regular file with one name and `mode`.
  static void ExpectOwnFile(const fs::path& path, unsigned mode) { EXPECT_TRUE(IsOwnFile(path.string(), mode)); }
  static size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }
  std::string MachineKeys() const { return Path("store") + "/machine/keys"; }

  fs::path m_area, m_shared;
  std::string m_secret;
  std::map<std::string, std::string> m_before;
};

TEST_F(SharedKeyFolders, ExportedKeysReplacePlantedNamesAndWriteOnlyTheirOwnFile) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext("exporter", CRYPT_MACHINE_KEYSET | CRYPT_NEWKEYSET));
  ASSERT_TRUE(crypt.GenKey(false));
  ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, Path("reference.blob").c_str()));
  const std::string expected = ScratchDir::Read(Path("reference.blob"));
  ASSERT_FALSE(expected.empty());

  ASSERT_TRUE(PlantSymlinkAsNobody(m_secret, (m_shared / "public.blob").string()));
  ASSERT_TRUE(PlantHardLink(m_secret, (m_shared / "linked.blob").string()));
  ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, (m_shared / "public.blob").c_str())) << crypt.LastError.GetString();
  ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, (m_shared / "linked.blob").c_str())) << crypt.LastError.GetString();
  // A hex key file and a signature go the same way.
  ASSERT_TRUE(PlantSymlinkAsNobody(m_secret, (m_shared / "key.hex").string()));
  ASSERT_TRUE(CXTCrypt::HexToKey(CXTCrypt::KeyToHex(Path("reference.blob").c_str()), (m_shared / "key.hex").c_str()));

  ExpectNothingOutsideChanged();
  for (const char* name : {"public.blob", "linked.blob", "key.hex"}) ExpectOwnFile(m_shared / name, 0666);
  EXPECT_EQ(ScratchDir::Read((m_shared / "public.blob").string()), expected);
  EXPECT_EQ(ScratchDir::Read((m_shared / "linked.blob").string()), expected);
  EXPECT_EQ(EntriesIn(m_shared), 3u);  // no draft left behind

  // The exported file is open to the second account, as the rule asks.
  const std::string exported = (m_shared / "public.blob").string();
  EXPECT_TRUE(AsNobody([&] { return access(exported.c_str(), R_OK | W_OK) == 0; }));
}

TEST_F(SharedKeyFolders, AContainerKeyFileThatIsALinkIsNeitherReadNorWrittenThrough) {
  CXTCrypt maker;
  ASSERT_TRUE(maker.AcquireContext("victim", CRYPT_MACHINE_KEYSET | CRYPT_NEWKEYSET));
  ASSERT_TRUE(maker.GenKey(false));
  ASSERT_TRUE(maker.ExportKey(KT_PRIVATE, Path("private.blob").c_str()));
  const fs::path folder = MachineKeys() + "/victim";
  {
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
  }
  ExpectOwnFile(folder / "exchange.key", 0600);

  // No other account can reach into the 0700 folder; what a slip of the
  // administrator (or a restored backup) could leave there is put in place
  // by the test itself.
  for (const bool hardLink : {false, true}) {
    SCOPED_TRACE(hardLink ? "hard link" : "symbolic link");
    fs::remove(folder / "exchange.key");
    if (hardLink) {
      ASSERT_EQ(link(m_secret.c_str(), (folder / "exchange.key").c_str()), 0);
    } else {
      fs::create_symlink(m_secret, folder / "exchange.key");
    }
    CXTCrypt reader;
    ASSERT_TRUE(reader.AcquireContext("victim", CRYPT_MACHINE_KEYSET));
    EXPECT_FALSE(reader.GetUserKey());  // the planted file is not taken for the key
    ASSERT_TRUE(reader.ImportKey(KT_PRIVATE, Path("private.blob").c_str())) << reader.LastError.GetString();
    ExpectOwnFile(folder / "exchange.key", 0600);
    EXPECT_TRUE(reader.GetUserKey());
    ExpectNothingOutsideChanged();
  }
}

TEST_F(SharedKeyFolders, ContainerFoldersAnotherAccountPreparedAreRefused) {
  fs::create_directories(MachineKeys());
  fs::permissions(MachineKeys(), fs::perms(01777));
  // A container folder of nobody's, with a key file that leads to root's
  // file, and a container name that is a link to a folder of root's.
  const std::string trap = MachineKeys() + "/trap", secret = m_secret;
  ASSERT_TRUE(AsNobody([&] {
    return mkdir(trap.c_str(), 0777) == 0 && chmod(trap.c_str(), 0777) == 0 &&
           symlink(secret.c_str(), (trap + "/exchange.key").c_str()) == 0;
  }));
  const std::string redirect = MachineKeys() + "/redirect", rootFolder = m_area.string();
  ASSERT_TRUE(PlantSymlinkAsNobody(rootFolder, redirect));

  CXTCrypt crypt;
  EXPECT_FALSE(crypt.AcquireContext("trap", CRYPT_MACHINE_KEYSET));
  EXPECT_FALSE(crypt.AcquireContext("redirect", CRYPT_MACHINE_KEYSET));
  EXPECT_FALSE(crypt.AcquireContext("redirect", CRYPT_MACHINE_KEYSET | CRYPT_NEWKEYSET));
  EXPECT_FALSE(crypt.AcquireContext("redirect", CRYPT_MACHINE_KEYSET | CRYPT_DELETEKEYSET));
  EXPECT_FALSE(crypt.AcquireContext("trap", CRYPT_MACHINE_KEYSET | CRYPT_DELETEKEYSET));
  ExpectNothingOutsideChanged();
  EXPECT_TRUE(fs::is_symlink(trap + "/exchange.key"));  // nobody's own folder is left to nobody
}

TEST_F(SharedKeyFolders, CertificateStoreEntriesThatAreLinksAreSkipped) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.CreateCACertificate("store-root", "Speicher Wurzel", "Speicher CA", 1, true))
      << crypt.LastError.GetString();
  const fs::path store = Path("store") + "/machine/certs/Root";
  const std::string pem = (m_shared / "root.pem").string();
  ASSERT_TRUE(crypt.ExportCertificatePem("Root", "Speicher CA", pem.c_str()));
  ExpectOwnFile(pem, 0666);

  fs::path der;
  for (const auto& entry : fs::directory_iterator(store))
    if (entry.path().extension() == ".der") der = entry.path();
  ASSERT_FALSE(der.empty());
  ExpectOwnFile(der, 0644);
  for (const bool hardLink : {false, true}) {
    SCOPED_TRACE(hardLink ? "hard link" : "symbolic link");
    fs::remove(der);
    if (hardLink) {
      ASSERT_EQ(link(m_secret.c_str(), der.c_str()), 0);
    } else {
      fs::create_symlink(m_secret, der);
    }
    EXPECT_FALSE(crypt.ExportCertificatePem("Root", "Speicher CA", (m_shared / "other.pem").c_str()));
    EXPECT_FALSE(fs::exists(m_shared / "other.pem"));
  }
  ExpectNothingOutsideChanged();

  // A store folder that another account may write is not used at all.
  fs::permissions(store, fs::perms(0777));
  EXPECT_FALSE(crypt.ExportCertificatePem("Root", "Speicher CA", (m_shared / "third.pem").c_str()));
}

// The folders made on the way to a container and a store are no more open
// than the folders themselves whatever the umask: under umask 0 another
// account could put anything beside or below them, under umask 077 no
// other account could read the machine's store.
TEST_F(SharedKeyFolders, FoldersMadeOnTheWayHaveTheirModeWhateverTheUmask) {
  for (const mode_t mask : {mode_t{0}, mode_t{077}}) {
    SCOPED_TRACE(mask);
    const std::string base = Path("store-" + std::to_string(mask));
    setenv("XTBASIS_CRYPTO_DIR", base.c_str(), 1);
    const mode_t before = umask(mask);
    CXTCrypt crypt;
    const bool container = crypt.AcquireContext("open-mask", CRYPT_NEWKEYSET);
    const bool store = crypt.CreateCACertificate("mask-root", "Maske Wurzel", "Maske CA", 1, true);
    umask(before);
    ASSERT_TRUE(container && store) << crypt.LastError.GetString();
    for (const std::string& folder : {base, base + "/user", base + "/user/keys", base + "/machine",
                                      base + "/machine/certs"}) {
      SCOPED_TRACE(folder);
      EXPECT_EQ(static_cast<unsigned>(fs::status(folder).permissions()), 0755u);
      const std::string planted = folder + "/planted";
      EXPECT_FALSE(AsNobody([&] { return mkdir(planted.c_str(), 0777) == 0; }));
    }
    EXPECT_EQ(static_cast<unsigned>(fs::status(base + "/user/keys/open-mask").permissions()), 0700u);
  }
}

// Any account that may read the machine's store may lock it. Root's
// certificate operations wait for the lock a bounded time and then fail.
TEST_F(SharedKeyFolders, AStoreLockHeldByAnotherAccountCostsABoundedWait) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.CreateCACertificate("lock-root", "Sperre Wurzel", "Sperre CA", 1, true))
      << crypt.LastError.GetString();
  const std::string store = Path("store") + "/machine/certs/Root";
  int held[2];
  ASSERT_EQ(pipe(held), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    close(held[0]);
    const int fd = BecomeNobody() ? open(store.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    const char answer = fd >= 0 && flock(fd, LOCK_SH) == 0 ? 'y' : 'n';
    if (write(held[1], &answer, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  close(held[1]);
  char answer = 0;
  EXPECT_EQ(read(held[0], &answer, 1), 1);
  close(held[0]);
  EXPECT_EQ(answer, 'y');

  // In a child: a wait without bound would end there, by the alarm. The
  // time includes the new key's generation, which takes seconds of its own
  // under a sanitizer on a busy machine; the wait for the lock is 5 s.
  const pid_t writer = fork();
  if (writer == 0) {
    alarm(60);
    const auto start = std::chrono::steady_clock::now();
    CXTCrypt other;
    const bool made = other.CreateCACertificate("lock-root-2", "Sperre Zwei", "Sperre Zwei", 1, true);
    const bool bounded = std::chrono::steady_clock::now() - start < std::chrono::seconds(30);
    _exit(!made && GetLastError() == ERROR_TIMEOUT && bounded ? 0 : 1);
  }
  int status = -1;
  waitpid(writer, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);

  EXPECT_TRUE(crypt.ExportCertificatePem("Root", "Sperre CA", (m_shared / "free.pem").c_str()))
      << crypt.LastError.GetString();
}

}  // namespace
