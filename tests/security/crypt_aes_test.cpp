// AES texts, hashes, PBKDF2 and hexadecimal keys, also against the openssl
// and coreutils programs.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "crypt_fixture.h"
#include "crypto/pbkdf2.h"

namespace {

const char* kPassword = "Zahnarztpraxis-Kennwort-32-Bytes";

std::string Hex(const std::string& bytes) {
  return CXTCrypt::KeyToHex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()).GetString();
}

std::string Decrypt(const char* password, const char* iv, const CString& base64, bool* ok = nullptr) {
  unsigned char* data = nullptr;
  unsigned long length = 0;
  CString error;
  const bool done = CXTCrypt::DecryptDataAESBase64(password, iv, base64, data, length, error);
  if (ok != nullptr) *ok = done;
  if (!done) {
    EXPECT_EQ(data, nullptr);
  }
  std::string out = data != nullptr ? std::string(reinterpret_cast<char*>(data), length) : error.GetString();
  std::free(data);
  return out;
}

CString Encrypt(const char* iv, std::string data) {
  CString base64, error;
  EXPECT_TRUE(CXTCrypt::EncryptDataAESBase64(kPassword, iv, reinterpret_cast<unsigned char*>(data.data()),
                                             data.size(), base64, error));
  return base64;
}

TEST(AesText, PasswordMustHave32Characters) {
  for (const char* password : {"0123456789012345678901234567890", "012345678901234567890123456789012", ""}) {
    CString base64, error;
    unsigned char byte = 1;
    EXPECT_FALSE(CXTCrypt::EncryptDataAESBase64(password, nullptr, &byte, 1, base64, error));
    EXPECT_STREQ(error.GetString(), "Das Kennwort muss genau 32 Zeichen lang sein!");
    bool ok = true;
    EXPECT_EQ(Decrypt(password, nullptr, "7SJUzum7NuGRIaTrlarSaw==", &ok), "Das Kennwort muss genau 32 Zeichen lang sein!");
    EXPECT_FALSE(ok);
  }
}

TEST(AesText, RoundTripsAndVectors) {
  for (size_t size : {0, 1, 15, 16, 17, 1000}) {
    const std::string data = PatternBytes(size);
    const CString plainIv = Encrypt(nullptr, data);
    EXPECT_EQ(plainIv, Encrypt("", data));  // no IV text: the zero vector, the same text every time
    EXPECT_EQ(plainIv.GetLength(), static_cast<int>((size / 16 + 1) * 16 + 2) / 3 * 4);
    EXPECT_EQ(Decrypt(kPassword, nullptr, plainIv), data);
    const CString withIv = Encrypt("Praxis 4711", data);
    EXPECT_NE(withIv, plainIv);
    EXPECT_EQ(Decrypt(kPassword, "Praxis 4711", withIv), data);
    // Another vector gets wrong first bytes or a failed padding check,
    // never the data.
    bool ok = false;
    EXPECT_NE(Decrypt(kPassword, "Praxis 4712", withIv, &ok), data);
    EXPECT_NE(Decrypt(kPassword, nullptr, withIv, &ok), data);
  }
}

TEST(AesText, BadTextsFailCleanly) {
  const CString good = Encrypt("iv", "Befund 18-28");
  for (const char* text : {"", "====", "AAAA", "7SJUzum7NuGRIaTrlarSa", "not base64 at all!"}) {
    bool ok = true;
    const std::string error = Decrypt(kPassword, "iv", text, &ok);
    EXPECT_FALSE(ok) << text;
    EXPECT_TRUE(EndsWith(CString(error.c_str()), " bei: CryptDecrypt")) << error;
  }
  // Another password: the padding fails or the bytes differ.
  bool ok = false;
  EXPECT_NE(Decrypt("Zahnarztpraxis-Kennwort-32-Bytez", "iv", good, &ok), "Befund 18-28");
  // An error text passed in stays.
  CString base64, error = "vorher";
  unsigned char* data = nullptr;
  unsigned long length = 0;
  EXPECT_FALSE(CXTCrypt::DecryptDataAESBase64(kPassword, "iv", "AAAA", data, length, error));
  EXPECT_STREQ(error.GetString(), "vorher");
}

