// The `xtbasis crypt` subcommands, run as a program.
#include "crypt_fixture.h"
#include "tool_run.h"

namespace {

class CryptTool : public CryptTest {
 protected:
  ToolRun Run(const std::string& arguments) { return RunTool("crypt " + arguments, "XTBASIS_CRYPTO_DIR='" + Path("store") + "'"); }
  std::string Quoted(const std::string& name) const { return "'" + Path(name) + "'"; }
};

TEST_F(CryptTool, KeysFilesAndSignatures) {
  ASSERT_EQ(Run("genkey praxis").status, 0);
  ASSERT_EQ(Run("export praxis public " + Quoted("public.blob")).status, 0);
  ASSERT_EQ(Run("export praxis private " + Quoted("private.blob")).status, 0);
  EXPECT_EQ(std::filesystem::file_size(Path("public.blob")), 20u + 384);
  const std::string plain = Write("plain.bin", PatternBytes(5000));
  EXPECT_EQ(Run("encrypt " + Quoted("public.blob") + " " + Quoted("plain.bin") + " " + Quoted("cipher.bin") + " " +
                Quoted("session.blob"))
                .status,
            0);
  EXPECT_EQ(Run("decrypt " + Quoted("private.blob") + " " + Quoted("session.blob") + " " + Quoted("cipher.bin") + " " +
                Quoted("back.bin"))
                .status,
            0);
  EXPECT_EQ(ScratchDir::Read(Path("back.bin")), PatternBytes(5000));

  EXPECT_EQ(Run("sign " + Quoted("private.blob") + " " + Quoted("plain.bin") + " " + Quoted("sig")).status, 0);
  const ToolRun good = Run("verify " + Quoted("public.blob") + " " + Quoted("plain.bin") + " " + Quoted("sig"));
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.output, "OK\n");
  const ToolRun bad = Run("verify " + Quoted("public.blob") + " " + Quoted("cipher.bin") + " " + Quoted("sig"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("Ungültige Signatur. bei: CryptVerifySignature"), std::string::npos) << bad.output;
  EXPECT_EQ(Run("export nowhere public " + Quoted("x.blob")).status, 1);  // a new container has no key
}

TEST_F(CryptTool, TextsHashesAndUsage) {
  const std::string password = "0123456789abcdef0123456789ABCDEF";
  const ToolRun encrypted = Run("aes encrypt --iv Initialisierungsvektor " + password + " < /dev/null");
  EXPECT_EQ(encrypted.status, 0);
  EXPECT_EQ(encrypted.output, "su7Tw+DhchFnZhMmt0QEPg==\n");  // the Windows vector of 0 bytes
  Write("text.b64", "aX9U+ky1coMbAX9rl8sH0w==");
  const ToolRun decrypted = Run("aes decrypt --iv Initialisierungsvektor " + password + " < " + Quoted("text.b64"));
  EXPECT_EQ(decrypted.status, 0);
  EXPECT_EQ(decrypted.output, PatternPlain(5));
  const ToolRun shortPassword = Run("aes encrypt kurz < /dev/null");
  EXPECT_EQ(shortPassword.status, 1);
  EXPECT_NE(shortPassword.output.find("Das Kennwort muss genau 32 Zeichen lang sein!"), std::string::npos);

  const std::string file = Write("data.bin", PatternBytes(3000));
  const ToolRun hash = Run("hash " + Quoted("data.bin"));
  EXPECT_EQ(hash.status, 0);
  EXPECT_EQ(hash.output, RunCommand("sha256sum '" + file + "'"));
  EXPECT_EQ(Run("hash " + Quoted("missing")).status, 1);
  EXPECT_EQ(Run("hash --alg sha3 " + Quoted("data.bin")).status, 2);
  EXPECT_EQ(Run("pbkdf2 password salt").output, "669cfe52482116fda1aa2cbe409b2f56c8e4563752b7a28f6eaab614ee005178\n");
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("cert server only three args").status, 2);
  EXPECT_EQ(Run("cert ca c n f 0").status, 2);
}

}  // namespace
