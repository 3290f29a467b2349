// CFile and CStdioFile as a ported program uses them: the framework's open
// flags against the sharing matrix, exceptions with Windows' causes and
// numbers, positions, lengths, range locks, status by handle and by name,
// renames and removals, and text mode's CR LF as the C runtime reads and
// writes it.
#include <afx.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"

namespace {

struct Failure {
  int cause = CFileException::none;
  LONG osError = 0;
  std::string fileName;
};

// Runs `work`, which must throw a CFileException*; what it carried.
template <class Work>
Failure Thrown(Work work) {
  Failure failure{-1, -1, ""};
  try {
    work();
    ADD_FAILURE() << "no CFileException";
  } catch (CFileException* e) {
    failure = {e->m_cause, e->m_lOsError, std::string(e->m_strFileName)};
    e->Delete();
  }
  return failure;
}

std::string ReadAll(CFile& file) {
  std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
  file.SeekToBegin();
  bytes.resize(file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
  return bytes;
}

// The sharing matrix through the framework's flags: whether a second open
// is let in while the first holds the file.
TEST(CFile, SharingModesRefuseAndAllowAsOnWindows) {
  ScratchDir dir;
  const std::string path = dir.Write("Kartei.dat", "0123456789");
  struct Case {
    UINT first, second;
    bool allowed;
  };
  const Case cases[] = {
      {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
      {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyWrite, true},
      {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
      {CFile::modeRead | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
      {CFile::modeRead, CFile::modeRead | CFile::shareDenyNone, false},  // shareCompat is exclusive
      {CFile::modeRead | CFile::shareDenyRead, CFile::modeWrite | CFile::shareDenyNone, true},
      {CFile::modeRead | CFile::shareDenyRead, CFile::modeRead | CFile::shareDenyNone, false},
      {CFile::modeReadWrite | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
      {CFile::modeReadWrite | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyWrite, false},
      {CFile::modeWrite | CFile::shareDenyNone, CFile::modeReadWrite | CFile::shareDenyNone, true},
      {CFile::modeRead | CFile::shareDenyNone, CFile::modeWrite | CFile::shareDenyRead, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.first << " then " << c.second);
    CFile first(path.c_str(), c.first);
    CFile second;
    CFileException error;
    EXPECT_EQ(c.allowed, second.Open(path.c_str(), c.second, &error) != FALSE);
    if (!c.allowed) {
      EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
      EXPECT_EQ(ERROR_SHARING_VIOLATION, error.m_lOsError);
      EXPECT_EQ(path, std::string(error.m_strFileName));
      EXPECT_EQ(CFile::hFileNull, second.m_hFile);
    }
  }
  // The opening constructor throws the same; a refused modeCreate truncates nothing.
  CFile holder(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  const Failure refused = Thrown([&] { CFile writer(path.c_str(), CFile::modeCreate | CFile::modeWrite); });
  EXPECT_EQ(CFileException::sharingViolation, refused.cause);
  EXPECT_EQ(ERROR_SHARING_VIOLATION, refused.osError);
  EXPECT_EQ("0123456789", ScratchDir::Read(path));
}

TEST(CFile, MissingFilesFoldersAndBadFlagsGiveTheirCauses) {
  ScratchDir dir;
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(dir.Path("fehlt.txt").c_str(), CFile::modeRead, &error));
  EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);

  const std::string inMissingFolder = dir.Path("Archiv\\2024\\akte.txt");
  const Failure badPath = Thrown([&] { CFile created(inMissingFolder.c_str(), CFile::modeCreate | CFile::modeWrite); });
  EXPECT_EQ(CFileException::badPath, badPath.cause);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, badPath.osError);
  EXPECT_EQ(inMissingFolder, badPath.fileName);

  const Failure folder = Thrown([&] { CFile opened(dir.Path().c_str(), CFile::modeRead); });
  EXPECT_EQ(CFileException::accessDenied, folder.cause);

  EXPECT_FALSE(file.Open(dir.Path("x.txt").c_str(), CFile::modeCreate | CFile::modeWrite | 0x0003, &error));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, error.m_lOsError);
  EXPECT_FALSE(file.Open(dir.Path("x.txt").c_str(), CFile::modeCreate | CFile::modeWrite | 0x0050, &error));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, error.m_lOsError);

  // A CFile that is not open throws invalidFile; closing it is no error.
  EXPECT_EQ(CFileException::invalidFile, Thrown([&] { file.GetLength(); }).cause);
  file.Close();
  file.Abort();
}

TEST(CFile, CreateTruncateAndNoTruncate) {
  ScratchDir dir;
  const std::string path = dir.Write("Liste.txt", "alter Inhalt");
  {
    CFile kept(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    EXPECT_EQ(12u, kept.GetLength());
    kept.SeekToEnd();
    kept.Write("!", 1);
  }
  EXPECT_EQ("alter Inhalt!", ScratchDir::Read(path));
  {
    CFile fresh(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::osWriteThrough | CFile::osSequentialScan);
    EXPECT_EQ(0u, fresh.GetLength());
    fresh.Write("neu", 3);
    fresh.Flush();
  }
  EXPECT_EQ("neu", ScratchDir::Read(path));
  // Reading a file opened for writing only is refused as on Windows.
  CFile writer(path.c_str(), CFile::modeWrite);
  char byte;
  EXPECT_EQ(CFileException::accessDenied, Thrown([&] { writer.Read(&byte, 1); }).cause);
}

TEST(CFile, SeeksLengthsAndTheEnd) {
  ScratchDir dir;
  const std::string path = dir.Path("Daten.bin");
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary);
  file.Write("0123456789", 10);
  EXPECT_EQ(10u, file.GetPosition());
  EXPECT_EQ(7u, file.Seek(-3, CFile::end));
  EXPECT_EQ(9u, file.Seek(2, CFile::current));
  EXPECT_EQ(2u, file.Seek(2, CFile::begin));

  const Failure before = Thrown([&] { file.Seek(-3, CFile::begin); });
  EXPECT_EQ(CFileException::badSeek, before.cause);
  EXPECT_EQ(ERROR_NEGATIVE_SEEK, before.osError);
  EXPECT_EQ(path, before.fileName);
  EXPECT_EQ(2u, file.GetPosition());  // a refused seek leaves the position

  // Reading to the end gives what is there, then 0, never an exception.
  char buffer[16] = {};
  EXPECT_EQ(8u, file.Read(buffer, sizeof buffer));
  EXPECT_EQ("23456789", std::string(buffer, 8));
  EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));

