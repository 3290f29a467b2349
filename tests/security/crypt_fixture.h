// Shared pieces of the key container tests: the Windows vectors, a private
// place for the containers, and running a command.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <xtbasis/crypt.h>
#include <xtbasis/platform/lasterror.h>

#include "pattern_bytes.h"
#include "scratch_dir.h"

// The folder of the vectors made on Windows: shared/crypto-vectors beside
// the checkout, or beside one of its parent folders (work trees nest).
inline std::string VectorDir() {
  for (std::filesystem::path dir = XTB_SOURCE_DIR; !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
    const std::filesystem::path candidate = dir.parent_path() / "shared" / "crypto-vectors";
    if (std::filesystem::is_directory(candidate)) return candidate.string() + "/";
  }
  ADD_FAILURE() << "shared/crypto-vectors not found beside " << XTB_SOURCE_DIR;
  return "/nonexistent/";
}

inline std::string Vector(const std::string& name) { return VectorDir() + name; }
inline std::string VectorBytes(const std::string& name) { return ScratchDir::Read(Vector(name)); }

// Each test keeps its containers in its own scratch folder.
class CryptTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XTBASIS_CRYPTO_DIR", m_dir.Path("store").c_str(), 1); }
  void TearDown() override { unsetenv("XTBASIS_CRYPTO_DIR"); }

  std::string Path(const std::string& name) const { return m_dir.Path(name); }
  std::string Write(const std::string& name, const std::string& bytes) const { return m_dir.Write(name, bytes); }
  // A file holding the AES-256 session key `key` (32 bytes) in clear, as a
  // PLAINTEXTKEYBLOB.
  std::string WriteKeyBlob(const std::string& name, const std::string& key) const {
    return Write(name, std::string("\x08\x02\x00\x00\x10\x66\x00\x00\x20\x00\x00\x00", 12) + key);
  }

  ScratchDir m_dir;
};

// The command's standard output; `status` its exit code.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int result = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return output;
}

// The code page 1252 form of a UTF-8 literal of Latin-1 letters (the
// library hands out its texts in 1252).
inline std::string Ansi(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size())
      out += static_cast<char>((static_cast<unsigned char>(utf8[++i]) & 0x3F) | (c == 0xC3 ? 0xC0 : 0x80));
    else
      out += static_cast<char>(c);
  }
  return out;
}

inline bool EndsWith(const CString& text, const std::string& tail) {
  const std::string whole = text.GetString();
  return whole.size() >= tail.size() && whole.compare(whole.size() - tail.size(), tail.size(), tail) == 0;
}

// The plain files of the vectors: byte i = (i*31+7) & 0xFF.
inline std::string PatternPlain(size_t count) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  return bytes;
}
