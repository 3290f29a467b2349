#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xtbasis/sharedregion.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "os/shared_memory.h"
#include "second_account.h"
#include "tool_run.h"

namespace {

// A region name of this test alone.
std::string UniqueName(const char* what) {
  return std::string("XTRegionTest\\") + what + "." + std::to_string(getpid());
}

// A child process that runs a body; the body sends its answer through a
// pipe with `report`, which then holds the child until it is told to go (or
// killed), and afterwards cleans up.
class Child {
 public:
  using Report = std::function<void(const std::string& answer)>;
  Child(size_t answerSize, const std::function<void(const Report&)>& body) {
    int report[2], go[2];
    EXPECT_EQ(pipe(report), 0);
    EXPECT_EQ(pipe(go), 0);
    m_pid = fork();
    if (m_pid == 0) {
      close(report[0]);
      close(go[1]);
      body([&](const std::string& answer) {
        if (write(report[1], answer.data(), answer.size()) != static_cast<ssize_t>(answer.size())) _exit(3);
        char ignored;
        while (read(go[0], &ignored, 1) > 0) {
        }
      });
      _exit(0);
    }
    close(report[1]);
    close(go[0]);
    m_go = go[1];
    m_answer.resize(answerSize);
    EXPECT_EQ(read(report[0], m_answer.data(), answerSize), static_cast<ssize_t>(answerSize));
    close(report[0]);
  }
  ~Child() { Release(); }
  const std::string& Answer() const { return m_answer; }
  void Release() {
    if (m_pid <= 0) return;
    close(m_go);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }
  void Kill() {
    if (m_pid > 0) kill(m_pid, SIGKILL);
    Release();
  }

 private:
  pid_t m_pid = -1;
  int m_go = -1;
  std::string m_answer;
};

// A child process that allocates the region, reports its owner flag and
// first data byte, and holds the region until told to go (or is killed).
class Holder {
 public:
  Holder(const std::string& name, int size, unsigned char mark = 0)
      : m_child(3, [&](const Child::Report& report) {
          CXTSharedRegion region;
          char answer[3] = {'F', 0, 0};
          if (region.AllocateRegion(name.c_str(), size)) {
            answer[0] = region.bIAmOwner() ? 'O' : 'A';
            auto* data = static_cast<unsigned char*>(region.pGetData());
            answer[1] = static_cast<char>(data[0]);
            if (mark != 0) data[0] = mark;
            answer[2] = static_cast<char>(region.GetSize());
          }
          report(std::string(answer, 3));
          region.FreeRegion();
        }) {}
  bool Owner() const { return m_child.Answer()[0] == 'O'; }
  bool Attached() const { return m_child.Answer()[0] == 'A'; }
  unsigned char FirstByte() const { return static_cast<unsigned char>(m_child.Answer()[1]); }
  int Size() const { return m_child.Answer()[2]; }
  void Release() { m_child.Release(); }
  void Kill() { m_child.Kill(); }

 private:
  Child m_child;
};

TEST(SharedRegionTest, TheCreatorOwnsAZeroedBlockWithTheSizeInItsHeader) {
  const std::string name = UniqueName("create");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 100)) << region.sGetLastError().GetString();
  EXPECT_TRUE(region.bIAmOwner());
  EXPECT_EQ(region.GetSize(), 100);
  EXPECT_STREQ(region.GetName().GetString(), name.c_str());
  const auto* block = static_cast<const unsigned char*>(region.pGetData()) - 8;
  const unsigned char header[8] = {100, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(block, header, 8), 0);
  EXPECT_EQ(std::vector<unsigned char>(block + 8, block + 108), std::vector<unsigned char>(100, 0));
}

TEST(SharedRegionTest, ALaterAllocationAttachesWithTheCreatorsSizeAndSharesTheData) {
  const std::string name = UniqueName("attach");
  CXTSharedRegion first, second;
  ASSERT_TRUE(first.AllocateRegion(name.c_str(), 64));
  ASSERT_TRUE(second.AllocateRegion(name.c_str(), 4096));
  EXPECT_FALSE(second.bIAmOwner());
  EXPECT_EQ(second.GetSize(), 64);
  static_cast<char*>(first.pGetData())[63] = 'x';
  EXPECT_EQ(static_cast<char*>(second.pGetData())[63], 'x');

  // Another process sees the same block; what it writes is seen here.
  Holder other(name, 8, 'q');
  EXPECT_TRUE(other.Attached());
  EXPECT_EQ(other.Size(), 64);
  EXPECT_EQ(static_cast<char*>(first.pGetData())[0], 'q');
}

