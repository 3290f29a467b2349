#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "registry_fixture.h"

namespace {

using RegistryConcurrency = RegistryTest;

constexpr int kWriters = 4;
constexpr int kValuesPerWriter = 150;

// One writer's share: its own values in a shared key, and a key of its own.
int WriteShare(int writer) {
  int failures = 0;
  HKEY shared = nullptr, own = nullptr;
  const std::string ownPath = "Software\\Shared\\Writer" + std::to_string(writer);
  failures += RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &shared, nullptr) != ERROR_SUCCESS;
  failures += RegCreateKeyExA(HKEY_CURRENT_USER, ownPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &own,
                              nullptr) != ERROR_SUCCESS;
  for (int i = 0; i < kValuesPerWriter; ++i) {
    const std::string name = "w" + std::to_string(writer) + "_" + std::to_string(i);
    const DWORD value = static_cast<DWORD>(writer * 100000 + i);
    failures += RegSetValueExA(shared, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof value) != ERROR_SUCCESS;
    HKEY sub = nullptr;
    failures += RegCreateKeyExA(own, ("k" + std::to_string(i)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &sub, nullptr) != ERROR_SUCCESS;
    RegCloseKey(sub);
  }
  RegCloseKey(shared);
  RegCloseKey(own);
  return failures;
}

void CheckEveryShare(int writers) {
  HKEY shared = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_READ, &shared), ERROR_SUCCESS);
  DWORD values = 0, subKeys = 0;
  ASSERT_EQ(RegQueryInfoKeyA(shared, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, static_cast<DWORD>(writers * kValuesPerWriter));
  EXPECT_EQ(subKeys, static_cast<DWORD>(writers));
  for (int writer = 0; writer < writers; ++writer) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      const std::string name = "w" + std::to_string(writer) + "_" + std::to_string(i);
      DWORD value = 0, size = sizeof value;
      ASSERT_EQ(RegQueryValueExA(shared, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
                ERROR_SUCCESS) << name;
      EXPECT_EQ(value, static_cast<DWORD>(writer * 100000 + i)) << name;
    }
    HKEY own = nullptr;
    ASSERT_EQ(RegOpenKeyExA(shared, ("writer" + std::to_string(writer)).c_str(), 0, KEY_READ, &own),
              ERROR_SUCCESS);
    DWORD ownKeys = 0;
    RegQueryInfoKeyA(own, nullptr, nullptr, nullptr, &ownKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(ownKeys, static_cast<DWORD>(kValuesPerWriter)) << writer;
    RegCloseKey(own);
  }
  RegCloseKey(shared);
}

TEST_F(RegistryConcurrency, WriterProcessesLoseNothing) {
  // The parent has the hive open before it forks: the children must not
  // share its connection.
  ASSERT_EQ(SetDword(HKEY_CURRENT_USER, "before", 1), ERROR_SUCCESS);
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(WriteShare(writer) == 0 ? 0 : 1);
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer " << pid << " failed";
  }
  CheckEveryShare(kWriters);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, "before"), 1u);
}

TEST_F(RegistryConcurrency, WriterThreadsLoseNothing) {
  std::vector<std::thread> threads;
  std::vector<int> failures(kWriters);
  for (int writer = 0; writer < kWriters; ++writer)
    threads.emplace_back([writer, &failures] { failures[writer] = WriteShare(writer); });
  for (std::thread& thread : threads) thread.join();
  for (int writer = 0; writer < kWriters; ++writer) EXPECT_EQ(failures[writer], 0) << writer;
  CheckEveryShare(kWriters);
}

TEST_F(RegistryConcurrency, AKilledWriterLeavesAWholeValue) {
  constexpr size_t kSize = 64 * 1024;
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Torn");
  const std::string first(kSize, 'a');
  ASSERT_EQ(RegSetValueExA(key, "Big", 0, REG_BINARY, reinterpret_cast<const BYTE*>(first.data()), kSize),
            ERROR_SUCCESS);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    for (unsigned round = 0;; ++round) {
      const std::string data(kSize, static_cast<char>('b' + round % 20));
      RegSetValueExA(key, "Big", 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()), kSize);
    }
  }
  usleep(150 * 1000);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  const std::string data = Read(key, "Big");
  ASSERT_EQ(data.size(), kSize);
  EXPECT_EQ(data.find_first_not_of(data[0]), std::string::npos) << "a torn value";
  EXPECT_NE(data[0], 'a') << "the writer never got a value through";
  RegCloseKey(key);
}

}  // namespace
