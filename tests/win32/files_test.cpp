// Files and folders by handle and by name as a program written for Windows
// uses them: dispositions and their last errors, the sharing matrix, reads
// at the end, the file pointer's protocol, names with '\\', copies, moves,
// attributes and the process's paths.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../support/scratch_dir.h"

namespace {

std::string Backslashed(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD ErrorOf(HANDLE handle) {
  const DWORD error = GetLastError();
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return handle == INVALID_HANDLE_VALUE ? error : NO_ERROR;
}

TEST(Files, DispositionsGiveWindowsResultsAndLastErrors) {
  ScratchDir dir;
  const std::string path = Backslashed(dir.Path("a.dat"));
  SetLastError(1234);
  HANDLE created = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(created, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  CloseHandle(created);

  EXPECT_EQ(ErrorOf(Open(path, GENERIC_WRITE, 0, CREATE_NEW)), static_cast<DWORD>(ERROR_FILE_EXISTS));
  HANDLE again = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(again, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(again, nullptr), 5u);  // OPEN_ALWAYS keeps the content
  CloseHandle(again);
  HANDLE truncated = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(truncated, nullptr), 0u);
  CloseHandle(truncated);

  EXPECT_EQ(ErrorOf(Open(dir.Path("none"), GENERIC_READ, 0, OPEN_EXISTING)), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorOf(Open(dir.Path("no\\none"), GENERIC_READ, 0, OPEN_EXISTING)), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(ErrorOf(Open(dir.Path("none"), GENERIC_WRITE, 0, TRUNCATE_EXISTING)), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorOf(Open(path, GENERIC_READ, 0, TRUNCATE_EXISTING)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ErrorOf(Open(path, GENERIC_READ, 0, 9)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ErrorOf(Open(dir.Path(""), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING)),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));  // a folder is no file
}

// Windows' rule: an open conflicts with an earlier one when either does what
// the other does not share.
bool WindowsAllows(DWORD firstAccess, DWORD firstShare, DWORD secondAccess, DWORD secondShare) {
  auto clash = [](DWORD access, DWORD share) {
    return ((access & GENERIC_READ) && !(share & FILE_SHARE_READ)) ||
           ((access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE));
  };
  return !clash(secondAccess, firstShare) && !clash(firstAccess, secondShare);
}

TEST(Files, SharingModesFollowWindowsMatrix) {
  ScratchDir dir;
  const std::string path = dir.Write("shared.dat", "x");
  const DWORD accesses[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  const DWORD shares[] = {0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
  for (DWORD firstAccess : accesses)
    for (DWORD firstShare : shares)
      for (DWORD secondAccess : accesses)
        for (DWORD secondShare : shares) {
          HANDLE first = Open(path, firstAccess, firstShare, OPEN_EXISTING);
          ASSERT_NE(first, INVALID_HANDLE_VALUE);
          HANDLE second = Open(path, secondAccess, secondShare, OPEN_EXISTING);
          const bool allowed = WindowsAllows(firstAccess, firstShare, secondAccess, secondShare);
          SCOPED_TRACE(::testing::Message() << std::hex << firstAccess << "/" << firstShare << " then "
                                            << secondAccess << "/" << secondShare);
          EXPECT_EQ(second != INVALID_HANDLE_VALUE, allowed);
          if (!allowed) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
          }
          if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
          CloseHandle(first);
        }
}

TEST(Files, RefusedOpenLeavesTheFileAndClosingFreesIt) {
  ScratchDir dir;
  const std::string path = dir.Write("kept.dat", "content");
  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  // CREATE_ALWAYS would truncate: refused, the content stays.
  EXPECT_EQ(ErrorOf(Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS)), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ScratchDir::Read(path), "content");
  // Another process meets the same marks.
  const pid_t child = fork();
  if (child == 0) {
    HANDLE other = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    _exit(other == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  CloseHandle(reader);
  HANDLE writer = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  CloseHandle(writer);
}

TEST(Files, ReadsWritesAndThePointerAsWindowsDoes) {
  ScratchDir dir;
  HANDLE file = Open(dir.Path("p.dat"), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD count = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &count, nullptr));
  char buffer[16] = {};
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
  EXPECT_EQ(count, 0u);  // at the end: TRUE with nothing read
  EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
  EXPECT_EQ(std::string(buffer, count), "6789");

  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 10u);  // not moved by the failure
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Past 4 GiB: only with the high part.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_BEGIN), 2u);
  EXPECT_EQ(high, 1);
  EXPECT_TRUE(SetEndOfFile(file));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 2u);
  EXPECT_EQ(sizeHigh, 1u);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  LARGE_INTEGER distance, position, size;
  distance.QuadPart = -2;
  ASSERT_TRUE(SetFilePointerEx(file, distance, &position, FILE_END));
  EXPECT_EQ(position.QuadPart, 0x100000000LL);
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, 0x100000002LL);
  EXPECT_TRUE(SetEndOfFile(file));
  EXPECT_TRUE(FlushFileBuffers(file));
  EXPECT_EQ(GetFileType(file), FILE_TYPE_DISK);