TEST(AesText, OpensslReadsAndWritesTheSameTexts) {
  ScratchDir dir;
  const std::string data = PatternBytes(777);
  const std::string key = Hex(kPassword);
  CString digestError;
  const CString digest = CXTCrypt::CalcHash(reinterpret_cast<const unsigned char*>("Praxis"), 6, CALG_SHA_256, digestError);
  const std::string iv = Hex(std::string(digest.GetString(), 16));
  const std::string base64 = Encrypt("Praxis", data).GetString();
  const std::string cipherFile = dir.Write("cipher.b64", base64 + "\n");
  int status = -1;
  const std::string plain = RunCommand("openssl enc -d -aes-256-cbc -a -A -K " + key + " -iv " + iv + " -in '" +
                                           cipherFile + "'",
                                       &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(plain, data);
  const std::string plainFile = dir.Write("plain.bin", data);
  const std::string theirs =
      RunCommand("openssl enc -e -aes-256-cbc -a -A -K " + key + " -iv " + iv + " -in '" + plainFile + "'", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Decrypt(kPassword, "Praxis", CString(theirs.c_str())), data);
}

TEST(Hashes, AlgorithmsAgreeWithOpenssl) {
  ScratchDir dir;
  const std::string data = PatternBytes(100000);
  const std::string file = dir.Write("data.bin", data);
  const std::pair<unsigned, const char*> algorithms[] = {
      {CALG_MD5, "md5"}, {CALG_SHA1, "sha1"}, {CALG_SHA_256, "sha256"}, {CALG_SHA_384, "sha384"}, {CALG_SHA_512, "sha512"}};
  for (const auto& [id, name] : algorithms) {
    SCOPED_TRACE(name);
    std::string expected = RunCommand(std::string("openssl dgst -") + name + " -r '" + file + "'");
    expected = expected.substr(0, expected.find(' '));
    CString error;
    EXPECT_EQ(std::string(CXTCrypt::CalcHash(reinterpret_cast<const unsigned char*>(data.data()), data.size(), id, error)
                              .GetString()),
              expected);
    EXPECT_EQ(std::string(CXTCrypt::CalcFileHash(file.c_str(), id).GetString()), expected);
  }
  const std::string sum = RunCommand("sha256sum '" + file + "'");
  EXPECT_EQ(std::string(CXTCrypt::CalcFileHash(file.c_str(), CALG_SHA_256).GetString()), sum.substr(0, 64));
  CString error;
  EXPECT_TRUE(CXTCrypt::CalcHash(reinterpret_cast<const unsigned char*>("abc"), 3, 0x8001, error).IsEmpty());
  EXPECT_TRUE(CXTCrypt::CalcFileHash(dir.Path("missing").c_str(), CALG_SHA_256).IsEmpty());
  EXPECT_TRUE(CXTCrypt::CalcFileHash(file.c_str(), 0x8001).IsEmpty());
  EXPECT_EQ(CXTCrypt::CalcFileHash(dir.Write("empty", "").c_str(), CALG_SHA_256),
            CString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

TEST(Hashes, Pbkdf2AgreesWithOpensslKdf) {
  // Salt and password as stored bytes, 1252 letters included.
  const CString password("Kennw\xF6rt Zahnarzt"), salt("Praxis\xDF""2026");
  CString error;
  const CString ours = CXTCrypt::CalcPBKDF2Hash(password, salt, error);
  EXPECT_EQ(ours.GetLength(), 64);
  EXPECT_TRUE(error.IsEmpty());
  int status = -1;
  std::string theirs =
      RunCommand("openssl kdf -keylen 32 -kdfopt digest:SHA256 -kdfopt hexpass:" + Hex(password.GetString()) +
                     " -kdfopt hexsalt:" + Hex(salt.GetString()) + " -kdfopt iter:600000 PBKDF2",
                 &status);
  ASSERT_EQ(status, 0);
  std::string hex;
  for (char c : theirs)
    if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::tolower(c));
  EXPECT_EQ(std::string(ours.GetString()), hex);

  // Keys longer than a hash block are hashed first; empty ones are padded.
  for (const auto& [pass, saltText] : {std::pair<std::string, std::string>{PatternBytes(100, 4), "s"},
                                       {PatternBytes(64, 5), ""},
                                       {"", "Salz"}}) {
    uint8_t derived[32];
    ASSERT_TRUE(xtb::crypto::Pbkdf2Sha256(reinterpret_cast<const uint8_t*>(pass.data()), pass.size(),
                                          reinterpret_cast<const uint8_t*>(saltText.data()), saltText.size(), 1000,
                                          derived));
    theirs = RunCommand("openssl kdf -keylen 32 -kdfopt digest:SHA256 -kdfopt hexpass:" + Hex(pass) +
                        " -kdfopt hexsalt:" + Hex(saltText) + " -kdfopt iter:1000 PBKDF2 2>&1");
    hex.clear();
    for (char c : theirs)
      if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::tolower(c));
    EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(derived), 32)), hex) << pass.size() << " " << theirs;
  }
}

TEST(HexKeys, PairsReadAsStrtolReadsThem) {
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  CXTCrypt::HexToKey("0aFf1zzz7", bytes, length);
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(std::vector<unsigned>(bytes, bytes + length), (std::vector<unsigned>{0x0a, 0xff, 0x01, 0x00}));
  delete[] bytes;
  for (const char* pair : {" 1", "-1", "+f", "0x", "z1", "\t9"}) {
    CXTCrypt::HexToKey(pair, bytes, length);
    ASSERT_EQ(length, 1u);
    EXPECT_EQ(bytes[0], static_cast<unsigned char>(std::strtol(pair, nullptr, 16))) << pair;
    delete[] bytes;
  }
  CXTCrypt::HexToKey("abcde", bytes, length);
  EXPECT_EQ(CXTCrypt::KeyToHex(bytes, length), CString("abcd"));
  delete[] bytes;
  EXPECT_TRUE(CXTCrypt::KeyToHex(nullptr, 5).IsEmpty());

  ScratchDir dir;
  EXPECT_TRUE(CXTCrypt::HexToKey("00ff10", dir.Path("key.bin").c_str()));
  EXPECT_EQ(ScratchDir::Read(dir.Path("key.bin")), std::string("\x00\xff\x10", 3));
  EXPECT_EQ(CXTCrypt::KeyToHex(dir.Path("key.bin").c_str()), CString("00ff10"));
  EXPECT_FALSE(CXTCrypt::HexToKey("a", dir.Path("empty.bin").c_str()));
  EXPECT_TRUE(CXTCrypt::KeyToHex(dir.Path("empty.bin").c_str()).IsEmpty());
  EXPECT_TRUE(CXTCrypt::KeyToHex(dir.Path("missing.bin").c_str()).IsEmpty());

  // A write that fails half-way (here: the file size limit) leaves the old
  // key file as it was and nothing beside it.
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(CXTCrypt::HexToKey(CString(std::string(2000, 'a').c_str()), dir.Path("key.bin").c_str()) ? 1 : 0);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ScratchDir::Read(dir.Path("key.bin")), std::string("\x00\xff\x10", 3));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) ++files;
  EXPECT_EQ(files, 2u);  // key.bin and empty.bin
}

}  // namespace
