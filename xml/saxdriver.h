// libxml2's SAX2 parser with the family's hostile-input policy: no entity
// substitution by the parser, no DTD loading, no network, external entities
// refused when referenced, the parser's amplification and depth limits.
// Events arrive in UTF-8 as the parser has them; attribute values come with
// their references already replaced.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include <xtbasis/platform/sax.h>

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

// Parses `size` bytes; problems go to `errors` when given, otherwise the
// first error ends the parse. S_OK or the code that ended the parse (a
// handler's failure code, or 0x8004xxxx with the parser's error number).
HRESULT ParseSax2(const char* data, size_t size, Utf8Events& events, ISAXErrorHandler* errors);

}  // namespace xtb::xml
