// CXTXMLWriter against libxml2's xmlTextWriter writing the same events (a
// 50 MiB claims list, indented, UTF-8). The peer gets its text already in
// UTF-8; the library converts from 1252 as it writes.
#include <benchmark/benchmark.h>
#include <libxml/xmlwriter.h>

#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>
#include <xtbasis/xml.h>

#include "peer_ratio.h"
#include "xml_document.h"

namespace {

using xmlbench::Records;

const xtbbench::Ratio ratio("WriteOwn", "WriteLibxml2", "XML writer vs xmlTextWriter (50 MiB)");

void WriteOwn(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    CXTXMLWriter writer;
    xmlbench::WriteClaims(writer);
    CString out;
    writer.ToString(out);
    bytes = static_cast<size_t>(out.GetLength());
    benchmark::DoNotOptimize(out.GetString());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void WriteLibxml2(benchmark::State& state) {
  std::vector<std::string> utf8Texts;
  for (const auto& r : Records()) utf8Texts.push_back(AnsiToUTF8(r.text.c_str()).str());
  size_t bytes = 0;
  auto x = [](const char* text) { return reinterpret_cast<const xmlChar*>(text); };
  for (auto _ : state) {
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlTextWriterPtr writer = xmlNewTextWriterMemory(buffer, 0);
    xmlTextWriterSetIndent(writer, 1);
    xmlTextWriterSetIndentString(writer, x("\t"));
    xmlTextWriterStartDocument(writer, nullptr, "UTF-8", "yes");
    xmlTextWriterStartElement(writer, x("Abrechnung"));
    xmlTextWriterWriteAttribute(writer, x("Quartal"), x("4/2026"));
    const auto& records = Records();
    for (size_t i = 0; i < records.size(); ++i) {
      const auto& r = records[i];
      xmlTextWriterStartElement(writer, x("Leistung"));
      xmlTextWriterWriteAttribute(writer, x("Nr"), x(r.number.c_str()));
      xmlTextWriterWriteAttribute(writer, x("Zahn"), x(r.tooth.c_str()));
      xmlTextWriterWriteAttribute(writer, x("Betrag"), x(r.amount.c_str()));
      xmlTextWriterWriteElement(writer, x("Text"), x(utf8Texts[i].c_str()));
      xmlTextWriterWriteElement(writer, x("Datum"), x(r.date.c_str()));
      xmlTextWriterEndElement(writer);
    }
    xmlTextWriterEndElement(writer);
    xmlTextWriterEndDocument(writer);
    xmlFreeTextWriter(writer);
    bytes = static_cast<size_t>(xmlBufferLength(buffer));
    benchmark::DoNotOptimize(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

BENCHMARK(WriteOwn)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WriteLibxml2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
