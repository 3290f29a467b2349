// Programs started as a program written for Windows starts them: real
// children (/bin/sh and scripts written here), their handles waited for with
// the kit's waits, their exit codes, their failures known at once; and
// ShellExecute with a desktop handler planted on PATH.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "command_line_words.h"
#include "../support/scratch_dir.h"

namespace {

std::string Script(const ScratchDir& dir, const std::string& name, const std::string& body) {
  const std::string path = dir.Write(name, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
  return path;
}

struct Started {
  BOOL ok = FALSE;
  DWORD error = 0;
  PROCESS_INFORMATION info{};
};

Started Start(LPCSTR application, std::string line, LPCSTR folder = nullptr, LPVOID environment = nullptr,
              DWORD flags = 0, STARTUPINFOA* startup = nullptr) {
  STARTUPINFOA own{};
  own.cb = sizeof own;
  Started started;
  SetLastError(0);
  started.ok = CreateProcess(application, line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE, flags,
                             environment, folder, startup != nullptr ? startup : &own, &started.info);
  started.error = GetLastError();
  return started;
}

// Waits for the child and gives its exit code; closes both handles.
DWORD Finish(const PROCESS_INFORMATION& info) {
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 12345;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_TRUE(CloseHandle(info.hThread));
  EXPECT_TRUE(CloseHandle(info.hProcess));
  return code;
}

TEST(CommandLineWords, SplitAsTheRuntimeSplits) {
  using xtb::win32::ArgumentWordsOf;
  using Words = std::vector<std::string>;
  EXPECT_EQ(ArgumentWordsOf(R"("abc" d e)"), (Words{"abc", "d", "e"}));
  EXPECT_EQ(ArgumentWordsOf(R"(a\\b d"e f"g h)"), (Words{R"(a\\b)", "de fg", "h"}));
  EXPECT_EQ(ArgumentWordsOf(R"(a\\\"b c d)"), (Words{R"(a\"b)", "c", "d"}));
  EXPECT_EQ(ArgumentWordsOf(R"(a\\\\"b c" d e)"), (Words{R"(a\\b c)", "d", "e"}));
  EXPECT_EQ(ArgumentWordsOf(R"(a"b"" c d)"), (Words{R"(ab" c d)"}));
  EXPECT_EQ(ArgumentWordsOf("  \t "), Words{});
  EXPECT_EQ(ArgumentWordsOf(R"("" x)"), (Words{"", "x"}));
  EXPECT_EQ(ArgumentWordsOf(R"("unclosed arg)"), (Words{"unclosed arg"}));
}

TEST(CommandLineWords, TheProgramsNameKeepsItsBackslashes) {
  size_t rest = 0;
  EXPECT_EQ(xtb::win32::ProgramWordOf(R"("C:\Program Files\x.exe" /a)", rest), R"(C:\Program Files\x.exe)");
  EXPECT_EQ(std::string(R"("C:\Program Files\x.exe" /a)").substr(rest), " /a");
  EXPECT_EQ(xtb::win32::ProgramWordOf(R"(  tools\run\" b)", rest), R"(tools\run\")");
}

TEST(CreateProcess, ArgumentsFolderAndEnvironmentReachTheChild) {
  ScratchDir dir;
  const std::string out = dir.Path("out");
  const std::string echo = Script(dir, "echo-args", "pwd > \"$OUT\"; for a in \"$@\"; do echo \"[$a]\" >> \"$OUT\"; done\n"
                                                    "echo \"$ONLY\" >> \"$OUT\"; echo \"${HOME:-none}\" >> \"$OUT\"\n");
  const std::string block = "OUT=" + out + '\0' + "ONLY=yes" + '\0' + "=C:=C:\\ignored" + '\0' + '\0';
  Started started = Start(nullptr, "\"" + echo + R"(" plain "two words" a\\\"b "")", dir.Path().c_str(),
                          const_cast<char*>(block.data()));
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_NE(started.info.dwProcessId, 0u);
  EXPECT_EQ(started.info.dwThreadId, started.info.dwProcessId);
  EXPECT_EQ(GetProcessId(started.info.hProcess), started.info.dwProcessId);
  EXPECT_EQ(Finish(started.info), 0u);
  std::string folder = dir.Path();
  folder.pop_back();
  EXPECT_EQ(ScratchDir::Read(out), folder + "\n[plain]\n[two words]\n[a\\\"b]\n[]\nyes\nnone\n");
}

TEST(CreateProcess, BackslashPathsAndExeSuffixAndTheApplicationName) {
  ScratchDir dir;
  Script(dir, "tool", "exit 7\n");
  std::string windowsPath = dir.Path("tool.exe");
  for (char& ch : windowsPath)
    if (ch == '/') ch = '\\';
  Started byLine = Start(nullptr, "\"" + windowsPath + "\" x");
  ASSERT_TRUE(byLine.ok) << byLine.error;
  EXPECT_EQ(Finish(byLine.info), 7u);
  // The application name is the program; the command line only its arguments.
  Started byName = Start(windowsPath.c_str(), "anything -q");
  ASSERT_TRUE(byName.ok) << byName.error;
  EXPECT_EQ(Finish(byName.info), 7u);
  // An unquoted name with blanks is tried at each blank.
  ScratchDir spaced;
  std::filesystem::create_directory(spaced.Path("my tools"));
  Script(spaced, "my tools/run it", "exit 9\n");
  Started blanks = Start(nullptr, spaced.Path("my tools/run it") + " arg");
  ASSERT_TRUE(blanks.ok) << blanks.error;
  EXPECT_EQ(Finish(blanks.info), 9u);
}

TEST(CreateProcess, BareNamesAreSearchedOnPath) {
  Started started = Start(nullptr, "sh.exe -c \"exit 3\"");
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_EQ(Finish(started.info), 3u);
}

TEST(CreateProcess, FailuresAreKnownBeforeItReturns) {
  ScratchDir dir;
  const std::string text = dir.Write("notes.txt", "just text\n");
  chmod(text.c_str(), 0755);
  const std::string locked = dir.Write("locked", "#!/bin/sh\n");
  chmod(locked.c_str(), 0644);
  struct Case {
    std::string line;
    DWORD error;
  } cases[] = {
      {"\"" + dir.Path("missing") + "\"", ERROR_FILE_NOT_FOUND},
      {"\"" + dir.Path("no-folder/missing") + "\"", ERROR_PATH_NOT_FOUND},
      {"no-such-program-anywhere-here", ERROR_FILE_NOT_FOUND},
      {"\"" + text + "\"", ERROR_BAD_EXE_FORMAT},
      {"\"" + dir.Path() + "\"", ERROR_ACCESS_DENIED},
  };
  for (Case& c : cases) {
    Started started = Start(nullptr, c.line);
    EXPECT_FALSE(started.ok) << c.line;
    EXPECT_EQ(started.error, c.error) << c.line;
  }
  // Root may read any file but runs only what has an execute bit.
  Started refused = Start(locked.c_str(), "locked");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Start(nullptr, "/bin/true", dir.Path("missing-folder").c_str()).error,
            static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_EQ(Start(nullptr, "/bin/true", nullptr, nullptr, CREATE_SUSPENDED).error,
            static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(Start(nullptr, "/bin/true", nullptr, nullptr, 0x40000000u).error,
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  PROCESS_INFORMATION info{};
  SetLastError(0);
  EXPECT_FALSE(CreateProcess(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CreateProcess, StandardHandlesAreKitFiles) {
  ScratchDir dir;
  const std::string input = dir.Write("in", "line from the file\n");
  HANDLE in = CreateFile(input.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateFile(dir.Path("out").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(in, INVALID_HANDLE_VALUE);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = nullptr;  // /dev/null
  Started started = Start(nullptr, "/bin/sh -c \"read l; echo got: $l; echo hidden >&2\"", nullptr, nullptr,
                          CREATE_NO_WINDOW, &startup);
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_EQ(Finish(started.info), 0u);
  CloseHandle(in);
  CloseHandle(out);
  EXPECT_EQ(ScratchDir::Read(dir.Path("out")), "got: line from the file\n");

  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  startup.hStdOutput = event;
  EXPECT_EQ(Start(nullptr, "/bin/true", nullptr, nullptr, 0, &startup).error, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(event);
}

TEST(ProcessHandles, WaitExitCodesAndTermination) {
  // exec: the process terminated below is the sleep itself, so that no
  // orphan holds the test's output open for the rest of its 30 s.
  Started sleeper = Start(nullptr, "/bin/sh -c \"exec sleep 30\"");
  ASSERT_TRUE(sleeper.ok);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(sleeper.info.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(sleeper.info.hProcess, 50), WAIT_TIMEOUT);
  // The thread handle waits like the process; the two wait together with an event.
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE both[] = {event, sleeper.info.hThread};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 50), WAIT_TIMEOUT);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(TerminateProcess(sleeper.info.hProcess, 77));
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 10000), WAIT_OBJECT_0 + 1);
  HANDLE processAndThread[] = {sleeper.info.hProcess, sleeper.info.hThread};
  EXPECT_EQ(WaitForMultipleObjects(2, processAndThread, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
  EXPECT_TRUE(GetExitCodeProcess(sleeper.info.hProcess, &code));
  EXPECT_EQ(code, 77u);
  SetLastError(0);
  EXPECT_FALSE(TerminateProcess(sleeper.info.hProcess, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Finish(sleeper.info), 77u);
  CloseHandle(event);

  Started crashing = Start(nullptr, "/bin/sh -c \"kill -SEGV $$\"");
  ASSERT_TRUE(crashing.ok);
  EXPECT_EQ(Finish(crashing.info), 128u + SIGSEGV);
  Started wide = Start(nullptr, "/bin/sh -c \"exit 300\"");
  ASSERT_TRUE(wide.ok);
  EXPECT_EQ(Finish(wide.info), 300u & 0xFF);

  EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(GetProcessId(GetCurrentProcess()), GetCurrentProcessId());
  HANDLE notProcess = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  SetLastError(0);
  EXPECT_EQ(GetProcessId(notProcess), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(GetExitCodeThread(both[1], &code));  // the thread handle is no kit thread
  CloseHandle(notProcess);
}

TEST(ProcessHandles, ClosedHandlesLeaveTheChildRunningAndNoZombie) {
  ScratchDir dir;
  const std::string mark = dir.Path("mark");
  Started started = Start(nullptr, "/bin/sh -c \"sleep 0.3; echo done > '" + mark + "'\"");
  ASSERT_TRUE(started.ok);
  const pid_t id = static_cast<pid_t>(started.info.dwProcessId);
  CloseHandle(started.info.hThread);
  CloseHandle(started.info.hProcess);
  // The child ends on its own and is reaped by the kit: soon no process
  // of that id is left, not even a zombie, and no one else may wait for it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (kill(id, 0) == 0 && std::chrono::steady_clock::now() < deadline) Sleep(20);
  EXPECT_NE(kill(id, 0), 0);
  EXPECT_EQ(ScratchDir::Read(mark), "done\n");
  EXPECT_EQ(waitpid(id, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

// ShellExecute with a desktop handler that notes what it was handed.
class ShellExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = getenv("PATH");
    m_path = path != nullptr ? path : "";
    Script(m_bin, "xdg-open", "echo \"$1\" > '" + m_bin.Path("handed") + "'\n");
    setenv("PATH", (m_bin.Path() + ":" + m_path).c_str(), 1);
  }
  void TearDown() override { setenv("PATH", m_path.c_str(), 1); }

  // What the handler was handed, once it has run.
  std::string Handed() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string text;
    while ((text = ScratchDir::Read(m_bin.Path("handed"))).empty() && std::chrono::steady_clock::now() < deadline)
      Sleep(20);
    return text;
  }

  static INT_PTR Result(HINSTANCE instance) { return reinterpret_cast<INT_PTR>(instance); }

  ScratchDir m_bin;
  ScratchDir m_work;
  std::string m_path;
};

TEST_F(ShellExecuteTest, ProgramsRunWithTheirParametersInTheFolder) {
  Script(m_work, "report", "pwd > out; echo \"$1|$2\" >> out\n");
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = "report.exe";
  info.lpParameters = "\"two words\" x";
  info.lpDirectory = m_work.Path().c_str();
  ASSERT_TRUE(ShellExecuteEx(&info)) << GetLastError();
  EXPECT_GT(reinterpret_cast<INT_PTR>(info.hInstApp), 32);
  ASSERT_NE(info.hProcess, nullptr);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(info.hProcess);
  std::string folder = m_work.Path();
  folder.pop_back();
  EXPECT_EQ(ScratchDir::Read(m_work.Path("out")), folder + "\ntwo words|x\n");
  // A bare name found on PATH runs too.
  EXPECT_GT(Result(ShellExecute(nullptr, "open", "sh", "-c \"exit 0\"", nullptr, SW_SHOWNORMAL)), 32);
}

TEST_F(ShellExecuteTest, DocumentsFoldersAndUrlsGoToTheHandler) {
  const std::string document = m_work.Write("Brief an Praxis.txt", "text");
  std::string windowsDocument = document;
  for (char& ch : windowsDocument)
    if (ch == '/') ch = '\\';
  EXPECT_GT(Result(ShellExecute(nullptr, nullptr, windowsDocument.c_str(), nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_EQ(Handed(), document + "\n");
  std::remove(m_bin.Path("handed").c_str());
  EXPECT_GT(Result(ShellExecute(nullptr, "explore", m_work.Path().c_str(), nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_EQ(Handed(), m_work.Path() + "\n");
  std::remove(m_bin.Path("handed").c_str());
  EXPECT_GT(Result(ShellExecute(nullptr, "open", "mailto:praxis@example.org", nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_EQ(Handed(), "mailto:praxis@example.org\n");
  // A relative document lies in the folder given.
  std::remove(m_bin.Path("handed").c_str());
  EXPECT_GT(Result(ShellExecute(nullptr, "open", "Brief an Praxis.txt", nullptr, m_work.Path().c_str(), SW_SHOW)), 32);
  EXPECT_EQ(Handed(), document + "\n");
}

TEST_F(ShellExecuteTest, FailuresGiveTheDocumentedResults) {
  const std::string document = m_work.Write("a.txt", "text");
  EXPECT_EQ(Result(ShellExecute(nullptr, "open", m_work.Path("missing.txt").c_str(), nullptr, nullptr, SW_SHOW)),
            SE_ERR_FNF);
  EXPECT_EQ(Result(ShellExecute(nullptr, "open", m_work.Path("gone/a.txt").c_str(), nullptr, nullptr, SW_SHOW)),
            SE_ERR_PNF);
  EXPECT_EQ(Result(ShellExecute(nullptr, "print", document.c_str(), nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  const std::string missing = m_work.Path("missing");
  info.lpFile = missing.c_str();
  SetLastError(0);
  EXPECT_FALSE(ShellExecuteEx(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Result(info.hInstApp), SE_ERR_FNF);
  info.cbSize = 0;
  EXPECT_FALSE(ShellExecuteEx(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Without a handler on PATH a document has no association.
  setenv("PATH", "/nonexistent-folder", 1);
  EXPECT_EQ(Result(ShellExecute(nullptr, "open", document.c_str(), nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  info.cbSize = sizeof info;
  info.lpFile = document.c_str();
  EXPECT_FALSE(ShellExecuteEx(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
  EXPECT_EQ(Result(info.hInstApp), SE_ERR_NOASSOC);
}

}  // namespace
