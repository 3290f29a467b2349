// Code-page conversions in MB/s: AnsiToUTF8 and Ansi2Ascii against glibc's
// iconv, and OemToPrintableOem against a plain byte loop with a switch.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <xtbasis/textfilters.h>
#include <xtbasis/transcode.h>

#include <string>

#include "peer_ratio.h"

namespace {

constexpr size_t kBytes = 1 << 20;

// German record text with umlauts, accents, a few control bytes and € signs.
const std::string& Sample() {
  static const std::string text = [] {
    const std::string piece = "M\xFCller, J\xF6rg; Stra\xDF" "e 12\t\x80 19,99 \xE9t\xE9 Sm\xF8rrebr\xF8" "d\r\n";
    std::string s;
    while (s.size() < kBytes) s += piece;
    s.resize(kBytes);
    return s;
  }();
  return text;
}

void AnsiToUtf8Own(benchmark::State& state) {
  const CString in(Sample());
  for (auto _ : state) benchmark::DoNotOptimize(AnsiToUTF8(in).GetLength());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

// The sample converted from 1252 by iconv into `to` (at most three bytes a
// character: UTF-8, and the transliterations into 850 such as "EUR").
void IconvFrom1252(benchmark::State& state, const char* to) {
  iconv_t cd = iconv_open(to, "CP1252");
  std::string in = Sample();
  std::string out;
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.assign(in.size() * 3, '\0');
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.resize(out.size() - outLeft);
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void AnsiToUtf8Iconv(benchmark::State& state) { IconvFrom1252(state, "UTF-8"); }

void AnsiToOemOwn(benchmark::State& state) {
  const CString in(Sample());
  for (auto _ : state) {
    CString text(in);
    Ansi2Ascii(text);
    benchmark::DoNotOptimize(text.GetLength());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

// iconv without best fits: it transliterates what 850 lacks.
void AnsiToOemIconv(benchmark::State& state) { IconvFrom1252(state, "CP850//TRANSLIT"); }

void PrintableOwn(benchmark::State& state) {
  for (auto _ : state) {
    CString text(Sample());
    benchmark::DoNotOptimize(OemToPrintableOem(text, 0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

// The straightforward way: one append per byte, decided by a switch over a
// few of the special bytes (a subset, so the peer does less work).
void PrintableNaive(benchmark::State& state) {
  for (auto _ : state) {
    std::string out;
    for (const char c : Sample()) {
      const auto b = static_cast<unsigned char>(c);
      if ((b & 0x7F) < 0x21 || b == 0x7F) { out += ' '; continue; }
      switch (b) {
        case 0xA4: out += "EUR"; break;
        case 0xF8: out += "oe"; break;
        case 0xE9: case 0xE8: case 0xEA: out += 'e'; break;
        case 0x40: out += 'a'; break;
        default: out += c;
      }
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

BENCHMARK(AnsiToUtf8Own);
BENCHMARK(AnsiToUtf8Iconv);
BENCHMARK(AnsiToOemOwn);
BENCHMARK(AnsiToOemIconv);
BENCHMARK(PrintableOwn);
BENCHMARK(PrintableNaive);

const xtbbench::Ratio kUtf8Ratio("AnsiToUtf8Own", "AnsiToUtf8Iconv", "AnsiToUTF8 / iconv");
const xtbbench::Ratio kOemRatio("AnsiToOemOwn", "AnsiToOemIconv", "Ansi2Ascii / iconv");
const xtbbench::Ratio kPrintableRatio("PrintableOwn", "PrintableNaive", "OemToPrintableOem / byte loop");

}  // namespace
