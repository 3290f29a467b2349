#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/provider.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <xtbasis/platform/exceptions.h>
#include <xtbasis/rc4file.h>

#include "pattern_bytes.h"
#include "scratch_dir.h"

namespace {

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : bytes) text += {digits[byte >> 4], digits[byte & 15]};
  return text;
}

std::string Rc4(const std::string& key, std::string data) {
  RC4Crypt(reinterpret_cast<const BYTE*>(key.data()), static_cast<int>(key.size()),
           reinterpret_cast<BYTE*>(data.data()), static_cast<int>(data.size()));
  return data;
}

// The file formats' block rule with the function under test.
std::string Rc4Blocks(const std::string& key, const std::string& data, size_t blockSize) {
  std::string out;
  for (size_t offset = 0; offset < data.size(); offset += blockSize) out += Rc4(key, data.substr(offset, blockSize));
  return out;
}

// RC4 from OpenSSL's legacy provider, fresh for each call.
class OpenSslRc4 {
 public:
  OpenSslRc4() : m_legacy(OSSL_PROVIDER_load(nullptr, "legacy")), m_cipher(EVP_CIPHER_fetch(nullptr, "RC4", nullptr)) {}
  ~OpenSslRc4() {
    EVP_CIPHER_free(m_cipher);
    if (m_legacy != nullptr) OSSL_PROVIDER_unload(m_legacy);
  }
  bool Available() const { return m_cipher != nullptr; }

  std::string Crypt(const std::string& key, const std::string& data) const {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::string out(data.size(), '\0');
    int written = 0;
    const bool ok = EVP_EncryptInit_ex2(ctx, m_cipher, nullptr, nullptr, nullptr) == 1 &&
                    EVP_CIPHER_CTX_set_key_length(ctx, static_cast<int>(key.size())) == 1 &&
                    EVP_EncryptInit_ex2(ctx, nullptr, reinterpret_cast<const unsigned char*>(key.data()), nullptr,
                                        nullptr) == 1 &&
                    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                                      reinterpret_cast<const unsigned char*>(data.data()),
                                      static_cast<int>(data.size())) == 1;
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_TRUE(ok);
    return out.substr(0, static_cast<size_t>(written));
  }

  // The file format's rule: a fresh keystream for every block.
  std::string CryptBlocks(const std::string& key, const std::string& data, size_t blockSize) const {
    std::string out;
    for (size_t offset = 0; offset < data.size(); offset += blockSize)
      out += Crypt(key, data.substr(offset, blockSize));
    return out;
  }

 private:
  OSSL_PROVIDER* m_legacy;
  EVP_CIPHER* m_cipher;
};

TEST(Rc4Crypt, KnownVectors) {
  // RFC 6229, 40-bit key 0102030405, keystream bytes 0 to 15.
  EXPECT_EQ(Hex(Rc4("\x01\x02\x03\x04\x05", std::string(16, '\0'))), "b2396305f03dc027ccc3524a0a1118a8");
  EXPECT_EQ(Hex(Rc4("Key", "Plaintext")), "bbf316e8d940af0ad3");
  EXPECT_EQ(Hex(Rc4("Secret", "Attack at dawn")), "45a01f645fc35b383552544b9bf5");
  EXPECT_EQ(Rc4("Secret", Rc4("Secret", "Attack at dawn")), "Attack at dawn");
  // Nothing to do: empty data or key.
  EXPECT_EQ(Rc4("", "abc"), "abc");
  EXPECT_EQ(Rc4("k", ""), "");
}

TEST(Rc4Crypt, AgreesWithOpenSsl) {
  OpenSslRc4 peer;
  if (!peer.Available()) GTEST_SKIP() << "OpenSSL's legacy provider is not installed";
  for (size_t keyLength : {1, 5, 16, 31, 32, 256}) {
    const std::string key = PatternBytes(keyLength, static_cast<unsigned>(keyLength));
    const std::string data = PatternBytes(3000, 99);
    EXPECT_EQ(Rc4(key, data), peer.Crypt(key, data)) << keyLength;
  }
}

