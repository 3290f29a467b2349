// Peer programs for the file benchmarks: a large file of pseudo-random
// bytes, and a program run on it with its standard output discarded.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace xtbbench {

using Steady = std::chrono::steady_clock;

inline double Seconds(Steady::time_point since) {
  return std::chrono::duration<double>(Steady::now() - since).count();
}

// The same pseudo-random bytes on every run.
inline std::vector<uint8_t> PseudoRandomBytes(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 12345;
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

// `size` bytes (a multiple of 1 MiB) in the temporary directory, removed
// when the run ends.
class BigFile {
 public:
  BigFile(const std::string& name, size_t size)
      : m_path((std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()))).string()) {
    const std::vector<uint8_t> chunk = PseudoRandomBytes(1u << 20);
    std::ofstream out(m_path, std::ios::binary);
    for (size_t written = 0; written < size; written += chunk.size())
      out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  }
  ~BigFile() { std::filesystem::remove(m_path); }
  BigFile(const BigFile&) = delete;
  BigFile& operator=(const BigFile&) = delete;
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// The program's elapsed wall-clock seconds; -1 when the program cannot be started or fails.
inline double RunPeer(std::vector<std::string> arguments) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const Steady::time_point start = Steady::now();
  pid_t pid = 0;
  int status = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
  const double elapsed = Seconds(start);
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

}  // namespace xtbbench
