// The `xtbasis date` subcommands, run as a program in the Berlin zone.
#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"

namespace {

ToolRun Date(const std::string& arguments) { return RunTool("date " + arguments, "TZ=Europe/Berlin"); }

bool Has(const ToolRun& run, const std::string& line) { return run.output.find(line + "\n") != std::string::npos; }

}  // namespace

TEST(DateTool, CorrectsByKind) {
  ToolRun run = Date("correct birth 00851231");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run, "corrected:      19851231")) << run.output;
  EXPECT_TRUE(Has(run, "unchanged:      no"));
  run = Date("correct validity 00280131");
  EXPECT_TRUE(Has(run, "corrected:      20280131")) << run.output;
  run = Date("correct 20260101");
  EXPECT_TRUE(Has(run, "unchanged:      yes")) << run.output;
  EXPECT_TRUE(Has(run, "display:        01.01.2026"));
  EXPECT_EQ(Date("correct sometimes 2026").status, 2);
}

TEST(DateTool, QuarterWeekAndAge) {
  ToolRun run = Date("quarter 20260515");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run, "quarter:        22026")) << run.output;
  EXPECT_TRUE(Has(run, "last day:       20260630"));
  run = Date("week 03.01.2021");
  EXPECT_TRUE(Has(run, "week:           53")) << run.output;
  run = Date("age 20000515 20260520");
  EXPECT_TRUE(Has(run, "years:          26")) << run.output;
  EXPECT_TRUE(Has(run, "month of life:  313"));
  EXPECT_EQ(Date("week 20260230").status, 2);
  EXPECT_EQ(Date("age").status, 2);
}

TEST(DateTool, IsoStampsAndTheirFailures) {
  ToolRun run = Date("iso 2026-12-04T05:00:15-05:30");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run, "UTC:            2026-12-04T10:30:15Z")) << run.output;
  EXPECT_TRUE(Has(run, "local:          2026-12-04T11:30:15"));
  run = Date("iso 2026-13-04T05:00:15Z");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("0x80070057"), std::string::npos) << run.output;
  EXPECT_EQ(Date("iso 2026-12-04").status, 1);
}
