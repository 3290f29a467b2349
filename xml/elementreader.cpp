#include "elementreader.h"

#include "rawattributes.h"
#include "unicode.h"

namespace xtb::xml {

HRESULT ElementReader::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                    std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  if (m_depth == m_open.size()) m_open.emplace_back();
  OpenElement& open = m_open[m_depth++];
  open.name = Cp1252String(name.localName, m_scratch);
  open.text.clear();
  open.rawAttributes.clear();
  AppendRawAttributes(open.rawAttributes, attributes);
  open.attributeCount = attributes.size();
  open.childCount = 0;
  return S_OK;
}

HRESULT ElementReader::Characters(std::string_view text) {
  if (m_depth == 0) return S_OK;  // nothing outside the document element is kept
  std::string& into = m_open[m_depth - 1].text;
  if (AsciiPrefixLength(text) == text.size()) into.append(text);
  else AppendUtf8AsCp1252(into, text);
  return S_OK;
}

HRESULT ElementReader::EndElement(const Utf8Name&, std::span<const std::string_view> undeclared) {
  const HRESULT hr = m_depth == 0 ? S_OK : Close();
  for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  return hr;
}

void ElementReader::CloseOpenElements() {
  while (m_depth > 0) Close();
}

HRESULT ElementReader::Close() {
  OpenElement& open = m_open[--m_depth];
  ClosedElement closed{std::move(open.name), CString(std::move(open.text)), open.rawAttributes,
                       open.attributeCount, open.childCount, m_depth == 0};
  if (m_depth > 0) ++m_open[m_depth - 1].childCount;
  return m_sink.Put(std::move(closed));
}

}  // namespace xtb::xml