  // Past the end a write leaves a gap of zeros.
  EXPECT_EQ(12u, file.Seek(12, CFile::begin));
  file.Write("X", 1);
  EXPECT_EQ(13u, file.SeekToEnd());
  EXPECT_EQ(std::string("0123456789\0\0X", 13), ReadAll(file));

  file.SetLength(4);
  EXPECT_EQ(4u, file.GetLength());
  EXPECT_EQ(4u, file.GetPosition());
  file.SetLength(6);
  EXPECT_EQ(std::string("0123\0\0", 6), ReadAll(file));
}

TEST(CFile, AShortWriteIsDiskFull) {
  CFile full("/dev/full", CFile::modeWrite | CFile::shareDenyNone);
  const Failure failure = Thrown([&] { full.Write("abc", 3); });
  EXPECT_EQ(CFileException::diskFull, failure.cause);
  EXPECT_EQ("/dev/full", failure.fileName);
}

TEST(CFile, RangeLocksKeepOtherOpensOut) {
  ScratchDir dir;
  const std::string path = dir.Write("Zaehler.dat", std::string(32, '0'));
  CFile one(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone);
  auto two = std::make_unique<CFile>(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone);
  one.LockRange(0, 10);
  const Failure taken = Thrown([&] { two->LockRange(5, 10); });
  EXPECT_EQ(CFileException::lockViolation, taken.cause);
  EXPECT_EQ(ERROR_LOCK_VIOLATION, taken.osError);
  two->LockRange(10, 5);  // next to it is free
  EXPECT_EQ(CFileException::lockViolation, Thrown([&] { one.LockRange(9, 2); }).cause);  // its own range too
  // Only the range as it was locked is unlocked.
  const Failure part = Thrown([&] { one.UnlockRange(0, 5); });
  EXPECT_EQ(ERROR_NOT_LOCKED, part.osError);
  one.UnlockRange(0, 10);
  two->LockRange(0, 10);
  EXPECT_EQ(CFileException::lockViolation, Thrown([&] { one.LockRange(0, 1); }).cause);
  // A lock that reaches past every byte, and the end of an open, which frees its locks.
  EXPECT_EQ(CFileException::lockViolation, Thrown([&] { one.LockRange(14, ~0ull); }).cause);
  two.reset();
  one.LockRange(0, ~0ull);
  one.UnlockRange(0, ~0ull);
}

