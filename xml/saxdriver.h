// libxml2's SAX2 parser with the family's hostile-input policy: no entity
// substitution by the parser, no DTD loading, no network, external entities
// refused when referenced, the parser's amplification and depth limits.
// Events arrive in UTF-8 as the parser has them; attribute values come with
// their references already replaced.
#pragma once

#include <string_view>
#include <vector>

#include <xtbasis/platform/sax.h>

namespace xtb::xml {

struct Utf8Attribute {
  std::string_view uri, localName, qName, value;
};

// What the parser reports. A failure code ends the parse with that code.
class Utf8Events {
 public:
  virtual HRESULT StartDocument(ISAXLocator* locator) = 0;
  virtual HRESULT EndDocument() = 0;
  // Namespace declarations of the element come first, as prefix/URI pairs
  // (and again among the attributes, named "xmlns" or "xmlns:prefix").
  virtual HRESULT StartElement(std::string_view uri, std::string_view localName, std::string_view qName,
                               const std::vector<std::pair<std::string_view, std::string_view>>& declarations,
                               const std::vector<Utf8Attribute>& attributes) = 0;
  virtual HRESULT EndElement(std::string_view uri, std::string_view localName, std::string_view qName,
                             const std::vector<std::string_view>& undeclared) = 0;
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
