// Key containers, key files, file encryption and signatures with keys made
// here, and how each fails on bad input.
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "crypt_fixture.h"

namespace {

std::vector<int> g_percents;
bool Record(const char* text, int percent, bool flag, void* user) {
  EXPECT_STREQ(text, "");
  EXPECT_FALSE(flag);
  EXPECT_EQ(user, nullptr);
  g_percents.push_back(percent);
  return true;
}

mode_t Mode(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::string Text(const char* prefix, const std::string& path) { return std::string(prefix) + path; }

// A key pair made once for the tests of this file (RSA 3072 takes a while).
class Container : public CryptTest {
 protected:
  static void SetUpTestSuite() {
    ScratchDir dir;
    setenv("XTBASIS_CRYPTO_DIR", dir.Path("store").c_str(), 1);
    CXTCrypt crypt;
    ASSERT_TRUE(crypt.AcquireContext("maker", 0));
    ASSERT_TRUE(crypt.GenKey(false)) << crypt.LastError.GetString();
    ASSERT_TRUE(crypt.ExportKey(KT_PRIVATE, dir.Path("private.blob").c_str()));
    ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, dir.Path("public.blob").c_str()));
    s_private = ScratchDir::Read(dir.Path("private.blob"));
    s_public = ScratchDir::Read(dir.Path("public.blob"));
    unsetenv("XTBASIS_CRYPTO_DIR");
  }
  static std::string s_private, s_public;
};
std::string Container::s_private, Container::s_public;

TEST_F(Container, GeneratedKeysHaveTheirSizesAndFileModes) {
  ASSERT_EQ(s_private.size(), 20u + 384 * 9 / 2);  // RSA 3072
  EXPECT_EQ(s_private.substr(0, 12), std::string("\x07\x02\x00\x00\x00\xa4\x00\x00RSA2", 12));
  EXPECT_EQ(s_public.size(), 20u + 384);
  EXPECT_EQ(s_public.substr(8, 4), "RSA1");

  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext("modes", 0));  // did not exist: made
  ASSERT_TRUE(crypt.GenKey(false));
  const std::string stored = Path("store/user/keys/modes/exchange.key");
  EXPECT_EQ(Mode(stored), 0600u);
  EXPECT_EQ(Mode(Path("store/user/keys/modes")), 0700u);
  // Exported keys that others may have are open to every user, the secret
  // ones stay the owner's, whatever the umask says either way.
  for (const mode_t mask : {mode_t{077}, mode_t{0}}) {
    const mode_t old = umask(mask);
    ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, Path("public.blob").c_str()));
    ASSERT_TRUE(crypt.ExportKey(KT_PRIVATE, Path("private.blob").c_str()));
    ASSERT_TRUE(crypt.GenKey(true));
    ASSERT_TRUE(crypt.ExportKey(KT_SESSION, Path("session.blob").c_str()));
    ASSERT_TRUE(CXTCrypt::HexToKey(CXTCrypt::KeyToHex(Path("public.blob").c_str()), Path("public.hex").c_str()));
    ASSERT_TRUE(CXTCrypt::HexToKey(CXTCrypt::KeyToHex(Path("private.blob").c_str()), Path("private.hex").c_str()));
    ASSERT_TRUE(CXTCrypt::HexToKey("00112233", Path("raw.hex").c_str()));
    umask(old);
    EXPECT_EQ(Mode(Path("public.blob")), 0666u);
    EXPECT_EQ(Mode(Path("public.hex")), 0666u);
    EXPECT_EQ(Mode(Path("private.blob")), 0600u);
    EXPECT_EQ(Mode(Path("private.hex")), 0600u);
    EXPECT_EQ(Mode(Path("raw.hex")), 0600u);  // no blob it can tell: kept as a secret
    EXPECT_EQ(Mode(Path("session.blob")), 0666u) << "a SIMPLEBLOB is wrapped for its receiver";
  }
  struct Probe : CXTCrypt {
    using CXTCrypt::GetUniqueContainer;
  };
  EXPECT_EQ(static_cast<Probe&>(crypt).GetUniqueContainer(), CString("modes"));
}

