#include "elementreader.h"

#include "rawattributes.h"
#include "unicode.h"

namespace xtb::xml {

HRESULT ElementReader::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                    std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  if (m_depth == m_open.size()) m_open.emplace_back();
  OpenElement& open = m_open[m_depth++];
  open.name.assign(name.localName);
  open.text.clear();
  open.rawAttributes.clear();
  AppendRawAttributes(open.rawAttributes, attributes);
  open.attributeCount = attributes.size();
  open.childCount = 0;
  return S_OK;
}

HRESULT ElementReader::Characters(std::string_view text) {
  if (m_depth > 0) m_open[m_depth - 1].text.append(text);  // nothing outside the document element is kept
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

// The slot stays as it is until the next element at its depth starts, after
// the sink has taken what it needs.
HRESULT ElementReader::Close() {
  OpenElement& open = m_open[--m_depth];
  if (m_depth > 0) ++m_open[m_depth - 1].childCount;
  ClosedElement closed{open.name, open.text, nullptr, open.rawAttributes, open.attributeCount, open.childCount,
                       m_depth == 0};
  CString largeText;
  if (open.text.size() >= kLargeText) {
    largeText = Cp1252String(std::move(open.text));
    open.text = std::string();  // its storage goes now rather than with the next element here
    closed.text = {};
    closed.largeText = &largeText;
  }
  return m_sink.Put(closed);
}

}  // namespace xtb::xml
