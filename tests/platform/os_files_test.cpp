// The file service: reads and writes that finish through signals and short
// transfers, and entries of a folder that others may write, opened only
// when they are what they should be.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "os/file.h"
#include "os/folder.h"

namespace {

namespace fs = std::filesystem;
using xtb::os::EntryRule;

class OsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "xtb-osfiles-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  fs::path m_dir;
};

void NoteSignal(int) {}

// Interrupts the calling process every millisecond while it lives; the
// handler is installed without SA_RESTART, so blocked calls see EINTR.
class Interruptions {
 public:
  Interruptions() {
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigaction(SIGALRM, &action, &m_before);
    const itimerval every{{0, 1000}, {0, 1000}};
    setitimer(ITIMER_REAL, &every, nullptr);
  }
  ~Interruptions() {
    const itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &m_before, nullptr);
  }

 private:
  struct sigaction m_before {};
};

TEST_F(OsFiles, FullTransfersSurviveSignalsAndShortTransfers) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  xtb::os::Fd reader(ends[0]), writer(ends[1]);
  fcntl(writer.Get(), F_SETPIPE_SZ, 4096);  // every write of the block below is short
  std::string block(1 << 20, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);

  std::string received(block.size(), '\0');
  long got = -2;
  std::thread slowReader([&] {
    // Blocks the signal here, so that the writer's calls are the ones interrupted.
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    got = xtb::os::ReadFull(reader.Get(), received.data(), received.size());
  });
  bool written = false;
  {
    const Interruptions interruptions;
    written = xtb::os::WriteFull(writer.Get(), block.data(), block.size());
  }
  writer.Close();
  slowReader.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(got, static_cast<long>(block.size()));
  EXPECT_TRUE(received == block);

  // The reading side under interruptions, up to the end of the data.
  ASSERT_EQ(pipe(ends), 0);
  reader = xtb::os::Fd(ends[0]);
  writer = xtb::os::Fd(ends[1]);
  std::thread slowWriter([&] {
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
    for (size_t at = 0; at < 64 * 1024; at += 1024) {
      std::this_thread::sleep_for(std::chrono::microseconds(300));
      ASSERT_TRUE(xtb::os::WriteFull(writer.Get(), block.data() + at, 1024));
    }
    writer.Close();
  });
  {
    const Interruptions interruptions;
    got = xtb::os::ReadFull(reader.Get(), received.data(), received.size());
  }
  slowWriter.join();
  EXPECT_EQ(got, 64 * 1024);
  EXPECT_EQ(received.compare(0, 64 * 1024, block, 0, 64 * 1024), 0);
}

TEST_F(OsFiles, EntriesAreOpenedOnlyWhenTheyAreWhatTheyShouldBe) {
  const std::string secret = Path("secret");
  Write(secret, "private\n");
  const fs::path shared = m_dir / "shared";
  fs::create_directory(shared);
  const xtb::os::Folder folder(shared.string());
  ASSERT_TRUE(folder.IsOpen());
  const EntryRule append;  // append, create, single link

  // A symbolic link, to a file or to nowhere: refused, nothing made or changed.
  fs::create_symlink(secret, shared / "link.log");
  fs::create_symlink(m_dir / "made-by-link", shared / "dangling.log");
  int error = 0;
  EXPECT_FALSE(folder.OpenEntry("link.log", append, error).IsOpen());
  EXPECT_EQ(error, ELOOP);
  EXPECT_FALSE(folder.OpenEntry("dangling.log", append, error).IsOpen());
  EXPECT_EQ(error, ELOOP);
  EXPECT_FALSE(fs::exists(m_dir / "made-by-link"));

  // A second name of another file: refused where one name is asked for.
  fs::create_hard_link(secret, shared / "hard.log");
  EXPECT_FALSE(folder.OpenEntry("hard.log", append, error).IsOpen());
  EXPECT_EQ(error, EMLINK);
  EntryRule anyLinks = append;
  anyLinks.access = EntryRule::Access::Read;
  anyLinks.singleLink = false;
  EXPECT_TRUE(folder.OpenEntry("hard.log", anyLinks, error).IsOpen());

  // A pipe without a reader and a folder: refused at once, no waiting.
  ASSERT_EQ(mkfifo((shared / "pipe.log").c_str(), 0666), 0);
  fs::create_directory(shared / "folder.log");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(folder.OpenEntry("pipe.log", append, error).IsOpen());
  EXPECT_EQ(error, ENXIO);
  EXPECT_FALSE(folder.OpenEntry("pipe.log", anyLinks, error).IsOpen());  // for reading it would block
  EXPECT_EQ(error, ENXIO);
  EXPECT_FALSE(folder.OpenEntry("folder.log", anyLinks, error).IsOpen());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(folder.OpenEntry("../secret", anyLinks, error).IsOpen());  // one name, not a path
  EXPECT_EQ(error, EINVAL);

  EXPECT_EQ(Read(secret), "private\n");

  // A plain new file is written, and the descriptor appends.
  xtb::os::Fd log = folder.OpenEntry("own.log", append, error);
  ASSERT_TRUE(log.IsOpen()) << error;
  EXPECT_TRUE(xtb::os::WriteFull(log.Get(), "one\n", 4));
  log = folder.OpenEntry("own.log", append, error);
  EXPECT_TRUE(xtb::os::WriteFull(log.Get(), "two\n", 4));
  EXPECT_EQ(Read((shared / "own.log").string()), "one\ntwo\n");
  EntryRule noCreate = append;
  noCreate.create = false;
  EXPECT_FALSE(folder.OpenEntry("missing.log", noCreate, error).IsOpen());
  EXPECT_EQ(error, ENOENT);
}

