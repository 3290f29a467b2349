// The key container's hot paths against peers in the same run:
//  - Encrypt and Decrypt of a 256 MiB file against `openssl enc -aes-256-cbc`
//    with the same key and zero vector on the same file;
//  - CalcFileHash (SHA-256) of that file against sha256sum;
//  - CalcPBKDF2Hash (600000 iterations) against `openssl kdf`.
// "speedup" is the peer's time divided by ours (above 1: we are faster).
// Each benchmark first checks that both sides give the same result.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <xtbasis/crypt.h>

#include "peer_process.h"

namespace {

using xtbbench::Steady;
using xtbbench::Seconds;

constexpr size_t kFileSize = 256u << 20;
const std::string kKeyHex(64, 'a');  // the session key: 32 bytes of 0xaa
const char* const kZeroIv = "00000000000000000000000000000000";

const xtbbench::BigFile& Plain() {
  static const xtbbench::BigFile file("xtb-bench-crypt", kFileSize);
  return file;
}

std::string Sibling(const char* suffix) { return Plain().Path() + suffix; }

// A context whose session key is the benchmark's key.
bool LoadSessionKey(CXTCrypt& crypt) {
  CString blob = "080200001066000020000000";
  blob += kKeyHex.c_str();
  const std::string file = Sibling(".key");
  const bool ok = CXTCrypt::HexToKey(blob, file.c_str()) && crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT) &&
                  crypt.ImportKey(KT_SESSION, file.c_str());
  std::filesystem::remove(file);
  return ok;
}

bool SameFiles(const std::string& a, const std::string& b) {
  std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(left), {}, std::istreambuf_iterator<char>(right), {});
}

double OpensslEnc(bool decrypt, const std::string& in, const std::string& out) {
  return xtbbench::RunPeer({"openssl", "enc", decrypt ? "-d" : "-e", "-aes-256-cbc", "-K", kKeyHex, "-iv", kZeroIv,
                            "-in", in, "-out", out});
}

void Report(benchmark::State& state, const char* what, double ours, double peer, const char* peerName) {
  const double n = static_cast<double>(state.iterations());
  state.counters["speedup"] = peer / ours;
  std::printf("%s: %.1f ms, %s: %.1f ms, ratio %.2f\n", what, 1e3 * ours / n, peerName, 1e3 * peer / n, peer / ours);
}

void BM_EncryptVsOpensslEnc(benchmark::State& state) {
  CXTCrypt crypt;
  const std::string ours = Sibling(".ours"), theirs = Sibling(".theirs");
  if (!LoadSessionKey(crypt) || !crypt.Encrypt(Plain().Path().c_str(), ours.c_str(), nullptr) ||
      OpensslEnc(false, Plain().Path(), theirs) < 0 || !SameFiles(ours, theirs)) {
    state.SkipWithError("the cipher files differ");
    return;
  }
  double own = 0, peer = 0;
  for (auto _ : state) {
    const Steady::time_point start = Steady::now();
    crypt.Encrypt(Plain().Path().c_str(), ours.c_str(), nullptr);
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    own += elapsed;
    peer += OpensslEnc(false, Plain().Path(), theirs);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
  Report(state, "Encrypt 256 MiB", own, peer, "openssl enc -e");
  std::filesystem::remove(theirs);
}
BENCHMARK(BM_EncryptVsOpensslEnc)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DecryptVsOpensslEnc(benchmark::State& state) {
  CXTCrypt crypt;
  const std::string cipher = Sibling(".ours"), ours = Sibling(".back"), theirs = Sibling(".theirs");
  if (!LoadSessionKey(crypt) || !crypt.Encrypt(Plain().Path().c_str(), cipher.c_str(), nullptr) ||
      !crypt.Decrypt(cipher.c_str(), ours.c_str(), nullptr) || !SameFiles(ours, Plain().Path())) {
    state.SkipWithError("the round trip differs");
    return;
  }
  double own = 0, peer = 0;
  for (auto _ : state) {
    const Steady::time_point start = Steady::now();
    crypt.Decrypt(cipher.c_str(), ours.c_str(), nullptr);
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    own += elapsed;
    peer += OpensslEnc(true, cipher, theirs);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
  Report(state, "Decrypt 256 MiB", own, peer, "openssl enc -d");
  for (const std::string& file : {cipher, ours, theirs}) std::filesystem::remove(file);
}
BENCHMARK(BM_DecryptVsOpensslEnc)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CalcFileHashVsSha256sum(benchmark::State& state) {
  const std::string& path = Plain().Path();
  xtbbench::RunPeer({"sha256sum", path});  // both start from a warm page cache
  double own = 0, peer = 0;
  for (auto _ : state) {
    const Steady::time_point start = Steady::now();
    benchmark::DoNotOptimize(CXTCrypt::CalcFileHash(path.c_str(), CALG_SHA_256));
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    own += elapsed;
    peer += xtbbench::RunPeer({"sha256sum", path});
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
  Report(state, "CalcFileHash SHA-256 256 MiB", own, peer, "sha256sum");
}
BENCHMARK(BM_CalcFileHashVsSha256sum)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Pbkdf2VsOpensslKdf(benchmark::State& state) {
  double own = 0, peer = 0;
  for (auto _ : state) {
    CString error;
    const Steady::time_point start = Steady::now();
    benchmark::DoNotOptimize(CXTCrypt::CalcPBKDF2Hash("Kennwort", "Salz", error));
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    own += elapsed;
    peer += xtbbench::RunPeer({"openssl", "kdf", "-keylen", "32", "-kdfopt", "digest:SHA256", "-kdfopt",
                               "pass:Kennwort", "-kdfopt", "salt:Salz", "-kdfopt", "iter:600000", "PBKDF2"});
  }
  Report(state, "CalcPBKDF2Hash 600000", own, peer, "openssl kdf");
}
BENCHMARK(BM_Pbkdf2VsOpensslKdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
