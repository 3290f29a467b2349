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

// How much of `text` fits into `room` bytes without cutting a character
// (a UTF-8 sequence has at most 3 continuation bytes).
size_t WholeCharacters(std::string_view text, size_t room) {
  size_t length = std::min(text.size(), room);
  for (int back = 0; back < 3 && length > 0 && length < text.size() &&
                     (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80;
       ++back)
    --length;
  return length;
}

}  // namespace

HRESULT TapeWriter::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                 std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  size_t size = 1 + PieceSize(name.localName) + kNumberSize;
  for (const Utf8Attribute& attribute : attributes) size += PieceSize(attribute.name.localName) + PieceSize(attribute.value);
  CloseText();
  char* out = PutRecord(m_tape.Extend(size), TapeRecord::kStart);
  out = PutNumber(PutPiece(out, name.localName), attributes.size());
  for (const Utf8Attribute& attribute : attributes) out = PutPiece(out, attribute.name.localName);
  for (const Utf8Attribute& attribute : attributes) out = PutPiece(out, attribute.value);
  return FlushWhenFull();
}

HRESULT TapeWriter::EndElement(const Utf8Name&, std::span<const std::string_view> undeclared) {
  for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  CloseText();
  PutRecord(m_tape.Extend(1), TapeRecord::kEnd);
  return FlushWhenFull();
}

// The parser hands a text over in pieces (at each reference, at the end of
// its buffer); pieces that follow each other go into one record, so that the
// assembler mostly gets an element's text whole.
HRESULT TapeWriter::Characters(std::string_view text) {
  if (text.size() > TextRoom()) return LongCharacters(text);
  AppendText(text);
  return FlushWhenFull();
}

// A record holds at most kTapeSize bytes, so that the tapes in flight stay
// small also for a long text (a CDATA section comes in one piece).
HRESULT TapeWriter::LongCharacters(std::string_view text) {
  while (!text.empty()) {
    const size_t length = WholeCharacters(text, TextRoom());
    if (length == 0) {  // the record is full
      CloseText();
      continue;
    }
    AppendText(text.substr(0, length));
    text.remove_prefix(length);
    if (const HRESULT hr = FlushWhenFull(); FAILED(hr)) return hr;
  }
  return S_OK;
}

// Joins the open text record, or opens one; `text` fits into it.
void TapeWriter::AppendText(std::string_view text) {
  if (m_textLength == kNoText) {
    PutRecord(m_tape.Extend(1 + kNumberSize), TapeRecord::kText);
    m_textAt = m_tape.Size() - kNumberSize;
    m_textLength = 0;
  }
  std::memcpy(m_tape.Extend(text.size()), text.data(), text.size());
  m_textLength += text.size();
}

// The open text record's length is written when it ends.
void TapeWriter::CloseText() {
  if (m_textLength == kNoText) return;
  PutNumber(m_tape.At(m_textAt), m_textLength);
  m_textLength = kNoText;
}

HRESULT TapeWriter::Hand() {
  CloseText();
  return m_sink.Take(m_tape);
}

}  // namespace xtb::xml
