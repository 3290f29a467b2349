// The runtime's file calls as a ported program makes them: Windows path text
// split and joined, files and folders named with '\\', and the program's
// arguments there before main.
#include <windows.h>
#include <direct.h>
#include <io.h>
#include <tchar.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "scratch_dir.h"

namespace {

struct Split {
  std::string drive, dir, fname, ext;
};

Split SplitOf(const char* path) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath(path, drive, dir, fname, ext);
  return {drive, dir, fname, ext};
}

TEST(SplitPath, WindowsPathsInTheirParts) {
  struct Case {
    const char* path;
    Split parts;
  };
  const Case cases[] = {
      {"C:\\a\\b.c", {"C:", "\\a\\", "b", ".c"}},
      {"\\\\server\\share\\x", {"", "\\\\server\\share\\", "x", ""}},
      {"file", {"", "", "file", ""}},
      {"dir\\", {"", "dir\\", "", ""}},
      {"C:name.tar.gz", {"C:", "", "name.tar", ".gz"}},
      {"/usr/lib/x.so", {"", "/usr/lib/", "x", ".so"}},
      {"a.b\\c/d", {"", "a.b\\c/", "d", ""}},  // a dot in a folder is no extension
      {".profile", {"", "", "", ".profile"}},
      {"", {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    const Split got = SplitOf(c.path);
    EXPECT_EQ(got.drive, c.parts.drive) << c.path;
    EXPECT_EQ(got.dir, c.parts.dir) << c.path;
    EXPECT_EQ(got.fname, c.parts.fname) << c.path;
    EXPECT_EQ(got.ext, c.parts.ext) << c.path;
  }
}

TEST(SplitPath, NullPartsAreSkipped) {
  char fname[_MAX_FNAME] = "x", ext[_MAX_EXT] = "x";
  _tsplitpath("D:\\Abrechnung\\Q1.2024.xml", nullptr, nullptr, fname, ext);
  EXPECT_STREQ(fname, "Q1.2024");
  EXPECT_STREQ(ext, ".xml");
  char dir[_MAX_DIR];
  _splitpath("D:\\x\\", nullptr, dir, nullptr, nullptr);
  EXPECT_STREQ(dir, "\\x\\");
}

TEST(SplitPath, SafeFormRefusesPartsTooLongAndTakesNullParts) {
  char drive[3] = "x", dir[4] = "x", fname[16] = "x", ext[8] = "x";
  EXPECT_EQ(_splitpath_s("C:\\long\\name.txt", drive, sizeof drive, dir, sizeof dir, fname, sizeof fname, ext,
                         sizeof ext),
            ERANGE);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(fname, "");  // every part emptied, not only the one too long
  EXPECT_EQ(_splitpath_s("C:\\a\\name.txt", nullptr, 0, nullptr, 0, fname, sizeof fname, nullptr, 0), 0);
  EXPECT_STREQ(fname, "name");
  EXPECT_EQ(_splitpath_s("x", nullptr, 3, nullptr, 0, nullptr, 0, nullptr, 0), EINVAL);
}

TEST(MakePath, AddsTheSeparatorAndTheDot) {
  char path[_MAX_PATH];
  _makepath(path, "C", "\\data", "claims", "xml");
  EXPECT_STREQ(path, "C:\\data\\claims.xml");
  _tmakepath(path, nullptr, "out/", "r", ".txt");
  EXPECT_STREQ(path, "out/r.txt");
  _makepath(path, "", "", "plain", nullptr);
  EXPECT_STREQ(path, "plain");
  char small[6] = "xxxxx";
  EXPECT_EQ(_makepath_s(small, sizeof small, nullptr, "dir", "name", "ext"), ERANGE);
  EXPECT_STREQ(small, "");
}

std::string Backslashed(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

TEST(FileCalls, FoldersFilesAndFactsByBackslashPaths) {
  ScratchDir scratch;
  const std::string folder = Backslashed(scratch.Path("sub"));
  EXPECT_EQ(_mkdir(folder.c_str()), 0);
  EXPECT_EQ(_mkdir(folder.c_str()), -1);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(_access(folder.c_str(), 0), 0);

  const std::string file = folder + "\\note.txt";
  EXPECT_EQ(_access(file.c_str(), 0), -1);
  EXPECT_EQ(errno, ENOENT);
  std::ofstream(scratch.Path("sub/note.txt")) << "12345";
  EXPECT_EQ(_access(file.c_str(), 6), 0);
  EXPECT_EQ(_access(file.c_str(), 1), -1);  // no such mode on Windows
  EXPECT_EQ(errno, EINVAL);

  struct _stat facts;
  ASSERT_EQ(_stat(file.c_str(), &facts), 0);
  EXPECT_EQ(facts.st_size, 5);
  EXPECT_EQ(facts.st_mode & _S_IFMT, _S_IFREG);
  EXPECT_NEAR(static_cast<double>(facts.st_mtime), static_cast<double>(std::time(nullptr)), 5);
  struct _stat64 folderFacts;
  ASSERT_EQ(_stat64(folder.c_str(), &folderFacts), 0);
  EXPECT_EQ(folderFacts.st_mode & _S_IFMT, _S_IFDIR);

  EXPECT_EQ(_rmdir(folder.c_str()), -1);  // not empty
  EXPECT_EQ(_unlink(file.c_str()), 0);
  EXPECT_EQ(_stat(file.c_str(), &facts), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(_rmdir(folder.c_str()), 0);
  EXPECT_EQ(_access(nullptr, 0), -1);
}

TEST(FileCalls, WorkingFolderAndFullPaths) {
  ScratchDir scratch;
  char* before = _getcwd(nullptr, 0);
  ASSERT_NE(before, nullptr);
  ASSERT_EQ(_chdir(Backslashed(scratch.Path()).c_str()), 0);
  char here[_MAX_PATH];
  ASSERT_EQ(_getcwd(here, sizeof here), here);
  const std::string scratchFolder = scratch.Path().substr(0, scratch.Path().size() - 1);
  EXPECT_EQ(std::string(here), scratchFolder);
  char tiny[2];
  EXPECT_EQ(_getcwd(tiny, sizeof tiny), nullptr);
  EXPECT_EQ(errno, ERANGE);

  char full[_MAX_PATH];
  ASSERT_EQ(_fullpath(full, "a\\.\\b\\..\\c.txt", sizeof full), full);
  EXPECT_EQ(std::string(full), scratchFolder + "/a/c.txt");
  EXPECT_STREQ(_fullpath(full, "\\x\\..\\..\\y", sizeof full), "/y");
  char* allocated = _tfullpath(nullptr, "z", 0);
  ASSERT_NE(allocated, nullptr);
  EXPECT_EQ(std::string(allocated), scratchFolder + "/z");
  std::free(allocated);
  EXPECT_EQ(_fullpath(tiny, "abc", sizeof tiny), nullptr);

  EXPECT_EQ(_chdir(before), 0);
  std::free(before);
  EXPECT_EQ(_chdir("\\no\\such\\folder"), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST(Arguments, AreThereAsTheProgramWasStarted) {
  ASSERT_GE(__argc, 1);
  ASSERT_NE(__targv, nullptr);
  EXPECT_EQ(__argv[__argc], nullptr);
  ASSERT_NE(_pgmptr, nullptr);
  EXPECT_EQ(_pgmptr[0], '/');
  const std::string program(_pgmptr);
  const std::string first(__argv[0]);
  EXPECT_EQ(program.substr(program.rfind('/') + 1), first.substr(first.rfind('/') + 1));
  EXPECT_EQ(_getpid(), static_cast<int>(getpid()));
}

}  // namespace