TEST_F(Container, ContainersAreSharedBetweenObjectsAndKeepTheirKey) {
  const std::string file = Write("data.bin", PatternBytes(2500));
  CXTCrypt first;
  ASSERT_TRUE(first.AcquireContext("shared", 0));
  ASSERT_TRUE(first.ImportKey(KT_PRIVATE, Write("private.blob", s_private).c_str()));
  // A second object, made later, signs with the key stored in the container.
  CXTCrypt second;
  ASSERT_TRUE(second.AcquireContext("shared", 0));
  ASSERT_TRUE(second.SignHash(file.c_str(), Path("sig").c_str(), nullptr)) << second.LastError.GetString();
  EXPECT_TRUE(first.VerifyHash(file.c_str(), Path("sig").c_str(), nullptr));

  // A process of its own signs the same way.
  const pid_t child = fork();
  if (child == 0) {
    CXTCrypt other;
    _exit(other.AcquireContext("shared", 0) && other.SignHash(file.c_str(), Path("sig2").c_str(), nullptr) ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ScratchDir::Read(Path("sig2")), ScratchDir::Read(Path("sig")));
}

TEST_F(Container, AcquireRules) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext("rules", CRYPT_NEWKEYSET));
  EXPECT_FALSE(crypt.AcquireContext("rules", CRYPT_NEWKEYSET));
  EXPECT_STREQ(crypt.LastError.GetString(), "Das Objekt ist bereits vorhanden. bei: CryptAcquireContext 1");

  // A damaged stored key: the container is made anew, without keys.
  ASSERT_TRUE(crypt.AcquireContext("rules", 0));
  ASSERT_TRUE(crypt.ImportKey(KT_PRIVATE, Write("private.blob", s_private).c_str()));
  Write("store/user/keys/rules/exchange.key", "XTK1\x01garbage");
  CXTCrypt again;
  ASSERT_TRUE(again.AcquireContext("rules", 0)) << again.LastError.GetString();
  EXPECT_FALSE(again.SignHash(Write("f", "x").c_str(), Path("sig").c_str(), nullptr));
  EXPECT_EQ(std::string(again.LastError.GetString()), Ansi("Der Schlüssel ist nicht vorhanden. bei: SignHash"));

  EXPECT_TRUE(again.AcquireContext("rules", CRYPT_DELETEKEYSET));
  EXPECT_FALSE(std::filesystem::exists(Path("store/user/keys/rules")));
  EXPECT_FALSE(again.AcquireContext("rules", CRYPT_DELETEKEYSET));
  EXPECT_TRUE(EndsWith(again.LastError, " bei: CryptAcquireContext 1"));

  // Names cannot reach outside the containers' folder.
  ASSERT_TRUE(crypt.AcquireContext("../../escape", CRYPT_MACHINE_KEYSET));
  EXPECT_TRUE(std::filesystem::is_directory(Path("store/machine/keys/%2E.%2F..%2Fescape")));
}

