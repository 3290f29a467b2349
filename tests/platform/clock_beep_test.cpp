#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <xtbasis/platform/beep.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>

namespace {

TEST(Clock, TickCountIsMonotonicMillisecondsAndSleepWaits) {
  const ULONGLONG before = GetTickCount64();
  Sleep(30);
  const ULONGLONG after = GetTickCount64();
  EXPECT_GE(after - before, 30u);
  EXPECT_LT(after - before, 2000u);
  const DWORD ticks = GetTickCount();
  EXPECT_LE(static_cast<DWORD>(GetTickCount64()) - ticks, 5u);  // the low 32 bits of the same clock
  Sleep(0);  // yields and returns
}

TEST(Clock, ProcessAndThreadIds) {
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
  EXPECT_EQ(GetCurrentThreadId(), GetCurrentProcessId());  // the test runs on the main thread
  DWORD other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, GetCurrentThreadId());
  // A forked child reports its own ids.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  if (child == 0) {
    const DWORD ids[2] = {GetCurrentProcessId(), GetCurrentThreadId()};
    _exit(write(fds[1], ids, sizeof ids) == sizeof ids ? 0 : 1);
  }
  DWORD ids[2] = {};
  ASSERT_EQ(read(fds[0], ids, sizeof ids), static_cast<ssize_t>(sizeof ids));
  waitpid(child, nullptr, 0);
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(ids[0], static_cast<DWORD>(child));
  EXPECT_EQ(ids[1], static_cast<DWORD>(child));
}

class DisplayEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display) m_saved = display;
  }
  void TearDown() override {
    if (m_saved.empty()) unsetenv("DISPLAY");
    else setenv("DISPLAY", m_saved.c_str(), 1);
  }
  std::string m_saved;
};

TEST_F(DisplayEnv, BeepsFailCleanlyWithoutADisplay) {
  unsetenv("DISPLAY");
  SetLastError(0);
  EXPECT_FALSE(MessageBeep(0xFFFFFFFFu));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  SetLastError(0);
  EXPECT_FALSE(Beep(440, 150));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_FALSE(Beep(20, 150));  // below the range of the call
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(Beep(40000, 10));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DisplayEnv, ADisplayThatCannotBeOpenedIsNotReady) {
  setenv("DISPLAY", "/nonexistent/xtbasis-test:7", 1);
  SetLastError(0);
  EXPECT_FALSE(MessageBeep(MB_ICONERROR));
  // Without libX11 on the machine the call reports that it is not supported.
  const DWORD error = GetLastError();
  EXPECT_TRUE(error == static_cast<DWORD>(ERROR_NOT_READY) || error == static_cast<DWORD>(ERROR_NOT_SUPPORTED)) << error;
}

}  // namespace
