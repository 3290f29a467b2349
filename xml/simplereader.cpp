// CXTSimpleXMLReader: the content handler that builds a CXTXMLElement tree.
// A reader of exactly this class takes the parser's UTF-8 straight into the
// tree; derived readers, which may override the events, get them through
// the SAX interface.
#include <typeinfo>

#include <xtbasis/filehelpers.h>
#include <xtbasis/xml.h>

#include "saxdriver.h"
#include "unicode.h"

namespace {

using xtb::xml::AppendUtf8AsCp1252;

CString Cp1252(std::string_view utf8) {
  std::string out;
  AppendUtf8AsCp1252(out, utf8);
  return CString(std::move(out));
}

// The characters of one event in 1252, appended to `text`.
template <typename Convert>
void AppendText(CString& text, Convert convert) {
  thread_local std::string converted;
  converted.clear();
  convert(converted);
  text.Append(converted.data(), static_cast<int>(converted.size()));
}

// Adds a child named `name` to the top of the stack (or names the target
// when the stack is empty) and pushes it.
CXTXMLElement& Open(std::deque<CXTXMLElement*>& stack, CXTXMLElement& target, CString name) {
  CXTXMLElement* node = &target;
  if (stack.empty()) node->Name = std::move(name);
  else node = &stack.back()->Children.emplace_back(std::move(name));
  stack.push_back(node);
  return *node;
}

class TreeBuilder final : public xtb::xml::Utf8Events {
 public:
  TreeBuilder(std::deque<CXTXMLElement*>& stack, CXTXMLElement& target, std::map<CString, CString>& prefixes)
      : m_stack(stack), m_target(target), m_prefixes(prefixes) {}

  HRESULT StartDocument(ISAXLocator*) override { return S_OK; }
  HRESULT EndDocument() override { return S_OK; }

  HRESULT StartElement(std::string_view, std::string_view localName, std::string_view,
                       const std::vector<std::pair<std::string_view, std::string_view>>& declarations,
                       const std::vector<xtb::xml::Utf8Attribute>& attributes) override {
    for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252(prefix)] = Cp1252(uri);
    CXTXMLElement& node = Open(m_stack, m_target, Cp1252(localName));
    for (const auto& attribute : attributes) node.Attributes[Cp1252(attribute.localName)] = Cp1252(attribute.value);
    return S_OK;
  }

  HRESULT EndElement(std::string_view, std::string_view, std::string_view,
                     const std::vector<std::string_view>& undeclared) override {
    if (!m_stack.empty()) m_stack.pop_back();
    for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252(prefix));
    return S_OK;
  }

  HRESULT Characters(std::string_view text) override {
    if (!m_stack.empty()) AppendText(m_stack.back()->Text, [&](std::string& out) { AppendUtf8AsCp1252(out, text); });
    return S_OK;
  }

  HRESULT ProcessingInstruction(std::string_view, std::string_view) override { return S_OK; }

 private:
  std::deque<CXTXMLElement*>& m_stack;
  CXTXMLElement& m_target;
  std::map<CString, CString>& m_prefixes;
};

}  // namespace

bool CXTSimpleXMLReader::ReadFile(const char* path, CXTXMLElement& root) {
  CString content;
  return path != nullptr && LoadTextFile(path, content) && ReadString(content, root);
}

bool CXTSimpleXMLReader::ReadString(const CString& xml, CXTXMLElement& root) {
  m_Stack.clear();
  m_Target = &root;
  const char* data = xml.GetString();
  const auto size = static_cast<size_t>(xml.GetLength());
  HRESULT hr;
  if (typeid(*this) == typeid(CXTSimpleXMLReader)) {
    TreeBuilder builder(m_Stack, root, m_PrefixMap);
    hr = xtb::xml::ParseSax2(data, size, builder, nullptr);
  } else {
    hr = XTParseXML(data, size, *this);
  }
  m_Stack.clear();
  m_Target = nullptr;
  return SUCCEEDED(hr);
}

HRESULT CXTSimpleXMLReader::startElement(const char16_t*, int, const char16_t* localName, int localNameLength,
                                         const char16_t*, int, ISAXAttributes* attributes) {
  if (m_Target == nullptr) return E_UNEXPECTED;
  CXTXMLElement& node = Open(m_Stack, *m_Target, W2S(localName, localNameLength));
  int count = 0;
  if (attributes == nullptr || FAILED(attributes->getLength(&count))) return S_OK;
  for (int i = 0; i < count; ++i) {
    const char16_t *name = nullptr, *value = nullptr;
    int nameLength = 0, valueLength = 0;
    if (SUCCEEDED(attributes->getLocalName(i, &name, &nameLength)) &&
        SUCCEEDED(attributes->getValue(i, &value, &valueLength)))
      node.Attributes[W2S(name, nameLength)] = W2S(value, valueLength);
  }
  return S_OK;
}

HRESULT CXTSimpleXMLReader::endElement(const char16_t*, int, const char16_t*, int, const char16_t*, int) {
  if (!m_Stack.empty()) m_Stack.pop_back();
  return S_OK;
}

HRESULT CXTSimpleXMLReader::characters(const char16_t* text, int length) {
  if (m_Stack.empty()) return S_OK;  // nothing outside the document element is kept
  AppendText(m_Stack.back()->Text, [&](std::string& out) { xtb::xml::AppendUtf16AsCp1252(out, text, length); });
  return S_OK;
}
