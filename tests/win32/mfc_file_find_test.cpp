// CFileFind as the framework's programs loop over it: the read-ahead that
// makes the last entry readable after FindNextFile returned FALSE, the dots,
// folders, paths joined with the pattern's separator, and a new search.
#include <afx.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>

#include "../support/scratch_dir.h"

namespace {

std::string Backslashed(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

TEST(CFileFind, LoopsOverEveryEntryWithItsFacts) {
  ScratchDir dir;
  dir.Write("Befund.xml", "<a/>");
  dir.Write("leer.xml", "");
  ASSERT_EQ(0, mkdir(dir.Path("Archiv.xml").c_str(), 0755));
  const std::string root = Backslashed(dir.Path("")).substr(0, Backslashed(dir.Path("")).size() - 1);

  CFileFind find;
  std::map<std::string, std::string> paths;
  int dots = 0, folders = 0;
  ULONGLONG bytes = 0;
  std::string last;
  BOOL more = find.FindFile((root + "\\*.*").c_str());
  ASSERT_TRUE(more);
  EXPECT_EQ("", std::string(find.GetFileName()));  // nothing read before the first step
  while (more) {
    more = find.FindNextFile();
    last = std::string(find.GetFileName());
    if (find.IsDots()) {
      ++dots;
      continue;
    }
    if (find.IsDirectory()) ++folders;
    bytes += find.GetLength();
    paths[std::string(find.GetFileName())] = std::string(find.GetFilePath());
  }
  EXPECT_EQ(2, dots);
  EXPECT_EQ(1, folders);
  EXPECT_EQ(4u, bytes);
  ASSERT_EQ(3u, paths.size());  // the last entry was read after FALSE
  EXPECT_EQ(root + "\\Befund.xml", paths["Befund.xml"]);
  EXPECT_EQ(root + "\\Archiv.xml", paths["Archiv.xml"]);
  EXPECT_EQ(root, std::string(find.GetRoot()));
  EXPECT_FALSE(find.FindNextFile());  // past the end it stays there
  EXPECT_EQ(last, std::string(find.GetFileName()));

  // A new search ends the old one; a title is the name without its extension.
  ASSERT_TRUE(find.FindFile(dir.Path("befund.*").c_str()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_EQ("Befund", std::string(find.GetFileTitle()));
  EXPECT_EQ(dir.Path("Befund.xml"), std::string(find.GetFilePath()));  // '/' kept where the pattern had it
  EXPECT_FALSE(find.IsDirectory());
  EXPECT_TRUE(find.IsArchived());
  FILETIME written{};
  EXPECT_TRUE(find.GetLastWriteTime(&written));
  EXPECT_NE(0u, written.dwHighDateTime);

  find.Close();
  EXPECT_EQ("", std::string(find.GetFilePath()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_FALSE(find.FindFile(dir.Path("*.doc").c_str()));
  EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
  EXPECT_FALSE(find.FindNextFile());
}

TEST(CFileFind, NameWithoutFolderListsTheWorkingFolder) {
  ScratchDir dir;
  dir.Write("hier.txt", "");
  char saved[4096];
  ASSERT_NE(nullptr, getcwd(saved, sizeof saved));
  ASSERT_EQ(0, chdir(dir.Path("").c_str()));
  CFileFind find;
  ASSERT_TRUE(find.FindFile("HIER.TXT"));
  find.FindNextFile();
  char here[4096];
  ASSERT_NE(nullptr, getcwd(here, sizeof here));
  EXPECT_EQ(std::string(here) + "/hier.txt", std::string(find.GetFilePath()));
  ASSERT_EQ(0, chdir(saved));
}

}  // namespace
