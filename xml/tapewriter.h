// The first stage of the tree builder, on the parser's thread: libxml2's
// events appended to the tape as the parser has them, and the tape handed
// on when it is full. Copying the bytes once is all this stage does;
// converting and allocating are the assembler's, since the parser is the
// busier one. It takes the parser's callbacks itself, so that nothing is
// measured or collected that the tape does not need.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/cstring.h>

#include "declaredprefixes.h"
#include "eventtape.h"
#include "parsersession.h"

namespace xtb::xml {

class TapeWriter {
 public:
  // `prefixes` follows the namespace declarations in scope while `input` is
  // parsed.
  TapeWriter(TapeSink& sink, std::map<CString, CString>& prefixes, DocumentInput& input)
      : m_sink(sink), m_prefixes(prefixes), m_input(input) {
    BeginTape();
  }

  // Parses the document onto tapes; the first error ends the parse (the
  // parser's result codes, or the sink's failure code).
  HRESULT Parse();
  // Hands on what is still on the tape.
  HRESULT Flush() { return m_tape.Size() > kReadRecordSize ? Hand() : S_OK; }

  // A tape is handed on once it holds this much; no text record is longer.
  static constexpr size_t kTapeSize = 64 * 1024;

 private:
  static void StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                           int declarationCount, const xmlChar** declarations, int attributeCount, int defaulted,
                           const xmlChar** attributes);
  static void EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri);
  static void Characters(void* user, const xmlChar* text, int length);

  HRESULT Start(ParserSession& session, std::string_view name, int declarationCount, const xmlChar** declarations,
                int attributeCount, const xmlChar** attributes);
  HRESULT End();
  HRESULT Text(std::string_view text);
  HRESULT LongText(std::string_view text);
  void Declare(const xmlChar** declarations, int count);
  void AppendText(std::string_view text);
  // What the open text record, or a new one, may still take.
  size_t TextRoom() const { return kTapeSize - (m_textLength == kNoText ? 0 : m_textLength); }
  HRESULT FlushWhenFull() { return m_tape.Size() < kTapeSize ? S_OK : Hand(); }
  // Ends the open text record and hands the tape on.
  HRESULT Hand();
  void BeginTape();
  void CloseText();

  static constexpr size_t kReadRecordSize = 1 + 2 * kNumberSize;

  TapeSink& m_sink;
  std::map<CString, CString>& m_prefixes;
  DocumentInput& m_input;
  Tape m_tape;
  // The text record at the tape's end, which the next text joins; its
  // length is written when it ends.
  static constexpr size_t kNoText = ~size_t{0};
  size_t m_textLength = kNoText;  // its length so far, or kNoText when there is none
  size_t m_textAt = 0;            // where its length is written
  DeclaredPrefixes m_scopes;
  std::vector<std::string> m_xmlnsNames;  // a start tag's declarations as attribute names
  std::vector<std::string_view> m_pieces;  // a start tag's attribute names, then their values
  std::string m_scratch;
};

}  // namespace xtb::xml
