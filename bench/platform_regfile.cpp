// Reading a settings file in MB/s: the .reg reader (REGEDIT4, with comments
// and continued hex lists) against libxml2 reading the same settings as an
// XML document, the form that settings stores on Linux commonly take. Both
// build their whole result; neither touches a store.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdio>
#include <string>
#include <vector>

#include "peer_ratio.h"
#include "registry/regfile_parse.h"

namespace {

constexpr int kKeys = 2000;

struct Files {
  std::string reg, xml;
};

// Per key: a comment, two strings, a dword, a 40-byte binary over two lines
// and a multi-string; the XML carries the same names, types and data.
const Files& Sample() {
  static const Files files = [] {
    Files f{"REGEDIT4\r\n\r\n", "<?xml version=\"1.0\"?>\n<registry>\n"};
    char line[256];
    for (int k = 0; k < kKeys; ++k) {
      std::snprintf(line, sizeof line, "[HKEY_CURRENT_USER\\Software\\Praxis\\Arbeitsplatz%04d]\r\n", k);
      f.reg += line;
      f.reg += "; Drucker und Pfade\r\n";
      std::snprintf(line, sizeof line,
                    "\"Pfad\"=\"C:\\\\Praxis\\\\Daten\\\\%04d\"\r\n\"Drucker\"=\"Laser Empfang\"  ;Standard\r\n"
                    "\"Anzahl\"=dword:%08x\r\n",
                    k, k);
      f.reg += line;
      f.reg += "\"Fenster\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\r\n"
               "  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
               "\"Listen\"=hex(7):65,69,6e,73,00,7a,77,65,69,00,00\r\n\r\n";
      std::snprintf(line, sizeof line,
                    "<key path=\"Software\\Praxis\\Arbeitsplatz%04d\">\n<!-- Drucker und Pfade -->\n"
                    "<value name=\"Pfad\" type=\"sz\">C:\\Praxis\\Daten\\%04d</value>\n"
                    "<value name=\"Drucker\" type=\"sz\">Laser Empfang</value>\n"
                    "<value name=\"Anzahl\" type=\"dword\">%08x</value>\n",
                    k, k, k);
      f.xml += line;
      f.xml += "<value name=\"Fenster\" type=\"binary\">000102030405060708090a0b0c0d0e0f10111213"
               "1415161718191a1b1c1d1e1f2021222324252627</value>\n"
               "<value name=\"Listen\" type=\"multi_sz\"><s>eins</s><s>zwei</s></value>\n</key>\n";
    }
    f.xml += "</registry>\n";
    return f;
  }();
  return files;
}

void ReadRegFile(benchmark::State& state) {
  const std::string& text = Sample().reg;
  std::vector<xtb::reg::RegFileEntry> entries;
  std::vector<xtb::RegFileError> problems;
  xtb::RegFileError error;
  for (auto _ : state) {
    if (!xtb::reg::ParseRegFile(text, &entries, &problems, &error) || !problems.empty()) {
      state.SkipWithError("the sample did not read");
      break;
    }
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ReadXmlFile(benchmark::State& state) {
  const std::string& text = Sample().xml;
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "settings.xml", nullptr, XML_PARSE_NONET);
    if (doc == nullptr) {
      state.SkipWithError("the sample did not read");
      break;
    }
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(ReadRegFile);
BENCHMARK(ReadXmlFile);

const xtbbench::Ratio kRatio("ReadRegFile", "ReadXmlFile", ".reg reader / libxml2 on the same settings");

}  // namespace
