#include <gtest/gtest.h>

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

// Pieces of one text join one record; a text longer than a record is cut
// between characters, so that every record converts on its own.
TEST(XmlTape, TextRecordsJoinPiecesAndEndBetweenCharacters) {
  TextRecords sink;
  std::map<CString, CString> prefixes;
  TapeWriter writer(sink, prefixes);
  const xtb::xml::Utf8Name name{{}, {}, "e"};
  ASSERT_EQ(writer.StartElement(name, {}, {}), S_OK);
  ASSERT_EQ(writer.Characters("F\xC3\xBC"), S_OK);
  ASSERT_EQ(writer.Characters("llung &"), S_OK);
  ASSERT_EQ(writer.EndElement(name, {}), S_OK);
  std::string euros;
  for (size_t i = 0; i < TapeWriter::kTapeSize; ++i) euros += "\xE2\x82\xAC";  // three tapes' worth
  ASSERT_EQ(writer.Characters("x"), S_OK);
  ASSERT_EQ(writer.Characters(euros), S_OK);
  ASSERT_EQ(writer.Flush(), S_OK);

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

TEST(XmlTape, AFailingSinkEndsTheWriting) {
  TextRecords sink;
  sink.failFrom = 1;
  std::map<CString, CString> prefixes;
  TapeWriter writer(sink, prefixes);
  const std::string text(3 * TapeWriter::kTapeSize, 't');
  EXPECT_EQ(writer.Characters(text), E_OUTOFMEMORY);
  EXPECT_EQ(sink.tapes, 2);
}

}  // namespace
