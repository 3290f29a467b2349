// A temporary folder's clean-up when another account can write in it: what
// it plants there or swaps in while the clean-up runs never takes the
// clean-up out of the folder. The writer is root, the other account nobody.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <xtbasis/tmpfile.h>

#include "delete_folder.h"
#include "second_account.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class HostileTmpDir : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    fs::permissions(dir.Path(), fs::perms(0755));
    m_outside = dir.Path("outside");
    fs::create_directories(m_outside + "/kept");
    MakeRootSecret(m_outside + "/secret");
    std::ofstream(m_outside + "/kept/file") << "kept";
    fs::permissions(m_outside + "/kept", fs::perms(0555));
    m_before = Snapshot(m_outside, "");
  }
  // The folder a program shared with every account.
  std::string SharedTree() {
    CTmpDir tmp(false);
    const std::string tree = tmp.Create("shr").str();
    fs::permissions(tree, fs::perms(0777));
    return tree;
  }
  void ExpectOutsideUntouched() const {
    EXPECT_TRUE(RootSecretUntouched(m_outside + "/secret"));
    EXPECT_TRUE(Snapshot(m_outside, "") == m_before);
  }

  ScratchTempDir dir;
  std::string m_outside;
  std::map<std::string, std::string> m_before;
};

TEST_F(HostileTmpDir, LinksPlantedInTheTreeLoseTheirNamesOnly) {
  const std::string tree = SharedTree();
  fs::create_directories(tree + "own/deeper");
  fs::permissions(tree + "own", fs::perms(0777));
  const std::string outside = m_outside;
  ASSERT_TRUE(AsNobody([&] {
    return symlink((outside + "/secret").c_str(), (tree + "secret").c_str()) == 0 &&
           symlink((outside + "/kept").c_str(), (tree + "own/kept").c_str()) == 0 &&
           symlink(outside.c_str(), (tree + "own/deeper2").c_str()) == 0;
  }));
  EXPECT_TRUE(xtb::files::DeleteFolder(tree.c_str()));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  ExpectOutsideUntouched();
  // A link in the folder's own place is no folder to clean.
  const std::string redirect = dir.Path("redirect");
  fs::create_directory_symlink(m_outside, redirect);
  EXPECT_FALSE(xtb::files::DeleteFolder(redirect.c_str()));
  ExpectOutsideUntouched();
}

// The clean-up waits for a busy file (a mount point here, which cannot be
// unlinked until it is unmounted); meanwhile the other account moves the
// folder it is in away and puts a link to a folder of root's in its place.
// What the clean-up removes after the wait lies in the moved folder.
TEST_F(HostileTmpDir, AFolderSwappedForALinkDuringTheCleanUpLeadsNowhere) {
  const std::string tree = SharedTree();
  fs::create_directory(tree + "inner");
  fs::permissions(tree + "inner", fs::perms(0777));
  std::ofstream(tree + "inner/busy") << "in the tree";
  std::ofstream(tree + "inner/victim") << "in the tree";
  std::ofstream(m_outside + "/busy") << "outside";
  std::ofstream(m_outside + "/victim") << "outside";
  m_before = Snapshot(m_outside, "");
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount((m_outside + "/secret").c_str(), (tree + "inner/busy").c_str(), nullptr, MS_BIND, nullptr) != 0)
      _exit(77);
    std::thread cleanUp([&] { xtb::files::DeleteFolder(tree.c_str()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the clean-up waits a second per try
    const std::string outside = m_outside;
    const bool swapped = AsNobody([&] {
      return rename((tree + "inner").c_str(), (tree + "moved").c_str()) == 0 &&
             symlink(outside.c_str(), (tree + "inner").c_str()) == 0;
    });
    umount2((tree + "moved/busy").c_str(), MNT_DETACH);
    cleanUp.join();
    _exit(swapped ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private mount namespace here";
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ExpectOutsideUntouched();
}

}  // namespace
