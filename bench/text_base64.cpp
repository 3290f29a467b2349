// EncodeBase64 / DecodeBase64 against OpenSSL's block coder on 1 MiB.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <xtbasis/base64.h>

#include "peer_ratio.h"

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kBytes = 1 << 20;

const std::vector<unsigned char>& Input() {
  static const std::vector<unsigned char> data = [] {
    std::vector<unsigned char> bytes(kBytes);
    std::mt19937 random(7);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
  }();
  return data;
}

const std::string& Encoded() {
  static const std::string text =
      EncodeBase64(Input().data(), static_cast<int>(Input().size()), false).str();
  return text;
}

void Record(benchmark::State& state) { state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes)); }

void EncodeOwn(benchmark::State& state) {
  for (auto _ : state) {
    CString text = EncodeBase64(Input().data(), static_cast<int>(kBytes), false);
    benchmark::DoNotOptimize(text.GetString());
  }
  Record(state);
}

void EncodeOpenSsl(benchmark::State& state) {
  std::vector<unsigned char> out(Encoded().size() + 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_EncodeBlock(out.data(), Input().data(), static_cast<int>(kBytes)));
    benchmark::ClobberMemory();
  }
  Record(state);
}

void DecodeOwn(benchmark::State& state) {
  for (auto _ : state) {
    unsigned char* bytes = nullptr;
    int count = 0;
    benchmark::DoNotOptimize(DecodeBase64(Encoded().data(), static_cast<int>(Encoded().size()), &bytes, &count));
    std::free(bytes);
  }
  Record(state);
}

void DecodeOpenSsl(benchmark::State& state) {
  std::vector<unsigned char> out(Encoded().size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(Encoded().data()),
                                             static_cast<int>(Encoded().size())));
    benchmark::ClobberMemory();
  }
  Record(state);
}

BENCHMARK(EncodeOwn);
BENCHMARK(EncodeOpenSsl);
BENCHMARK(DecodeOwn);
BENCHMARK(DecodeOpenSsl);

const xtbbench::Ratio kEncodeOwnRatio("EncodeOwn", "EncodeOpenSsl", "EncodeBase64 / EVP_EncodeBlock",
                                      xtbbench::Clock::Cpu, 3);
const xtbbench::Ratio kDecodeOwnRatio("DecodeOwn", "DecodeOpenSsl", "DecodeBase64 / EVP_DecodeBlock",
                                      xtbbench::Clock::Cpu, 3);

}  // namespace
