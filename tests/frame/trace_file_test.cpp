// Appending records to trace files that other processes write, rotate and
// delete, and the lock that keeps one writer at a time.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "frame_fixture.h"
#include "tracefile.h"
#include "os/machine_locks.h"

namespace {

using Kind = xtb::os::MachineFileLock::Kind;

xtb::os::FileId IdOf(int fd) {
  struct stat info {};
  EXPECT_EQ(fstat(fd, &info), 0);
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

// A child process that takes the lock of `path` and holds it until told to
// end; it then exits without releasing, as a crashed writer would.
class LockHolder {
 public:
  LockHolder(const std::string& path, Kind kind) {
    int ready[2], finish[2];
    EXPECT_EQ(pipe(ready), 0);
    EXPECT_EQ(pipe(finish), 0);
    m_child = fork();
    if (m_child == 0) {
      close(ready[0]);
      close(finish[1]);
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
      xtb::os::MachineFileLock lock;
      lock.Attach(fd, IdOf(fd), kind, xtb::TraceLockTable());
      const char held = lock.TryLock() ? 'y' : 'n';
      (void)!write(ready[1], &held, 1);
      char end;
      (void)!read(finish[0], &end, 1);
      _exit(0);
    }
    close(ready[1]);
    close(finish[0]);
    char held = 'n';
    EXPECT_EQ(read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    close(ready[0]);
    m_finish = finish[1];
  }
  ~LockHolder() { End(); }
  void End() {
    if (m_child <= 0) return;
    close(m_finish);
    waitpid(m_child, nullptr, 0);
    m_child = 0;
  }

 private:
  pid_t m_child = 0;
  int m_finish = -1;
};

// The kind of lock the records of `path` are written under (created empty).
Kind KindOf(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CREAT, 0666);
  const Kind kind = xtb::os::MachineFileLock::KindFor(fd);
  close(fd);
  return kind;
}

using TraceFileTest = FrameTest;

TEST_F(TraceFileTest, HeldFileLosesTheRecordUntilTheHolderIsGone) {
  const std::string file = Path("held.log");
  LockHolder holder(file, KindOf(file));
  EXPECT_FALSE(xtb::AppendTraceRecord(file, "lost\r\n"));
  holder.End();  // dies holding the lock
  EXPECT_TRUE(xtb::AppendTraceRecord(file, "record\r\n"));
  EXPECT_EQ(Read(file), "record\r\n");
}

TEST_F(TraceFileTest, BothLockKindsShutOutOtherProcesses) {
  for (Kind kind : {Kind::Shared, Kind::Advisory}) {
    const std::string file = Path(kind == Kind::Shared ? "shared.log" : "advisory.log");
    LockHolder holder(file, kind);
    const int fd = open(file.c_str(), O_WRONLY);
    xtb::os::MachineFileLock lock;
    lock.Attach(fd, IdOf(fd), kind, xtb::TraceLockTable());
    EXPECT_FALSE(lock.TryLock());
    holder.End();
    EXPECT_TRUE(lock.TryLock());
    EXPECT_TRUE(lock.LockFileToo());
    lock.Unlock();
    lock.Detach();
    close(fd);
  }
}

TEST_F(TraceFileTest, RecordsFollowTheFileWhenAnotherWriterRotatesIt) {
  const std::string file = Path("rotated.log");
  std::ofstream(file, std::ios::binary) << std::string(1400000, 'x');
  ASSERT_TRUE(xtb::AppendTraceRecord(file, "kept\r\n"));  // not rotated at exactly the limit; the file stays open

  const pid_t child = fork();
  if (child == 0) _exit(xtb::AppendTraceRecord(file, "child\r\n") ? 0 : 1);
  int status = -1;
  waitpid(child, &status, 0);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(std::filesystem::file_size(file + ".1"), 1400006u);  // the child rotated

  // This process still holds the old file open: it must notice the move
  // instead of rotating again (which would delete the generation just made).
  EXPECT_TRUE(xtb::AppendTraceRecord(file, "parent\r\n"));
  EXPECT_EQ(Read(file), "child\r\nparent\r\n");
  EXPECT_EQ(std::filesystem::file_size(file + ".1"), 1400006u);
}

TEST_F(TraceFileTest, ADeletedFileIsCreatedAgain) {
  const std::string file = Path("deleted.log");
  ASSERT_TRUE(xtb::AppendTraceRecord(file, "first\r\n"));
  std::filesystem::remove(file);
  EXPECT_TRUE(xtb::AppendTraceRecord(file, "second\r\n"));
  EXPECT_EQ(Read(file), "second\r\n");
}

}  // namespace