TEST(CFile, HandlesDuplicatesAndNames) {
  ScratchDir dir;
  ASSERT_EQ(0, mkdir(dir.Path("Befunde").c_str(), 0755));
  const std::string path = dir.Path("Befunde\\Roentgen.2024.txt");
  CFile file;
  EXPECT_EQ(CFile::hFileNull, file.m_hFile);
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
  EXPECT_EQ(dir.Path("Befunde/Roentgen.2024.txt"), std::string(file.GetFilePath()));
  EXPECT_EQ("Roentgen.2024.txt", std::string(file.GetFileName()));
  EXPECT_EQ("Roentgen.2024", std::string(file.GetFileTitle()));
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFile)));

  // operator HANDLE is the kit's handle.
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "abcdef", 6, &written, nullptr));
  EXPECT_EQ(6u, file.GetLength());

  // A duplicate shares the position and outlives the original.
  CFile* copy = file.Duplicate();
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(6u, copy->GetPosition());
  copy->Seek(1, CFile::begin);
  EXPECT_EQ(1u, file.GetPosition());
  EXPECT_EQ(file.GetFilePath(), copy->GetFilePath());
  file.Close();
  EXPECT_EQ(CFile::hFileNull, file.m_hFile);
  char buffer[2];
  EXPECT_EQ(2u, copy->Read(buffer, 2));
  EXPECT_EQ("bc", std::string(buffer, 2));
  delete copy;
  CFile closed;
  EXPECT_EQ(nullptr, closed.Duplicate());

  // A CFile on a handle leaves it open when it goes.
  HANDLE handle = CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, handle);
  { CFile onHandle(handle); EXPECT_EQ(6u, onHandle.GetLength()); }
  EXPECT_EQ(6u, GetFileSize(handle, nullptr));
  EXPECT_TRUE(CloseHandle(handle));

  file.SetFilePath("C:\\Praxis\\anders.txt");
  EXPECT_EQ("anders.txt", std::string(file.GetFileName()));
}