TEST_F(OsFiles, CreationModesAndEveryoneFullAccess) {
  const mode_t umaskBefore = umask(077);
  const xtb::os::Folder folder(m_dir.string());
  EntryRule rule;
  int error = 0;
  rule.mode = 0640;
  EXPECT_TRUE(folder.OpenEntry("narrowed", rule, error).IsOpen());
  rule.everyoneFullAccess = true;
  EXPECT_TRUE(folder.OpenEntry("everyone", rule, error).IsOpen());
  Write(Path("existing"), "x");
  fs::permissions(Path("existing"), fs::perms(0600));
  EXPECT_TRUE(folder.OpenEntry("existing", rule, error).IsOpen());
  umask(umaskBefore);

  const auto modeOf = [&](const char* name) { return static_cast<unsigned>(fs::status(Path(name)).permissions()); };
  EXPECT_EQ(modeOf("narrowed"), 0600u);  // the umask narrows the mode asked for
  EXPECT_EQ(modeOf("everyone"), 0666u);  // whatever the umask
  EXPECT_EQ(modeOf("existing"), 0600u);  // only a file the call made is widened
}

TEST_F(OsFiles, RenameAndRemoveActOnPlantedLinksThemselves) {
  const std::string secret = Path("secret");
  Write(secret, "private\n");
  const xtb::os::Folder folder((m_dir / "shared").string());
  EXPECT_FALSE(folder.IsOpen());
  fs::create_directory(m_dir / "shared");
  const xtb::os::Folder shared((m_dir / "shared").string());
  fs::create_symlink(secret, m_dir / "shared" / "old");
  Write(Path("shared/new"), "log\n");

  xtb::os::FileFacts facts;
  ASSERT_TRUE(shared.FactsOfEntry("old", facts));
  EXPECT_TRUE(facts.symbolicLink);
  EXPECT_TRUE(shared.Remove("old"));
  EXPECT_TRUE(shared.Rename("new", "old"));
  EXPECT_EQ(Read(secret), "private\n");
  EXPECT_EQ(Read(Path("shared/old")), "log\n");
  EXPECT_FALSE(shared.Remove("old/.."));
}

TEST_F(OsFiles, ReplacedEntriesAreWholeNewFilesOfTheirOwn) {
  const std::string secret = Path("secret");
  Write(secret, "private\n");
  fs::create_directory(m_dir / "keys");
  const xtb::os::Folder keys((m_dir / "keys").string());
  fs::create_symlink(secret, m_dir / "keys" / "soft.key");
  fs::create_hard_link(secret, m_dir / "keys" / "hard.key");

  std::vector<uint8_t> bytes;
  EXPECT_FALSE(keys.ReadEntry("soft.key", bytes));
  EXPECT_EQ(errno, ELOOP);
  EXPECT_FALSE(keys.ReadEntry("hard.key", bytes));
  EXPECT_EQ(errno, EMLINK);

  const std::string key(70000, 'k');  // more than one write's worth
  for (const char* name : {"soft.key", "hard.key", "new.key"}) {
    ASSERT_TRUE(keys.ReplaceEntry(name, key.data(), key.size(), 0600)) << name;
    xtb::os::FileFacts facts;
    ASSERT_TRUE(keys.FactsOfEntry(name, facts));
    EXPECT_TRUE(facts.regular && facts.links == 1 && facts.mode == 0600) << name;
    ASSERT_TRUE(keys.ReadEntry(name, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), key);
  }
  EXPECT_EQ(Read(secret), "private\n");
  EXPECT_FALSE(keys.ReplaceEntry("../escape", "x", 1, 0600));
  EXPECT_FALSE(keys.ReplaceEntry("..", "x", 1, 0600));

  std::vector<std::string> names;
  ASSERT_TRUE(keys.List([&](std::string_view name) {
    names.emplace_back(name);
    return true;
  }));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"hard.key", "new.key", "soft.key"}));  // no drafts left

  // Mode 0666 whatever the umask, through a path as well.
  const mode_t before = umask(022);
  EXPECT_TRUE(xtb::os::ReplaceWholeFile(Path("keys/shared.key").c_str(), "s", 1, 0666));
  umask(before);
  xtb::os::FileFacts facts;
  ASSERT_TRUE(keys.FactsOfEntry("shared.key", facts));
  EXPECT_EQ(facts.mode, 0666u);
}

