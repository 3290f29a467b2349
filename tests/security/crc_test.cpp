#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include <xtbasis/checksum.h>

#include "crc_tables.h"
#include "pattern_bytes.h"
#include "scratch_dir.h"

namespace {

// Bit by bit, without any table: the CRC as defined.
uint32_t BitwiseCrc(const std::string& bytes, uint32_t crc = 0) {
  for (unsigned char byte : bytes) {
    crc ^= uint32_t{byte} << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

uint32_t Crc(const std::string& bytes) { return XTCalcCRC(bytes.data(), static_cast<uint32_t>(bytes.size())); }

// The first number that coreutils cksum prints for the file.
unsigned long Cksum(const std::string& path) {
  FILE* pipe = popen(("cksum '" + path + "'").c_str(), "r");
  unsigned long value = 0;
  EXPECT_NE(pipe, nullptr);
  if (pipe != nullptr) {
    EXPECT_EQ(std::fscanf(pipe, "%lu", &value), 1);
    pclose(pipe);
  }
  return value;
}

TEST(Crc, CheckValuesAndTable) {
  EXPECT_EQ(XTCalcCRC("", 0), 0u);
  EXPECT_EQ(XTCalcCRC(nullptr, 5), 0u);
  EXPECT_EQ(Crc("123456789"), 0x89A1897Fu);
  EXPECT_EQ(Crc("abc"), 0x2C17398Cu);
  EXPECT_EQ(Crc("a"), 0xA864DB20u);
  const xtb::crc::Tables& tables = xtb::crc::GetTables();
  EXPECT_EQ(tables.polynomial, 0x04C11DB7u);
  EXPECT_EQ(tables.entries[0], 0u);
  EXPECT_EQ(tables.entries[1], 0x04C11DB7u);
  EXPECT_EQ(tables.entries[128], 0x690CE0EEu);
  EXPECT_EQ(tables.entries[255], 0xB1F740B4u);
}

// The fast paths (slices, carry-less folding) against the definition, for
// lengths around every boundary they have and at unaligned starts.
TEST(Crc, FastPathsMatchTheDefinitionAtEveryBoundary) {
  const std::string data = PatternBytes(4096 + 80, 7);
  for (size_t offset : {0, 1, 3, 7}) {
    for (size_t length : {1, 7, 8, 9, 63, 64, 255, 256, 257, 319, 320, 321, 1000, 4096}) {
      const std::string part = data.substr(offset, length);
      EXPECT_EQ(Crc(part), BitwiseCrc(part)) << "offset " << offset << " length " << length;
    }
  }
  // A running register carried into a long block (as the file checksum does).
  xtb::crc::Register crc;
  crc.Update(data.data(), 5);
  crc.Update(data.data() + 5, 3000);
  EXPECT_EQ(crc.Value(), BitwiseCrc(data.substr(0, 3005)));
}

// Every carry-less engine the processor has, against the definition, on
// random lengths and starts (the sanitizer build runs this too).
TEST(Crc, EveryEngineMatchesTheDefinition) {
  using xtb::crc::FoldEngine;
  const std::string data = PatternBytes(6000 + 64, 11);
  std::mt19937 random(20261208);
  for (FoldEngine engine : {FoldEngine::none, FoldEngine::pclmul, FoldEngine::vpclmul}) {
    if (static_cast<int>(engine) > static_cast<int>(xtb::crc::BestFoldEngine())) continue;
    for (int round = 0; round < 300; ++round) {
      const size_t offset = random() % 64;
      const size_t length = random() % 6000;
      const auto* bytes = reinterpret_cast<const uint8_t*>(data.data()) + offset;
      const uint32_t start = random();
      size_t consumed = 0;
      uint32_t crc = xtb::crc::UpdateFolded(engine, start, bytes, length, consumed);
      crc = xtb::crc::UpdateSliced(crc, bytes + consumed, length - consumed);
      ASSERT_EQ(crc, BitwiseCrc(data.substr(offset, length), start))
          << "engine " << static_cast<int>(engine) << " offset " << offset << " length " << length;
    }
  }
}

TEST(Crc, CombinedHalvesEqualTheWhole) {
  const std::string data = PatternBytes(5000, 5);
  for (size_t split : {0, 1, 3, 64, 2500, 4999, 5000}) {
    const std::string first = data.substr(0, split), second = data.substr(split);
    EXPECT_EQ(xtb::crc::Combine(Crc(first), Crc(second), second.size()), Crc(data)) << "split " << split;
  }
  EXPECT_EQ(xtb::crc::PowerOfXModP(32), 0x04C11DB7u);  // x^32 is P's lower terms
}

// cksum is this CRC over the data followed by its length (least significant
// byte first, as few bytes as needed), inverted.
TEST(Crc, AgreesWithCksum) {
  ScratchDir dir;
  for (size_t size : {size_t{0}, size_t{1}, size_t{300}, size_t{70000}, size_t{1024000 + 4097}}) {
    std::string data = PatternBytes(size, static_cast<unsigned>(size));
    const std::string path = dir.Write("data.bin", data);
    for (size_t n = size; n > 0; n >>= 8) data += static_cast<char>(n & 0xFF);
    EXPECT_EQ(~Crc(data), Cksum(path)) << "size " << size;
  }
}

TEST(CheckSum, FilesOfAllSizes) {
  ScratchDir dir;
  EXPECT_EQ(XTCheckSum(dir.Write("empty", "")), "00000000");
  EXPECT_EQ(XTCheckSum(dir.Write("digits", "123456789")), "89A1897F");
  EXPECT_EQ(XTCheckSum(dir.Write("a", "a")), "A864DB20");
  // More than one read buffer of 1,024,000 bytes.
  const std::string big = PatternBytes(2 * 1024000 + 333, 3);
  CString expected;
  expected.Format("%08X", Crc(big));
  EXPECT_EQ(XTCheckSum(dir.Write("big", big)), expected);
  // Long enough to be read as two halves at once, of odd length.
  const std::string longer = PatternBytes((40u << 20) + 7, 9);
  expected.Format("%08X", Crc(longer));
  EXPECT_EQ(XTCheckSum(dir.Write("longer", longer)), expected);
}

TEST(CheckSum, UnreadableFilesGiveEmpty) {
  ScratchDir dir;
  EXPECT_EQ(XTCheckSum(dir.Path("missing")), "");
  EXPECT_EQ(XTCheckSum(dir.Path("")), "");  // the folder itself cannot be read
  EXPECT_EQ(XTCheckSum(""), "");
}

TEST(CheckSum, RefusesAFileThatAWriterHolds) {
  ScratchDir dir;
  const std::string path = dir.Write("busy", "abc");
  const int writer = open(path.c_str(), O_WRONLY);
  ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(XTCheckSum(path.c_str()), "");
  close(writer);
  EXPECT_EQ(XTCheckSum(path.c_str()), "2C17398C");
}

}  // namespace
