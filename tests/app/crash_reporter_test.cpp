// The crash reporter's folder per crash, and the tool that lists reports.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <xtbasis/platform/registry.h>

#include "crash_child_run.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class CrashReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XTBASIS_REGISTRY_DIR", (m_scratch.path() / "hives").c_str(), 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\CrashChild\\Settings", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char text[] = "a<b & c";
    RegSetValueExA(key, "Pfad", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    const DWORD number = 1234;
    RegSetValueExA(key, "Anzahl", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    xtb::CloseRegistryHives();
  }
  void TearDown() override { unsetenv("XTBASIS_REGISTRY_DIR"); }

  ScratchFolder m_scratch;
};

TEST_F(CrashReporterTest, EachCrashLeavesAFolderWithDumpReportAndAttachments) {
  const fs::path logs = m_scratch.path() / "logs";
  const fs::path reports = m_scratch.path() / "reports" / "CrashChild";
  fs::create_directories(logs);
  Write(logs / "xtwpf.lg", "current wpf log\n");
  Write(logs / "xtwpf.log", "stale wpf log\n");
  Write(logs / "r9trace.log", "INFO \ttrace line\r\n");
  const ChildRun run = RunChild({"null", logs.string(), reports.string(), "HKCU\\Software\\CrashChild"});
  ASSERT_TRUE(WIFSIGNALED(run.status) || WEXITSTATUS(run.status) != 0) << run.output;

  struct stat facts{};
  ASSERT_EQ(stat(reports.c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 0777, 0777u);
  std::vector<fs::path> crashes;
  for (const auto& entry : fs::directory_iterator(reports)) crashes.push_back(entry.path());
  ASSERT_EQ(crashes.size(), 1u);
  const fs::path crash = crashes[0];
  EXPECT_EQ(crash.filename().string().rfind("CrashChild_", 0), 0u);

  EXPECT_EQ(ReadText(crash / "crashdump.dmp").compare(0, 4, "\x7f" "ELF"), 0);
  const std::string report = ReadText(crash / "crashreport.txt");
  EXPECT_NE(report.find("Exception code: C0000005 ACCESS_VIOLATION"), std::string::npos);
  EXPECT_NE(report.find("WriteThrough"), std::string::npos);
  const std::string properties = ReadText(crash / "properties.txt");
  EXPECT_NE(properties.find("AppVersion=1.2.3\r\n"), std::string::npos) << properties;
  EXPECT_NE(properties.find("ComputerName="), std::string::npos);

  const std::string registry = ReadText(crash / "CrashChild-reg.xml");
  EXPECT_NE(registry.find("<key name=\"HKCU\\Software\\CrashChild\\Settings\">"), std::string::npos) << registry;
  EXPECT_NE(registry.find("<value name=\"Pfad\" type=\"REG_SZ\">a&lt;b &amp; c</value>"), std::string::npos)
      << registry;
  EXPECT_NE(registry.find("<value name=\"Anzahl\" type=\"REG_DWORD\">1234</value>"), std::string::npos) << registry;

  // The WPF work log replaced the attached one before it was taken along.
  EXPECT_EQ(ReadText(crash / "xtwpf.log"), "current wpf log\n");
  EXPECT_EQ(ReadText(logs / "xtwpf.log"), "current wpf log\n");
  EXPECT_FALSE(fs::exists(logs / "xtwpf.lg"));
  EXPECT_EQ(ReadText(crash / "r9trace.log"), "INFO \ttrace line\r\n");
  ASSERT_EQ(stat((crash / "crashreport.txt").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 0777, 0666u);

  const ToolRun listing = RunTool("crash-report '" + reports.string() + "'");
  EXPECT_EQ(listing.status, 0);
  EXPECT_NE(listing.output.find(crash.filename().string() + "/\n  "), std::string::npos) << listing.output;
  EXPECT_NE(listing.output.find("\n  Exception code: C0000005 ACCESS_VIOLATION\n"), std::string::npos)
      << listing.output;
  const ToolRun logListing = RunTool("crash-report '" + logs.string() + "'");
  EXPECT_NE(logListing.output.find("crash_child.RPT\n"), std::string::npos) << logListing.output;
  EXPECT_EQ(RunTool("crash-report '" + (m_scratch.path() / "missing").string() + "'").status, 1);
}

}  // namespace
