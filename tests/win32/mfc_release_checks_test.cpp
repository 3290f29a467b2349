// The framework's checks in a release build of a program (no _DEBUG): ASSERT
// and TRACE vanish with their arguments, VERIFY still evaluates its own.
#include <afx.h>

#include <gtest/gtest.h>

#include "trace_log_fixture.h"

namespace {

class ReleaseChecks : public TraceLogTest {};

TEST_F(ReleaseChecks, OnlyVerifyEvaluatesItsArgumentAndNothingIsWritten) {
  int evaluated = 0;
  ASSERT(++evaluated == 5);
  TRACE("%d\n", ++evaluated);
  EXPECT_EQ(evaluated, 0);
  VERIFY(++evaluated == 5);
  EXPECT_EQ(evaluated, 1);
  EXPECT_EQ(NewRecords(), "");
}

}  // namespace
