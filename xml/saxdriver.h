// The parser's events in UTF-8 as a SAX reader takes them: names with their
// namespace URI and prefix, namespace declarations with their scope,
// attribute values with their references replaced.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include <xtbasis/platform/sax.h>

#include "parsersession.h"

namespace xtb::xml {

// A name as the parser has it. A namespace declaration reported as an
// attribute carries its whole name ("xmlns" or "xmlns:p") as local name.
struct Utf8Name {
  std::string_view uri, prefix, localName;

  // "prefix:localName", or the local name alone; joined in `scratch`.
  std::string_view QName(std::string& scratch) const;
};

struct Utf8Attribute {
  Utf8Name name;
  std::string_view value;
};

// A namespace declaration: prefix (empty for the default namespace) and URI.
struct Utf8Declaration {
  std::string_view prefix, uri;
};

// What the parser reports. A failure code ends the parse with that code.
// Everything handed over lives only for the call.
class Utf8Events {
 public:
  virtual HRESULT StartDocument(ISAXLocator* locator) = 0;
  virtual HRESULT EndDocument() = 0;
  // The element's namespace declarations come first (and again at the head
  // of the attributes, named "xmlns" or "xmlns:prefix").
  virtual HRESULT StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                               std::span<const Utf8Attribute> attributes) = 0;
  // `undeclared`: the prefixes that the element declared, last one first.
  virtual HRESULT EndElement(const Utf8Name& name, std::span<const std::string_view> undeclared) = 0;
  virtual HRESULT Characters(std::string_view text) = 0;
  virtual HRESULT ProcessingInstruction(std::string_view target, std::string_view data) = 0;

 protected:
  ~Utf8Events() = default;
};

// Parses the document as ParserSession::Parse does (its result codes).
HRESULT ParseSax2(DocumentInput& input, Utf8Events& events, ISAXErrorHandler* errors);

}  // namespace xtb::xml