TEST_F(Container, CopiesShareKeysAndReleaseThemOnce) {
  auto* original = new CXTCrypt;
  ASSERT_TRUE(original->AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(original->ImportKey(KT_PUBLIC, Write("public.blob", s_public).c_str()));
  ASSERT_TRUE(original->GenKey(true));
  CXTCrypt copy(*original);
  CXTCrypt assigned;
  assigned = copy;
  delete original;
  CString first, second;
  ASSERT_TRUE(copy.GetKeyHex(KT_PUBLIC, first));
  ASSERT_TRUE(assigned.GetKeyHex(KT_PUBLIC, second));
  EXPECT_EQ(first, CXTCrypt::KeyToHex(Path("public.blob").c_str()));
  EXPECT_EQ(second, first);
  copy.DestroyKey(true);
  EXPECT_TRUE(assigned.GetKeyHex(KT_SESSION, second));  // the other copy keeps its key
  EXPECT_FALSE(copy.GetKeyHex(KT_SESSION, second));
  EXPECT_EQ(std::string(copy.LastError.GetString()), Ansi("Der Schlüssel ist nicht vorhanden. bei: CryptExportKey 1"));
}

TEST_F(Container, FilesRoundTripWithProgressInBlocks) {
  CString error;
  const std::string publicBlob = Write("public.blob", s_public);
  const std::string privateBlob = Write("private.blob", s_private);
  for (size_t size : {size_t{0}, size_t{3000}, size_t{1024 * 600 + 5}}) {
    SCOPED_TRACE(size);
    const std::string source = Write("source.bin", PatternBytes(size, 3));
    g_percents.clear();
    ASSERT_TRUE(CXTCrypt::EncryptFileA("sender", publicBlob.c_str(), source.c_str(), Path("cipher.bin").c_str(),
                                       Path("session.blob").c_str(), Record, error))
        << error.GetString();
    EXPECT_EQ(std::filesystem::file_size(Path("cipher.bin")), size == 0 ? 0 : (size / 16 + 1) * 16);
    if (size == 3000) {
      EXPECT_EQ(g_percents, (std::vector<int>{34, 68, 100}));
    } else if (size > 3000) {
      EXPECT_EQ(g_percents.size(), 601u);
      EXPECT_EQ(g_percents.back(), 100);
    }
    ASSERT_TRUE(CXTCrypt::DecryptFileA("receiver", privateBlob.c_str(), Path("session.blob").c_str(),
                                       Path("cipher.bin").c_str(), Path("plain.bin").c_str(), nullptr, error))
        << error.GetString();
    EXPECT_EQ(ScratchDir::Read(Path("plain.bin")), PatternBytes(size, 3));
  }
  CString hex;
  ASSERT_TRUE(CXTCrypt::EncryptFileSpecial("sender", publicBlob.c_str(), Path("source.bin").c_str(),
                                           Path("cipher.bin").c_str(), hex, error));
  EXPECT_EQ(hex.GetLength(), 2 * (12 + 384));
  EXPECT_EQ(hex.Left(24), CString("010200001066000000a40000"));
  ASSERT_TRUE(CXTCrypt::HexToKey(hex, Path("session.blob").c_str()));
  EXPECT_TRUE(CXTCrypt::DecryptFileA("receiver", privateBlob.c_str(), Path("session.blob").c_str(),
                                     Path("cipher.bin").c_str(), Path("plain.bin").c_str(), nullptr, error));
  EXPECT_EQ(ScratchDir::Read(Path("plain.bin")), PatternBytes(1024 * 600 + 5, 3));
}

TEST_F(Container, BadKeyFilesFailWithTheirTexts) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext("bad", 0));
  const std::string empty = Write("empty.blob", "");
  EXPECT_FALSE(crypt.ImportKey(KT_PRIVATE, empty.c_str()));
  EXPECT_EQ(std::string(crypt.LastError.GetString()), Text("Fehler beim Laden der Datei:\n", empty));
  EXPECT_FALSE(crypt.ImportKey(KT_PUBLIC, Path("missing.blob").c_str()));
  EXPECT_EQ(std::string(crypt.LastError.GetString()), Text("Fehler beim Laden der Datei:\n", Path("missing.blob")));

  std::string wrongPrime = s_private;
  wrongPrime[20 + 384 + 10] ^= 0x40;  // inside the first prime
  std::string wrongVersion = s_private;
  wrongVersion[1] = 3;
  for (const std::string& blob : {s_private.substr(0, 7), s_private.substr(0, 19), s_private.substr(0, 1000),
                                  wrongPrime, wrongVersion, std::string("\x06\x02\x00\x00\x00\xa4\x00\x00RSA2", 12)}) {
    EXPECT_FALSE(crypt.ImportKey(KT_PRIVATE, Write("bad.blob", blob).c_str()));
    EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CryptImportKey")) << crypt.LastError.GetString();
  }
  // A session key needs the private key to unwrap it.
  ASSERT_TRUE(crypt.ImportKey(KT_PUBLIC, Write("public.blob", s_public).c_str()));
  ASSERT_TRUE(crypt.GenKey(true));
  ASSERT_TRUE(crypt.ExportKey(KT_SESSION, Path("session.blob").c_str()));
  EXPECT_FALSE(crypt.ImportKey(KT_SESSION, Path("session.blob").c_str()));
  EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CryptImportKey"));
  std::string corrupt = ScratchDir::Read(Path("session.blob"));
  corrupt[100] ^= 1;
  ASSERT_TRUE(crypt.ImportKey(KT_PRIVATE, Write("private.blob", s_private).c_str()));
  EXPECT_FALSE(crypt.ImportKey(KT_SESSION, Write("corrupt.blob", corrupt).c_str()));
  EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CryptImportKey"));

  // A failed export leaves no key file behind.
  CXTCrypt none;
  ASSERT_TRUE(none.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  EXPECT_FALSE(none.ExportKey(KT_PRIVATE, Path("none.blob").c_str()));
  EXPECT_FALSE(std::filesystem::exists(Path("none.blob")));
  EXPECT_TRUE(crypt.ImportKey(KT_SESSION, Path("session.blob").c_str()));
  ASSERT_TRUE(crypt.GenKey(true));  // an imported session key could not be exported at all
  EXPECT_FALSE(crypt.ExportKey(KT_SESSION, Path("folder-missing/session.blob").c_str()));
  EXPECT_EQ(std::string(crypt.LastError.GetString()),
            Text("Fehler beim Speichern der Datei:\n", Path("folder-missing/session.blob")));
}

