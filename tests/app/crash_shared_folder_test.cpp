// Crash files in folders that every account may write: the log folder with
// its numbered dumps and the crash reporter's folder. Names that another
// user plants there (a symbolic link, a second name of root's file, a link
// in place of the next crash's folder) never make the crashing program or
// its helper, both root here, write or read anything outside those folders:
// they write only files of their own. Played with a real second account
// (nobody).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <map>

#include "crash_child_run.h"
#include "second_account.h"

namespace {

namespace fs = std::filesystem;

class CrashSharedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    fs::permissions(m_scratch.path(), fs::perms(0755));
    m_outside = m_scratch.path() / "outside";
    m_logs = m_scratch.path() / "logs";
    m_reports = m_scratch.path() / "reports";
    fs::create_directories(m_outside / "target");
    for (const fs::path& shared : {m_logs, m_reports}) {
      fs::create_directories(shared);
      fs::permissions(shared, fs::perms(0777));
    }
    m_secret = (m_outside / "secret").string();
    MakeRootSecret(m_secret);
    m_before = Snapshot(m_outside, m_outside / "none");
  }

  void Plant(const fs::path& path, const fs::path& target) const {
    ASSERT_TRUE(PlantSymlinkAsNobody(target.string(), path.string())) << path;
  }
  void ExpectNothingOutsideChanged() const {
    EXPECT_TRUE(RootSecretUntouched(m_secret));
    EXPECT_TRUE(Snapshot(m_outside, m_outside / "none") == m_before);
    EXPECT_TRUE(fs::is_empty(m_outside / "target"));
  }
  static bool IsOwnFile(const fs::path& path) {
    struct stat facts{};
    return lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_nlink == 1 && facts.st_uid == 0;
  }

  ScratchFolder m_scratch;
  fs::path m_outside, m_logs, m_reports;
  std::string m_secret;
  std::map<std::string, std::string> m_before;
};

TEST_F(CrashSharedFolder, PlantedDumpNamesAttachmentsAndCrashFolderAreNotWrittenThrough) {
  // The next two dump names, the trace log the reporter attaches.
  Plant(m_logs / "crash_child00000.DMP", m_secret);
  ASSERT_TRUE(PlantHardLink(m_secret, (m_logs / "crash_child00001.DMP").string()));
  Plant(m_logs / "r9trace.log", m_secret);
  // The report folder is the administrator's; the crash's folder inside it
  // has a name anyone can foresee (program, time, process id).
  const fs::path reportDir = m_reports / "CrashChild";
  fs::create_directory(reportDir);
  fs::permissions(reportDir, fs::perms(0777));
  std::vector<std::string> foreseen;
  const ChildRun run = RunChild({"null", m_logs.string(), reportDir.string()}, [&](pid_t pid) {
    // Every second the helper might stamp, under a loaded machine too.
    const time_t now = time(nullptr);
    for (time_t at = now - 2; at <= now + 30; ++at) {
      std::tm parts{};
      gmtime_r(&at, &parts);
      char name[96];
      std::snprintf(name, sizeof name, "CrashChild_%04d%02d%02d-%02d%02d%02d_%d", parts.tm_year + 1900,
                    parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, pid);
      foreseen.push_back(name);
      Plant(reportDir / name, m_outside / "target");
    }
  });
  ASSERT_TRUE(WIFSIGNALED(run.status) || WEXITSTATUS(run.status) != 0) << run.output;
  EXPECT_GE(run.reportMs, 0) << run.output;

  // The dump passed over both planted names; they are as they were.
  EXPECT_TRUE(fs::is_symlink(m_logs / "crash_child00000.DMP"));
  EXPECT_EQ(fs::hard_link_count(m_secret), 2u);
  const fs::path dump = m_logs / "crash_child00002.DMP";
  EXPECT_TRUE(IsOwnFile(dump));
  EXPECT_TRUE(IsElfFile(dump));
  EXPECT_NE(ReadText(m_logs / "crash_child").find("ACCESS_VIOLATION"), std::string::npos);

  // The crash's folder is a new one of root's beside the planted links.
  std::vector<fs::path> made;
  for (const auto& entry : fs::directory_iterator(reportDir)) {
    if (!entry.is_symlink()) made.push_back(entry.path());
  }
  ASSERT_EQ(made.size(), 1u);
  const std::string name = made[0].filename().string();
  EXPECT_EQ(name.rfind("CrashChild_", 0), 0u);
  EXPECT_NE(std::find(foreseen.begin(), foreseen.end(), name.substr(0, name.rfind('-'))), foreseen.end()) << name;
  struct stat facts{};
  ASSERT_EQ(lstat(made[0].c_str(), &facts), 0);
  EXPECT_EQ(facts.st_uid, 0u);
  EXPECT_EQ(facts.st_mode & 07777, 0755u);
  for (const char* file : {"crashdump.dmp", "crashreport.txt", "properties.txt"}) {
    EXPECT_TRUE(IsOwnFile(made[0] / file)) << file;
  }
  // The planted trace log was not taken along: root's file stays unread.
  EXPECT_FALSE(fs::exists(made[0] / "r9trace.log"));
  for (const auto& entry : fs::directory_iterator(made[0])) {
    if (entry.path().extension() == ".dmp") continue;  // the crashed program's memory
    EXPECT_EQ(ReadText(entry.path()).find(kRootSecret), std::string::npos) << entry.path();
  }
  ExpectNothingOutsideChanged();
}