TEST(SharedRegionTest, TheRegionGoesWithItsLastHolder) {
  const std::string name = UniqueName("last");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 16));
  static_cast<char*>(region.pGetData())[0] = 'a';
  {
    Holder other(name, 16);
    EXPECT_TRUE(other.Attached());
    EXPECT_EQ(other.FirstByte(), 'a');
  }
  region.FreeRegion();
  EXPECT_EQ(region.pGetData(), nullptr);
  EXPECT_EQ(region.GetSize(), 0);
  EXPECT_EQ(region.nGetLastError(), 0u);
  EXPECT_FALSE(region.bIAmOwner());

  Holder next(name, 32);
  EXPECT_TRUE(next.Owner());
  EXPECT_EQ(next.FirstByte(), 0);
  EXPECT_EQ(next.Size(), 32);
}

// The second creator after the owner is gone: gone by exit, or killed
// while other holders live on, or killed as the last holder.
TEST(SharedRegionTest, HoldersKilledWithoutFreeingLeaveNothingBehind) {
  const std::string name = UniqueName("killed");
  {
    Holder owner(name, 20, 'k');
    ASSERT_TRUE(owner.Owner());
    Holder survivor(name, 20);
    ASSERT_TRUE(survivor.Attached());
    owner.Kill();
    Holder third(name, 20);
    EXPECT_TRUE(third.Attached()) << "the region went with a holder that was not the last";
    EXPECT_EQ(third.FirstByte(), 'k');
    third.Kill();
    survivor.Kill();
  }
  // Whoever creates a region next clears away what the dead left; a test
  // running beside this one may have been that creator already.
  const std::string left = std::string("/dev/shm") + RegionObjectName(name.c_str()).GetString();
  {
    CXTSharedRegion unrelated;
    ASSERT_TRUE(unrelated.AllocateRegion(UniqueName("unrelated").c_str(), 8));
    EXPECT_NE(access(left.c_str(), F_OK), 0) << left;
  }
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 10));
  EXPECT_TRUE(region.bIAmOwner());
  EXPECT_EQ(region.GetSize(), 10);
  EXPECT_EQ(static_cast<char*>(region.pGetData())[0], 0);
}

// Six processes allocate at the same moment and hold the region until all
// have it, so that none comes after the others have let it go.
TEST(SharedRegionTest, ExactlyOneOfRacingCreatorsIsTheOwner) {
  constexpr int kRacers = 6;
  for (int round = 0; round < 5; ++round) {
    const std::string name = UniqueName("race") + "." + std::to_string(round);
    int start[2], report[2], release[2];
    ASSERT_EQ(pipe(start), 0);
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(release), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kRacers; ++i) {
      const pid_t pid = fork();
      if (pid == 0) {
        close(start[1]);
        close(report[0]);
        close(release[1]);
        char answer = 'F';
        if (read(start[0], &answer, 1) != 0) _exit(1);
        CXTSharedRegion region;
        if (region.AllocateRegion(name.c_str(), 8)) answer = region.bIAmOwner() ? 'O' : 'A';
        if (write(report[1], &answer, 1) != 1) _exit(1);
        while (read(release[0], &answer, 1) > 0) {
        }
        region.FreeRegion();
        _exit(0);
      }
      children.push_back(pid);
    }
    close(start[0]);
    close(report[1]);
    close(release[0]);
    close(start[1]);  // all start at once
    std::string answers;
    char answer;
    while (answers.size() < kRacers && read(report[0], &answer, 1) == 1) answers += answer;
    close(report[0]);
    close(release[1]);  // all let go
    for (pid_t pid : children) waitpid(pid, nullptr, 0);
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(answers, "AAAAAO") << "round " << round;
  }
}

TEST(SharedRegionTest, AllocatingAgainReleasesTheRegionHeldBefore) {
  const std::string a = UniqueName("a"), b = UniqueName("b");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(a.c_str(), 8));
  ASSERT_TRUE(region.AllocateRegion(b.c_str(), 8));
  EXPECT_TRUE(region.bIAmOwner());
  CXTSharedRegion other;
  ASSERT_TRUE(other.AllocateRegion(a.c_str(), 8));
  EXPECT_TRUE(other.bIAmOwner()) << "the first region was not released";
}

TEST(SharedRegionTest, MovingHandsOverTheOneRelease) {
  const std::string name = UniqueName("move");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 8));
  CXTSharedRegion moved(std::move(region));
  EXPECT_EQ(region.pGetData(), nullptr);
  EXPECT_TRUE(moved.bIAmOwner());
  CXTSharedRegion assigned;
  assigned = std::move(moved);
  moved.FreeRegion();  // holds nothing: the region stays
  static_cast<char*>(assigned.pGetData())[0] = 'm';
  Holder other(name, 8);
  EXPECT_TRUE(other.Attached());
  EXPECT_EQ(other.FirstByte(), 'm');
}

