// The trace file in a log folder that every account may write: names that
// another user plants there (a symbolic link, a second name of someone
// else's file) never make the writer write, move or delete anything
// outside the folder. A refused file is a file that cannot be opened: the
// record is lost and its box still shown. Played with a real second
// account (nobody) and the writer as root.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "frame_fixture.h"
#include "tracefile.h"
#include "recording_presenter.h"
#include "second_account.h"

namespace {

namespace fs = std::filesystem;

class SharedLogFolder : public FrameTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    FrameTest::SetUp();
    // The second account reaches the log folder; beside it lies root's own
    // file, and nothing in this area but the log folder may change.
    fs::permissions(m_dir, fs::perms(0755));
    m_area = m_dir / "area";
    m_logs = m_area / "logs";
    fs::create_directories(m_logs);
    fs::permissions(m_logs, fs::perms(0777));
    m_secret = (m_area / "secret").string();
    MakeRootSecret(m_secret);
    m_sysBase.LogDir = CString(m_logs.string() + "/");
    m_previous = SetXTPresenter(&m_presenter);
    m_before = Snapshot(m_area, m_logs);
  }
  void TearDown() override {
    if (geteuid() != 0) return;
    SetXTPresenter(m_previous);
    FrameTest::TearDown();
  }
  std::string Log(const char* name = "r9trace.log") const { return (m_logs / name).string(); }

  void PlantSymlink(const char* name) const { ASSERT_TRUE(PlantSymlinkAsNobody(m_secret, Log(name))); }
  void PlantHardLink(const char* name) const { ASSERT_TRUE(::PlantHardLink(m_secret, Log(name))); }
  void RemoveAsNobody(const char* name) const {
    const std::string path = Log(name);
    ASSERT_TRUE(AsNobody([&] { return unlink(path.c_str()) == 0; }));
  }
  void ExpectNothingOutsideChanged() const {
    EXPECT_TRUE(RootSecretUntouched(m_secret));
    EXPECT_TRUE(Snapshot(m_area, m_logs) == m_before);
  }
  // The tool's trace command into this folder, up to the text: level 0, id 9.
  std::string TraceCommand() const {
    std::string command = XTB_TOOL_PATH " trace 'SOFTWARE\\XTSharedFolder' '";
    command += m_logs.string();
    command += "' 0 9 ";
    return command;
  }

  fs::path m_area;
  fs::path m_logs;
  std::string m_secret;
  RecordingPresenter m_presenter;
  XTPresenter* m_previous = nullptr;
  std::map<std::string, std::string> m_before;
};

TEST_F(SharedLogFolder, PlantedTraceFileIsRefusedAndTheBoxStillShown) {
  PlantSymlink("r9trace.log");
  XTTrace(XTTRACE_FAIL, 7, "module", 1, "chosen text");
  EXPECT_TRUE(fs::is_symlink(Log()));
  EXPECT_EQ(m_presenter.boxes.size(), 1u);  // the record is lost, the box is not
  ExpectNothingOutsideChanged();

  RemoveAsNobody("r9trace.log");
  PlantHardLink("r9trace.log");
  XTTrace(XTTRACE_FAIL, 7, "module", 2, "chosen text");
  EXPECT_EQ(m_presenter.boxes.size(), 2u);
  ExpectNothingOutsideChanged();

  RemoveAsNobody("r9trace.log");  // the folder is the writer's again
  XTTrace(XTTRACE_FAIL, 7, "module", 3, "own record");
  EXPECT_NE(Read(Log()).find("\town record\r\n"), std::string::npos);
  EXPECT_EQ(fs::status(Log()).permissions() & fs::perms(0022), fs::perms::none);  // 0666 less the umask 022
  ExpectNothingOutsideChanged();
}

TEST_F(SharedLogFolder, RotationMovesOnlyItsOwnFile) {
  for (const bool symbolic : {true, false}) {
    std::ofstream(Log(), std::ios::binary) << std::string(1400001, 'x');
    symbolic ? PlantSymlink("r9trace.log.1") : PlantHardLink("r9trace.log.1");
    XTTrace(XTTRACE_FAIL, 7, "module", 1, "after rotation");
    EXPECT_FALSE(fs::is_symlink(Log("r9trace.log.1")));
    EXPECT_EQ(fs::file_size(Log("r9trace.log.1")), 1400001u);  // the old generation, not the planted one
    EXPECT_NE(Read(Log()).find("\tafter rotation\r\n"), std::string::npos);
    EXPECT_EQ(fs::hard_link_count(m_secret), 1u);
    ExpectNothingOutsideChanged();
    fs::remove(Log("r9trace.log.1"));
  }
}

