// The base64 subcommand of the xtbasis tool, run as a real process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "scratch_dir.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) { return ScratchDir::Read(path.string()); }

int Tool(const std::string& arguments) { return RunTool("base64 " + arguments).status; }

class Base64Command : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(XTB_TOOL_PATH)) GTEST_SKIP() << "the xtbasis tool is not built";
    m_dir = m_scratch.Path();
  }
  ScratchDir m_scratch;
  fs::path m_dir;
};

TEST_F(Base64Command, FilesRoundTripWithLinesOf76) {
  std::string bytes(1000, '\0');
  std::mt19937 random(3);
  for (char& c : bytes) c = static_cast<char>(random());
  std::ofstream(m_dir / "in.bin", std::ios::binary) << bytes;
  const fs::path in = m_dir / "in.bin";
  const fs::path text = m_dir / "in.b64";
  const fs::path out = m_dir / "out.bin";
  ASSERT_EQ(Tool("encode " + in.string() + " " + text.string()), 0);
  const std::string encoded = ReadFile(text);
  EXPECT_EQ(encoded.substr(76, 2), "\r\n");
  EXPECT_EQ(encoded.substr(encoded.size() - 2), "\r\n");
  ASSERT_EQ(Tool("decode " + text.string() + " " + out.string()), 0);
  EXPECT_EQ(ReadFile(out), bytes);
}

TEST_F(Base64Command, BadArgumentsFailClearly) {
  EXPECT_EQ(Tool(""), 2);
  EXPECT_EQ(Tool("frobnicate"), 2);
  EXPECT_EQ(Tool("decode " + (m_dir / "missing").string()), 1);
  EXPECT_FALSE(fs::exists(m_dir / "never"));
  EXPECT_EQ(Tool("encode " + (m_dir / "missing").string() + " " + (m_dir / "never").string()), 1);
  EXPECT_FALSE(fs::exists(m_dir / "never")) << "no output file for an unreadable input";
}

}  // namespace
