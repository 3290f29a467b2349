// Tooth-list round trip (parse, normal form, database form) of CTeeth
// against a straightforward std::regex / std::string implementation of the
// same grammar subset, one ratio per notation.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <xtbasis/teeth.h>

#include "peer_ratio.h"

namespace {

const char* const kNotations[] = {"18-28,38-48", "11, 12", "okm", "13-43,55"};

class RoundTrip : public CTeeth {
 public:
  void Run(const char* notation, CString& normal, CString& hex) {
    Clear();
    TryAddTeeth(notation);
    GetNormalizedTeeth(normal, false);
    GetHexTeeth(hex);
  }
};

// The peer: tokens by regular expression, teeth in a vector<bool> by index,
// FDI numbers through a map, the written forms with std::string.
class RegexTeeth {
 public:
  RegexTeeth() : m_token(R"(\s*(okm|ok|ukm|uk|(\d+)(?:-(\d+))?)[, ]?)", std::regex::icase) {
    const int order[] = {18, 17, 16, 15, 14, 13, 12, 11, 21, 22, 23, 24, 25, 26, 27, 28,
                         48, 47, 46, 45, 44, 43, 42, 41, 31, 32, 33, 34, 35, 36, 37, 38,
                         55, 54, 53, 52, 51, 61, 62, 63, 64, 65, 85, 84, 83, 82, 81,
                         71, 72, 73, 74, 75, 19, 29, 49, 39, 59, 69, 89, 79};
    for (int i = 0; i < 60; ++i) {
      m_index[order[i]] = i + 1;
      m_fdi[i + 1] = order[i];
    }
  }

  void Run(const std::string& notation, std::string& normal, std::string& hex) {
    std::vector<bool> marks(61, false);
    for (auto it = std::sregex_iterator(notation.begin(), notation.end(), m_token); it != std::sregex_iterator();
         ++it) {
      std::string word = (*it)[1].str();
      for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (word == "ok") Mark(marks, 18, 28);
      else if (word == "uk") Mark(marks, 48, 38);
      else if (word == "okm") Mark(marks, 55, 65);
      else if (word == "ukm") Mark(marks, 85, 75);
      else if ((*it)[3].matched) Range(marks, std::stoi((*it)[2].str()), std::stoi((*it)[3].str()));
      else marks[static_cast<size_t>(m_index.at(std::stoi(word)))] = true;
    }
    normal = Normal(marks);
    hex = Hex(marks);
  }

 private:
  void Mark(std::vector<bool>& marks, int a, int b) {
    int ia = m_index.at(a), ib = m_index.at(b);
    if (ia > ib) std::swap(ia, ib);
    for (int i = ia; i <= ib; ++i) marks[static_cast<size_t>(i)] = true;
  }
  void Range(std::vector<bool>& marks, int a, int b) {
    if (m_index.at(a) <= 16 && m_index.at(b) >= 17 && m_index.at(b) <= 32) {
      Mark(marks, a, 28);
      Mark(marks, b, 38);
    } else {
      Mark(marks, a, b);
    }
  }
  std::string Normal(const std::vector<bool>& marks) const {
    static const std::pair<int, int> order[] = {{53, 53}, {1, 16},  {54, 54}, {56, 56}, {17, 32}, {55, 55},
                                                {57, 57}, {33, 42}, {58, 58}, {60, 60}, {43, 52}, {59, 59}};
    std::string out;
    for (const auto& [first, last] : order) {
      for (int i = first; i <= last; ++i) {
        if (!marks[static_cast<size_t>(i)]) continue;
        int j = i;
        while (j < last && marks[static_cast<size_t>(j + 1)]) ++j;
        if (!out.empty()) out += ",";
        if (i == 1 && j == 16) out += "OK";
        else if (i == 17 && j == 32) out += "UK";
        else if (i == j) out += std::to_string(m_fdi.at(i));
        else out += std::to_string(m_fdi.at(i)) + (j == i + 1 ? "," : "-") + std::to_string(m_fdi.at(j));
        i = j;
      }
    }
    return out;
  }
  static std::string Hex(const std::vector<bool>& marks) {
    static const int groups[9][3] = {{1, 8, 7},  {9, 8, 7},  {17, 8, 7}, {25, 8, 7}, {33, 5, 4},
                                     {38, 5, 7}, {43, 5, 4}, {48, 5, 7}, {53, 8, 7}};
    std::string out;
    for (const auto& g : groups) {
      unsigned byte = 0;
      for (int i = 0; i < g[1]; ++i)
        if (marks[static_cast<size_t>(g[0] + i)]) byte |= 1u << (g[2] - i);
      char text[3];
      std::snprintf(text, sizeof text, "%02X", byte);
      out += text;
    }
    return out;
  }

  std::regex m_token;
  std::map<int, int> m_index, m_fdi;
};

[[maybe_unused]] const bool kRatios = [] {
  for (int i = 0; i < 4; ++i)
    xtbbench::AddRatio("BM_CTeethRoundTrip/" + std::to_string(i), "BM_RegexRoundTrip/" + std::to_string(i),
                       std::string("CTeeth / std::regex round trip of ") + kNotations[i], xtbbench::Clock::Cpu, 10);
  return true;
}();

void BM_CTeethRoundTrip(benchmark::State& state) {
  RoundTrip teeth;
  CString normal, hex;
  const char* notation = kNotations[state.range(0)];
  for (auto _ : state) {
    teeth.Run(notation, normal, hex);
    benchmark::DoNotOptimize(hex);
  }
  state.SetLabel(notation);
}

void BM_RegexRoundTrip(benchmark::State& state) {
  RegexTeeth teeth;
  std::string normal, hex;
  const std::string notation = kNotations[state.range(0)];
  for (auto _ : state) {
    teeth.Run(notation, normal, hex);
    benchmark::DoNotOptimize(hex);
  }
  state.SetLabel(notation);
}

BENCHMARK(BM_CTeethRoundTrip)->DenseRange(0, 3);
BENCHMARK(BM_RegexRoundTrip)->DenseRange(0, 3);

}  // namespace
