// XTTrace end to end: settings from a real store, records in real files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <thread>
#include <vector>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>

#include "frame_fixture.h"
#include "recording_presenter.h"

namespace {

const std::regex kHeaderStart("^(FAIL |ERROR|WARN |INFO )\\t");
const std::regex kRecord(
    "(FAIL |ERROR|WARN |INFO )\\t\\d{4}\\.\\d\\d\\.\\d\\d\\t\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\t\\d+\\t\\d+\\t-?\\d+\\t"
    "[^\\t\\r\\n]*:\\d+\\t-?\\d+\\r\\n(\\t[^\\r\\n]*\\r\\n([^\\r\\n]*\\r\\n)*)?");

class TraceTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    m_previous = SetXTPresenter(&m_presenter);
  }
  void TearDown() override {
    SetXTPresenter(m_previous);
    FrameTest::TearDown();
  }
  // The records of the trace file, each header (and message) as written.
  std::vector<std::string> Records(const std::string& path) const {
    const std::string text = Read(path);
    std::vector<std::string> records;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find("\r\n", pos);
      if (end == std::string::npos) end = text.size() - 2;
      const std::string lineText = text.substr(pos, end + 2 - pos);
      if (!std::regex_search(lineText, kHeaderStart) && !records.empty())
        records.back() += lineText;
      else
        records.push_back(lineText);
      pos = end + 2;
    }
    return records;
  }
  RecordingPresenter m_presenter;
  XTPresenter* m_previous = nullptr;
};

TEST_F(TraceTest, NothingWithoutSystemBase) {
  gp_XTSysBase = nullptr;
  XTTrace(0, 1, __FILE__, __LINE__, "dropped");
  EXPECT_EQ(SetXTTraceLevel(3), 0);
  EXPECT_FALSE(std::filesystem::exists(TraceFile()));
  EXPECT_TRUE(m_presenter.boxes.empty());
}

TEST_F(TraceTest, DefaultsWriteOnlyFailRecordsAndRaiseTheBox) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  XTTrace(1, 1, __FILE__, __LINE__, "not written");
  EXPECT_FALSE(std::filesystem::exists(TraceFile()));
  XTTrace(0, 1, "dir\\unit", 77, "value %d", 42);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));  // tracing keeps the last error
  const std::vector<std::string> records = Records(TraceFile());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(std::regex_match(records[0], kRecord)) << records[0];
  std::ostringstream expectedTail;
  expectedTail << "\t" << getpid() << "\t" << gettid() << "\t1\tunit:77\t2\r\n\tvalue 42\r\n";
  EXPECT_NE(records[0].find(expectedTail.str()), std::string::npos) << records[0];
  ASSERT_EQ(m_presenter.boxes.size(), 1u);
  EXPECT_EQ(m_presenter.boxes[0].rfind("XTTrace|FAIL \t", 0), 0u);
  EXPECT_EQ(m_presenter.types[0], MB_OK | MB_TOPMOST);
  XTTrace(0, -998, __FILE__, __LINE__, "default exclusion");
  XTTrace(0, -992, __FILE__, __LINE__, "default exclusion");
  EXPECT_EQ(Records(TraceFile()).size(), 1u);
}

TEST_F(TraceTest, LevelsAreClampedAndReadOnce) {
  SetTraceText("TraceLevel", "7");
  SetTraceText("TraceMsgBox", "-5");
  XTTrace(3, 1, __FILE__, __LINE__, "info");
  XTTrace(1, 1, __FILE__, __LINE__, "error");
  EXPECT_EQ(Records(TraceFile()).size(), 2u);
  EXPECT_TRUE(m_presenter.boxes.empty());  // box level 0
  SetTraceText("TraceLevel", "0");         // not read again
  XTTrace(3, 1, __FILE__, __LINE__, "info");
  EXPECT_EQ(Records(TraceFile()).size(), 3u);
}

TEST_F(TraceTest, DwordAndExpandableLevels) {
  const DWORD two = 2;
  SetValue(m_sysBase.mainKey, "TraceLevel", REG_DWORD, &two, sizeof two);
  setenv("XTB_FRAME_TEST_LEVEL", "1", 1);
  SetTraceText("TraceMsgBox", "%XTB_FRAME_TEST_LEVEL%", REG_EXPAND_SZ);
  XTTrace(3, 1, __FILE__, __LINE__, "filtered");
  XTTrace(2, 1, __FILE__, __LINE__, "written");
  XTTrace(1, 1, __FILE__, __LINE__, "written, box");
  EXPECT_EQ(Records(TraceFile()).size(), 2u);
  EXPECT_EQ(m_presenter.boxes.size(), 1u);
  EXPECT_EQ(SetXTTraceLevel(10), 2);
  XTTrace(3, 1, __FILE__, __LINE__, "after SetXTTraceLevel");
  EXPECT_EQ(Records(TraceFile()).size(), 3u);
  EXPECT_EQ(SetXTTraceLevel(-1), 10);  // stored as given
  XTTrace(0, 1, __FILE__, __LINE__, "nothing passes");
  EXPECT_EQ(Records(TraceFile()).size(), 3u);
}