class Rc4Files : public ::testing::Test {
 protected:
  std::string Source(const std::string& bytes) { return dir.Write("plain.bin", bytes); }
  std::string Target() const { return dir.Path("out.bin"); }
  std::string Back() const { return dir.Path("back.bin"); }
  static std::string Read(const std::string& path) { return ScratchDir::Read(path); }

  ScratchDir dir;
  OpenSslRc4 peer;
};

TEST_F(Rc4Files, FormatALayoutAndRoundTrip) {
  const std::string plain = PatternBytes(2500, 5);
  ASSERT_TRUE(EncryptRC4FileSchwachsinnigeVDDSEXPVariante(Source(plain).c_str(), Target().c_str()));
  const std::string file = Read(Target());
  ASSERT_EQ(file.size(), 17u + plain.size());
  EXPECT_EQ(file[0], 16);
  const std::string key = file.substr(1, 16), payload = file.substr(17);
  // Each of the three blocks (1024, 1024, 452 bytes) starts the keystream anew.
  EXPECT_EQ(payload, Rc4Blocks(key, plain, 1024));
  if (peer.Available()) {
    EXPECT_EQ(payload, peer.CryptBlocks(key, plain, 1024));
  }
  ASSERT_TRUE(DecryptRC4FileSchwachsinnigeVDDSEXPVariante(Target().c_str(), Back().c_str()));
  EXPECT_EQ(Read(Back()), plain);
}

TEST_F(Rc4Files, FormatBLayoutAndRoundTrip) {
  const std::string plain = PatternBytes(5000, 6);
  ASSERT_TRUE(EncryptRC4File20(Source(plain).c_str(), Target().c_str()));
  const std::string file = Read(Target());
  ASSERT_EQ(file.size(), 2048u + plain.size());
  EXPECT_EQ(file[0], 11);
  EXPECT_EQ(file[1], 32);
  EXPECT_EQ(file[2015], 32);
  const std::string key = file.substr(2016, 32);
  EXPECT_EQ(file.substr(2048), Rc4Blocks(key, plain, 2048));
  if (peer.Available()) {
    EXPECT_EQ(file.substr(2048), peer.CryptBlocks(key, plain, 2048));
  }
  ASSERT_TRUE(DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(Target().c_str(), Back().c_str()));
  EXPECT_EQ(Read(Back()), plain);
}

TEST_F(Rc4Files, EmptySources) {
  const std::string empty = Source("");
  ASSERT_TRUE(EncryptRC4FileSchwachsinnigeVDDSEXPVariante(empty.c_str(), Target().c_str()));
  EXPECT_EQ(Read(Target()).size(), 17u);
  ASSERT_TRUE(DecryptRC4FileSchwachsinnigeVDDSEXPVariante(Target().c_str(), Back().c_str()));
  EXPECT_EQ(Read(Back()), "");
  ASSERT_TRUE(EncryptRC4FileNochSchwachsinnigereRZ2_1Variante(empty.c_str(), Target().c_str()));
  EXPECT_EQ(Read(Target()).size(), 2048u);
  ASSERT_TRUE(DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(Target().c_str(), Back().c_str()));
  EXPECT_EQ(Read(Back()), "");
}

// A format B file written by hand with another exponent and key length.
TEST_F(Rc4Files, FormatBHonoursTheExponentInTheFile) {
  const std::string key = "0123456789";
  std::string header(1024, 'f');
  header[0] = 10;
  header[1] = static_cast<char>(key.size());
  header[1024 - key.size() - 1] = static_cast<char>(key.size());
  header.replace(1024 - key.size(), key.size(), key);
  const std::string plain = PatternBytes(2100, 8);
  const std::string source = dir.Write("e10.bin", header + Rc4Blocks(key, plain, 1024));
  ASSERT_TRUE(DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(source.c_str(), Back().c_str()));
  EXPECT_EQ(Read(Back()), plain);
}

