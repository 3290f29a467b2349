// Error texts: system, module tables, fallbacks, exception messages.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/errortext.h>

namespace {

TEST(ErrorText, SystemTextsAndFallbacks) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_FILE_NOT_FOUND), "No such file or directory");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_ACCESS_DENIED), "Permission denied");
  EXPECT_EQ(GetLastErrorString(nullptr, 0x12345678u), "Fehler Nr. 0x12345678");
  EXPECT_EQ(GetLastErrorString(nullptr, 0x10000u), "Fehler Nr. 0x00010000");
  EXPECT_EQ(GetLastErrorString(nullptr, 9999u), "Fehler Nr. 9999");
  SetLastError(ERROR_SHARING_VIOLATION);
  EXPECT_EQ(GetLastErrorString(nullptr, 0xFFFFFFFFu), GetLastErrorString(nullptr, ERROR_SHARING_VIOLATION));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST(ErrorText, ModuleMessagesComeFirst) {
  const XTResourceText messages[] = {{2, "Modulfehler zwei"}, {70000, "Gro\xC3\x9F"}};
  XTModuleResources resources;
  resources.name = "frame-messages.dll";
  resources.messages = messages;
  resources.messageCount = 2;
  ASSERT_NE(XTRegisterModule(resources), nullptr);
  EXPECT_EQ(GetLastErrorString("frame-messages", 2), "Modulfehler zwei");
  EXPECT_EQ(GetLastErrorString("frame-messages", 70000), "Gro\xDF");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(GetLastErrorString("frame-messages", ERROR_ACCESS_DENIED), "Permission denied");
  EXPECT_EQ(GetLastErrorString("not-loaded", 9999u), "Fehler Nr. 9999");
}

TEST(ErrorText, ExceptionMessages) {
  CFileException missing(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "/tmp/x.dat");
  const CString text = GetErrorMessage(&missing);
  EXPECT_FALSE(text.IsEmpty());
  EXPECT_NE(text.Find("x.dat"), -1);
  CException plain(FALSE);
  EXPECT_EQ(GetErrorMessage(&plain), "");
  EXPECT_EQ(GetErrorMessage(nullptr), "");
}

}  // namespace
