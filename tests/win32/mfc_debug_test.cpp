// The framework's checks in a _DEBUG build of a program: a failing ASSERT
// reaches the library's assertion with its file and line and the program
// goes on, TRACE writes a record with typed arguments, and the DEBUG_NEW idiom
// of the framework's source files compiles and allocates.
#define _DEBUG 1
#include <afx.h>

#include <gtest/gtest.h>

#include <csignal>

#include "trace_log_fixture.h"

namespace {

class DebugChecks : public TraceLogTest {};

TEST_F(DebugChecks, FailingAssertAndVerifyReachTheAssertionWithFileAndLine) {
  int evaluated = 0;
  ASSERT(++evaluated == 1);  // holds: no record
  EXPECT_EQ(NewRecords(), "");
  const int line = __LINE__ + 1;
  ASSERT(evaluated == 7);
  VERIFY(++evaluated == 0);
  EXPECT_EQ(evaluated, 2);
  const std::string records = NewRecords();
  EXPECT_NE(records.find("Datei: '" __FILE__ "'"), std::string::npos) << records;
  EXPECT_NE(records.find("Zeile: " + std::to_string(line) + "\t\r\nUrsache: evaluated == 7"), std::string::npos) << records;
  EXPECT_NE(records.find("Zeile: " + std::to_string(line + 1) + "\t\r\nUrsache: ++evaluated == 0"), std::string::npos) << records;
}

TEST_F(DebugChecks, TraceTakesTypedArgumentsAndDropsTheTrailingLineBreak) {
  const CString name = "Zahnarztpraxis M\xFCller";
  const long count = 42;
  TRACE("%s hat %ld Patienten\n", name, count);
  TRACE0("ohne Argumente\r\n");
  TRACE2("%d%%, %s\n", 3, "fertig");
  const std::string records = NewRecords();
  EXPECT_NE(records.find("\tZahnarztpraxis M\xFCller hat 42 Patienten\r\n"), std::string::npos) << records;
  EXPECT_NE(records.find("\tohne Argumente\r\n"), std::string::npos) << records;
  EXPECT_NE(records.find("\t3%, fertig\r\n"), std::string::npos) << records;
  EXPECT_EQ(records.find("Patienten\n\r\n"), std::string::npos) << records;
  EXPECT_EQ(records.rfind("INFO ", 0), 0u) << records;
}

TEST_F(DebugChecks, TraceAboveTheLevelWritesNothing) {
  SetXTTraceLevel(XTTRACE_WARN);
  TRACE1("nicht im Protokoll %d\n", 1);
  EXPECT_EQ(NewRecords(), "");
}

TEST(DebugAddresses, OnlyANullBlockIsInvalid) {
  int value = 0;
  EXPECT_TRUE(AfxIsValidAddress(&value, sizeof value));
  EXPECT_FALSE(AfxIsValidAddress(nullptr, 4));
  EXPECT_TRUE(AfxIsValidAddress(nullptr, 0));
  EXPECT_TRUE(AfxIsValidString("x"));
  EXPECT_FALSE(AfxIsValidString(static_cast<const char*>(nullptr)));
}

TEST(DebugBreak, WithoutADebuggerTheTrapEndsTheProgram) {
  EXPECT_EXIT(AfxDebugBreak(), ::testing::KilledBySignal(SIGTRAP), "");
}

int* AllocatedWithDebugNew();

TEST(DebugNew, TheFrameworksIdiomAllocatesFromTheHeap) {
  int* value = AllocatedWithDebugNew();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, 5);
  delete value;
}

}  // namespace

// The head of a framework source file, as programs have it.
#ifdef _DEBUG
#define new DEBUG_NEW
#undef THIS_FILE
static char THIS_FILE[] = __FILE__;
#endif

namespace {
int* AllocatedWithDebugNew() {
  int* values = new int[3];
  delete[] values;
  return new int(5);
}
}  // namespace