TEST(SharedRegionTest, FailuresLeaveTheGermanTextAndNumber) {
  CXTSharedRegion region;
  EXPECT_FALSE(region.AllocateRegion("XTRegionTest\\negative", -1));
  EXPECT_EQ(region.nGetLastError(), 999u);
  EXPECT_STREQ(region.sGetLastError().GetString(),
               "Fehler 87 bei der Anlage der shared region XTRegionTest\\negative");
  EXPECT_EQ(region.pGetData(), nullptr);
  region.FreeRegion();
  EXPECT_EQ(region.nGetLastError(), 0u);
  EXPECT_TRUE(region.sGetLastError().IsEmpty());
}

// A block larger than the address space left: created, but not mapped.
TEST(SharedRegionTest, ABlockThatCannotBeMappedIsReportedWithTheSystemsNumber) {
  const std::string name = UniqueName("huge");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) std::exit(2);
        std::fclose(statm);
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
        rlimit limit;
        limit.rlim_cur = limit.rlim_max = room;
        if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(2);
        CXTSharedRegion region;
        const bool allocated = region.AllocateRegion(name.c_str(), 1 << 30);
        std::fprintf(stderr, "%d %d %lu %s|\n", allocated, region.bIAmOwner(), region.nGetLastError(),
                     region.sGetLastError().GetString());
        region.FreeRegion();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "0 1 8 Fehler 8 bei MapViewOfFile f\xfcr die shared region XTRegionTest.huge");
  CXTSharedRegion region;  // the failed creator's FreeRegion removed it
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 8));
  EXPECT_TRUE(region.bIAmOwner());
}

TEST(SharedRegionTest, NamesBecomeValidObjectNamesTheSameWayEverywhere) {
  const std::string user = "/xtbasis-u" + std::to_string(getuid()) + "-";
  EXPECT_EQ(std::string(RegionObjectName("Praxis")), user + "Praxis");
  EXPECT_EQ(std::string(RegionObjectName("Local\\Praxis")), user + "Praxis");
  EXPECT_EQ(std::string(RegionObjectName("Global\\a/b c\\%")), "/xtbasis-g-a%2Fb%20c%5C%25");
  EXPECT_EQ(std::string(RegionObjectName("Gr\xfc\xdf" "e")), user + "Gr%FC%DFe");
  EXPECT_EQ(std::string(RegionObjectName("")), user);

  const std::string longName(300, 'x');
  const std::string a = RegionObjectName((longName + "1").c_str()).GetString();
  const std::string b = RegionObjectName((longName + "2").c_str()).GetString();
  EXPECT_EQ(a.size(), 256u);
  EXPECT_NE(a, b);
  EXPECT_EQ(a, RegionObjectName((longName + "1").c_str()).GetString());

  // A name of any bytes works as a region, in another process too.
  const std::string odd = UniqueName("a/b\\..\\\x01\xff");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(odd.c_str(), 8)) << region.sGetLastError().GetString();
  Holder other(odd, 8);
  EXPECT_TRUE(other.Attached());
}

// The account nobody holding bytes of the machine's region gate, as any
// account may, until it is told to go.
class GateSquatter {
 public:
  explicit GateSquatter(const std::vector<std::string>& objectNames)
      : m_child(1, [&](const Child::Report& report) {
          bool holding = BecomeNobody();
          const int gate = holding ? shm_open(xtb::os::MachineGateName(), O_RDWR | O_CLOEXEC, 0) : -1;
          for (const std::string& name : objectNames) {
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = xtb::os::GateByteOf(name);
            lock.l_len = 1;
            holding = holding && fcntl(gate, F_OFD_SETLK, &lock) == 0;
          }
          report(holding ? "H" : "F");
        }) {}
  bool Holding() const { return m_child.Answer() == "H"; }
  void Release() { m_child.Release(); }

 private:
  Child m_child;
};