TEST(CFile, StatusOfFilesAndFolders) {
  ScratchDir dir;
  const std::string path = dir.Write("Rechnung.xml", "<rechnung/>");
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
  EXPECT_EQ(11u, status.m_size);
  EXPECT_EQ(path, status.m_szFullName);
  EXPECT_EQ(CFile::archive, status.m_attribute);
  EXPECT_GT(status.m_mtime.GetTime(), 0);
  EXPECT_EQ(status.m_mtime.GetTime(), status.m_ctime.GetTime());

  CFileStatus folder;
  ASSERT_TRUE(CFile::GetStatus(dir.Path().c_str(), folder));
  EXPECT_EQ(CFile::directory, folder.m_attribute);
  EXPECT_EQ(0u, folder.m_size);
  EXPECT_FALSE(CFile::GetStatus(dir.Path("fehlt.xml").c_str(), status));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_FALSE(CFile::GetStatus((dir.Path() + std::string(300, 'x')).c_str(), status));  // no room in m_szFullName

  // SetStatus: the times given, then read-only; the member form agrees.
  CFileStatus changed = status;
  changed.m_mtime = CTime(2024, 3, 1, 8, 30, 0);
  changed.m_atime = CTime(2024, 3, 2, 9, 0, 0);
  changed.m_attribute = CFile::readOnly | CFile::archive;
  CFile::SetStatus(path.c_str(), changed);
  CFile open(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
  CFileStatus byHandle;
  ASSERT_TRUE(open.GetStatus(byHandle));
  EXPECT_EQ(changed.m_mtime.GetTime(), byHandle.m_mtime.GetTime());
  EXPECT_EQ(changed.m_atime.GetTime(), byHandle.m_atime.GetTime());
  EXPECT_EQ(CFile::readOnly | CFile::archive, byHandle.m_attribute);
  EXPECT_EQ(11u, byHandle.m_size);
  EXPECT_EQ(path, byHandle.m_szFullName);

  // A zero time stays as it was; the read-only flag goes again.
  changed.m_mtime = CTime();
  changed.m_atime = CTime();
  changed.m_attribute = CFile::archive;
  CFile::SetStatus(path.c_str(), changed);
  ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
  EXPECT_EQ(CTime(2024, 3, 1, 8, 30, 0).GetTime(), status.m_mtime.GetTime());
  EXPECT_EQ(CFile::archive, status.m_attribute);
  EXPECT_EQ(CFileException::fileNotFound, Thrown([&] { CFile::SetStatus(dir.Path("fehlt").c_str(), changed); }).cause);
}

TEST(CFile, RenameAndRemove) {
  ScratchDir dir;
  const std::string draft = dir.Write("Entwurf.txt", "Entwurf");
  const std::string final = dir.Write("Brief.txt", "Brief");
  // Windows refuses a name that is taken; both files stay as they were.
  const Failure taken = Thrown([&] { CFile::Rename(draft.c_str(), final.c_str()); });
  EXPECT_EQ(ERROR_ALREADY_EXISTS, taken.osError);
  EXPECT_EQ(CFileException::accessDenied, taken.cause);
  EXPECT_EQ(draft, taken.fileName);
  EXPECT_EQ("Brief", ScratchDir::Read(final));
  CFile::Rename(draft.c_str(), dir.Path("Brief2.txt").c_str());
  EXPECT_EQ("Entwurf", ScratchDir::Read(dir.Path("Brief2.txt")));
  EXPECT_EQ(CFileException::fileNotFound, Thrown([&] { CFile::Rename(draft.c_str(), final.c_str()); }).cause);

  EXPECT_EQ(CFileException::fileNotFound, Thrown([&] { CFile::Remove(draft.c_str()); }).cause);
  // An open file is removed as this system removes it: its open stays readable.
  CFile open(final.c_str(), CFile::modeRead);
  CFile::Remove(final.c_str());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributes(final.c_str()));
  EXPECT_EQ("Brief", ReadAll(open));
  // A read-only file is refused, as on Windows.
  ASSERT_EQ(0, chmod(dir.Path("Brief2.txt").c_str(), 0444));
  EXPECT_EQ(CFileException::accessDenied, Thrown([&] { CFile::Remove(dir.Path("Brief2.txt").c_str()); }).cause);
}

