// Exchange with the Windows installations: their key blobs, cipher files,
// signatures and texts.
#include <fstream>
#include <sstream>

#include "crypt_fixture.h"
#include "crypto/keyblob.h"
#include "crypto/pbkdf2.h"

namespace {

const size_t kCipherSizes[] = {0, 1, 15, 16, 17, 1024};

uint32_t Dword(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 | uint32_t{static_cast<uint8_t>(bytes[at + 3])} << 24;
}

// Rows of a vector table, split at tabs, without the header line; quoted C
// literals lose their quotes (the vectors use no escapes).
std::vector<std::vector<std::string>> Table(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(VectorBytes(name));
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) {
      if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') cell = cell.substr(1, cell.size() - 2);
      fields.push_back(cell);
    }
    rows.push_back(fields);
  }
  return rows;
}

std::string FromHex(const std::string& hex) {
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  CXTCrypt::HexToKey(CString(hex.c_str()), bytes, length);
  std::string out(reinterpret_cast<char*>(bytes), length);
  delete[] bytes;
  return out;
}

class WindowsVectors : public CryptTest {
 protected:
  // A context holding the Windows key pair and the session key of the SIMPLEBLOB.
  void LoadKeys(CXTCrypt& crypt) {
    ASSERT_TRUE(crypt.AcquireContext("vectors", 0)) << crypt.LastError.GetString();
    ASSERT_TRUE(crypt.ImportKey(KT_PRIVATE, Vector("rsa2048_private.blob").c_str())) << crypt.LastError.GetString();
    ASSERT_TRUE(crypt.ImportKey(KT_SESSION, Vector("session_simpleblob_rsa2048.blob").c_str()))
        << crypt.LastError.GetString();
  }
};

TEST_F(WindowsVectors, RsaBlobsReadAndWriteInTheSameLayout) {
  const std::string privateBlob = VectorBytes("rsa2048_private.blob");
  ASSERT_EQ(privateBlob.size(), 1172u);
  bool hasPrivate = false;
  xtb::crypto::PKey key = xtb::crypto::RsaFromBlob(reinterpret_cast<const uint8_t*>(privateBlob.data()),
                                                   privateBlob.size(), hasPrivate);
  ASSERT_TRUE(key);
  EXPECT_TRUE(hasPrivate);
  const std::vector<uint8_t> again = xtb::crypto::RsaToBlob(key.get(), true);
  EXPECT_EQ(std::string(again.begin(), again.end()), privateBlob);

  // Imported keys are not exportable, but the public part always is.
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext("vectors", 0));
  ASSERT_TRUE(crypt.ImportKey(KT_PRIVATE, Vector("rsa2048_private.blob").c_str()));
  ASSERT_TRUE(crypt.ExportKey(KT_PUBLIC, Path("public.blob").c_str()));
  EXPECT_EQ(ScratchDir::Read(Path("public.blob")), VectorBytes("rsa2048_public.blob"));
  EXPECT_FALSE(crypt.ExportKey(KT_PRIVATE, Path("private.blob").c_str()));
  EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CryptExportKey 1")) << crypt.LastError.GetString();
  EXPECT_FALSE(std::filesystem::exists(Path("private.blob")));
}

