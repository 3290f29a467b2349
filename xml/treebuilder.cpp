#include "treebuilder.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include "unicode.h"

namespace xtb::xml {

CXTXMLElement& FinishedElements::Push() {
  const size_t block = m_size / kBlock;
  if (block == m_blocks.size()) m_blocks.emplace_back().reserve(kBlock);
  ++m_size;
  return m_blocks[block].emplace_back();
}

void FinishedElements::MoveTopInto(size_t first, std::vector<CXTXMLElement>& out) {
  if (first >= m_size) return;
  out.reserve(out.size() + (m_size - first));
  for (size_t block = first / kBlock; block * kBlock < m_size; ++block) {
    std::vector<CXTXMLElement>& items = m_blocks[block];
    const auto from = items.begin() + static_cast<ptrdiff_t>(block == first / kBlock ? first % kBlock : 0);
    out.insert(out.end(), std::make_move_iterator(from), std::make_move_iterator(items.end()));
    items.erase(from, items.end());
  }
  m_size = first;
  // One empty block beyond the top stays for the next pushes.
  if (m_blocks.size() > first / kBlock + 2) m_blocks.resize(first / kBlock + 2);
}

HRESULT TreeBuilder::StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                                  std::span<const Utf8Attribute> attributes) {
  for (const auto& [prefix, uri] : declarations) m_prefixes[Cp1252String(prefix, m_scratch)] = Cp1252String(uri, m_scratch);
  OpenElement& open = m_open.emplace_back(Cp1252String(name.localName, m_scratch), m_finished.Size());
  if (!attributes.empty()) Convert(attributes, open.attributes);
  if (m_texts.size() < m_open.size()) m_texts.emplace_back();
  return S_OK;
}

// The attributes by local name in 1252, ordered by that name; of several
// with one name (under different prefixes, or names that 1252 cannot tell
// apart) the last one in the document is kept. Plain ASCII names, nearly
// all, are the same bytes in both encodings and are ordered as they are.
void TreeBuilder::Convert(std::span<const Utf8Attribute> attributes, CXTXMLAttributes& out) {
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

HRESULT TreeBuilder::Characters(std::string_view text) {
  if (m_open.empty()) return S_OK;  // nothing outside the document element is kept
  std::string& into = m_texts[m_open.size() - 1];
  if (AsciiPrefixLength(text) == text.size()) into.append(text);
  else AppendUtf8AsCp1252(into, text);
  return S_OK;
}

HRESULT TreeBuilder::EndElement(const Utf8Name&, std::span<const std::string_view> undeclared) {
  if (!m_open.empty()) Close();
  for (const std::string_view prefix : undeclared) m_prefixes.erase(Cp1252String(prefix, m_scratch));
  return S_OK;
}

void TreeBuilder::CloseOpenElements() {
  while (!m_open.empty()) Close();
}

void TreeBuilder::Close() {
  OpenElement& open = m_open.back();
  std::string& text = m_texts[m_open.size() - 1];
  if (m_open.size() == 1) {
    m_root.Name = std::move(open.name);
    m_root.Text.Append(text.data(), static_cast<int>(text.size()));
    if (m_root.Attributes.empty()) {
      m_root.Attributes = std::move(open.attributes);
    } else {
      for (auto& [name, value] : open.attributes) m_root.Attributes.insert_or_assign(name, std::move(value));
    }
    m_finished.MoveTopInto(open.firstChild, m_root.Children);
  } else {
    std::vector<CXTXMLElement> children;
    m_finished.MoveTopInto(open.firstChild, children);
    CXTXMLElement& element = m_finished.Push();
    element.Name = std::move(open.name);
    element.Text = CString(std::string_view(text));
    element.Attributes = std::move(open.attributes);
    element.Children = std::move(children);
  }
  text.clear();
  m_open.pop_back();
}

}  // namespace xtb::xml
