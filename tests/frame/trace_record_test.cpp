// The text of a record: header fields, message TAB rules, CR LF, the cut.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "tracerecord.h"

namespace {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out;
  xtb::FormatTraceText(out, format, args);
  va_end(args);
  return out;
}

TEST(TraceRecord, HeaderHasTheEightTabSeparatedFields) {
  xtb::TraceHeader header{1, {2026, 12, 5, 4, 10, 21, 6, 42}, 4711, 5120, -999, "C:\\src\\xt\\module", 131, 2};
  EXPECT_EQ(xtb::FormatTraceHeader(header), "ERROR\t2026.12.04\t10:21:06.042\t4711\t5120\t-999\tmodule:131\t2\n");
  header.sourceFile = "/home/build/frame/trace.cpp";
  header.level = 0;
  header.lastError = 0xFFFFFFFFu;
  EXPECT_EQ(xtb::FormatTraceHeader(header), "FAIL \t2026.12.04\t10:21:06.042\t4711\t5120\t-999\ttrace.cpp:131\t-1\n");
}

TEST(TraceRecord, LevelNamesAreFiveCharacters) {
  EXPECT_STREQ(xtb::TraceLevelName(0), "FAIL ");
  EXPECT_STREQ(xtb::TraceLevelName(1), "ERROR");
  EXPECT_STREQ(xtb::TraceLevelName(2), "WARN ");
  EXPECT_STREQ(xtb::TraceLevelName(3), "INFO ");
  EXPECT_STREQ(xtb::TraceLevelName(-4), "FAIL ");
  EXPECT_STREQ(xtb::TraceLevelName(9), "INFO ");
}

TEST(TraceRecord, MessageLineTabRules) {
  EXPECT_EQ(xtb::MessageLine("a\nb\n"), "\ta\t\nb\n");
  EXPECT_EQ(xtb::MessageLine("\n"), "\t\n");
  EXPECT_EQ(xtb::MessageLine(""), "");
  EXPECT_EQ(xtb::MessageLine("plain"), "\tplain\n");
  EXPECT_EQ(xtb::MessageLine("two\n\n"), "\ttwo\t\n");  // only one trailing LF is dropped
  EXPECT_EQ(xtb::FileForm("H\n", xtb::MessageLine("a\nb\n")), "H\r\n\ta\t\r\nb\r\n");
  EXPECT_EQ(xtb::FileForm("H\n", ""), "H\r\n");
}

TEST(TraceRecord, TextsAreCutTo99999Characters) {
  const std::string longText(150000, 'x');
  EXPECT_EQ(Format("%s", longText.c_str()), std::string(99999, 'x'));
  EXPECT_EQ(Format("%s", std::string(99999, 'y').c_str()).size(), 99999u);
  EXPECT_EQ(Format("%d-%s", 7, std::string(600, 'z').c_str()), "7-" + std::string(600, 'z'));
  EXPECT_EQ(Format(nullptr), "");

  const std::string longName(100000, 's');
  const xtb::TraceHeader header{3, {2026, 1, 0, 2, 3, 4, 5, 7}, 1, 2, 3, longName.c_str(), 4, 0};
  const std::string cut = xtb::FormatTraceHeader(header);
  EXPECT_EQ(cut.rfind("INFO \t2026.01.02\t03:04:05.007\t1\t2\t3\tsss", 0), 0u);
  EXPECT_EQ(cut.size(), 99999u);  // the line end is cut off with the rest
  EXPECT_EQ(cut.back(), 's');
}

}  // namespace
