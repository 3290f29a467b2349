// Documents and text files written into a folder that another account may
// write: a name planted there (a symbolic link or a second name of a file
// only root may touch) loses its name to the new file and what it pointed to
// stays as it was. Played with a real second account (nobody), the writer as
// root, as a service exporting into a shared folder would be.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <xtbasis/filehelpers.h>
#include <xtbasis/xml.h>

#include "second_account.h"
#include "xml_support.h"

namespace {

namespace fs = std::filesystem;

class WrittenIntoASharedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    m_shared = m_scratch / "shared";
    fs::permissions(fs::path(m_shared).parent_path(), fs::perms(0755));
    fs::create_directories(m_shared);
    fs::permissions(m_shared, fs::perms(0777));
    m_secret = m_scratch / "secret";
    MakeRootSecret(m_secret);
  }

  // Plants both kinds of name at `link` and `second` in the shared folder.
  void PlantAt(const std::string& link, const std::string& second) {
    ASSERT_TRUE(PlantSymlinkAsNobody(m_secret, Shared(link)));
    ASSERT_TRUE(PlantHardLink(m_secret, Shared(second)));
  }
  std::string Shared(const std::string& name) const { return m_shared + "/" + name; }

  xmltest::ScratchDir m_scratch;
  std::string m_shared, m_secret;
};

TEST_F(WrittenIntoASharedFolder, TheXmlWriterReplacesPlantedNames) {
  PlantAt("export.xml", "second.xml");
  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.CharElement("Abrechnung", "Quartal 4", nullptr));
  ASSERT_TRUE(writer.EndDocument());
  for (const char* name : {"export.xml", "second.xml"}) {
    ASSERT_TRUE(writer.Write(Shared(name).c_str())) << name << ": " << writer.GetLastHResult().GetString();
    // Open to every account, as the suite's written files are; the document, not the secret.
    EXPECT_TRUE(IsOwnFile(Shared(name), 0666));
    EXPECT_NE(xmltest::ReadBytes(Shared(name)).find("<Abrechnung"), std::string::npos) << name;
  }
  EXPECT_TRUE(RootSecretUntouched(m_secret));
}

TEST_F(WrittenIntoASharedFolder, SaveTextFileReplacesPlantedNamesWithTheUmasksMode) {
  PlantAt("notiz.txt", "zweite.txt");
  const mode_t before = umask(022);
  for (const char* name : {"notiz.txt", "zweite.txt"}) {
    ASSERT_TRUE(SaveTextFile(Shared(name).c_str(), "neuer Text")) << name;
    EXPECT_TRUE(IsOwnFile(Shared(name), 0644));
    EXPECT_EQ(xmltest::ReadBytes(Shared(name)), "neuer Text") << name;
  }
  umask(before);
  EXPECT_TRUE(RootSecretUntouched(m_secret));
}

}  // namespace
