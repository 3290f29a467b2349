// Pages per second from a bitmap file to an LZW-compressed TIFF file: an A4
// page scanned at 300 dpi (2480 x 3508, 24 bits) through CBmp2Tiff against
// ImageMagick's convert of the same file. Both are timed in processor time
// (user and system, the children's for convert, all of its threads) from
// the bitmap file to the finished TIFF file, convert's start included (it
// is how such pages are converted without the library); processor time
// stays fair on a machine that other work keeps busy.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <xtbasis/bmp2tiff.h>

#include "peer_ratio.h"

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

void Append(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// A page as a scanner delivers it: white paper with a little noise, lines
// of dark "text" strokes, and a photograph in the upper third.
std::string ScannedPage() {
  const size_t rowBytes = (kWidth * 3 + 3) / 4 * 4;
  std::string file = "BM";
  Append(file, static_cast<uint32_t>(54 + rowBytes * kHeight), 4);
  Append(file, 0, 4);
  Append(file, 54, 4);
  Append(file, 40, 4);
  Append(file, kWidth, 4);
  Append(file, kHeight, 4);
  Append(file, 1, 2);
  Append(file, 24, 2);
  file.append(24, '\0');
  std::mt19937 random(17);
  std::string row(rowBytes, '\0');
  for (int y = kHeight - 1; y >= 0; --y) {
    const bool textLine = y > 1300 && y % 50 < 28;
    for (int x = 0; x < kWidth; ++x) {
      uint8_t value = static_cast<uint8_t>(250 + random() % 6);
      uint8_t blue = value, green = value, red = value;
      if (y > 200 && y < 1100 && x > 300 && x < 2180) {
        red = static_cast<uint8_t>((x + y) / 12 + random() % 8);
        green = static_cast<uint8_t>(x / 10 + random() % 8);
        blue = static_cast<uint8_t>(y / 5 + random() % 8);
      } else if (textLine && x > 240 && x < 2240 && (x / 7 + y / 9) % 5 < 2) {
        blue = green = red = static_cast<uint8_t>(20 + random() % 30);
      }
      row[x * 3] = static_cast<char>(blue);
      row[x * 3 + 1] = static_cast<char>(green);
      row[x * 3 + 2] = static_cast<char>(red);
    }
    file += row;
  }
  return file;
}

struct Files {
  std::string folder, bitmap, tiff;
};

const Files& Scratch() {
  static const Files files = [] {
    char pattern[] = "/tmp/xtb-bench-tiff-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    Files f{pattern, std::string(pattern) + "/page.bmp", std::string(pattern) + "/pages.tif"};
    const std::string page = ScannedPage();
    FILE* out = std::fopen(f.bitmap.c_str(), "wb");
    if (!out || std::fwrite(page.data(), 1, page.size(), out) != page.size() || std::fclose(out) != 0) std::abort();
    return f;
  }();
  return files;
}

double ProcessorSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times each page by the processor seconds of this process (RUSAGE_SELF)
// or of the programs it ran (RUSAGE_CHILDREN), so that neither side is
// charged for waiting on the shared machine; also reported as pages per
// processor second.
template <typename Page>
void TimePages(benchmark::State& state, int who, Page page) {
  double total = 0;
  for (auto _ : state) {
    const double start = ProcessorSeconds(who);
    if (!page()) break;
    const double seconds = ProcessorSeconds(who) - start;
    state.SetIterationTime(seconds);
    total += seconds;
  }
  if (total > 0) state.counters["pages/cpu-s"] = static_cast<double>(state.iterations()) / total;
}

void Bmp2TiffPage(benchmark::State& state) {
  const Files& files = Scratch();
  TimePages(state, RUSAGE_SELF, [&] {
    CBmp2Tiff tiff;
    if (tiff.Create(files.tiff.c_str()) && tiff.AddBmp(files.bitmap.c_str()) && tiff.Close()) return true;
    state.SkipWithError("the page was not written");
    return false;
  });
}

void ConvertPage(benchmark::State& state) {
  const Files& files = Scratch();
  const std::string command = "convert '" + files.bitmap + "' -compress LZW '" + files.tiff + "'";
  TimePages(state, RUSAGE_CHILDREN, [&] {
    if (std::system(command.c_str()) == 0) return true;
    state.SkipWithError("convert failed");
    return false;
  });
}

BENCHMARK(Bmp2TiffPage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);
BENCHMARK(ConvertPage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

const xtbbench::Ratio kRatio("Bmp2TiffPage", "ConvertPage", "A4 page at 300 dpi to LZW TIFF / ImageMagick convert",
                             xtbbench::Clock::Wall);

// The scratch folder goes when the program ends.
struct Cleanup {
  ~Cleanup() {
    const Files& files = Scratch();
    std::remove(files.bitmap.c_str());
    std::remove(files.tiff.c_str());
    rmdir(files.folder.c_str());
  }
} const kCleanup;

}  // namespace