TEST_F(OsFiles, MadeFoldersGetTheirModeAndLinksInTheirPlaceAreRefused) {
  const mode_t before = umask(077);
  const xtb::os::Folder made = xtb::os::Folder::Make(Path("a/b/private"), 0711);
  umask(before);
  ASSERT_TRUE(made.IsOpen());
  xtb::os::FileFacts facts;
  ASSERT_TRUE(xtb::os::FactsOf(made.Get(), facts));
  EXPECT_TRUE(facts.folder);
  EXPECT_EQ(facts.mode, 0711u);

  fs::create_symlink(Path("a"), Path("link"));
  EXPECT_TRUE(xtb::os::Folder(Path("link")).IsOpen());
  EXPECT_FALSE(xtb::os::Folder(Path("link"), false).IsOpen());
  EXPECT_FALSE(xtb::os::Folder::Make(Path("link"), 0700).IsOpen());
}

TEST_F(OsFiles, ExclusiveOpensShutOutEveryOtherLock) {
  Write(Path("data"), "content");
  xtb::os::File holder, other;
  ASSERT_TRUE(holder.OpenExclusive(Path("data").c_str()));
  EXPECT_FALSE(other.OpenShared(Path("data").c_str()));
  EXPECT_FALSE(other.OpenExclusive(Path("data").c_str()));
  // A target held locked is neither truncated nor taken.
  xtb::os::File source;
  ASSERT_TRUE(source.OpenRead(Path("data").c_str()));
  EXPECT_FALSE(other.CreateExclusive(Path("data").c_str(), xtb::os::File()));
  EXPECT_EQ(Read(Path("data")), "content");
  holder.Close();
  EXPECT_FALSE(other.CreateExclusive(Path("data").c_str(), source));  // never over its own reader
  EXPECT_EQ(Read(Path("data")), "content");
  ASSERT_TRUE(other.CreateExclusive(Path("copy").c_str(), source));
  EXPECT_FALSE(holder.OpenShared(Path("copy").c_str()));
}

// Files and folders that must be the caller's own: a taken name of any
// kind is refused, never opened, and what it points to stays as it was.
TEST_F(OsFiles, ExclusiveEntriesAndSubfoldersAreOnlyOnesTheCallMade) {
  const xtb::os::Folder folder(m_dir.string());
  EntryRule rule;
  rule.access = EntryRule::Access::Write;
  rule.exclusive = true;
  int error = 0;
  Write(Path("target"), "kept");
  fs::create_symlink(Path("target"), Path("link"));
  Write(Path("plain"), "plain");
  for (const char* name : {"link", "plain"}) {
    EXPECT_FALSE(folder.OpenEntry(name, rule, error).IsOpen()) << name;
    EXPECT_EQ(error, EEXIST) << name;
  }
  EXPECT_TRUE(folder.OpenEntry("fresh", rule, error).IsOpen());
  EXPECT_FALSE(folder.OpenEntry("fresh", rule, error).IsOpen());
  EXPECT_EQ(Read(Path("target")), "kept");
  EXPECT_EQ(Read(Path("plain")), "plain");

  const mode_t before = umask(077);
  bool made = false;
  const xtb::os::Folder sub = folder.MakeSubfolder("sub", 0777, made);
  umask(before);
  ASSERT_TRUE(sub.IsOpen());
  EXPECT_TRUE(made);
  xtb::os::FileFacts facts;
  ASSERT_TRUE(xtb::os::FactsOf(sub.Get(), facts));
  EXPECT_EQ(facts.mode, 0777u);  // whatever the umask
  EXPECT_TRUE(folder.MakeSubfolder("sub", 0700, made).IsOpen());
  EXPECT_FALSE(made);
  fs::create_directory(Path("elsewhere"));
  fs::create_directory_symlink(Path("elsewhere"), Path("sublink"));
  for (const char* name : {"sublink", "plain", "..", "a/b", ""}) {
    EXPECT_FALSE(folder.MakeSubfolder(name, 0777, made).IsOpen()) << name;
    EXPECT_FALSE(made) << name;
  }
  EXPECT_TRUE(fs::is_empty(Path("elsewhere")));
}

TEST(OsFolderNames, SplitAtTheLastSlash) {
  std::string folder, name;
  xtb::os::SplitFolderAndName("/var/log/xt/r9trace.log", folder, name);
  EXPECT_EQ(folder, "/var/log/xt");
  EXPECT_EQ(name, "r9trace.log");
  xtb::os::SplitFolderAndName("/r9trace.log", folder, name);
  EXPECT_EQ(folder, "/");
  xtb::os::SplitFolderAndName("r9trace.log", folder, name);
  EXPECT_EQ(folder, ".");
  EXPECT_EQ(name, "r9trace.log");
}

}  // namespace
