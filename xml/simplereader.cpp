// CXTSimpleXMLReader: the content handler that builds a CXTXMLElement tree.
#include <xtbasis/filehelpers.h>
#include <xtbasis/xml.h>

#include "unicode.h"

namespace {

// The characters of one event in 1252, appended to `text`.
void AppendText(CString& text, const char16_t* chars, int length) {
  thread_local std::string converted;
  converted.clear();
  xtb::xml::AppendUtf16AsCp1252(converted, chars, length);
  text.Append(converted.data(), static_cast<int>(converted.size()));
}

}  // namespace

bool CXTSimpleXMLReader::ReadFile(const char* path, CXTXMLElement& root) {
  CString content;
  return path != nullptr && LoadTextFile(path, content) && ReadString(content, root);
}

bool CXTSimpleXMLReader::ReadString(const CString& xml, CXTXMLElement& root) {
  m_Stack.clear();
  m_Target = &root;
  const HRESULT hr = XTParseXML(xml.GetString(), static_cast<size_t>(xml.GetLength()), *this);
  m_Stack.clear();
  m_Target = nullptr;
  return SUCCEEDED(hr);
}

HRESULT CXTSimpleXMLReader::startElement(const char16_t*, int, const char16_t* localName, int localNameLength,
                                         const char16_t*, int, ISAXAttributes* attributes) {
  if (m_Target == nullptr) return E_UNEXPECTED;
  CXTXMLElement* node = m_Target;
  if (m_Stack.empty()) {
    m_Target->Name = W2S(localName, localNameLength);
  } else {
    node = &m_Stack.back()->Children.emplace_back(W2S(localName, localNameLength));
  }
  m_Stack.push_back(node);
  int count = 0;
  if (attributes == nullptr || FAILED(attributes->getLength(&count))) return S_OK;
  for (int i = 0; i < count; ++i) {
    const char16_t *name = nullptr, *value = nullptr;
    int nameLength = 0, valueLength = 0;
    if (SUCCEEDED(attributes->getLocalName(i, &name, &nameLength)) &&
        SUCCEEDED(attributes->getValue(i, &value, &valueLength)))
      node->Attributes[W2S(name, nameLength)] = W2S(value, valueLength);
  }
  return S_OK;
}

HRESULT CXTSimpleXMLReader::endElement(const char16_t*, int, const char16_t*, int, const char16_t*, int) {
  if (!m_Stack.empty()) m_Stack.pop_back();
  return S_OK;
}

HRESULT CXTSimpleXMLReader::characters(const char16_t* text, int length) {
  if (m_Stack.empty()) return S_OK;  // nothing outside the document element is kept
  AppendText(m_Stack.back()->Text, text, length);
  return S_OK;
}
