// FindFirstFile and FindNextFile as a program written for Windows lists a
// folder: the wildcards' Windows rules, the dots, the entries' facts, the
// last errors and the handle's life.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include "../support/scratch_dir.h"

namespace {

// Every name FindFirstFile/FindNextFile give for `pattern`; the last error
// after the end is kept in `endError`.
std::multiset<std::string> Listed(const std::string& pattern, DWORD& endError) {
  std::multiset<std::string> names;
  WIN32_FIND_DATA data;
  HANDLE search = FindFirstFile(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    endError = GetLastError();
    return names;
  }
  do {
    names.insert(data.cFileName);
  } while (FindNextFile(search, &data));
  endError = GetLastError();
  EXPECT_TRUE(FindClose(search));
  return names;
}

std::multiset<std::string> Listed(const std::string& pattern) {
  DWORD endError = 0;
  std::multiset<std::string> names = Listed(pattern, endError);
  EXPECT_EQ(names.empty() ? DWORD(ERROR_FILE_NOT_FOUND) : DWORD(ERROR_NO_MORE_FILES), endError) << pattern;
  return names;
}

class FileSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("Report.TXT", "12345");
    dir.Write("notes.txt", "");
    dir.Write("README", "x");
    dir.Write("ab.txt", "");
    dir.Write("abc.txt", "");
    dir.Write("archive.tar.gz", "");
    ASSERT_EQ(0, mkdir(dir.Path("Sub").c_str(), 0755));
  }
  std::string In(const std::string& pattern) const { return dir.Path(pattern); }
  ScratchDir dir;
};

using Names = std::multiset<std::string>;

TEST_F(FileSearch, WildcardsMatchAsWindowsMatchesThem) {
  const Names all{".", "..", "Report.TXT", "notes.txt", "README", "ab.txt", "abc.txt", "archive.tar.gz", "Sub"};
  EXPECT_EQ(all, Listed(In("*")));
  EXPECT_EQ(all, Listed(In("*.*")));  // names without a dot too
  EXPECT_EQ((Names{"Report.TXT", "notes.txt", "ab.txt", "abc.txt"}), Listed(In("*.txt")));
  EXPECT_EQ((Names{"Report.TXT", "notes.txt", "ab.txt", "abc.txt"}), Listed(In("*.TxT")));
  EXPECT_EQ((Names{"README"}), Listed(In("readme.*")));
  EXPECT_EQ((Names{"README"}), Listed(In("readme")));
  EXPECT_EQ((Names{"archive.tar.gz"}), Listed(In("*.gz")));
  EXPECT_EQ((Names{"archive.tar.gz"}), Listed(In("a*.tar.*")));
  // '?' is one character, or none at the end of the name or before a dot.
  EXPECT_EQ((Names{"ab.txt", "abc.txt"}), Listed(In("ab?.txt")));
  EXPECT_EQ((Names{"abc.txt"}), Listed(In("a?c.txt")));
  EXPECT_EQ((Names{"Sub"}), Listed(In("su??")));
  EXPECT_EQ(Names{}, Listed(In("s?b.x")));
  EXPECT_EQ(Names{}, Listed(In("*.doc")));
}

TEST_F(FileSearch, FolderPartTakesBackslashesAndEntriesCarryTheirFacts) {
  std::string pattern = In("*");
  for (char& ch : pattern)
    if (ch == '/') ch = '\\';
  EXPECT_EQ(9u, Listed(pattern).size());

  WIN32_FIND_DATA data;
  memset(&data, 0x55, sizeof data);
  HANDLE search = FindFirstFile(In("report.txt").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  EXPECT_STREQ("Report.TXT", data.cFileName);  // the name as it is stored
  EXPECT_STREQ("", data.cAlternateFileName);
  EXPECT_EQ(5u, data.nFileSizeLow);
  EXPECT_EQ(0u, data.nFileSizeHigh);
  EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), data.dwFileAttributes);
  WIN32_FILE_ATTRIBUTE_DATA byName;
  ASSERT_TRUE(GetFileAttributesEx(In("Report.TXT").c_str(), GetFileExInfoStandard, &byName));
  EXPECT_EQ(byName.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwLowDateTime);
  EXPECT_EQ(byName.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwHighDateTime);
  EXPECT_FALSE(FindNextFile(search, &data));
  EXPECT_EQ(DWORD(ERROR_NO_MORE_FILES), GetLastError());
  EXPECT_FALSE(FindNextFile(search, &data));  // stays at its end
  EXPECT_EQ(DWORD(ERROR_NO_MORE_FILES), GetLastError());
  EXPECT_TRUE(FindClose(search));

  search = FindFirstFile(In("Sub").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  EXPECT_NE(0u, data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(0u, data.nFileSizeLow);
  EXPECT_TRUE(FindClose(search));

  ASSERT_EQ(0, chmod(dir.Path("notes.txt").c_str(), 0444));
  ASSERT_NE(INVALID_HANDLE_VALUE, search = FindFirstFile(In("notes.txt").c_str(), &data));
  EXPECT_NE(0u, data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(FindClose(search));
}

TEST_F(FileSearch, DotsAreListedInFoldersButNotAtTheRoot) {
  EXPECT_EQ((Names{".", ".."}), Listed(In("Sub\\*")));  // an empty folder lists only its dots
  EXPECT_EQ((Names{".", ".."}), Listed(In("Sub\\*.*")));
  EXPECT_EQ(Names{}, Listed(In("Sub\\*.txt")));
  const Names root = Listed("/*");
  EXPECT_EQ(0u, root.count("."));
  EXPECT_EQ(0u, root.count(".."));
  EXPECT_EQ(1u, root.count("tmp"));
}

TEST_F(FileSearch, FailuresGiveWindowsLastErrors) {
  WIN32_FIND_DATA data;
  struct Case {
    std::string pattern;
    DWORD error;
  } cases[] = {
      {In("nothing.here"), ERROR_FILE_NOT_FOUND},
      {In("missing\\*"), ERROR_PATH_NOT_FOUND},
      {In("README\\*"), ERROR_PATH_NOT_FOUND},  // a file as the folder part
      {In("Sub\\"), ERROR_FILE_NOT_FOUND},
      {"", ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFile(c.pattern.c_str(), &data)) << c.pattern;
    EXPECT_EQ(c.error, GetLastError()) << c.pattern;
  }
  EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFile(nullptr, &data));
  EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(FileSearch, HandleIsASearchUntilClosed) {
  WIN32_FIND_DATA data;
  HANDLE search = FindFirstFile(In("*.txt").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  // The folder was read when the search began: a file added later is not met.
  dir.Write("late.txt", "");
  int more = 0;
  while (FindNextFile(search, &data)) ++more;
  EXPECT_EQ(3, more);
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindNextFile(search, &data));
  EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
  EXPECT_FALSE(FindClose(search));
  EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());

  // A file handle is no search, and a search no file.
  HANDLE file = CreateFile(In("README").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  EXPECT_FALSE(FindNextFile(file, &data));
  EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
  EXPECT_FALSE(FindClose(file));
  EXPECT_TRUE(CloseHandle(file));
  search = FindFirstFile(In("*").c_str(), &data);
  DWORD read = 0;
  char byte;
  EXPECT_FALSE(ReadFile(search, &byte, 1, &read, nullptr));
  EXPECT_TRUE(FindClose(search));
}

}  // namespace