TEST_F(WindowsVectors, CipherFilesDecryptAndEncryptByteForByte) {
  CXTCrypt crypt;
  LoadKeys(crypt);
  for (size_t size : kCipherSizes) {
    const std::string name = std::to_string(size) + ".bin";
    SCOPED_TRACE(name);
    ASSERT_TRUE(crypt.Decrypt(Vector("cipher_" + name).c_str(), Path("plain_" + name).c_str(), nullptr))
        << crypt.LastError.GetString();
    EXPECT_EQ(ScratchDir::Read(Path("plain_" + name)), VectorBytes("plain_" + name));
    ASSERT_TRUE(crypt.Encrypt(Vector("plain_" + name).c_str(), Path("cipher_" + name).c_str(), nullptr));
    EXPECT_EQ(ScratchDir::Read(Path("cipher_" + name)), VectorBytes("cipher_" + name));
  }
  // The clear form of the same session key decrypts as well.
  CXTCrypt clear;
  ASSERT_TRUE(clear.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(clear.ImportKey(KT_SESSION, Vector("session_plaintextkeyblob.blob").c_str()));
  ASSERT_TRUE(clear.Decrypt(Vector("cipher_1024.bin").c_str(), Path("clear.bin").c_str(), nullptr));
  EXPECT_EQ(ScratchDir::Read(Path("clear.bin")), VectorBytes("plain_1024.bin"));
}

TEST_F(WindowsVectors, SignaturesMatchAndVerify) {
  CXTCrypt signer;
  LoadKeys(signer);
  for (const char* size : {"0", "3000"}) {
    const std::string plain = Vector(std::string("plain_") + size + ".bin");
    const std::string signature = Vector(std::string("sig_rsa2048_plain_") + size + ".bin");
    ASSERT_TRUE(signer.SignHash(plain.c_str(), Path("sig.bin").c_str(), nullptr)) << signer.LastError.GetString();
    EXPECT_EQ(ScratchDir::Read(Path("sig.bin")), ScratchDir::Read(signature));  // PKCS#1 v1.5 is deterministic

    CXTCrypt verifier;
    ASSERT_TRUE(verifier.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
    ASSERT_TRUE(verifier.ImportKey(KT_PUBLIC, Vector("rsa2048_public.blob").c_str()));
    EXPECT_TRUE(verifier.VerifyHash(plain.c_str(), signature.c_str(), nullptr)) << verifier.LastError.GetString();
  }
}

TEST_F(WindowsVectors, ChangedFileOrSignatureFailsAsBadSignature) {
  CXTCrypt verifier;
  ASSERT_TRUE(verifier.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(verifier.ImportKey(KT_PUBLIC, Vector("rsa2048_public.blob").c_str()));
  std::string changed = VectorBytes("plain_3000.bin");
  changed[1500] ^= 1;
  const std::string file = Write("changed.bin", changed);
  EXPECT_FALSE(verifier.VerifyHash(file.c_str(), Vector("sig_rsa2048_plain_3000.bin").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), NTE_BAD_SIGNATURE);
  EXPECT_EQ(std::string(verifier.LastError.GetString()), Ansi("Ungültige Signatur. bei: CryptVerifySignature"));

  std::string signature = VectorBytes("sig_rsa2048_plain_3000.bin");
  const std::string plain = Vector("plain_3000.bin");
  for (const std::string& bad : {signature.substr(0, 255), signature + "x", std::string(256, '\0')}) {
    EXPECT_FALSE(verifier.VerifyHash(plain.c_str(), Write("bad.sig", bad).c_str(), nullptr));
    EXPECT_TRUE(EndsWith(verifier.LastError, " bei: CryptVerifySignature"));
  }
  EXPECT_FALSE(verifier.VerifyHash(plain.c_str(), Write("empty.sig", "").c_str(), nullptr));
  EXPECT_EQ(verifier.LastError, CString((Ansi("Fehler beim Öffnen der Datei:\n") + Path("empty.sig")).c_str()));
}

TEST_F(WindowsVectors, WrittenBlobsHaveTheWindowsHeaders) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(crypt.ImportKey(KT_PUBLIC, Vector("rsa2048_public.blob").c_str()));
  ASSERT_TRUE(crypt.GenKey(true));
  ASSERT_TRUE(crypt.ExportKey(KT_SESSION, Path("session.blob").c_str()));
  const std::string simple = ScratchDir::Read(Path("session.blob"));
  ASSERT_EQ(simple.size(), 268u);
  EXPECT_EQ(simple.substr(0, 4), std::string("\x01\x02\x00\x00", 4));
  EXPECT_EQ(Dword(simple, 4), CALG_AES_256);
  EXPECT_EQ(Dword(simple, 8), CALG_RSA_KEYX);

  // The recipient of the Windows key pair unwraps it and reads what was encrypted.
  const std::string plain = Write("plain.bin", PatternPlain(5000));
  ASSERT_TRUE(crypt.Encrypt(plain.c_str(), Path("cipher.bin").c_str(), nullptr));
  CXTCrypt recipient;
  ASSERT_TRUE(recipient.AcquireContext("recipient", 0));
  ASSERT_TRUE(recipient.ImportKey(KT_PRIVATE, Vector("rsa2048_private.blob").c_str()));
  ASSERT_TRUE(recipient.ImportKey(KT_SESSION, Path("session.blob").c_str())) << recipient.LastError.GetString();
  ASSERT_TRUE(recipient.Decrypt(Path("cipher.bin").c_str(), Path("back.bin").c_str(), nullptr));
  EXPECT_EQ(ScratchDir::Read(Path("back.bin")), PatternPlain(5000));
}

TEST_F(WindowsVectors, AesBase64Texts) {
  const char* password = "0123456789abcdef0123456789ABCDEF";
  const auto rows = Table("aes_base64.tsv");
  ASSERT_EQ(rows.size(), 4u);
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0] + " " + row[2]);
    const char* iv = row[0] == "none" ? nullptr : "Initialisierungsvektor";
    std::string plain = FromHex(row[3]);
    CString base64, error;
    ASSERT_TRUE(CXTCrypt::EncryptDataAESBase64(password, iv, reinterpret_cast<unsigned char*>(plain.data()),
                                               plain.size(), base64, error));
    EXPECT_STREQ(base64.GetString(), row[6].c_str());
    unsigned char* data = nullptr;
    unsigned long length = 0;
    ASSERT_TRUE(CXTCrypt::DecryptDataAESBase64(password, iv, CString(row[6].c_str()), data, length, error));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), plain);
    std::free(data);
    EXPECT_TRUE(error.IsEmpty());
  }
}

TEST_F(WindowsVectors, HashAndPbkdf2Values) {
  for (const auto& row : Table("hash_hex.tsv")) {
    if (row[3] != "HEXRAW|NOCRLF") continue;  // the only form the hash texts take
    CString error;
    EXPECT_STREQ(CXTCrypt::CalcHash(reinterpret_cast<const unsigned char*>(row[2].data()), row[2].size(),
                                    std::stoul(row[1], nullptr, 16), error)
                     .GetString(),
                 row[4].c_str());
  }
  // The library's iteration count is fixed at 600000; the derivation itself
  // takes every row.
  for (const auto& row : Table("pbkdf2.tsv")) {
    uint8_t derived[32];
    ASSERT_TRUE(xtb::crypto::Pbkdf2Sha256(reinterpret_cast<const uint8_t*>(row[0].data()), row[0].size(),
                                          reinterpret_cast<const uint8_t*>(row[1].data()), row[1].size(),
                                          static_cast<unsigned>(std::stoul(row[2])), derived));
    EXPECT_EQ(CXTCrypt::KeyToHex(derived, 32), CString(row[5].c_str())) << row[2];
    if (row[2] != "600000") continue;
    CString error;
    EXPECT_STREQ(CXTCrypt::CalcPBKDF2Hash(CString(row[0].c_str()), CString(row[1].c_str()), error).GetString(),
                 row[5].c_str());
    EXPECT_TRUE(error.IsEmpty());
  }
}

}  // namespace
