// Cipher files against `openssl enc -aes-256-cbc` in both directions.
#include "crypt_fixture.h"

namespace {

TEST_F(CryptTest, CipherFilesExchangeWithOpensslEnc) {
  // A session key known in clear, as a PLAINTEXTKEYBLOB.
  const std::string key = PatternBytes(32, 9);
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(crypt.ImportKey(KT_SESSION, WriteKeyBlob("key.blob", key).c_str()));
  const std::string keyHex = CXTCrypt::KeyToHex(reinterpret_cast<const unsigned char*>(key.data()), 32).GetString();
  const std::string openssl = "openssl enc -aes-256-cbc -K " + keyHex + " -iv 00000000000000000000000000000000";
  for (size_t size : {size_t{1}, size_t{1024}, size_t{70001}}) {
    SCOPED_TRACE(size);
    const std::string plain = Write("plain.bin", PatternBytes(size, 5));
    ASSERT_TRUE(crypt.Encrypt(plain.c_str(), Path("ours.enc").c_str(), nullptr));
    int status = -1;
    EXPECT_EQ(RunCommand(openssl + " -d -in '" + Path("ours.enc") + "'", &status), PatternBytes(size, 5));
    EXPECT_EQ(status, 0);
    RunCommand(openssl + " -e -in '" + plain + "' -out '" + Path("theirs.enc") + "'", &status);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(crypt.Decrypt(Path("theirs.enc").c_str(), Path("back.bin").c_str(), nullptr));
    EXPECT_EQ(ScratchDir::Read(Path("back.bin")), PatternBytes(size, 5));
  }
}

}  // namespace
