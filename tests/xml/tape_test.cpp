#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "eventtape.h"
#include "tapewriter.h"

namespace {

using xtb::xml::Tape;
using xtb::xml::TapeRecord;
using xtb::xml::TapeWriter;

// Keeps every text record of the tapes it is handed, failing from a given tape on.
struct TextRecords final : xtb::xml::TapeSink {
  std::vector<std::string> texts;
  std::vector<uint32_t> reads;  // where each tape began in the document
  int tapes = 0;
  int failFrom = -1;

  HRESULT Take(Tape& tape) override {
    if (tapes++ == failFrom) return E_OUTOFMEMORY;
    std::string_view records = tape.View();
    while (!records.empty()) {
      const auto record = static_cast<TapeRecord>(records.front());
      records.remove_prefix(1);
      if (record == TapeRecord::kText) {
        texts.emplace_back(xtb::xml::TakePiece(records));
      } else if (record == TapeRecord::kRead) {
        reads.push_back(xtb::xml::TakeNumber(records));
        xtb::xml::TakeNumber(records);
      } else if (record == TapeRecord::kStart) {
        xtb::xml::TakePiece(records);
        for (uint32_t n = 2 * xtb::xml::TakeNumber(records); n > 0; --n) xtb::xml::TakePiece(records);
      }
    }
    tape = Tape();
    return S_OK;
  }
};

TEST(XmlTape, GrowsKeepingItsBytesAndIsEmptyOnceMovedAway) {
  Tape tape;
  for (int i = 0; i < 10000; ++i) *tape.Extend(1) = static_cast<char>('a' + i % 26);
  ASSERT_EQ(tape.Size(), 10000u);
  EXPECT_EQ(tape.View().substr(9998), "op");
  Tape moved(std::move(tape));
  EXPECT_TRUE(tape.Empty());
  *tape.Extend(1) = 'z';  // a moved-from tape is usable
  EXPECT_EQ(tape.View(), "z");
  tape = std::move(moved);
  EXPECT_EQ(tape.Size(), 10000u);
  EXPECT_TRUE(moved.Empty());
}

// Writes the tapes of `xml` to `sink`; the parse's result.
HRESULT WriteTapes(const std::string& xml, TextRecords& sink) {
  std::map<CString, CString> prefixes;
  xtb::xml::DocumentInput input(xml.data(), xml.size());
  TapeWriter writer(sink, prefixes, input);
  const HRESULT hr = writer.Parse();
  return FAILED(hr) ? hr : writer.Flush();
}

// Pieces of one text join one record; a text longer than a record is cut
// between characters, so that every record converts on its own.
TEST(XmlTape, TextRecordsJoinPiecesAndEndBetweenCharacters) {
  std::string euros;
  for (size_t i = 0; i < TapeWriter::kTapeSize; ++i) euros += "\xE2\x82\xAC";  // three tapes' worth
  TextRecords sink;
  ASSERT_EQ(WriteTapes("<r><e>F\xC3\xBCllung &amp;</e>x<![CDATA[" + euros + "]]></r>", sink), S_OK);

  ASSERT_GE(sink.texts.size(), 4u);
  EXPECT_EQ(sink.texts[0], "F\xC3\xBCllung &");
  std::string joined;
  for (size_t i = 1; i < sink.texts.size(); ++i) {
    const std::string& text = sink.texts[i];
    EXPECT_LE(text.size(), TapeWriter::kTapeSize);
    EXPECT_NE(static_cast<unsigned char>(text.front()) & 0xC0, 0x80u) << i;  // starts with a character
    joined += text;
  }
  EXPECT_EQ(joined, "x" + euros);
}

// Each tape begins with how far the parser had read by then.
TEST(XmlTape, TapesTellHowFarTheParserHadRead) {
  std::string xml = "<e>";
  for (int i = 0; i < 40000; ++i) xml += "<a>Text</a>";
  xml += "</e>";
  TextRecords sink;
  ASSERT_EQ(WriteTapes(xml, sink), S_OK);
  ASSERT_EQ(sink.reads.size(), static_cast<size_t>(sink.tapes));
  ASSERT_GE(sink.reads.size(), 3u);
  EXPECT_EQ(sink.reads.front(), 0u);
  EXPECT_TRUE(std::is_sorted(sink.reads.begin(), sink.reads.end()));
  EXPECT_GT(sink.reads.back(), xml.size() / 2);
  EXPECT_LE(sink.reads.back(), xml.size());
}

// A declaration is in the map while its element is open, and only then.
TEST(XmlTape, DeclaredPrefixesLeaveWithTheirElement) {
  TextRecords sink;
  const std::string open = "<r xmlns:a='urn:a'><s xmlns:b='urn:b' xmlns='urn:d'/><t xmlns:c='urn:c'><u xmlns:d='urn:d'/>";
  std::map<CString, CString> broken;
  xtb::xml::DocumentInput input(open.data(), open.size());
  TapeWriter writer(sink, broken, input);
  EXPECT_LT(writer.Parse(), 0);  // broken off inside <t>
  EXPECT_EQ(broken, (std::map<CString, CString>{{"a", "urn:a"}, {"c", "urn:c"}}));

  std::map<CString, CString> whole;
  const std::string xml = open + "</t></r>";
  xtb::xml::DocumentInput wholeInput(xml.data(), xml.size());
  TapeWriter wholeWriter(sink, whole, wholeInput);
  EXPECT_EQ(wholeWriter.Parse(), S_OK);
  EXPECT_TRUE(whole.empty());
}

TEST(XmlTape, AFailingSinkEndsTheParse) {
  TextRecords sink;
  sink.failFrom = 1;
  EXPECT_EQ(WriteTapes("<e>" + std::string(3 * TapeWriter::kTapeSize, 't') + "</e>", sink), E_OUTOFMEMORY);
  EXPECT_EQ(sink.tapes, 2);
}

}  // namespace
