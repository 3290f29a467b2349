// XTParseXML: the parser's UTF-8 events handed to a SAX content handler in
// UTF-16.
#include <xtbasis/xml.h>

#include "saxattributes.h"
#include "saxdriver.h"
#include "unicode.h"

namespace {

using xtb::AppendUtf8AsUtf16;

class Utf16Adapter final : public xtb::xml::Utf8Events {
 public:
  explicit Utf16Adapter(ISAXContentHandler& content) : m_content(content) {}

  HRESULT StartDocument(ISAXLocator* locator) override {
    const HRESULT hr = m_content.putDocumentLocator(locator);
    return FAILED(hr) ? hr : m_content.startDocument();
  }
  HRESULT EndDocument() override { return m_content.endDocument(); }

  HRESULT StartElement(const xtb::xml::Utf8Name& name, std::span<const xtb::xml::Utf8Declaration> declarations,
                       std::span<const xtb::xml::Utf8Attribute> attributes) override {
    for (const auto& [prefix, target] : declarations) {
      Set(m_a, prefix);
      Set(m_b, target);
      if (HRESULT hr = m_content.startPrefixMapping(m_a.data(), Length(m_a), m_b.data(), Length(m_b)); FAILED(hr))
        return hr;
    }
    m_attributes.Clear();
    for (const auto& a : attributes) m_attributes.Add(a.name.uri, a.name.localName, a.name.QName(m_qName), a.value);
    Names(name);
    return m_content.startElement(m_a.data(), Length(m_a), m_b.data(), Length(m_b), m_c.data(), Length(m_c),
                                  &m_attributes);
  }

  HRESULT EndElement(const xtb::xml::Utf8Name& name, std::span<const std::string_view> undeclared) override {
    Names(name);
    HRESULT hr = m_content.endElement(m_a.data(), Length(m_a), m_b.data(), Length(m_b), m_c.data(), Length(m_c));
    for (size_t i = 0; i < undeclared.size() && SUCCEEDED(hr); ++i) {
      Set(m_a, undeclared[i]);
      hr = m_content.endPrefixMapping(m_a.data(), Length(m_a));
    }
    return hr;
  }

  HRESULT Characters(std::string_view text) override {
    Set(m_a, text);
    return m_content.characters(m_a.data(), Length(m_a));
  }

  HRESULT ProcessingInstruction(std::string_view target, std::string_view data) override {
    Set(m_a, target);
    Set(m_b, data);
    return m_content.processingInstruction(m_a.data(), Length(m_a), m_b.data(), Length(m_b));
  }

 private:
  static void Set(std::u16string& out, std::string_view utf8) {
    out.clear();
    AppendUtf8AsUtf16(out, utf8);
  }
  static int Length(const std::u16string& text) { return static_cast<int>(text.size()); }
  void Names(const xtb::xml::Utf8Name& name) {
    Set(m_a, name.uri);
    Set(m_b, name.localName);
    Set(m_c, name.QName(m_qName));
  }

  ISAXContentHandler& m_content;
  xtb::xml::SaxAttributes m_attributes;
  std::u16string m_a, m_b, m_c;
  std::string m_qName;
};

}  // namespace

HRESULT XTParseXML(const char* data, size_t size, ISAXContentHandler& content, ISAXErrorHandler* errors) {
  Utf16Adapter adapter(content);
  xtb::xml::DocumentInput input(data, size);
  return xtb::xml::ParseSax2(input, adapter, errors);
}