  // An OVERLAPPED names where the transfer starts.
  OVERLAPPED at{};
  at.Offset = 3;
  ASSERT_TRUE(ReadFile(file, buffer, 2, nullptr, &at));
  EXPECT_EQ(std::string(buffer, 2), "34");
  CloseHandle(file);
}

TEST(Files, AccessTheHandleLacksIsDenied) {
  ScratchDir dir;
  const std::string path = dir.Write("r.dat", "abc");
  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  DWORD count = 7;
  EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(SetEndOfFile(reader));
  char byte;
  EXPECT_FALSE(ReadFile(reader, &byte, 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(reader);
  EXPECT_FALSE(ReadFile(reader, &byte, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(ScratchDir::Read(path), "abc");
}

TEST(Files, DeleteOnCloseRemovesOnlyItsOwnFile) {
  ScratchDir dir;
  const std::string path = dir.Path("gone.tmp");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  CloseHandle(file);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

  file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_TRUE(DeleteFileA(path.c_str()));
  dir.Write("gone.tmp", "someone else's");
  CloseHandle(file);
  EXPECT_EQ(ScratchDir::Read(path), "someone else's");
}

TEST(Files, FoldersAndNamesGiveWindowsErrors) {
  ScratchDir dir;
  const std::string folder = Backslashed(dir.Path("sub"));
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA((folder + "\\x\\y").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  dir.Write("sub/f.txt", "1");
  EXPECT_FALSE(RemoveDirectoryA(folder.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(RemoveDirectoryA((folder + "\\f.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_FALSE(DeleteFileA(folder.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFileA((folder + "\\f.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\f.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileA((folder + "\\f.txt").c_str()));
  EXPECT_FALSE(DeleteFileA((folder + "\\f.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}

TEST(Files, AttributesMapThisSystemsFacts) {
  ScratchDir dir;
  const std::string file = dir.Write("plain.txt", "12345");
  const std::string hidden = dir.Write(".hidden", "");
  EXPECT_EQ(GetFileAttributesA(file.c_str()), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA(hidden.c_str()), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesA(Backslashed(dir.Path("")).c_str()), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA(dir.Path("missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(GetFileAttributesA(file.c_str()), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0200, 0200u);

  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 5u);
  // 100-ns steps since 1601: the file's modification time.
  const ULONGLONG steps = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(static_cast<long long>(steps / 10000000 - 11644473600ULL), static_cast<long long>(info.st_mtime));
}

TEST(Files, CopyAndMoveKeepOrReplaceAsAsked) {
  ScratchDir dir;
  const std::string source = dir.Write("src.txt", "source");
  const std::string target = dir.Write("dst.txt", "target");
  EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(ScratchDir::Read(target), "target");
  EXPECT_TRUE(CopyFileA(Backslashed(source).c_str(), Backslashed(target).c_str(), FALSE));
  EXPECT_EQ(ScratchDir::Read(target), "source");
  EXPECT_FALSE(CopyFileA(source.c_str(), source.c_str(), FALSE));
  EXPECT_EQ(ScratchDir::Read(source), "source");
  EXPECT_FALSE(CopyFileA(dir.Path("none").c_str(), target.c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  // A link planted at the target loses its name; what it points to stays.
  const std::string victim = dir.Write("victim.txt", "victim");
  ASSERT_EQ(symlink(victim.c_str(), dir.Path("link.txt").c_str()), 0);
  EXPECT_TRUE(CopyFileA(source.c_str(), dir.Path("link.txt").c_str(), FALSE));
  EXPECT_EQ(ScratchDir::Read(victim), "victim");
  EXPECT_EQ(ScratchDir::Read(dir.Path("link.txt")), "source");

  EXPECT_FALSE(MoveFileA(source.c_str(), target.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  dir.Write("other.txt", "other");
  EXPECT_TRUE(MoveFileExA(dir.Path("other.txt").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ScratchDir::Read(target), "other");
  EXPECT_EQ(GetFileAttributesA(dir.Path("other.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(MoveFileA(source.c_str(), dir.Path("moved.txt").c_str()));
  EXPECT_EQ(ScratchDir::Read(dir.Path("moved.txt")), "source");
  EXPECT_FALSE(MoveFileExA(target.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(Files, MoveAcrossFileSystemsOnlyWhenCopyingIsAllowed) {
  ScratchDir dir;
  ScratchDir other;  // /dev/shm is another file system than the temporary folder, where there is one
  struct stat a {}, b {};
  if (stat("/dev/shm", &b) != 0 || stat(dir.Path().c_str(), &a) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "no second file system";
  const std::string source = dir.Write("far.txt", "far");
  const std::string target = "/dev/shm/xtb-files-test-" + std::to_string(getpid());
  EXPECT_FALSE(MoveFileExA(source.c_str(), target.c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE));
  EXPECT_TRUE(MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(ScratchDir::Read(target), "far");
  EXPECT_EQ(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES);
  unlink(target.c_str());
}

TEST(Files, ProcessPathsFollowTheSizeProtocol) {
  ScratchDir dir;
  char saved[4096];
  ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(Backslashed(dir.Path("")).c_str()));
  const std::string expected = dir.Path().substr(0, dir.Path().size() - 1);
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);
  char small[4] = "xyz";
  EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), expected.size() + 1);
  EXPECT_STREQ(small, "xyz");
  char buffer[4096];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_FALSE(SetCurrentDirectoryA(dir.Write("file", "").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_FALSE(SetCurrentDirectoryA(dir.Path("none").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(SetCurrentDirectoryA(saved));

  char module[4096];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  ASSERT_GT(length, 0u);
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  EXPECT_STREQ(module, self);
  char cut[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, cut, sizeof cut), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(cut), std::string(self, 4));
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x10), module, sizeof module), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Files, TempPathAndNamesAreWindowsShapedAndOwnFiles) {
  ScratchDir dir;
  const char* saved = getenv("TMP");
  const std::string keep = saved != nullptr ? saved : "";
  setenv("TMP", dir.Path("").substr(0, dir.Path().size() - 1).c_str(), 1);
  char path[MAX_PATH];
  EXPECT_EQ(GetTempPathA(sizeof path, path), dir.Path().size());
  EXPECT_EQ(std::string(path), dir.Path());  // with its trailing separator
  EXPECT_EQ(GetTempPathA(3, path), dir.Path().size() + 1);
  if (saved != nullptr) {
    setenv("TMP", keep.c_str(), 1);
  } else {
    unsetenv("TMP");
  }

  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileNameA(dir.Path().c_str(), "abcdef", 0x1A2B, name), 0x1A2Bu);
  EXPECT_EQ(std::string(name), dir.Path("abc1A2B.TMP"));
  EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);  // a number given: no file made

  char first[MAX_PATH], second[MAX_PATH];
  const UINT one = GetTempFileNameA(dir.Path().c_str(), "xt", 0, first);
  const UINT two = GetTempFileNameA(dir.Path().c_str(), "xt", 0, second);
  ASSERT_NE(one, 0u);
  ASSERT_NE(two, 0u);
  EXPECT_NE(std::string(first), std::string(second));
  struct stat info {};
  ASSERT_EQ(lstat(first, &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(GetTempFileNameA(dir.Path("none").c_str(), "xt", 0, first), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_EQ(GetTempFileNameA(std::string(300, 'a').c_str(), "xt", 0, first), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
}

}  // namespace
