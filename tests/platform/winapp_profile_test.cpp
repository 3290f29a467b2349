// The application's profile on the registry store and its command-line
// parsing: entries land where the framework puts them, defaults stand for
// what is missing or of another type, and flags are told from file names.
#include <gtest/gtest.h>

#include <memory>
#include <xtbasis/platform/winapp.h>

#include "registry_fixture.h"

namespace {

class WinAppProfile : public RegistryTest {};

TEST_F(WinAppProfile, EntriesLiveBelowTheRegistryKeyAndFallBackToDefaults) {
  CWinApp app("Empfang");
  app.SetRegistryKey("Praxissoft");
  EXPECT_STREQ(app.m_pszRegistryKey, "Praxissoft");
  ASSERT_TRUE(app.WriteProfileString("Mail", "Server", "mail.praxis"));
  ASSERT_TRUE(app.WriteProfileInt("Mail", "Port", -25));
  BYTE blob[] = {1, 0, 2};
  ASSERT_TRUE(app.WriteProfileBinary("Mail", "Blob", blob, sizeof blob));

  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Praxissoft\\Empfang\\Mail", &key), ERROR_SUCCESS);
  EXPECT_EQ(Read(key, "Server"), std::string("mail.praxis\0", 12));
  EXPECT_EQ(ReadDword(key, "Port"), static_cast<DWORD>(-25));
  RegCloseKey(key);

  EXPECT_EQ(app.GetProfileString("Mail", "Server"), "mail.praxis");
  EXPECT_EQ(static_cast<int>(app.GetProfileInt("Mail", "Port", 0)), -25);
  EXPECT_EQ(app.GetProfileString("Mail", "Port", "kein Text"), "kein Text");  // a DWORD is no string
  EXPECT_EQ(app.GetProfileInt("Mail", "Server", 7), 7u);
  EXPECT_EQ(app.GetProfileInt("Fehlt", "Port", 8), 8u);
  LPBYTE data = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(app.GetProfileBinary("Mail", "Blob", &data, &bytes));
  std::unique_ptr<BYTE[]> owned(data);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), bytes), std::string("\1\0\2", 3));
  EXPECT_FALSE(app.GetProfileBinary("Mail", "Server", &data, &bytes));
  EXPECT_EQ(data, nullptr);

  EXPECT_TRUE(app.WriteProfileString("Mail", "Server", nullptr));
  EXPECT_FALSE(app.WriteProfileString("Mail", "Server", nullptr));  // already gone
  EXPECT_TRUE(app.WriteProfileString("Mail", nullptr, nullptr));
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\Praxissoft\\Empfang\\Mail", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(app.WriteProfileString(nullptr, "x", "y"));
}

TEST_F(WinAppProfile, WithoutARegistryKeyTheProfileIsBelowTheApplicationsName) {
  CWinApp app("Abrechnung");
  ASSERT_TRUE(app.WriteProfileInt("Lauf", "Quartal", 3));
  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\Abrechnung\\Lauf", &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "Quartal"), 3u);
  RegCloseKey(key);
}

TEST(WinAppCommandLine, FlagsFileNamesAndPrintTargetsAreToldApart) {
  CCommandLineInfo plain;
  plain.ParseParam("Kartei.xml", FALSE, TRUE);
  EXPECT_EQ(plain.m_nShellCommand, CCommandLineInfo::FileOpen);
  EXPECT_EQ(plain.m_strFileName, "Kartei.xml");

  CCommandLineInfo printTo;
  const char* params[] = {"PT", "a.txt", "Drucker", "Treiber", "LPT1"};
  for (int i = 0; i < 5; ++i) printTo.ParseParam(params[i], i == 0, i == 4);
  EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
  EXPECT_EQ(printTo.m_strPrinterName, "Drucker");
  EXPECT_EQ(printTo.m_strDriverName, "Treiber");
  EXPECT_EQ(printTo.m_strPortName, "LPT1");

  CCommandLineInfo embedded;
  embedded.ParseParam("Embedding", TRUE, FALSE);
  embedded.ParseParam("unbekannt", TRUE, TRUE);
  EXPECT_TRUE(embedded.m_bRunEmbedded);
  EXPECT_FALSE(embedded.m_bShowSplash);
  EXPECT_EQ(embedded.m_nShellCommand, CCommandLineInfo::FileNew);
  embedded.ParseParam(nullptr, FALSE, TRUE);  // refused, not followed
  EXPECT_TRUE(embedded.m_strFileName.IsEmpty());
}

}  // namespace