// Another account holds the gate bytes of a Global name and of one of this
// account's names: opening the Global name fails with a timeout instead of
// hanging, freeing it returns promptly, the account's own names do not pass
// the machine's gate at all, and once the bytes are let go the Global name
// is whole again.
TEST(SharedRegionTest, GateBytesHeldByAnotherAccountCostABoundedWaitNotAHang) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  using Clock = std::chrono::steady_clock;
  const std::string global = "Global\\" + UniqueName("gate");
  const std::string own = UniqueName("gate-own");
  CXTSharedRegion earlier;
  ASSERT_TRUE(earlier.AllocateRegion(global.c_str(), 16));
  static_cast<char*>(earlier.pGetData())[0] = 'x';

  GateSquatter squatter({RegionObjectName(global.c_str()).GetString(), RegionObjectName(own.c_str()).GetString()});
  ASSERT_TRUE(squatter.Holding());

  const Clock::time_point opening = Clock::now();
  CXTSharedRegion blocked;
  EXPECT_FALSE(blocked.AllocateRegion(global.c_str(), 16));
  EXPECT_LT(Clock::now() - opening, std::chrono::seconds(10));
  EXPECT_EQ(blocked.nGetLastError(), 999u);
  EXPECT_EQ(std::string(blocked.sGetLastError().GetString()),
            "Fehler 1460 bei der Anlage der shared region " + global);
  EXPECT_EQ(blocked.pGetData(), nullptr);

  CXTSharedRegion mine;
  EXPECT_TRUE(mine.AllocateRegion(own.c_str(), 16)) << mine.sGetLastError().GetString();
  EXPECT_TRUE(mine.bIAmOwner());

  const Clock::time_point freeing = Clock::now();
  earlier.FreeRegion();
  EXPECT_LT(Clock::now() - freeing, std::chrono::seconds(2));

  // The name its last holder could not remove has no holder: the next
  // opener replaces it with a fresh region.
  squatter.Release();
  CXTSharedRegion again;
  ASSERT_TRUE(again.AllocateRegion(global.c_str(), 16)) << again.sGetLastError().GetString();
  EXPECT_TRUE(again.bIAmOwner());
  EXPECT_EQ(static_cast<char*>(again.pGetData())[0], 0);
  EXPECT_EQ(again.GetSize(), 16);
}

// Another account made the account gate's name before the account did, and
// holds the byte of one of the account's names in it: the account does not
// trust that gate and passes the machine's instead, so it is not held up.
TEST(SharedRegionTest, AnAccountGateMadeByAnotherAccountIsPassedBy) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  const std::string name = UniqueName("squatted");
  std::string object = RegionObjectName(name.c_str()).GetString();  // "/xtbasis-u0-..."
  object.replace(0, object.find('-', 10), "/xtbasis-u" + std::to_string(kNobody));
  const std::string gateName = std::string(xtb::os::MachineGateName()) + "-u" + std::to_string(kNobody);
  shm_unlink(gateName.c_str());
  const int gate = shm_open(gateName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  ASSERT_GE(gate, 0);
  fchmod(gate, 0666);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = xtb::os::GateByteOf(object);
  lock.l_len = 1;
  ASSERT_EQ(fcntl(gate, F_OFD_SETLK, &lock), 0);

  EXPECT_TRUE(AsNobody([&] {
    const auto start = std::chrono::steady_clock::now();
    CXTSharedRegion region;
    const bool made = region.AllocateRegion(name.c_str(), 8) && region.bIAmOwner() &&
                      RegionObjectName(name.c_str()).GetString() == object;
    region.FreeRegion();
    return made && std::chrono::steady_clock::now() - start < std::chrono::seconds(1);
  }));
  close(gate);
  shm_unlink(gateName.c_str());
}

TEST(SharedRegionTest, TheToolShowsAndClearsRegions) {
  const std::string name = UniqueName("tool");
  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 20));
  std::memcpy(region.pGetData(), "Praxis", 6);

  ToolRun run = RunTool("region attach '" + name + "'");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("owner: no\nsize: 20\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("00000000  50 72 61 78 69 73 00"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(std::string("object: ") + RegionObjectName(name.c_str()).GetString()),
            std::string::npos);

  run = RunTool("region free '" + name + "'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("still held"), std::string::npos) << run.output;
  region.FreeRegion();
  run = RunTool("region attach '" + name + "'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("no region"), std::string::npos) << run.output;

  // create holds the region while its input is open.
  run = RunTool("region create '" + name + "' 12 </dev/null");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("owner: yes\nsize: 12\n"), std::string::npos) << run.output;
  run = RunTool("region create '" + name + "' </dev/null");
  EXPECT_NE(run.output.find("owner: yes\nsize: 0\n"), std::string::npos) << run.output;
  EXPECT_EQ(RunTool("region create '" + name + "' -4").status, 2);
  EXPECT_EQ(RunTool("region create '" + name + "' 12x").status, 2);
  EXPECT_EQ(RunTool("region drop '" + name + "'").status, 2);
}

}  // namespace
