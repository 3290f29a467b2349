// The first stage of the tree builder, on the parser's thread: each event
// appended to the tape as the parser has it, and the tape handed on when
// it is full. Copying the bytes once is all this stage does; converting
// and allocating are the assembler's, since the parser is the busier one.
#pragma once

#include <map>
#include <string>

#include <xtbasis/platform/cstring.h>

#include "eventtape.h"
#include "saxdriver.h"

namespace xtb::xml {

class TapeWriter final : public Utf8Events {
 public:
  // `prefixes` follows the namespace declarations in scope.
  TapeWriter(TapeSink& sink, std::map<CString, CString>& prefixes) : m_sink(sink), m_prefixes(prefixes) {}

  // Hands on what is still on the tape.
  HRESULT Flush() { return m_tape.Empty() ? S_OK : Hand(); }

  HRESULT StartDocument(ISAXLocator*) override { return S_OK; }
  HRESULT EndDocument() override { return S_OK; }
  HRESULT StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                       std::span<const Utf8Attribute> attributes) override;
  HRESULT EndElement(const Utf8Name& name, std::span<const std::string_view> undeclared) override;
  HRESULT Characters(std::string_view text) override;
  HRESULT ProcessingInstruction(std::string_view, std::string_view) override { return S_OK; }

  // A tape is handed on once it holds this much; no text record is longer.
  static constexpr size_t kTapeSize = 64 * 1024;

 private:
  HRESULT LongCharacters(std::string_view text);
  void AppendText(std::string_view text);
  // What the open text record, or a new one, may still take.
  size_t TextRoom() const { return kTapeSize - (m_textLength == kNoText ? 0 : m_textLength); }
  HRESULT FlushWhenFull() { return m_tape.Size() < kTapeSize ? S_OK : Hand(); }
  // Ends the open text record and hands the tape on.
  HRESULT Hand();
  void CloseText();

  TapeSink& m_sink;
  std::map<CString, CString>& m_prefixes;
  Tape m_tape;
  // The text record at the tape's end, which the next text joins; its
  // length is written when it ends.
  static constexpr size_t kNoText = ~size_t{0};
  size_t m_textLength = kNoText;  // its length so far, or kNoText when there is none
  size_t m_textAt = 0;            // where its length is written
  std::string m_scratch;
};

}  // namespace xtb::xml