// The forms ported programs write: a CString path, an exception object on
// the stack, the size through CString::Format.
TEST(CFile, AsPortedProgramsWriteIt) {
  ScratchDir dir;
  const CString folder(dir.Path("Ausgabe").c_str());
  CFile datei;
  CFileException fehler;
  EXPECT_FALSE(datei.Open(folder + _T("\\summe.txt"), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &fehler));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fehler.m_lOsError);
  ASSERT_TRUE(CreateDirectory(folder, NULL));
  ASSERT_TRUE(datei.Open(folder + _T("\\summe.txt"), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &fehler));
  datei.Write("12345", 5);
  datei.Close();
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(folder + _T("\\summe.txt"), status));
  CString zeile;
  zeile.Format(_T("summe.txt: %I64d Bytes"), status.m_size);
  EXPECT_EQ("summe.txt: 5 Bytes", std::string(zeile));
}

TEST(CFileException, ThrowsWithCausesNumbersAndGermanMessages) {
  const CFileException empty;
  EXPECT_EQ(CFileException::none, empty.m_cause);
  EXPECT_EQ(-1, empty.m_lOsError);
  EXPECT_TRUE(empty.m_strFileName.IsEmpty());

  CFileException::ThrowOsError(0, "egal.txt");  // no error, nothing thrown
  CFileException::ThrowErrno(0);
  const Failure seek = Thrown([] { CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK, "a.dat"); });
  EXPECT_EQ(CFileException::badSeek, seek.cause);
  EXPECT_EQ("a.dat", seek.fileName);
  const Failure eof = Thrown([] { CFileException::ThrowOsError(ERROR_HANDLE_EOF); });
  EXPECT_EQ(CFileException::endOfFile, eof.cause);
  const Failure errnoCase = Thrown([] { CFileException::ThrowErrno(ENOENT, "b.dat"); });
  EXPECT_EQ(CFileException::fileNotFound, errnoCase.cause);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, errnoCase.osError);

  try {
    CFileException::ThrowOsError(ERROR_SHARING_VIOLATION, "Journal\\empfang.txt");
  } catch (CFileException* e) {
    char message[256];
    EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
    EXPECT_NE(std::string::npos, std::string(message).find("Freigabeverletzung"));
    EXPECT_NE(std::string::npos, std::string(message).find("Journal\\empfang.txt"));
    e->Delete();
  }
}

// --- CStdioFile ---

