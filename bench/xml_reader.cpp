// CXTSimpleXMLReader building the element tree of a 50 MiB claims list (and
// freeing it), against a bare libxml2 SAX2 parse of the same bytes whose
// callbacks do nothing; the read without the freeing against the same; the
// library's parse to an idle handler against the same; the read and the
// bare parse once more, taken in turns; and the reader's peak memory against
// the document size.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <xtbasis/xml.h>

#include "peer_ratio.h"
#include "xml_document.h"

namespace {

// The reader parses a large document on a second thread, so its ratios count the
// time the caller waits, not the processor time of the calling thread.
const xtbbench::Ratio ratio("ReadTree", "ParseLibxml2", "XML reader into a tree vs bare SAX2 parse (50 MiB)",
                            xtbbench::Clock::Wall);
const xtbbench::Ratio unfreed("ReadTreeNotFreed", "ParseLibxml2",
                              "XML reader into a tree, the tree's freeing not counted, vs bare SAX2 parse",
                              xtbbench::Clock::Wall);
const xtbbench::Ratio events("ParseEvents", "ParseLibxml2", "XTParseXML to an idle handler vs bare SAX2 parse");

const CString& Document() {
  static const CString bytes = [] {
    CXTXMLWriter writer;
    xmlbench::WriteClaims(writer);
    CString out;
    writer.ToString(out);
    return out;
  }();
  return bytes;
}

// The tree is read and freed again, both counted.
void ReadTree(benchmark::State& state) {
  const CString& document = Document();
  for (auto _ : state) {
    CXTXMLElement root;
    if (!CXTSimpleXMLReader().ReadString(document, root)) state.SkipWithError("document not read");
    benchmark::DoNotOptimize(root.Children.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * document.GetLength());
}

// The read alone: the time the caller waits for the tree.
void ReadTreeNotFreed(benchmark::State& state) {
  const CString& document = Document();
  for (auto _ : state) {
    auto root = std::make_unique<CXTXMLElement>();
    if (!CXTSimpleXMLReader().ReadString(document, *root)) state.SkipWithError("document not read");
    benchmark::DoNotOptimize(root->Children.data());
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * document.GetLength());
}

// The parse with the library's input policy and UTF-16 events, without a tree.
void ParseEvents(benchmark::State& state) {
  const CString& document = Document();
  SAXContentHandlerImpl idle;
  for (auto _ : state) {
    if (FAILED(XTParseXML(document.GetString(), static_cast<size_t>(document.GetLength()), idle)))
      state.SkipWithError("document not parsed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * document.GetLength());
}

bool ParseBare(const CString& document) {
  xmlSAXHandler nothing;
  std::memset(&nothing, 0, sizeof nothing);
  nothing.initialized = XML_SAX2_MAGIC;
  return xmlSAXUserParseMemory(&nothing, nullptr, document.GetString(), document.GetLength()) == 0;
}

void ParseLibxml2(benchmark::State& state) {
  const CString& document = Document();
  for (auto _ : state) {
    if (!ParseBare(document)) state.SkipWithError("document not parsed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * document.GetLength());
}

template <typename Work>
double SecondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// The read (without the freeing) and the bare parse taken in turns, so that
// both meet the same load on a shared machine, whose speed here changes by
// half within seconds; the median of the pairs' ratios.
void ReadTreeInTurnsWithParse(benchmark::State& state) {
  const CString& document = Document();
  std::vector<double> ratios;
  for (auto _ : state) {
    const double parse = SecondsOf([&] {
      if (!ParseBare(document)) state.SkipWithError("document not parsed");
    });
    auto root = std::make_unique<CXTXMLElement>();
    const double read = SecondsOf([&] {
      if (!CXTSimpleXMLReader().ReadString(document, *root)) state.SkipWithError("document not read");
    });
    root.reset();
    state.SetIterationTime(read);
    ratios.push_back(parse / read);
  }
  if (ratios.empty()) return;
  state.counters["ratio"] = Median(ratios);
  std::printf("speed ratio XML reader into a tree, the tree's freeing not counted, vs bare SAX2 parse, "
              "taken in turns (median of %zu pairs): %.2f\n",
              ratios.size(), Median(ratios));
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM"), -1 without it.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  const std::string prefix = std::string(field) + ":";
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
  return -1;
}

// Peak resident memory of a child process that reads the document once,
// above what it held before the read. The child first hands back the free
// heap pages it inherits (the earlier benchmarks' trees), which the read
// would otherwise reuse unseen, and restarts the kernel's peak count.
void ReaderPeakMemory(benchmark::State& state) {
  const CString& document = Document();
  for (auto _ : state) {
    int pipes[2];
    if (pipe(pipes) != 0) return;
    const pid_t child = fork();
    if (child == 0) {
      malloc_trim(0);
      std::ofstream("/proc/self/clear_refs") << "5";
      const long before = StatusKb("VmRSS");
      CXTXMLElement root;
      const bool read = CXTSimpleXMLReader().ReadString(document, root);
      const long peak = StatusKb("VmHWM");
      const long grown = read && before >= 0 && peak >= 0 ? peak - before : -1;
      (void)!write(pipes[1], &grown, sizeof grown);
      _exit(0);
    }
    long grownKb = -1;
    (void)!read(pipes[0], &grownKb, sizeof grownKb);
    close(pipes[0]);
    close(pipes[1]);
    waitpid(child, nullptr, 0);
    const double documentMb = document.GetLength() / 1048576.0;
    state.counters["peak_MiB"] = grownKb / 1024.0;
    state.counters["per_doc_MiB"] = grownKb / 1024.0 / documentMb;
    std::printf("reader peak memory: %.1f MiB for a %.1f MiB document (%.2f x)\n", grownKb / 1024.0, documentMb,
                grownKb / 1024.0 / documentMb);
  }
}

// Three runs each: on a shared machine the best of them counts.
BENCHMARK(ReadTree)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK(ReadTreeNotFreed)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK(ParseEvents)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK(ParseLibxml2)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK(ReadTreeInTurnsWithParse)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(ReaderPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