TEST_F(SharedLogFolder, ALinkPlantedWhileTheFileIsOpenIsNoticed) {
  XTTrace(XTTRACE_FAIL, 7, "module", 1, "first");  // the file stays open for the next record
  RemoveAsNobody("r9trace.log");
  PlantSymlink("r9trace.log");
  XTTrace(XTTRACE_FAIL, 7, "module", 2, "second");
  EXPECT_TRUE(fs::is_symlink(Log()));
  ExpectNothingOutsideChanged();
}

// The programs of the practice share one trace file whoever started it,
// also in a folder with the sticky bit.
TEST_F(SharedLogFolder, AFileAnotherAccountStartedIsShared) {
  fs::permissions(m_logs, fs::perms(01777));
  const std::string path = Log();
  ASSERT_TRUE(AsNobody([&] {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND, 0666);
    const bool made = fd >= 0 && fchmod(fd, 0666) == 0 && write(fd, "staff\r\n", 7) == 7;
    return close(fd) == 0 && made;
  }));
  XTTrace(XTTRACE_FAIL, 7, "module", 1, "root's record");
  const std::string text = Read(path);
  EXPECT_EQ(text.rfind("staff\r\n", 0), 0u);
  EXPECT_NE(text.find("\troot's record\r\n"), std::string::npos);
  ExpectNothingOutsideChanged();
}

TEST_F(SharedLogFolder, TheToolSaysWhenNothingWasWritten) {
  PlantSymlink("r9trace.log");
  const std::string command = TraceCommand() + "'chosen text' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  ExpectNothingOutsideChanged();
}

// Runs `programs` in a child with a private /dev/shm of a mount namespace
// of its own; its result, or kNoNamespace where there is none.
constexpr int kNoNamespace = 77;
int WithPrivateSharedMemory(const std::function<int()>& programs) {
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "/dev/shm", "tmpfs", 0, "mode=1777") != 0)
      _exit(kNoNamespace);
    _exit(programs());
  }
  int status = -1;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The machine's own table, scribbled over between two programs, in a
// private /dev/shm: the second program notices, takes the file's own lock,
// writes its record and says so.
TEST_F(SharedLogFolder, ACorruptMachineTableCostsNoRecordAndNoHang) {
  const std::string tool = "timeout 20 " + TraceCommand();
  const std::string table = xtb::TraceLockTablePath();
  const int result = WithPrivateSharedMemory([&] {
    if (std::system((tool + "first >/dev/null 2>&1").c_str()) != 0 || !fs::exists(table)) return 1;
    std::ofstream(table, std::ios::binary | std::ios::in) << std::string(fs::file_size(table), '\xFF');
    return std::system((tool + "second 2>/dev/null | grep -q 'record written'").c_str()) == 0 ? 0 : 2;
  });
  if (result == kNoNamespace) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(result, 0);
  const std::string text = Read(Log());
  EXPECT_NE(text.find("\tfirst\r\n"), std::string::npos);
  EXPECT_NE(text.find("\tsecond\r\n"), std::string::npos);
}

// The size of a lock table, which its name carries: ...-<size>-<uid>.
size_t TableSizeNamedBy(const std::string& table) {
  const size_t uid = table.rfind('-');
  const size_t size = table.rfind('-', uid - 1);
  return std::stoul(table.substr(size + 1, uid - size - 1));
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Another account plants a file under this account's table name before
// any program of this account made the table (an empty one, a short one,
// one of a table's size): each program of this account writes its records
// under the file's lock all the same, and says once why it took no table.
TEST_F(SharedLogFolder, ATableAnotherAccountPlantedCostsNoRecord) {
  const DWORD warnings = XTTRACE_WARN;
  SetValue(m_sysBase.mainKey, "TraceLevel", REG_DWORD, &warnings, sizeof warnings);
  const std::string tool = std::string("timeout 20 ") + XTB_TOOL_PATH + " trace '" + m_sysBase.mainKey.str() +
                           "' '" + m_logs.string() + "' 0 9 ";
  const std::string table = xtb::TraceLockTablePath();
  const std::vector<size_t> sizes{0, 64, TableSizeNamedBy(table)};
  const int result = WithPrivateSharedMemory([&] {
    int failed = 0;
    for (const size_t size : sizes) {
      unlink(table.c_str());
      const bool planted = AsNobody([&] { return static_cast<bool>(std::ofstream(table) << std::string(size, '\0')); });
      const std::string command = tool + "'planted " + std::to_string(size) + "' >/dev/null 2>&1";
      if (!planted || std::system(command.c_str()) != 0) ++failed;
    }
    return failed;
  });
  if (result == kNoNamespace) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(result, 0);
  const std::string text = Read(Log());
  for (const size_t size : sizes)
    EXPECT_EQ(Occurrences(text, "\tplanted " + std::to_string(size) + "\r\n"), 1u) << size;
  // Once in each of the three programs.
  EXPECT_EQ(Occurrences(text, "Sperrtabelle " + table + " nicht benutzt (geh\xF6rt einem anderen Konto)"), 3u) << text;
}

}  // namespace