std::vector<std::string> Lines(CStdioFile& file) {
  std::vector<std::string> lines;
  CString line("vorher");
  while (file.ReadString(line)) lines.emplace_back(line);
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

using Texts = std::vector<std::string>;

TEST(CStdioFile, TextModeWritesCrLfAndReadsItBack) {
  ScratchDir dir;
  const std::string path = dir.Path("Journal.txt");
  {
    CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    file.WriteString("Anfrage 1\n");
    file.WriteString("schon CR LF\r\n");  // the runtime puts a CR before every LF
    file.WriteString("\n");
    file.Write("ohne Ende", 9);
    EXPECT_EQ(36u, file.GetLength());
  }
  EXPECT_EQ("Anfrage 1\r\nschon CR LF\r\r\n\r\nohne Ende", ScratchDir::Read(path));
  CStdioFile text(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);  // text is the default
  EXPECT_EQ((Texts{"Anfrage 1", "schon CR LF\r", "", "ohne Ende"}), Lines(text));
  EXPECT_FALSE(text.ReadString(*std::make_unique<CString>()));  // stays at the end
  CStdioFile binary(path.c_str(), CFile::modeRead | CFile::typeBinary | CFile::shareDenyWrite);
  EXPECT_EQ((Texts{"Anfrage 1\r", "schon CR LF\r\r", "\r", "ohne Ende"}), Lines(binary));
}

TEST(CStdioFile, LoneCrAndLfAndCtrlZ) {
  ScratchDir dir;
  const std::string path = dir.Write("Gemischt.txt", "eins\nzwei\rdrei\r\r\nvier\r\x1A" "danach\r\n");
  CStdioFile text(path.c_str(), CFile::modeRead | CFile::typeText | CFile::shareDenyNone);
  EXPECT_EQ((Texts{"eins", "zwei\rdrei\r", "vier\r"}), Lines(text));
  EXPECT_EQ(22u, text.GetPosition());  // before the Ctrl-Z, which ends the text
  CStdioFile binary(path.c_str(), CFile::modeRead | CFile::typeBinary | CFile::shareDenyNone);
  EXPECT_EQ((Texts{"eins", "zwei\rdrei\r\r", "vier\r\x1A" "danach\r"}), Lines(binary));

  // Read translates as ReadString does.
  text.SeekToBegin();
  char buffer[64];
  const UINT got = text.Read(buffer, sizeof buffer);
  EXPECT_EQ("eins\nzwei\rdrei\r\nvier\r", std::string(buffer, got));
}

TEST(CStdioFile, LongLinesAndTheBufferForm) {
  ScratchDir dir;
  const std::string longLine(100000, 'z');
  // A CR LF that straddles the read-ahead's end is still one line end.
  const std::string edge(4095, 'e');
  const std::string path = dir.Write("Lang.txt", edge + "\r\n" + longLine + "\r\nkurz");
  CStdioFile file(path.c_str(), CFile::modeRead);
  CString line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(edge, std::string(line));
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(longLine.size(), static_cast<size_t>(line.GetLength()));
  EXPECT_EQ(4097u + 100002u, file.GetPosition());

  // The buffer form: at most max - 1 characters, the "\n" kept, null at the end.
  char piece[8];
  file.SeekToBegin();
  file.Seek(4097 + 99995, CFile::begin);
  ASSERT_NE(nullptr, file.ReadString(piece, sizeof piece));
  EXPECT_EQ("zzzzz\n", std::string(piece));
  ASSERT_EQ(piece, file.ReadString(piece, 3));
  EXPECT_EQ("ku", std::string(piece));
  ASSERT_NE(nullptr, file.ReadString(piece, sizeof piece));
  EXPECT_EQ("rz", std::string(piece));
  EXPECT_EQ(nullptr, file.ReadString(piece, sizeof piece));
}

TEST(CStdioFile, PositionsStayTrueAcrossReadsSeeksAndWrites) {
  ScratchDir dir;
  const std::string path = dir.Write("Kartei.txt", "eins\r\nzwei\r\ndrei\r\n");
  CStdioFile file(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
  CString line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(6u, file.GetPosition());
  EXPECT_EQ(18u, file.GetLength());
  file.WriteString("ZWEI\n");  // where the reader stands, not where the read-ahead ended
  EXPECT_EQ(12u, file.GetPosition());
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ("drei", std::string(line));
  EXPECT_EQ(6u, file.Seek(-12, CFile::current));
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ("ZWEI", std::string(line));
  file.SetLength(6);
  EXPECT_FALSE(file.ReadString(line));
  file.Flush();  // nothing held back; no error on a text file
  file.Close();
  EXPECT_EQ("eins\r\n", ScratchDir::Read(path));
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFile)));
}

TEST(CStdioFile, SharesAsCFileDoesAndThrowsTheSame) {
  ScratchDir dir;
  const std::string path = dir.Path("Journal\\empfang.txt");
  EXPECT_EQ(CFileException::badPath, Thrown([&] { CStdioFile file(path.c_str(), CFile::modeRead); }).cause);
  ASSERT_EQ(0, mkdir(dir.Path("Journal").c_str(), 0755));
  CStdioFile writer(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
  CFile reader;
  CFileException error;
  EXPECT_FALSE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
  EXPECT_EQ(ERROR_SHARING_VIOLATION, error.m_lOsError);
  writer.Abort();
  EXPECT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
  bool refused = false;
  try {
    writer.WriteString(nullptr);
  } catch (CInvalidArgException* e) {
    refused = true;
    e->Delete();
  }
  EXPECT_TRUE(refused);
}

}  // namespace
