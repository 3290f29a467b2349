#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <xtbasis/platform/exceptions.h>

namespace {

std::string MessageOf(const CException& e, UINT max = 512) {
  char buffer[512];
  std::memset(buffer, 'x', sizeof buffer);
  UINT help = 99;
  if (!e.GetErrorMessage(buffer, max, &help)) return "<none>";
  EXPECT_EQ(help, 0u);
  return buffer;
}

TEST(Exceptions, FileExceptionNamesFileAndCause) {
  CFileException missing(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "/tmp/a.txt");
  EXPECT_EQ(MessageOf(missing), "/tmp/a.txt wurde nicht gefunden.");
  EXPECT_EQ(MessageOf(CFileException(CFileException::fileNotFound)), "Eine unbenannte Datei wurde nicht gefunden.");
  EXPECT_EQ(MessageOf(CFileException(CFileException::accessDenied, 5, "x")), "Der Zugriff auf x wurde verweigert.");
  EXPECT_EQ(MessageOf(CFileException(CFileException::diskFull, -1, "d")),
            "Beim Schreiben von d ist der Datentr\xE4ger voll.");  // 1252
  // Unknown causes read as the generic one.
  EXPECT_EQ(MessageOf(CFileException(77, -1, "f")), MessageOf(CFileException(CFileException::genericException, -1, "f")));
  EXPECT_EQ(missing.m_cause, 2);
  EXPECT_EQ(missing.m_lOsError, 2);
  EXPECT_EQ(missing.m_strFileName, "/tmp/a.txt");
}

TEST(Exceptions, MessagesAreCutToTheBuffer) {
  const CMemoryException memory(FALSE);
  EXPECT_EQ(MessageOf(memory), "Nicht gen\xFCgend Arbeitsspeicher.");
  EXPECT_EQ(MessageOf(memory, 5), "Nich");
  char none[1] = {'x'};
  EXPECT_TRUE(memory.GetErrorMessage(none, 1));
  EXPECT_EQ(none[0], '\0');
  EXPECT_FALSE(memory.GetErrorMessage(none, 0));
  EXPECT_EQ(MessageOf(CException(FALSE)), "<none>");
}

TEST(Exceptions, CausesFromWindowsNumbersAndErrno) {
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_FILE_NOT_FOUND), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_PATH_NOT_FOUND), CFileException::badPath);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_SHARING_VIOLATION), CFileException::sharingViolation);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_DISK_FULL), CFileException::diskFull);
  EXPECT_EQ(CFileException::OsErrorToException(12345), CFileException::genericException);
  EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::ErrnoToException(EACCES), CFileException::accessDenied);
  EXPECT_EQ(CFileException::ErrnoToException(EMFILE), CFileException::tooManyOpenFiles);
  EXPECT_EQ(CFileException::ErrnoToException(ENOSPC), CFileException::diskFull);
  EXPECT_EQ(CFileException::ErrnoToException(0), CFileException::none);
}

TEST(Exceptions, ThrownAsPointersAndDeletedByTheCatcher) {
  try {
    AfxThrowFileException(CFileException::badPath, ERROR_PATH_NOT_FOUND, "/nix/da");
  } catch (CException* e) {
    auto* file = dynamic_cast<CFileException*>(e);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->m_cause, CFileException::badPath);
    EXPECT_EQ(MessageOf(*e), "/nix/da enth\xE4lt einen ung\xFCltigen Pfad.");
    e->Delete();  // heap object: freed (the sanitizer build checks that nothing leaks)
  }
  CException* first = nullptr;
  for (int i = 0; i < 2; ++i) {
    try {
      AfxThrowMemoryException();
    } catch (CException* e) {
      EXPECT_NE(dynamic_cast<CMemoryException*>(e), nullptr);
      if (!first) first = e;
      EXPECT_EQ(e, first);  // the one static object, which Delete leaves alone
      e->Delete();
    }
  }
  try {
    AtlThrow(E_INVALIDARG);
  } catch (const CAtlException& e) {
    EXPECT_EQ(static_cast<HRESULT>(e), E_INVALIDARG);
  }
}

}  // namespace
