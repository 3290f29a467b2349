#include <gtest/gtest.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/winapp.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "netversion.h"

namespace {

std::vector<std::string> g_calls;

class TestApp : public CXTWinApp {
 public:
  TestApp() : CXTWinApp("TestApp") {}
  void InstallCrashReporter() { m_nCrashRptStatus = 0; }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_APP + 1) throw new CException();
    if (msg->message == WM_APP + 2) {
      g_calls.push_back("message " + std::to_string(msg->wParam));
      return TRUE;
    }
    return FALSE;
  }
};

class XTWinAppTest : public ::testing::Test {
 protected:
  void SetUp() override { g_calls.clear(); }
};

TEST_F(XTWinAppTest, ExitHandlersRunOnceInOrderIncludingThoseAddedMeanwhile) {
  TestApp app;
  ASSERT_EQ(AfxGetApp(), &app);
  AtXTExit([] { g_calls.push_back("first"); });
  AtXTExit([] {
    g_calls.push_back("second");
    AtXTExit([] { g_calls.push_back("added late"); });
  });
  AtXTExit(nullptr);
  app.AtXTExit([] { g_calls.push_back("member"); });
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"first", "second", "member", "added late"}));
  app.ExitInstance();
  EXPECT_EQ(g_calls.size(), 4u) << "a handler ran twice";
}

TEST_F(XTWinAppTest, RunHandlesMessagesThenEndsWithTheExitHandlersAndTheQuitCode) {
  TestApp app;
  AtXTExit([] { g_calls.push_back("exit"); });
  MSG msg;
  ASSERT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // the thread's queue now exists
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 2, 7, 0));
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 2, 8, 0));
  PostQuitMessage(3);
  EXPECT_EQ(AfxWinMain(), 3);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"message 7", "message 8", "exit"}));
}

TEST_F(XTWinAppTest, AnExceptionEscapingTheLoopIsHandledOrPassedOnToTheCrashReporter) {
  setenv("XTBASIS_MSGBOX_ANSWER", "OK", 1);
  {
    TestApp app;  // without a crash reporter the loop goes on
    MSG msg;
    ASSERT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0));
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 2, 5, 0));
    PostQuitMessage(0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"message 5"}));
  }
  {
    TestApp app;
    app.InstallCrashReporter();
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0));
    PostQuitMessage(0);
    CException* escaped = nullptr;
    try {
      app.Run();
    } catch (CException* e) {
      escaped = e;
    }
    ASSERT_NE(escaped, nullptr);
    escaped->Delete();
    MSG rest;
    while (PeekMessageA(&rest, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  unsetenv("XTBASIS_MSGBOX_ANSWER");
}

TEST_F(XTWinAppTest, WithoutAnApplicationObjectAtXTExitWaitsForTheProcessEnd) {
  ASSERT_EQ(AfxGetApp(), nullptr);
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, without this one's threads
  EXPECT_EXIT(
      {
        AtXTExit([] { std::fputs("handler ran at exit\n", stderr); });
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "handler ran at exit");
}

// The frame's AtXTExit reaches the list of the application that is current
// now: from any thread while it lives, the process's exit once it is gone.
TEST_F(XTWinAppTest, HandlersFromOtherThreadsJoinTheListAndAnEndedApplicationNoLongerTakesAny) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        {
          TestApp app;
          std::thread other([] { AtXTExit([] { std::fputs("with the application\n", stderr); }); });
          other.join();
          app.ExitInstance();
        }
        {
          TestApp ended;
        }
        AtXTExit([] { std::fputs("at the process end\n", stderr); });
        std::fputs("application gone\n", stderr);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "with the application\napplication gone\nat the process end\n");
}

// A thread can be posted to once it has asked for messages, until it ends.
TEST(ThreadMessagesTest, PostingNeedsTheThreadsQueue) {
  std::atomic<int> step{0};
  std::atomic<DWORD> id{0};
  UINT received = 0;
  std::thread receiver([&] {
    id = GetCurrentThreadId();
    step = 1;
    while (step != 2) std::this_thread::yield();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    step = 3;
    if (GetMessageA(&msg, nullptr, 0, 0)) received = msg.message;
  });
  while (step != 1) std::this_thread::yield();
  SetLastError(0);
  EXPECT_FALSE(PostThreadMessageA(id, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
  step = 2;
  while (step != 3) std::this_thread::yield();
  EXPECT_TRUE(PostThreadMessageA(id, WM_APP + 3, 0, 0));
  receiver.join();
  EXPECT_EQ(received, WM_APP + 3);
  EXPECT_FALSE(PostThreadMessageA(id, WM_APP, 0, 0));
}

TEST(RaiseVersionTest, ComparesPartByPartAsNumbers) {
  struct Case {
    const char* result;
    const char* candidate;
    const char* raised;
  } cases[] = {
      {"", "4.0", "4.0"},           {"4.5.2", "4.8", "4.8"},       {"4.8", "4.8.0", "4.8"},
      {"4.8.0", "4.8", "4.8.0"},    {"4.9", "4.10", "4.10"},       {"4.10", "4.9", "4.10"},
      {"4.0", "4.0.30319", "4.0.30319"}, {"4.8.03761", "4.8.3762", "4.8.3762"}, {"4.7.x", "4.7.1", "4.7.1"},
  };
  for (const Case& c : cases) {
    CString result(c.result);
    xtb::RaiseVersion(result, c.candidate);
    EXPECT_STREQ(result.GetString(), c.raised) << c.result << " raised to " << c.candidate;
  }
}

}  // namespace

// UseCrashRpt keeps the reporter's install result: 0 with a report folder
// that could be made, which the application's end uninstalls again.
TEST(CrashReporterHookup, UseCrashRptKeepsTheInstallStatus) {
  struct App : CXTWinApp {
    int Status() const { return m_nCrashRptStatus; }
  } app;
  EXPECT_EQ(app.Status(), -1);
  const std::string dir = (std::filesystem::temp_directory_path() / ("xtb-crashrpt-" + std::to_string(getpid()))).string();
  app.UseCrashRpt(dir.c_str(), "XTDemo", "1.0", "");
  EXPECT_EQ(app.Status(), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir));
  app.ExitInstance();
  std::filesystem::remove_all(dir);
}