TEST_F(CrashSharedFolder, PlantedOnDemandDumpAndReportFolderLinkAreRefused) {
  // XTMiniDump's named file: the planted link loses its name, the dump is new.
  Plant(m_logs / "ondemand.dmp", m_secret);
  const ChildRun dumped = RunChild({"minidump", m_logs.string()});
  ASSERT_TRUE(WIFEXITED(dumped.status) && WEXITSTATUS(dumped.status) == 0) << dumped.output;
  EXPECT_TRUE(IsOwnFile(m_logs / "ondemand.dmp"));
  EXPECT_TRUE(IsElfFile(m_logs / "ondemand.dmp"));

  // A link in place of the report folder: the reporter is not installed
  // (the child then ends with 4), and nothing is made where it points.
  Plant(m_reports / "Linked", m_outside / "target");
  const ChildRun refused = RunChild({"null", m_logs.string(), (m_reports / "Linked").string()});
  ASSERT_TRUE(WIFEXITED(refused.status)) << refused.output;
  EXPECT_EQ(WEXITSTATUS(refused.status), 4) << refused.output;
  EXPECT_TRUE(fs::is_symlink(m_reports / "Linked"));
  ExpectNothingOutsideChanged();
}

TEST_F(CrashSharedFolder, AnotherAccountReadsTheReportButCannotMoveOrChangeIt) {
  // The reporter makes its folder itself: sticky, every account may add.
  const fs::path reportDir = m_reports / "Made";
  const ChildRun run = RunChild({"null", m_logs.string(), reportDir.string()});
  ASSERT_TRUE(WIFSIGNALED(run.status) || WEXITSTATUS(run.status) != 0) << run.output;
  struct stat facts{};
  ASSERT_EQ(stat(reportDir.c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 07777, 01777u);
  std::vector<fs::path> made;
  for (const auto& entry : fs::directory_iterator(reportDir)) made.push_back(entry.path());
  ASSERT_EQ(made.size(), 1u);
  const fs::path crash = made[0];
  const std::string report = (crash / "crashreport.txt").string();
  const std::string dump = (crash / "crashdump.dmp").string();
  EXPECT_TRUE(AsNobody([&] { return access(report.c_str(), R_OK) == 0; })) << "the report is for every account";
  EXPECT_TRUE(AsNobody([&] { return access(dump.c_str(), R_OK) != 0; })) << "the dump is root's alone";
  EXPECT_TRUE(AsNobody([&] { return access(report.c_str(), W_OK) != 0; }));
  // Neither the crash folder nor a file in it can be moved, replaced or added.
  const std::string moved = (reportDir / "moved").string();
  EXPECT_TRUE(AsNobody([&] { return rename(crash.c_str(), moved.c_str()) != 0 && errno == EPERM; }));
  EXPECT_TRUE(AsNobody([&] { return rmdir(crash.c_str()) != 0; }));
  const std::string planted = (crash / "planted").string();
  EXPECT_TRUE(AsNobody([&] { return rename(report.c_str(), planted.c_str()) != 0 && errno == EACCES; }));
  EXPECT_TRUE(AsNobody([&] { return symlink("/etc/passwd", planted.c_str()) != 0; }));
  // Folders of its own it still makes there.
  const std::string own = (reportDir / "NobodysCrash").string();
  EXPECT_TRUE(AsNobody([&] { return mkdir(own.c_str(), 0755) == 0; }));
  EXPECT_TRUE(fs::is_directory(crash));
  ExpectNothingOutsideChanged();
}

}  // namespace
