// CXTSimpleXMLReader: the content handler that builds a CXTXMLElement tree.
// A reader of exactly this class takes the parser's UTF-8 straight into the
// tree; derived readers, which may override the events, get them through
// the SAX interface.
#include <typeinfo>

#include <xtbasis/filehelpers.h>
#include <xtbasis/xml.h>

#include "treebuilder.h"
#include "unicode.h"

namespace {

// Adds a child named `name` to the top of the stack (or names the target
// when the stack is empty) and pushes it.
CXTXMLElement& Open(std::deque<CXTXMLElement*>& stack, CXTXMLElement& target, CString name) {
  CXTXMLElement* node = &target;
  if (stack.empty()) node->Name = std::move(name);
  else node = &stack.back()->Children.emplace_back(std::move(name));
  stack.push_back(node);
  return *node;
}

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
    hr = xtb::xml::BuildTree(data, size, root, m_PrefixMap);
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
  thread_local std::string converted;
  converted.clear();
  xtb::xml::AppendSaxTextAsCp1252(converted, text, length);
  m_Stack.back()->Text.Append(converted.data(), static_cast<int>(converted.size()));
  return S_OK;
}
