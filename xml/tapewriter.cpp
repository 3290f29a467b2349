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

HRESULT TapeWriter::Parse() {
  xmlSAXHandler handler = ParserSession::Handler();
  handler.startElementNs = StartElement;
  handler.endElementNs = EndElement;
  handler.characters = Characters;
  handler.cdataBlock = Characters;
  handler.ignorableWhitespace = Characters;
  return ParserSession::Parse(m_input, handler, this, nullptr);
}

void TapeWriter::StartElement(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*,
                              int declarationCount, const xmlChar** declarations, int attributeCount, int,
                              const xmlChar** attributes) {
  ParserSession& session = ParserSession::Of(user);
  session.Run([&] {
    return session.FrontAs<TapeWriter>().Start(session, Utf8View(localName), declarationCount, declarations,
                                               attributeCount, attributes);
  });
  session.FreeDecoded();
}

void TapeWriter::EndElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
  ParserSession& session = ParserSession::Of(user);
  session.Run([&] { return session.FrontAs<TapeWriter>().End(); });
}

void TapeWriter::Characters(void* user, const xmlChar* text, int length) {
  ParserSession& session = ParserSession::Of(user);
  session.Run([&] {
    return session.FrontAs<TapeWriter>().Text(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
  });
}

// The start record's attributes: the namespace declarations first, named
// "xmlns" or "xmlns:prefix", then the others by local name, their values
// with references replaced.
HRESULT TapeWriter::Start(ParserSession& session, std::string_view name, int declarationCount,
                          const xmlChar** declarations, int attributeCount, const xmlChar** attributes) {
  const auto first = static_cast<size_t>(declarationCount);
  const size_t count = first + static_cast<size_t>(attributeCount);
  if (m_pieces.size() < 2 * count) m_pieces.resize(2 * count);
  size_t size = 1 + PieceSize(name) + kNumberSize + 2 * count * kNumberSize;
  for (size_t i = first, a = 0; i < count; ++i, a += 5) {
    // libxml2's five pointers: local name, prefix, URI, value, value end
    m_pieces[i] = Utf8View(attributes[a]);
    std::string_view& value = m_pieces[count + i];
    if (!session.AttributeValue(attributes + a, value)) return S_OK;  // the session has failed the parse
    size += m_pieces[i].size() + value.size();
  }
  m_scopes.Open(declarations, declarationCount);
  if (declarationCount > 0) {
    Declare(declarations, declarationCount);
    for (size_t i = 0; i < first; ++i) {
      m_pieces[i] = m_xmlnsNames[i];
      m_pieces[count + i] = Utf8View(declarations[2 * i + 1]);
      size += m_pieces[i].size() + m_pieces[count + i].size();
    }
  }

  CloseText();
  char* out = PutNumber(PutPiece(PutRecord(m_tape.Extend(size), TapeRecord::kStart), name), count);
  for (size_t i = 0; i < 2 * count; ++i) out = PutPiece(out, m_pieces[i]);
  return FlushWhenFull();
}

void TapeWriter::Declare(const xmlChar** declarations, int count) {
  if (m_xmlnsNames.size() < static_cast<size_t>(count)) m_xmlnsNames.resize(static_cast<size_t>(count));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    const std::string_view prefix = Utf8View(declarations[2 * i]);
    m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(Utf8View(declarations[2 * i + 1]), m_scratch);
    XmlnsName(m_xmlnsNames[i], prefix);
  }
}

// The prefixes that the ending element declared leave the map.
HRESULT TapeWriter::End() {
  for (const std::string& prefix : m_scopes.Innermost()) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  m_scopes.Close();
  CloseText();
  PutRecord(m_tape.Extend(1), TapeRecord::kEnd);
  return FlushWhenFull();
}

// The parser hands a text over in pieces (at each reference, at the end of
// its buffer); pieces that follow each other go into one record, so that the
// assembler mostly gets an element's text whole.
HRESULT TapeWriter::Text(std::string_view text) {
  if (text.size() > TextRoom()) return LongText(text);
  AppendText(text);
  return FlushWhenFull();
}

// A record holds at most kTapeSize bytes, so that the tapes in flight stay
// small also for a long text (a CDATA section comes in one piece).
HRESULT TapeWriter::LongText(std::string_view text) {
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
  char* out;
  if (m_textLength == kNoText) {
    out = PutRecord(m_tape.Extend(1 + kNumberSize + text.size()), TapeRecord::kText) + kNumberSize;
    m_textAt = m_tape.Size() - text.size() - kNumberSize;
    m_textLength = 0;
  } else {
    out = m_tape.Extend(text.size());
  }
  std::memcpy(out, text.data(), text.size());
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
  const HRESULT hr = m_sink.Take(m_tape);
  BeginTape();
  return hr;
}

// Every tape tells where in the document its events begin, so that the
// assembler can foresee what is still to come.
void TapeWriter::BeginTape() {
  PutNumber(PutNumber(PutRecord(m_tape.Extend(kReadRecordSize), TapeRecord::kRead), m_input.Read()), m_input.Size());
}

}  // namespace xtb::xml
