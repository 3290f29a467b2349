// The writer's serialiser: turns start/end/characters events with 8-bit
// (code page 1252) names and text into the bytes of a well-formed, indented
// document in one output encoding. It checks what would make the document
// ill-formed (names, characters XML cannot carry, a second root, tags out of
// order) and refuses such an event with E_INVALIDARG or E_UNEXPECTED before
// writing anything of it. The document is assembled in a CXTStrBuf; when
// memory runs out the buffer throws CMemoryException*, which the writer
// turns into E_OUTOFMEMORY. The writer saves a document to a file by the
// file-writing rule: os::ReplaceWholeFile with mode 0666, a new file renamed
// over the name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/com.h>
#include <xtbasis/strbuf.h>

#include "outputencoding.h"

namespace xtb::xml {

struct Attribute {
  std::string_view name;
  std::string_view value;
};

class Serializer {
 public:
  // Begins a document in the named encoding; an unknown name gives
  // E_INVALIDARG and UTF-8 output.
  HRESULT SetEncoding(std::string_view name);
  void SetStandalone(bool standalone) { m_standalone = standalone; }
  HRESULT StartDocument();
  HRESULT DocType(std::string_view name, std::string_view publicId, std::string_view systemId);
  HRESULT StartElement(std::string_view name, const std::vector<Attribute>& attributes);
  HRESULT EndElement(std::string_view name);
  HRESULT Characters(std::string_view text);
  HRESULT ProcessingInstruction(std::string_view target, std::string_view data);
  HRESULT EndDocument();

  // The document's bytes so far, in the output encoding.
  std::string Bytes() const;

 private:
  struct Open {
    size_t nameLength;
    bool hasChildren;
    bool hasText;
  };

  void CloseStartTag();
  void BreakLine(size_t depth);
  HRESULT CheckText(std::string_view text) const;
  bool Encodable(std::string_view text) const;
  // False, with part of the text written, at a character XML cannot carry.
  bool PutEscaped(std::string_view text, bool attribute);
  void PutEncoded(std::string_view text);
  void Put(std::string_view bytes) { m_out.Add(static_cast<unsigned int>(bytes.size()), bytes.data()); }

  OutputEncoding m_encoding;
  bool m_standalone = true;
  bool m_started = false;
  bool m_ended = false;
  bool m_rootSeen = false;
  bool m_startTagOpen = false;
  std::vector<Open> m_open;
  std::string m_names;  // names of the open elements, one after the other
  CXTStrBuf m_out;
};

// Whether text is an XML name (letters of 1252 as Unicode sees them).
bool IsXmlName(std::string_view name);

}  // namespace xtb::xml
