// The key container's hot paths against peers in the same run:
//  - Encrypt and Decrypt of a 256 MiB file against `openssl enc -aes-256-cbc`
//    with the same key and zero vector on the same file;
//  - CalcFileHash (SHA-256) of that file against sha256sum;
//  - CalcPBKDF2Hash (600000 iterations) against `openssl kdf`.
// Each of the library's benchmarks first checks that both sides give the
// same result.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <xtbasis/crypt.h>

#include "peer_process.h"
#include "peer_ratio.h"

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

// Times each iteration by the seconds `run` returns; below 0 it failed.
template <typename Run>
void TimeEach(benchmark::State& state, const char* failure, Run run) {
  for (auto _ : state) {
    const double seconds = run();
    if (seconds < 0) {
      state.SkipWithError(failure);
      break;
    }
    state.SetIterationTime(seconds);
  }
}

template <typename Call>
double Timed(Call call) {
  const Steady::time_point start = Steady::now();
  call();
  return Seconds(start);
}

void SetFileBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

void BM_Encrypt(benchmark::State& state) {
  CXTCrypt crypt;
  const std::string ours = Sibling(".ours"), theirs = Sibling(".theirs");
  if (!LoadSessionKey(crypt) || !crypt.Encrypt(Plain().Path().c_str(), ours.c_str(), nullptr) ||
      OpensslEnc(false, Plain().Path(), theirs) < 0 || !SameFiles(ours, theirs)) {
    state.SkipWithError("the cipher files differ");
    return;
  }
  TimeEach(state, "Encrypt failed",
           [&] { return Timed([&] { crypt.Encrypt(Plain().Path().c_str(), ours.c_str(), nullptr); }); });
  SetFileBytes(state);
  std::filesystem::remove(theirs);
}

void BM_OpensslEncrypt(benchmark::State& state) {
  const std::string theirs = Sibling(".theirs");
  TimeEach(state, "openssl enc -e failed", [&] { return OpensslEnc(false, Plain().Path(), theirs); });
  SetFileBytes(state);
  std::filesystem::remove(theirs);
}

void BM_Decrypt(benchmark::State& state) {
  CXTCrypt crypt;
  const std::string cipher = Sibling(".ours"), ours = Sibling(".back");
  if (!LoadSessionKey(crypt) || !crypt.Encrypt(Plain().Path().c_str(), cipher.c_str(), nullptr) ||
      !crypt.Decrypt(cipher.c_str(), ours.c_str(), nullptr) || !SameFiles(ours, Plain().Path())) {
    state.SkipWithError("the round trip differs");
    return;
  }
  TimeEach(state, "Decrypt failed",
           [&] { return Timed([&] { crypt.Decrypt(cipher.c_str(), ours.c_str(), nullptr); }); });
  SetFileBytes(state);
  std::filesystem::remove(ours);
}

// Deciphers the library's cipher file, which BM_Decrypt left and checked.
void BM_OpensslDecrypt(benchmark::State& state) {
  const std::string cipher = Sibling(".ours"), theirs = Sibling(".theirs");
  TimeEach(state, "openssl enc -d failed", [&] { return OpensslEnc(true, cipher, theirs); });
  SetFileBytes(state);
  for (const std::string& file : {cipher, theirs}) std::filesystem::remove(file);
}

void BM_CalcFileHash(benchmark::State& state) {
  const std::string& path = Plain().Path();
  xtbbench::RunPeer({"sha256sum", path});  // both start from a warm page cache
  TimeEach(state, "CalcFileHash failed", [&] {
    return Timed([&] { benchmark::DoNotOptimize(CXTCrypt::CalcFileHash(path.c_str(), CALG_SHA_256)); });
  });
  SetFileBytes(state);
}

void BM_Sha256sum(benchmark::State& state) {
  TimeEach(state, "sha256sum failed", [] { return xtbbench::RunPeer({"sha256sum", Plain().Path()}); });
  SetFileBytes(state);
}

void BM_Pbkdf2(benchmark::State& state) {
  TimeEach(state, "CalcPBKDF2Hash failed", [] {
    return Timed([] {
      CString error;
      benchmark::DoNotOptimize(CXTCrypt::CalcPBKDF2Hash("Kennwort", "Salz", error));
    });
  });
}

void BM_OpensslKdf(benchmark::State& state) {
  TimeEach(state, "openssl kdf failed", [] {
    return xtbbench::RunPeer({"openssl", "kdf", "-keylen", "32", "-kdfopt", "digest:SHA256", "-kdfopt",
                              "pass:Kennwort", "-kdfopt", "salt:Salz", "-kdfopt", "iter:600000", "PBKDF2"});
  });
}

BENCHMARK(BM_Encrypt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpensslEncrypt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Decrypt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpensslDecrypt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CalcFileHash)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Sha256sum)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Pbkdf2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpensslKdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

using xtbbench::Clock;
const xtbbench::Ratio kEncrypt("BM_Encrypt", "BM_OpensslEncrypt", "Encrypt / openssl enc -e, 256 MiB", Clock::Wall);
const xtbbench::Ratio kDecrypt("BM_Decrypt", "BM_OpensslDecrypt", "Decrypt / openssl enc -d, 256 MiB", Clock::Wall);
const xtbbench::Ratio kHash("BM_CalcFileHash", "BM_Sha256sum", "CalcFileHash SHA-256 / sha256sum, 256 MiB",
                            Clock::Wall);
const xtbbench::Ratio kPbkdf2("BM_Pbkdf2", "BM_OpensslKdf", "CalcPBKDF2Hash / openssl kdf, 600000 iterations",
                              Clock::Wall);

}  // namespace
