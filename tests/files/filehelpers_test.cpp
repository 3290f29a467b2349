#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>

#include <xtbasis/filehelpers.h>

#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

void SetModified(const std::string& path, time_t seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TextFiles, LoadAndSaveKeepBytes) {
  ScratchTempDir dir;
  const std::string bytes("Zeile 1\r\nZeile\0 2\r\n\xE4\xF6\xFC", 22);
  CString text;
  ASSERT_TRUE(LoadTextFile(dir.Write("crlf.txt", bytes).c_str(), text));
  EXPECT_EQ(text.str(), bytes);
  ASSERT_TRUE(LoadTextFile(dir.Write("empty.txt", "").c_str(), text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(LoadTextFile(dir.Path("missing").c_str(), text));

  const std::string target = dir.Write("over.txt", std::string(5000, 'L'));
  ASSERT_TRUE(SaveTextFile(target.c_str(), "short"));
  ASSERT_TRUE(LoadTextFile(target.c_str(), text));
  EXPECT_EQ(text, "short");
  ASSERT_TRUE(SaveTextFile(target.c_str(), CString(bytes)));
  ASSERT_TRUE(LoadTextFile(target.c_str(), text));
  EXPECT_EQ(text.str(), bytes);
  EXPECT_FALSE(SaveTextFile(dir.Path("no/such/file").c_str(), "x"));
  EXPECT_FALSE(SaveTextFile(dir.Path().c_str(), "x"));  // a folder
}

TEST(NewestFile, FilesOnlyStrictlyNewerWins) {
  ScratchTempDir dir;
  SetModified(dir.Write("a.log", "1"), 1700000000, 100);
  SetModified(dir.Write("b.log", "2"), 1700000000, 200);  // newer by 100 ns
  SetModified(dir.Write("c.txt", "3"), 1800000000, 0);    // newest but not matched
  fs::create_directory(dir.Path("d.log"));
  SetModified(dir.Path("d.log"), 1900000000, 0);          // a folder never counts
  EXPECT_EQ(FindNewestFile(dir.Path("*.log").c_str()), dir.Path("b.log"));
  EXPECT_EQ(FindNewestFile(dir.Path("*").c_str()), dir.Path("c.txt"));
  EXPECT_EQ(FindNewestFile(dir.Path("d*").c_str()), "");
  EXPECT_EQ(FindNewestFile(dir.Path("*.none").c_str()), "");
  EXPECT_EQ(FindNewestFile(dir.Path("a.log").c_str()), dir.Path("a.log"));

  // Equally new: the first one listed stays.
  SetModified(dir.Path("a.log"), 1700000000, 200);
  const CString first = FindNewestFile(dir.Path("?.log").c_str());
  EXPECT_TRUE(first == dir.Path("a.log").c_str() || first == dir.Path("b.log").c_str());
  EXPECT_EQ(FindNewestFile(dir.Path("?.log").c_str()), first);
}

TEST(Existence, FilesFoldersAndTheAppendedSeparator) {
  ScratchTempDir dir;
  const std::string file = dir.Write("f.txt", "x");
  EXPECT_TRUE(FileExists(file.c_str()));
  EXPECT_TRUE(FileExists(dir.Path().c_str()));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(dir.Path("nope").c_str()));

  CString folder = dir.Path().substr(0, dir.Path().size() - 1).c_str();
  EXPECT_TRUE(DirExists(folder));
  EXPECT_EQ(folder, dir.Path().c_str());
  CString asFile = file.c_str();
  EXPECT_FALSE(DirExists(asFile));
  EXPECT_EQ(asFile, (file + "/").c_str());
  CString windows = "C:\\Temp";
  EXPECT_FALSE(DirExists(windows));
  EXPECT_EQ(windows, "C:\\Temp\\");
  CString empty;
  EXPECT_FALSE(DirExists(empty));
  EXPECT_EQ(empty, "");
}

TEST(TempFilePath, CreatesAFileTheCallerOwns) {
  ScratchTempDir dir;
  CString path;
  GetTempFilePath(path, "Rechnung");
  EXPECT_TRUE(std::regex_match(path.str(), std::regex(dir.Path() + "Rec[0-9A-F]{4}\\.TMP"))) << path.str();
  EXPECT_TRUE(fs::is_regular_file(path.str()));
  CString second;
  GetTempFilePath(second, "Rechnung");
  EXPECT_NE(second, path);
}

TEST(DocToDocX, PicksTheExistingForm) {
  ScratchTempDir dir;
  CString name = dir.Path("brief.doc").c_str();
  DocToDocX(name);
  EXPECT_EQ(name, dir.Path("brief.docm").c_str());
  dir.Write("brief.docx", "x");
  name = dir.Path("brief.doc").c_str();
  DocToDocX(name);
  EXPECT_EQ(name, dir.Path("brief.docx").c_str());
  dir.Write("brief.doc", "x");
  name = dir.Path("brief.doc").c_str();
  DocToDocX(name);
  EXPECT_EQ(name, dir.Path("brief.doc").c_str());
}

}  // namespace
