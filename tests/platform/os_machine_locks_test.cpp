// The machine's lock table: a sound table shuts out other processes'
// writers of the same file; a table that cannot be trusted (corrupt before
// or after it was mapped, writable by others, a slot held for good) is
// dropped for the file's own lock, without losing the caller's turn and
// without waiting long.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "os/file.h"
#include "os/machine_locks.h"

namespace {

namespace fs = std::filesystem;
using xtb::os::MachineFileLock;
using xtb::os::MachineLockTable;
using Kind = MachineFileLock::Kind;

class MachineLocks : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "xtb-locks-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    m_file = xtb::os::Fd(open((m_dir / "records.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    ASSERT_TRUE(m_file.IsOpen());
    xtb::os::FileFacts facts;
    ASSERT_TRUE(xtb::os::FactsOf(m_file.Get(), facts));
    m_id = facts.id;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }
  std::string TablePath() const { return (m_dir / "locks").string(); }

  // Overwrites the table file with `byte` (as a careless or hostile writer would).
  void Scribble(unsigned char byte) const {
    const auto size = fs::file_size(TablePath());
    const std::string junk(size, static_cast<char>(byte));
    const xtb::os::Fd table(open(TablePath().c_str(), O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(xtb::os::WriteFull(table.Get(), junk.data(), junk.size()));
  }

  // Whether another process could take the file's own lock just now.
  bool FileLockFree() const {
    const pid_t child = fork();
    if (child == 0) {
      const int fd = open((m_dir / "records.log").c_str(), O_WRONLY | O_CLOEXEC);
      _exit(flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  fs::path m_dir;
  xtb::os::Fd m_file;
  xtb::os::FileId m_id;
};

TEST_F(MachineLocks, ASoundTableShutsOutOtherProcessesWithoutTheFileLock) {
  MachineLockTable table(TablePath());
  ASSERT_TRUE(table.Trusted());
  EXPECT_EQ(fs::status(TablePath()).permissions(), fs::perms(0600));  // the account's own
  MachineFileLock lock;
  lock.Attach(m_file.Get(), m_id, Kind::Shared, table);
  ASSERT_TRUE(lock.TryLock());
  EXPECT_TRUE(FileLockFree());  // no system call: the table alone holds it

  const pid_t child = fork();
  if (child == 0) {
    MachineLockTable again(TablePath());  // another process maps the same table
    MachineFileLock other;
    other.Attach(m_file.Get(), m_id, Kind::Shared, again);
    _exit(again.Trusted() && !other.TryLock() ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  lock.Unlock();
}

TEST_F(MachineLocks, ATableCorruptBeforeItIsMappedIsNotUsed) {
  { MachineLockTable made(TablePath()); }
  for (unsigned char byte : {0xFF, 0x00}) {
    Scribble(byte);
    MachineLockTable table(TablePath());
    EXPECT_FALSE(table.Trusted());
    MachineFileLock lock;
    lock.Attach(m_file.Get(), m_id, Kind::Shared, table);
    ASSERT_TRUE(lock.TryLock());
    EXPECT_FALSE(FileLockFree());  // the file's own lock guards it instead
    lock.Unlock();
    EXPECT_TRUE(FileLockFree());
  }
}

TEST_F(MachineLocks, ATableCorruptedWhileMappedCostsNoTurnAndNoWait) {
  MachineLockTable table(TablePath());
  ASSERT_TRUE(table.Trusted());
  MachineFileLock lock;
  lock.Attach(m_file.Get(), m_id, Kind::Shared, table);
  ASSERT_TRUE(lock.TryLock());
  lock.Unlock();

  Scribble(0xFF);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(lock.TryLock());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_FALSE(table.Trusted());
  EXPECT_FALSE(FileLockFree());
  lock.Unlock();
}

TEST_F(MachineLocks, ATableOthersMayWriteIsNotUsed) {
  { MachineLockTable made(TablePath()); }
  fs::permissions(TablePath(), fs::perms(0666));
  EXPECT_FALSE(MachineLockTable(TablePath()).Trusted());
  fs::permissions(TablePath(), fs::perms(0600));
  EXPECT_TRUE(MachineLockTable(TablePath()).Trusted());
  fs::create_hard_link(TablePath(), m_dir / "second-name");
  EXPECT_FALSE(MachineLockTable(TablePath()).Trusted());
  fs::remove(m_dir / "second-name");
  if (geteuid() == 0) {
    ASSERT_EQ(chown(TablePath().c_str(), 65534, 65534), 0);
    EXPECT_FALSE(MachineLockTable(TablePath()).Trusted());
  }
}

TEST_F(MachineLocks, ASlotHeldForGoodGivesWayToTheFileLock) {
  MachineLockTable table(TablePath());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    MachineLockTable again(TablePath());
    MachineFileLock held;
    held.Attach(m_file.Get(), m_id, Kind::Shared, again);
    const char taken = held.TryLock() ? 'y' : 'n';
    (void)!write(ready[1], &taken, 1);
    pause();  // a stopped writer, or someone holding the slot on purpose
    _exit(0);
  }
  char taken = 'n';
  ASSERT_EQ(read(ready[0], &taken, 1), 1);
  ASSERT_EQ(taken, 'y');

  MachineFileLock lock;
  lock.Attach(m_file.Get(), m_id, Kind::Shared, table);
  EXPECT_FALSE(lock.TryLock());  // a writer of the file holds it: this turn is lost
  const auto start = std::chrono::steady_clock::now();
  bool got = false;
  while (!got && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    usleep(50 * 1000);
    got = lock.TryLock();
  }
  EXPECT_TRUE(got);
  EXPECT_FALSE(table.Trusted());
  lock.Unlock();
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