TEST_F(Rc4Files, BadHeadersAreRejectedWithoutATarget) {
  auto rejectedB = [&](const std::string& bytes) {
    const std::string source = dir.Write("bad.bin", bytes);
    const bool result = DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(source.c_str(), Target().c_str());
    return !result && !std::filesystem::exists(Target());
  };
  std::string header(2048, 'x');
  header[0] = 11;
  header[1] = 32;
  header[2015] = 31;  // differs from the key length
  EXPECT_TRUE(rejectedB(header));
  EXPECT_TRUE(rejectedB(""));
  EXPECT_TRUE(rejectedB("\x0b"));
  EXPECT_TRUE(rejectedB(std::string("\x02\x04", 2)));        // N - L - 1 negative
  EXPECT_TRUE(rejectedB(std::string("\xff\x20 ", 3)));       // block size out of range
  EXPECT_TRUE(rejectedB(std::string("\x0b\x00", 2) + std::string(2046, '\0')));  // no key
  header[2015] = 32;
  EXPECT_TRUE(rejectedB(header.substr(0, 2030)));            // key cut short

  auto rejectedA = [&](const std::string& bytes) {
    const std::string source = dir.Write("bad.bin", bytes);
    CString content;
    return !DecryptRC4FileSchwachsinnigeVDDSEXPVariante(source.c_str(), Target().c_str()) &&
           !std::filesystem::exists(Target()) && !IsRC4File(source.c_str(), content);
  };
  EXPECT_TRUE(rejectedA(std::string(1, '\0') + "payload"));
  EXPECT_TRUE(rejectedA(std::string(1, 32) + std::string(40, 'k')));
  EXPECT_TRUE(rejectedA(std::string(1, 16) + "short"));
  EXPECT_TRUE(rejectedA(""));
}

TEST_F(Rc4Files, MissingFilesAndTheSourceAsItsOwnTarget) {
  const std::string missing = dir.Path("missing.bin");
  EXPECT_FALSE(EncryptRC4FileSchwachsinnigeVDDSEXPVariante(missing.c_str(), Target().c_str()));
  EXPECT_FALSE(EncryptRC4File20(missing.c_str(), Target().c_str()));
  EXPECT_FALSE(DecryptRC4FileSchwachsinnigeVDDSEXPVariante(missing.c_str(), Target().c_str()));
  EXPECT_FALSE(DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(missing.c_str(), Target().c_str()));
  EXPECT_FALSE(std::filesystem::exists(Target()));
  const std::string plain = PatternBytes(3000, 2);
  const std::string source = Source(plain);
  EXPECT_FALSE(EncryptRC4FileSchwachsinnigeVDDSEXPVariante(source.c_str(), source.c_str()));
  EXPECT_FALSE(EncryptRC4File20(source.c_str(), dir.Path("./plain.bin").c_str()));
  EXPECT_EQ(Read(source), plain);
  EXPECT_FALSE(EncryptRC4File20(source.c_str(), dir.Path("no/such/folder").c_str()));
  CString content;
  EXPECT_FALSE(IsRC4File(missing.c_str(), content));
}

TEST_F(Rc4Files, IsRC4FileUsesOneContinuousKeystream) {
  for (size_t size : {1000, 2000}) {
    const std::string plain = PatternBytes(size, 4);
    ASSERT_TRUE(EncryptRC4FileSchwachsinnigeVDDSEXPVariante(Source(plain).c_str(), Target().c_str()));
    CString content;
    ASSERT_TRUE(IsRC4File(Target().c_str(), content));
    ASSERT_EQ(content.GetLength(), static_cast<int>(size));
    const std::string read = content.str();
    EXPECT_EQ(read.substr(0, 1024), plain.substr(0, 1024));
    if (size > 1024) {
      // Past the first block each byte differs from the block-wise plain text
      // unless the two keystreams happen to agree there.
      const std::string key = Read(Target()).substr(1, 16);
      EXPECT_EQ(read, Rc4(key, Read(Target()).substr(17)));
      EXPECT_NE(read.substr(1024), plain.substr(1024));
    }
  }
}

}  // namespace