TEST_F(Container, BadCipherFilesAndBusyFiles) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(crypt.GenKey(true));
  const std::string source = Write("source.bin", PatternBytes(2048 + 7));
  ASSERT_TRUE(crypt.Encrypt(source.c_str(), Path("cipher.bin").c_str(), nullptr));
  const std::string cipher = ScratchDir::Read(Path("cipher.bin"));
  for (const std::string& bad : {cipher.substr(0, cipher.size() - 1), cipher.substr(0, 16), std::string(17, 'x')}) {
    EXPECT_FALSE(crypt.Decrypt(Write("bad.bin", bad).c_str(), Path("plain.bin").c_str(), nullptr));
    EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CryptDecrypt")) << crypt.LastError.GetString();
  }
  // Another key: the padding check fails. Both keys are fixed, so that the
  // last block always decrypts to a byte beyond 16 (with a random key, one
  // file in about 256 would end in valid padding).
  CXTCrypt fixed, other;
  ASSERT_TRUE(fixed.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(fixed.ImportKey(KT_SESSION, WriteKeyBlob("fixed.blob", PatternBytes(32, 9)).c_str()));
  ASSERT_TRUE(fixed.Encrypt(source.c_str(), Path("fixed.bin").c_str(), nullptr));
  ASSERT_TRUE(other.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(other.ImportKey(KT_SESSION, Vector("session_plaintextkeyblob.blob").c_str()));
  EXPECT_FALSE(other.Decrypt(Path("fixed.bin").c_str(), Path("plain.bin").c_str(), nullptr));
  EXPECT_EQ(std::string(other.LastError.GetString()), Ansi("Ungültige Daten. bei: CryptDecrypt"));

  EXPECT_FALSE(crypt.Encrypt(Path("missing").c_str(), Path("out").c_str(), nullptr));
  EXPECT_EQ(std::string(crypt.LastError.GetString()), Text(Ansi("Fehler beim Öffnen der Datei:\n").c_str(), Path("missing")));
  EXPECT_FALSE(crypt.Encrypt(source.c_str(), Path("no/such/folder").c_str(), nullptr));
  EXPECT_EQ(std::string(crypt.LastError.GetString()), Text("Fehler beim Erzeugen der Datei:\n", Path("no/such/folder")));
  EXPECT_FALSE(crypt.Encrypt(source.c_str(), source.c_str(), nullptr));  // never truncates its own source
  EXPECT_EQ(ScratchDir::Read(source), PatternBytes(2048 + 7));

  // A file that another process holds open.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    const int fd = open(source.c_str(), O_RDONLY);
    flock(fd, LOCK_EX);
    (void)!write(ready[1], "x", 1);
    pause();
    _exit(0);
  }
  char byte;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_FALSE(crypt.Encrypt(source.c_str(), Path("out").c_str(), nullptr));
  EXPECT_EQ(std::string(crypt.LastError.GetString()), Text(Ansi("Fehler beim Öffnen der Datei:\n").c_str(), source));
  EXPECT_TRUE(CXTCrypt::CalcFileHash(source.c_str(), CALG_SHA_256).IsEmpty());
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_FALSE(CXTCrypt::CalcFileHash(source.c_str(), CALG_SHA_256).IsEmpty());

  // No session key: the first block fails, an empty file needs none.
  CXTCrypt keyless;
  ASSERT_TRUE(keyless.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  EXPECT_FALSE(keyless.Encrypt(source.c_str(), Path("out").c_str(), nullptr));
  EXPECT_EQ(std::string(keyless.LastError.GetString()), Ansi("Ungültiger Schlüssel. bei: CryptEncrypt 1"));
  EXPECT_TRUE(keyless.Encrypt(Write("empty", "").c_str(), Path("out").c_str(), nullptr));
}

TEST(CryptErrors, FillLastErrorFormsTheText) {
  struct Probe : CXTCrypt {
    using CXTCrypt::FillLastError;
  } probe;
  probe.FillLastError("", NTE_BAD_SIGNATURE);
  EXPECT_EQ(std::string(probe.LastError.GetString()), Ansi("Ungültige Signatur."));
  SetLastError(NTE_BAD_KEYSET);
  probe.FillLastError("CryptAcquireContext 2");
  EXPECT_EQ(std::string(probe.LastError.GetString()), Ansi("Der Schlüsselsatz ist nicht vorhanden. bei: CryptAcquireContext 2"));
}

}  // namespace
