#include "tapewriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "unicode.h"

namespace xtb::xml {
namespace {

size_t PieceSize(std::string_view piece) { return kNumberSize + piece.size(); }

// A record is written in one go: its size counted, room made at the end of
// the tape, and its parts put there one after the other.
char* PutRecord(char* out, TapeRecord record) {
  *out = static_cast<char>(record);
  return out + 1;
}

char* PutPiece(char* out, std::string_view piece) {
  std::memcpy(PutNumber(out, piece.size()), piece.data(), piece.size());
  return out + PieceSize(piece);
}

// The length of the first text record: all of `text`, or as much as a
// record may hold, ending before a character's continuation bytes.
size_t TextRecordLength(std::string_view text) {
  size_t length = std::min(text.size(), TapeWriter::kTapeSize);
  for (int back = 0; back < 3 && length < text.size() && (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80; ++back)
    --length;
  return length;
}

}  // namespace

HRESULT TapeWriter::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                 std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  size_t size = 1 + PieceSize(name.localName) + kNumberSize;
  for (const Utf8Attribute& attribute : attributes) size += PieceSize(attribute.name.localName) + PieceSize(attribute.value);
  char* out = PutRecord(m_tape.Extend(size), TapeRecord::kStart);
  out = PutNumber(PutPiece(out, name.localName), attributes.size());
  for (const Utf8Attribute& attribute : attributes) out = PutPiece(out, attribute.name.localName);
  for (const Utf8Attribute& attribute : attributes) out = PutPiece(out, attribute.value);
  return FlushWhenFull();
}

HRESULT TapeWriter::EndElement(const Utf8Name&, std::span<const std::string_view> undeclared) {
  for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  PutRecord(m_tape.Extend(1), TapeRecord::kEnd);
  return FlushWhenFull();
}

// A text of any length (a CDATA section comes in one piece) travels in
// records of at most kTapeSize, so that the tapes in flight stay small.
HRESULT TapeWriter::Characters(std::string_view text) {
  do {
    const std::string_view record = text.substr(0, TextRecordLength(text));
    PutPiece(PutRecord(m_tape.Extend(1 + PieceSize(record)), TapeRecord::kText), record);
    text.remove_prefix(record.size());
    if (const HRESULT hr = FlushWhenFull(); FAILED(hr)) return hr;
  } while (!text.empty());
  return S_OK;
}

}  // namespace xtb::xml