TEST_F(TraceTest, SetXTTraceLevelBeforeFirstTraceIsNotOverwritten) {
  SetTraceText("TraceLevel", "1");
  EXPECT_EQ(SetXTTraceLevel(3), 1);
  XTTrace(3, 1, __FILE__, __LINE__, "info");
  EXPECT_EQ(Records(TraceFile()).size(), 1u);
}

TEST_F(TraceTest, ProgramIdFilters) {
  SetTraceText("TraceLevel", "3");
  SetTraceText("TraceProgId", "5,!7");
  for (int id : {5, 7, -998, -992, 6}) XTTrace(3, id, __FILE__, __LINE__, "id %d", id);
  const std::vector<std::string> records = Records(TraceFile());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("\tid 5\r\n"), std::string::npos);

  xtb::TraceFilter filter = xtb::ParseTraceFilter("");
  EXPECT_TRUE(filter.included.empty());
  EXPECT_EQ(filter.excluded, std::set<int>{2147483647});
  EXPECT_TRUE(filter.Passes(-998));
  filter = xtb::ParseTraceFilter("3,,!4,");  // the empty entry counts, the trailing comma not
  EXPECT_EQ(filter.included, (std::set<int>{0, 3}));
  EXPECT_EQ(filter.excluded, std::set<int>{4});
  // Ids are read with atoi into a 32-bit long: they saturate instead of wrapping.
  filter = xtb::ParseTraceFilter("4294967297,-2147483649,!99999999999");
  EXPECT_EQ(filter.included, (std::set<int>{-2147483647 - 1, 2147483647}));
  EXPECT_EQ(filter.excluded, std::set<int>{2147483647});
  EXPECT_EQ(xtb::ClampedTraceLevel("4294967296"), 3);  // glibc's atoi would give 0
  EXPECT_EQ(xtb::ClampedTraceLevel("-4294967295"), 0);
  EXPECT_EQ(xtb::ClampedTraceLevel("2"), 2);
}

TEST_F(TraceTest, EmptyProgIdValueLetsEveryIdThrough) {
  SetTraceText("TraceProgId", "");
  XTTrace(0, -998, __FILE__, __LINE__, "%s", "");
  const std::vector<std::string> records = Records(TraceFile());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].find("\r\n"), records[0].size() - 2);  // an empty message: the header only
}

TEST_F(TraceTest, XTTraceFWritesTheNamedFileAndLosesRecordsItCannotOpen) {
  XTTraceF(Path("other.log").c_str(), 0, 1, __FILE__, __LINE__, "a\nb\n");
  EXPECT_FALSE(std::filesystem::exists(TraceFile()));
  const std::vector<std::string> records = Records(Path("other.log"));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("\r\n\ta\t\r\nb\r\n"), std::string::npos);
  XTTraceF(Path("missing/dir.log").c_str(), 0, 1, __FILE__, __LINE__, "lost");
  EXPECT_EQ(m_presenter.boxes.size(), 2u);  // the box is shown all the same
}

TEST_F(TraceTest, RotationAboveTheLimit) {
  const std::string file = TraceFile();
  std::ofstream(file, std::ios::binary) << std::string(1400000, 'x');
  XTTrace(0, 1, __FILE__, __LINE__, "kept in the same file");
  EXPECT_FALSE(std::filesystem::exists(file + ".1"));
  EXPECT_GT(std::filesystem::file_size(file), 1400000u);

  std::ofstream(file, std::ios::binary | std::ios::trunc) << std::string(1400001, 'y');
  std::ofstream(file + ".1", std::ios::binary) << "old generation";
  XTTrace(0, 1, __FILE__, __LINE__, "first record of the new file");
  EXPECT_EQ(std::filesystem::file_size(file + ".1"), 1400001u);
  const std::vector<std::string> records = Records(file);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("first record of the new file"), std::string::npos);
}

// Every line of the file belongs to a whole record.
void ExpectWholeRecords(const std::vector<std::string>& records, size_t most) {
  EXPECT_GT(records.size(), 0u);
  EXPECT_LE(records.size(), most);
  for (const std::string& record : records) ASSERT_TRUE(std::regex_match(record, kRecord)) << record;
}

TEST_F(TraceTest, ThreadsAndProcessesNeverInterleave) {
  SetTraceText("TraceLevel", "1");  // level 1 records raise no box at box level 0
  const std::string payload(500, 'p');
  constexpr int kRecords = 100;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < kRecords; ++i) XTTrace(1, 1, __FILE__, __LINE__, "%s\n%d", payload.c_str(), i);
    });
  for (auto& thread : threads) thread.join();
  ExpectWholeRecords(Records(TraceFile()), 8 * kRecords);

  std::filesystem::remove(TraceFile());
  std::vector<pid_t> children;
  for (int p = 0; p < 4; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0; i < kRecords; ++i) XTTrace(1, 2, __FILE__, __LINE__, "%s\n%d", payload.c_str(), i);
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectWholeRecords(Records(TraceFile()), 4 * kRecords);
}

}  // namespace
