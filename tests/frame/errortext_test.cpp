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
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_FILE_NOT_FOUND), "No such file or directory\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_ACCESS_DENIED), "Permission denied\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, 0x12345678u), "Fehler Nr. 0x12345678");
  EXPECT_EQ(GetLastErrorString(nullptr, 0x10000u), "Fehler Nr. 0x00010000");
  EXPECT_EQ(GetLastErrorString(nullptr, 9999u), "Fehler Nr. 9999");
  SetLastError(ERROR_SHARING_VIOLATION);
  EXPECT_EQ(GetLastErrorString(nullptr, 0xFFFFFFFFu), GetLastErrorString(nullptr, ERROR_SHARING_VIOLATION));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

// Windows numbers are read as Windows numbers, never as errno values that
// happen to have the same value (13 is invalid data, not EACCES; 53 a
// network path, not EBADRQC).
TEST(ErrorText, WindowsNumbersGiveTheTextOfTheSameFailure) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_INVALID_DATA), "Invalid argument\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_BAD_NETPATH), "No such file or directory\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_PATH_NOT_FOUND), "Not a directory\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_SUCCESS), "Success\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_MORE_DATA), "Fehler Nr. 234") << "no system error matches";
  EXPECT_EQ(GetLastErrorString(nullptr, 110), "Fehler Nr. 110") << "ETIMEDOUT's value is no Windows timeout";
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_ACCESS_DENIED), "Keine Berechtigung\r\n");
  EXPECT_EQ(GetLastErrorString(nullptr, ERROR_FILE_NOT_FOUND), "Datei oder Verzeichnis nicht gefunden\r\n");
  std::setlocale(LC_ALL, "C");
}

// Every errno value becomes a Windows number of the table (unknown ones the
// general failure), which reads back as an errno value of that number.
TEST(ErrorText, ErrnoValuesMapToWindowsNumbersBothWays) {
  EXPECT_EQ(xtb::WinErrorFromErrno(ENOENT), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(xtb::WinErrorFromErrno(EACCES), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(xtb::WinErrorFromErrno(EEXIST), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(xtb::WinErrorFromErrno(ENOSPC), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(xtb::WinErrorFromErrno(EWOULDBLOCK), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(xtb::WinErrorFromErrno(0), static_cast<DWORD>(ERROR_SUCCESS));
  for (int error = 1; error < 134; ++error) {
    const DWORD windows = xtb::WinErrorFromErrno(error);
    EXPECT_NE(xtb::ErrnoFromWinError(windows), 0) << "errno " << error << " became " << windows;
    EXPECT_EQ(xtb::WinErrorFromErrno(xtb::ErrnoFromWinError(windows)), windows) << "errno " << error;
  }
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
  EXPECT_EQ(GetLastErrorString("frame-messages", ERROR_ACCESS_DENIED), "Permission denied\r\n");
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
