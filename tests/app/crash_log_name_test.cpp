// Where a program's crash log goes: its name with a long extension made
// "RPT", a short or missing one kept in a log folder, ".RPT" appended where
// the log would be the program file itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <xtbasis/crashreport.h>

#include "crash_child_run.h"

namespace {

namespace fs = std::filesystem;

TEST(CrashLogNameTest, BesideTheProgramTheLogNeverIsTheProgramFile) {
  EXPECT_STREQ(TandorExceptionReport::ReportPathOf("/opt/xt/probe.exe").GetString(), "/opt/xt/probe.RPT");
  EXPECT_STREQ(TandorExceptionReport::ReportPathOf("/opt/xt/probe.bin1").GetString(), "/opt/xt/probe.RPT");
  EXPECT_STREQ(TandorExceptionReport::ReportPathOf("/opt/xt/probe.xy").GetString(), "/opt/xt/probe.xy.RPT");
  EXPECT_STREQ(TandorExceptionReport::ReportPathOf("/opt/xt/probe").GetString(), "/opt/xt/probe.RPT");
  // A dot of a folder is no extension of the program.
  EXPECT_STREQ(TandorExceptionReport::ReportPathOf("/opt/xt.d/probe").GetString(), "/opt/xt.d/probe.RPT");
}

// The log file the program `program` names after Init with `logDir`.
std::string LogOfCopy(const fs::path& program, const fs::path& logDir) {
  fs::copy_file(XTB_CRASH_CHILD, program, fs::copy_options::overwrite_existing);
  const std::string command = "'" + program.string() + "' log-name '" + logDir.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  char line[4096] = {};
  const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
  const int status = pclose(pipe);
  if (!got || status != 0) return {};
  std::string text = line;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

TEST(CrashLogNameTest, InALogFolderAShortOrMissingExtensionStays) {
  ScratchFolder scratch;
  const fs::path programs = scratch.path() / "bin";
  const fs::path logs = scratch.path() / "logs";
  fs::create_directories(programs);
  EXPECT_EQ(LogOfCopy(programs / "probe.xy", logs), (logs / "probe.xy").string());
  EXPECT_EQ(LogOfCopy(programs / "probe", logs), (logs / "probe").string());
  EXPECT_EQ(LogOfCopy(programs / "probe.exe", logs), (logs / "probe.RPT").string());
  // The program's own folder as the log folder: the log is not the program.
  EXPECT_EQ(LogOfCopy(programs / "probe", programs), (programs / "probe.RPT").string());
  EXPECT_EQ(LogOfCopy(programs / "probe.xy", programs), (programs / "probe.xy.RPT").string());
}

}  // namespace
