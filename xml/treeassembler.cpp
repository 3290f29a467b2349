#include "treeassembler.h"

#include <algorithm>
#include <iterator>

#include "unicode.h"

namespace xtb::xml {

CXTXMLElement& FinishedElements::Push() {
  const size_t block = m_size / kBlock;
  if (block == m_blocks.size()) m_blocks.emplace_back().reserve(kBlock);
  ++m_size;
  return m_blocks[block].emplace_back();
}

void FinishedElements::MoveTopInto(size_t count, std::vector<CXTXMLElement>& out) {
  const size_t first = m_size - std::min(count, m_size);
  if (first == m_size) return;
  out.reserve(out.size() + count);
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

HRESULT TreeAssembler::Put(const ClosedElement& closed) {
  if (closed.documentElement) {
    m_root.Name = Cp1252String(closed.name, m_scratch);
    if (closed.largeText != nullptr) m_root.Text += *closed.largeText;
    else m_root.Text += Cp1252String(closed.text, m_scratch);
    CXTXMLAttributes attributes;
    m_attributes.Convert(closed.rawAttributes, closed.attributeCount, attributes);
    if (m_root.Attributes.empty()) {
      m_root.Attributes = std::move(attributes);
    } else {
      for (auto& [name, value] : attributes) m_root.Attributes.insert_or_assign(name, std::move(value));
    }
    m_finished.MoveTopInto(closed.childCount, m_root.Children);
    return S_OK;
  }
  std::vector<CXTXMLElement> children;
  m_finished.MoveTopInto(closed.childCount, children);
  CXTXMLElement& element = m_finished.Push();
  element.Name = Cp1252String(closed.name, m_scratch);
  element.Text = closed.largeText != nullptr ? std::move(*closed.largeText) : Cp1252String(closed.text, m_scratch);
  if (closed.attributeCount > 0) m_attributes.Convert(closed.rawAttributes, closed.attributeCount, element.Attributes);
  element.Children = std::move(children);
  return S_OK;
}

}  // namespace xtb::xml
