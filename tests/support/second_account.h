// Playing a second account in tests of folders that every account may
// write: a forked child that has become the account nobody plants names,
// and a snapshot of a folder tree shows that nothing outside changed.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

constexpr uid_t kNobody = 65534;

// Makes the calling process (a forked child) the account nobody.
inline bool BecomeNobody() {
  return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
         setresuid(kNobody, kNobody, kNobody) == 0;
}

// Runs `plant` in a child that has become the account nobody; its result.
inline bool AsNobody(const std::function<bool()>& plant) {
  const pid_t child = fork();
  if (child == 0) _exit(BecomeNobody() && plant() ? 0 : 1);
  int status = -1;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Plants `path` as a symbolic link to `target` as nobody would.
inline bool PlantSymlinkAsNobody(const std::string& target, const std::string& path) {
  return AsNobody([&] { return symlink(target.c_str(), path.c_str()) == 0; });
}

// Plants `path` as a second name of `target`. The kernel's protected hard
// links refuse nobody a link to a file it may not write; the test then
// makes the link itself, to show that the library copes with it too.
inline bool PlantHardLink(const std::string& target, const std::string& path) {
  return AsNobody([&] { return link(target.c_str(), path.c_str()) == 0; }) || link(target.c_str(), path.c_str()) == 0;
}

// The file only root may read and write that planted names point to.
inline constexpr const char* kRootSecret = "root only\n";
inline void MakeRootSecret(const std::string& path) {
  std::ofstream(path) << kRootSecret;
  std::filesystem::permissions(path, std::filesystem::perms(0600));
}
// Whether it is still root's alone, with its content as made.
inline bool RootSecretUntouched(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 07777) != 0600 || info.st_uid != 0)
    return false;
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {}) == kRootSecret;
}

// Whether `path` is the writer's own file: a regular file of root's with one
// name and exactly `mode`.
inline ::testing::AssertionResult IsOwnFile(const std::string& path, unsigned mode) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return ::testing::AssertionFailure() << path << " is missing";
  if (!S_ISREG(info.st_mode) || info.st_nlink != 1 || info.st_uid != 0 || (info.st_mode & 07777) != mode)
    return ::testing::AssertionFailure() << path << ": mode " << std::oct << (info.st_mode & 07777) << ", "
                                         << std::dec << info.st_nlink << " names, owner " << info.st_uid;
  return ::testing::AssertionSuccess();
}

// Everything below `root` with its permissions and content, `skip` and its
// entries left out.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root,
                                                   const std::filesystem::path& skip) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path() == skip || entry.path().parent_path() == skip) continue;
    std::string what = std::to_string(static_cast<unsigned>(entry.symlink_status().permissions()));
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      what += ":" + std::string(std::istreambuf_iterator<char>(in), {});
    }
    entries[entry.path().string()] = what;
  }
  return entries;
}

// Copies `program` to `copy` as a program that runs as nobody whoever
// starts it (set-user-id): started by root, the kernel marks it as running
// with rights its caller lacks, so its caller's environment must not count.
inline bool SetUserIdCopyForNobody(const std::string& program, const std::string& copy) {
  std::error_code error;
  std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing, error);
  return !error && chown(copy.c_str(), kNobody, kNobody) == 0 && chmod(copy.c_str(), 04755) == 0;
}
