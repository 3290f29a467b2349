// The crash reporter's folder per crash, and the tool that lists reports.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <xtbasis/platform/registry.h>
#include <xtbasis/workstation.h>

#include "crash_child_run.h"
#include "desktop_session.h"
#include "os/computers.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The folder of the one crash the reporter recorded in `reports`.
fs::path OnlyCrashFolder(const fs::path& reports) {
  std::vector<fs::path> crashes;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(reports, error)) crashes.push_back(entry.path());
  return crashes.size() == 1 ? crashes[0] : fs::path();
}

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
  EXPECT_EQ(facts.st_mode & 07777, 01777u) << "every account adds, none moves another's crash";
  const fs::path crash = OnlyCrashFolder(reports);
  ASSERT_FALSE(crash.empty());
  EXPECT_EQ(crash.filename().string().rfind("CrashChild_", 0), 0u);

  EXPECT_TRUE(IsElfFile(crash / "crashdump.dmp"));
  const std::string report = ReadText(crash / "crashreport.txt");
  EXPECT_NE(report.find("Exception code: C0000005 ACCESS_VIOLATION"), std::string::npos);
  EXPECT_NE(report.find("WriteThrough"), std::string::npos);
  const std::string properties = ReadText(crash / "properties.txt");
  EXPECT_NE(properties.find("AppVersion=1.2.3\r\n"), std::string::npos) << properties;
  // The computer as GetWorkstation and the mail name it: the NetBIOS form.
  EXPECT_NE(properties.find("ComputerName=" + xtb::os::ComputerName() + "\r\n"), std::string::npos) << properties;
  EXPECT_EQ(std::string(GetWorkstation()), xtb::os::ComputerName());

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
  EXPECT_EQ(facts.st_mode & 0777, 0644u) << "every account reads, only the crashed one's writes";
  ASSERT_EQ(stat((crash / "crashdump.dmp").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 0777, 0600u) << "the crashed program's memory is its account's";

  const ToolRun listing = RunTool("crash-report '" + reports.string() + "'");
  EXPECT_EQ(listing.status, 0);
  EXPECT_NE(listing.output.find(crash.filename().string() + "/\n  "), std::string::npos) << listing.output;
  EXPECT_NE(listing.output.find("\n  Exception code: C0000005 ACCESS_VIOLATION\n"), std::string::npos)
      << listing.output;
  const ToolRun logListing = RunTool("crash-report '" + logs.string() + "'");
  EXPECT_NE(logListing.output.find("crash_child\n"), std::string::npos) << logListing.output;
  EXPECT_EQ(RunTool("crash-report '" + (m_scratch.path() / "missing").string() + "'").status, 1);
}

// The helper takes the picture of the display the crashed program ran on;
// without a display, or with one nobody serves, the folder has the rest.
TEST_F(CrashReporterTest, ScreenshotOfTheDisplayWhereOneExists) {
  desktop::VirtualDisplay display;
  if (display.name().empty()) GTEST_SKIP() << "Xvfb could not be started";
  // A coloured window on the screen, so that the picture has something to
  // show and red and blue cannot be mixed up unnoticed.
  desktop::ChildProcess window({"xmessage", "-geometry", "300x100+20+20", "-bg", "#C06020", "Absturz"},
                               display.Environment());
  for (int tries = 0; display.CountWindows("xmessage") == 0; ++tries) {
    ASSERT_LT(tries, 100) << "xmessage did not show";
    usleep(50000);
  }
  const fs::path logs = m_scratch.path() / "logs";
  fs::create_directories(logs);
  const char* outer = getenv("DISPLAY");
  const std::string outerDisplay = outer != nullptr ? outer : "";
  struct Case {
    const char* display;  // null: unset
    bool picture;
  };
  const Case cases[] = {{display.name().c_str(), true}, {nullptr, false}, {":987", false}};
  int n = 0;
  for (const Case& one : cases) {
    const fs::path reports = m_scratch.path() / ("reports" + std::to_string(n++));
    if (one.display != nullptr) {
      setenv("DISPLAY", one.display, 1);
    } else {
      unsetenv("DISPLAY");
    }
    const ChildRun run = RunChild({"null", logs.string(), reports.string()});
    EXPECT_GE(run.reportMs, 0) << run.output;
    EXPECT_LT(run.reportMs, 20000) << run.output;
    const fs::path crash = OnlyCrashFolder(reports);
    ASSERT_FALSE(crash.empty()) << (one.display ? one.display : "no display");
    EXPECT_NE(ReadText(crash / "crashreport.txt").find("ACCESS_VIOLATION"), std::string::npos);
    const fs::path picture = crash / "screenshot.png";
    EXPECT_EQ(fs::exists(picture), one.picture) << (one.display ? one.display : "no display");
    if (!one.picture || !fs::exists(picture)) continue;
    // ImageMagick decodes it: a PNG of the screen's size, with the root
    // window's two-colour weave in it (not a blank of zeros).
    const ToolRun identify = tool_run_detail::Run("identify -format '%m %w %h %k' '" + picture.string() + "' 2>&1");
    EXPECT_EQ(identify.status, 0) << identify.output;
    int width = 0, height = 0, colours = 0;
    char format[8] = {};
    ASSERT_EQ(std::sscanf(identify.output.c_str(), "%7s %d %d %d", format, &width, &height, &colours), 4)
        << identify.output;
    EXPECT_STREQ(format, "PNG");
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_GE(colours, 2) << identify.output;
    // The same pixels as ImageMagick's own picture of the unchanged screen.
    const fs::path reference = m_scratch.path() / "reference.png";
    const ToolRun import = tool_run_detail::Run("import -display '" + display.name() + "' -window root '" +
                                                reference.string() + "' 2>&1");
    ASSERT_EQ(import.status, 0) << import.output;
    const ToolRun compare = tool_run_detail::Run("compare -metric AE '" + picture.string() + "' '" +
                                                 reference.string() + "' null: 2>&1");
    EXPECT_EQ(compare.output, "0") << compare.output;
  }
  if (outer != nullptr) {
    setenv("DISPLAY", outerDisplay.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
}

}  // namespace
