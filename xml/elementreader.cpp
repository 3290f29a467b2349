#include "elementreader.h"

#include <algorithm>
#include <numeric>

#include "unicode.h"

namespace xtb::xml {

HRESULT ElementReader::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                    std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  OpenElement& open = m_open.emplace_back(Cp1252String(name.localName, m_scratch));
  if (!attributes.empty()) Convert(attributes, open.attributes);
  return S_OK;
}


// The attributes by local name in 1252, ordered by that name; of several
// with one name (under different prefixes, or names that 1252 cannot tell
// apart) the last one in the document is kept. Plain ASCII names, nearly
// all, are the same bytes in both encodings and are ordered as they are.
void ElementReader::Convert(std::span<const Utf8Attribute> attributes, CXTXMLAttributes& out) {
  const size_t count = attributes.size();
  m_names.resize(count);
  bool ascii = true;
  for (size_t i = 0; i < count; ++i) {
    const std::string_view name = attributes[i].name.localName;
    m_names[i] = name;
    ascii = ascii && AsciiPrefixLength(name) == name.size();
  }
  if (!ascii) {
    if (m_converted.size() < count) m_converted.resize(count);
    for (size_t i = 0; i < count; ++i) {
      m_converted[i].clear();
      AppendUtf8AsCp1252(m_converted[i], m_names[i]);
      m_names[i] = m_converted[i];
    }
  }
  // By name, and of equal names in document order: a stable sort, by
  // insertion for the few attributes of an element.
  m_order.resize(count);
  std::iota(m_order.begin(), m_order.end(), 0u);
  const auto before = [this](unsigned a, unsigned b) { return m_names[a] < m_names[b]; };
  if (count > 16) {
    std::stable_sort(m_order.begin(), m_order.end(), before);
  } else {
    for (size_t i = 1; i < count; ++i) {
      const unsigned item = m_order[i];
      size_t at = i;
      for (; at > 0 && before(item, m_order[at - 1]); --at) m_order[at] = m_order[at - 1];
      m_order[at] = item;
    }
  }
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const unsigned at = m_order[i];
    if (i + 1 < count && m_names[m_order[i + 1]] == m_names[at]) continue;
    out.emplace_hint(out.end(), CString(m_names[at]), Cp1252String(attributes[at].value, m_scratch));
  }
}

HRESULT ElementReader::Characters(std::string_view text) {
  if (m_open.empty()) return S_OK;  // nothing outside the document element is kept
  std::string& into = m_open.back().text;
  if (AsciiPrefixLength(text) == text.size()) into.append(text);
  else AppendUtf8AsCp1252(into, text);
  return S_OK;
}

HRESULT ElementReader::EndElement(const Utf8Name&, std::span<const std::string_view> undeclared) {
  const HRESULT hr = m_open.empty() ? S_OK : Close();
  for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  return hr;
}

void ElementReader::CloseOpenElements() {
  while (!m_open.empty()) Close();
}

HRESULT ElementReader::Close() {
  OpenElement& open = m_open.back();
  ClosedElement closed{std::move(open.name), CString(std::move(open.text)), std::move(open.attributes),
                       open.childCount, m_open.size() == 1};
  m_open.pop_back();
  if (!m_open.empty()) ++m_open.back().childCount;
  return m_sink.Put(std::move(closed));
}

}  // namespace xtb::xml
