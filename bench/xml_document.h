// The generated document of the XML benchmarks: a claims list of about
// 50 MiB, as events with 8-bit (1252) text, so that writers can replay it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <xtbasis/xml.h>

namespace xmlbench {

constexpr size_t kTargetBytes = 50u << 20;

struct Record {
  std::string number, tooth, amount, text, date;
};

// Records until the written document reaches about kTargetBytes.
inline const std::vector<Record>& Records() {
  static const std::vector<Record> records = [] {
    std::vector<Record> list;
    const char* texts[] = {"F\xFCllung mehrfl\xE4" "chig & Politur", "Wurzelkan\xE4le <3> aufbereitet",
                           "Beratung \x84" "Mundhygiene\x93", "Gro\xDF" "e Br\xFC" "cke, 4 Glieder"};
    for (size_t i = 0; list.size() * 138 < kTargetBytes; ++i) {
      char tooth[8], amount[16], date[16];
      std::snprintf(tooth, sizeof tooth, "%zu", 11 + (i % 8) + 10 * (i / 8 % 4));
      std::snprintf(amount, sizeof amount, "%zu,%02zu", i % 997, i % 100);
      std::snprintf(date, sizeof date, "2026%02zu%02zu", 1 + i % 12, 1 + i % 28);
      list.push_back({std::to_string(i), tooth, amount, texts[i % 4], date});
    }
    return list;
  }();
  return records;
}

// The claims list as writer events, from the XML declaration to the end.
inline void WriteClaims(CXTXMLWriter& writer) {
  writer.StartDocument();
  writer.StartElement("Abrechnung", "Quartal", "4/2026", nullptr);
  for (const auto& r : Records()) {
    writer.StartElement("Leistung", "Nr", r.number.c_str(), "Zahn", r.tooth.c_str(), "Betrag", r.amount.c_str(),
                        nullptr);
    writer.CharElement("Text", r.text.c_str(), nullptr);
    writer.CharElement("Datum", r.date.c_str(), nullptr);
    writer.EndElement();
  }
  writer.EndElement();
  writer.EndDocument();
}

}  // namespace xmlbench
