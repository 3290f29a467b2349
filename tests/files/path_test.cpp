#include <gtest/gtest.h>

#include <string>

#include <xtbasis/path.h>

#include "temp_dir.h"

namespace {

std::string Text(const CPath& path) { return path.c_str(); }

TEST(Path, SplitsIntoParts) {
  const CPath path("C:\\a\\b\\x.txt");
  EXPECT_EQ(path.GetDrive(), "C:");
  EXPECT_EQ(path.GetDir(), "\\a\\b\\");
  EXPECT_EQ(path.GetFilename(), "x");
  EXPECT_EQ(path.GetExtension(), ".txt");
  EXPECT_EQ(path.GetDriveDir(), "C:\\a\\b\\");
  EXPECT_EQ(path.GetFilenameExt(), "x.txt");
  char small[4];
  path.GetDir(small, sizeof small);
  EXPECT_STREQ(small, "\\a\\");

  const CPath unix("/home/user/archive.tar.gz");
  EXPECT_EQ(unix.GetDrive(), "");
  EXPECT_EQ(unix.GetDir(), "/home/user/");
  EXPECT_EQ(unix.GetFilename(), "archive.tar");
  EXPECT_EQ(unix.GetExtension(), ".gz");

  const CPath unc("\\\\server\\share\\dir/mixed.doc");
  EXPECT_EQ(unc.GetDrive(), "");
  EXPECT_EQ(unc.GetDir(), "\\\\server\\share\\dir/");
  EXPECT_EQ(CPath(".profile").GetFilename(), "");
  EXPECT_EQ(CPath(".profile").GetExtension(), ".profile");
  EXPECT_EQ(CPath("noext").GetExtension(), "");
  EXPECT_EQ(Text(CPath(nullptr)), "");
}

TEST(Path, BuildsAndReplacesParts) {
  EXPECT_EQ(Text(CPath("C", "\\a", "x", "txt")), "C:\\a\\x.txt");
  EXPECT_EQ(Text(CPath("C:", "\\a\\", "x", ".txt")), "C:\\a\\x.txt");
  EXPECT_EQ(Text(CPath(nullptr, "/tmp", "log", nullptr)), "/tmp/log");
  EXPECT_EQ(Text(CPath(nullptr, "tmp", "log", "")), "tmp/log");

  CPath path("C:\\a\\b\\x.txt");
  path.SetExtension("doc");
  EXPECT_EQ(Text(path), "C:\\a\\b\\x.doc");
  path = CPath("C:\\a\\b\\x.txt");
  path.SetDir("\\c");
  EXPECT_EQ(Text(path), "C:\\c\\x.txt");
  path.SetDrive("D");
  path.SetFilename("y");
  EXPECT_EQ(Text(path), "D:\\c\\y.txt");
  path.SetDrive(nullptr);
  path.SetExtension(nullptr);
  EXPECT_EQ(Text(path), "\\c\\y");
}

TEST(Path, JoinsAndNormalises) {
  EXPECT_EQ(Text(CPath("C:\\a\\b\\x.txt") + CPath("..\\c\\y.doc")), "C:\\a\\c\\y.doc");
  EXPECT_EQ(Text(CPath("C:\\a\\b\\x.txt") + CPath("D:\\z.txt")), "D:\\z.txt");
  EXPECT_EQ(Text(CPath("/srv/data/") + CPath("/etc/passwd")), "/etc/passwd");
  EXPECT_EQ(Text(CPath("/srv/data/") + CPath("./a/./b/../c.txt")), "/srv/data/a/c.txt");
  EXPECT_EQ(Text(CPath("/srv/data/") + CPath("a//b/f")), "/srv/data/a/b/f");
  // ".." never climbs above a root; in a relative path it stays.
  EXPECT_EQ(Text(CPath("C:\\a\\") + CPath("..\\..\\..\\x")), "C:\\x");
  EXPECT_EQ(Text(CPath("\\\\srv\\share\\a\\") + CPath("..\\..\\..\\x")), "\\\\srv\\share\\x");
  EXPECT_EQ(Text(CPath("a/") + CPath("../../x")), "../x");
  // Three dots are an ordinary name.
  EXPECT_EQ(Text(CPath("/a/") + CPath(".../x")), "/a/.../x");
  CPath base("/a/b/file");
  base += CPath("f2");
  EXPECT_EQ(Text(base), "/a/b/f2");
}

TEST(Path, NeverExceeds259Characters) {
  const std::string longName(300, 'n');
  EXPECT_EQ(Text(CPath(longName.c_str())).size(), 259u);
  CPath path(std::string(250, 'd').append("/").c_str());
  path += CPath(std::string(20, 'f').c_str());
  EXPECT_EQ(Text(path).size(), 259u);
  path.SetExtension("longextension");
  EXPECT_LE(Text(path).size(), 259u);
}

TEST(Path, IsSubPathIsAPlainCaseBlindPrefix) {
  EXPECT_TRUE(CPath("c:\\Daten\\X").IsSubPath(CPath("C:\\DATEN")));
  EXPECT_TRUE(CPath("c:\\Daten\\X").IsSubPath(CPath("C:\\Dat")));
  EXPECT_TRUE(CPath::IsSubPath(CPath("C:/Daten/"), CPath("c:\\daten\\x")));
  EXPECT_TRUE(CPath::IsSubPath(CPath("C:\\\xC4rzte"), CPath("c:\\\xE4rzte\\x")));  // Ä and ä
  EXPECT_FALSE(CPath("C:\\Da").IsSubPath(CPath("C:\\Daten")));
  EXPECT_FALSE(CPath("D:\\Daten").IsSubPath(CPath("C:\\Daten")));
}

TEST(Path, CurrentDirAndExists) {
  ScratchTempDir dir;
  const CPath current = CPath::GetCurrentDir();
  EXPECT_EQ(Text(current).back(), '/');
  EXPECT_TRUE(current.Exists());

  dir.Write("report.txt", "x");
  std::filesystem::create_directory(dir.Path("sub"));
  EXPECT_TRUE(CPath(dir.Path("report.txt").c_str()).Exists());
  EXPECT_TRUE(CPath(dir.Path("sub").c_str()).Exists());
  EXPECT_TRUE(CPath(dir.Path("rep*.t?t").c_str()).Exists());
  EXPECT_TRUE(CPath(dir.Path("s*").c_str()).Exists());
  EXPECT_FALSE(CPath(dir.Path("*.doc").c_str()).Exists());
  EXPECT_FALSE(CPath(dir.Path("missing").c_str()).Exists());
  EXPECT_FALSE(CPath().Exists());
}

}  // namespace
