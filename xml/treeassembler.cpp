#include "treeassembler.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>

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

HRESULT TreeAssembler::Take(Tape& tape) {
  HRESULT hr = S_OK;
  try {
    std::string_view records = tape.View();
    while (!records.empty()) {
      const auto record = static_cast<TapeRecord>(records.front());
      records.remove_prefix(1);
      if (record == TapeRecord::kStart) {
        Open(records);
      } else if (record == TapeRecord::kRead) {
        m_read = TakeNumber(records);
        m_documentSize = TakeNumber(records);
      } else if (record == TapeRecord::kText) {
        const std::string_view text = TakePiece(records);
        const bool endFollows = !records.empty() && records.front() == static_cast<char>(TapeRecord::kEnd);
        if (m_depth > 0) AddText(text, endFollows);  // none outside the document element
      } else if (m_depth > 0) {
        Close();
      }
    }
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  }
  tape.Clear();
  return hr;
}

HRESULT TreeAssembler::CloseOpenElements() {
  try {
    while (m_depth > 0) Close();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

// An element is made where it will stay: in its parent's array while that
// has room, otherwise on the stack of finished elements, and from there it
// moves into the array when the parent ends.
CXTXMLElement& TreeAssembler::NewChild(OpenElement& parent) {
  std::vector<CXTXMLElement>& children = parent.element->Children;
  if (parent.firstWaiting != kNone && m_depth == 1) ForeseeRootChildren(parent);
  if (parent.firstWaiting == kNone) {
    if (children.size() < children.capacity()) return children.emplace_back();
    parent.firstWaiting = m_waiting.Size();
  }
  return m_waiting.Push();
}

// The document element's children usually fill the document to its end, as
// its records do; moving them all into their array when it ends would keep
// the caller waiting after the parser is done. So once many of them wait,
// their number is foreseen from how far the parser has read, a little more
// is reserved, and they move in while the parser reads on; the ones still to
// come are then made in place. Foreseen too few, the array grows by half at
// least, so that the moves stay linear; room to spare stays unused.
void TreeAssembler::ForeseeRootChildren(OpenElement& root) {
  const size_t waiting = m_waiting.Size() - root.firstWaiting;
  if (waiting < kForeseeChildren || m_read < kForeseeBytes || m_read >= m_documentSize) return;
  std::vector<CXTXMLElement>& children = root.element->Children;
  const double share = static_cast<double>(m_documentSize) / static_cast<double>(m_read);
  const auto foreseen = static_cast<size_t>(static_cast<double>(children.size() + waiting) * share * 1.03);
  children.reserve(std::max(foreseen, children.capacity() + children.capacity() / 2));
  m_waiting.MoveTopInto(waiting, children);
  root.firstWaiting = kNone;
}

void TreeAssembler::Open(std::string_view& tape) {
  const std::string_view name = TakePiece(tape);
  const size_t attributeCount = TakeNumber(tape);
  if (m_depth == m_open.size()) {
    m_open.emplace_back();
    m_expectedChildren.push_back(0);
  }
  CXTXMLElement& element = m_depth == 0 ? m_root : NewChild(m_open[m_depth - 1]);
  OpenElement& open = m_open[m_depth];
  open.element = &element;
  open.firstWaiting = kNone;
  open.text.clear();
  ++m_depth;
  element.Name = Cp1252String(name, m_scratch);
  if (&element == &m_root) {
    CXTXMLAttributes attributes;
    m_attributes.Read(tape, attributeCount, attributes);
    if (m_root.Attributes.empty()) {
      m_root.Attributes = std::move(attributes);
    } else {
      for (auto& [attribute, value] : attributes) m_root.Attributes.insert_or_assign(attribute, std::move(value));
    }
    return;
  }
  if (attributeCount > 0) m_attributes.Read(tape, attributeCount, element.Attributes);
  element.Children.reserve(m_expectedChildren[m_depth - 1]);
}

// An element's one text, the usual case, goes straight into its string;
// pieces are gathered first.
void TreeAssembler::AddText(std::string_view text, bool endFollows) {
  OpenElement& open = m_open[m_depth - 1];
  if (endFollows && open.text.empty() && open.element != &m_root && text.size() < kLargeText) {
    open.element->Text = Cp1252String(text, m_scratch);
  } else {
    AppendUtf8AsCp1252(open.text, text);
  }
}

void TreeAssembler::Close() {
  OpenElement& open = m_open[--m_depth];
  CXTXMLElement& element = *open.element;
  if (!element.Text.IsEmpty()) {  // the root given held a text already
    element.Text.Append(open.text.data(), static_cast<int>(open.text.size()));
  } else if (open.text.size() >= kLargeText) {
    element.Text = CString(std::exchange(open.text, std::string()));
  } else if (!open.text.empty()) {
    element.Text = CString(std::string_view(open.text));
  }
  std::vector<CXTXMLElement>& children = element.Children;
  if (open.firstWaiting != kNone) {
    m_waiting.MoveTopInto(m_waiting.Size() - open.firstWaiting, children);
  } else if (children.size() < children.capacity() && &element != &m_root) {
    children.shrink_to_fit();  // fewer children than its predecessor had
  }
  m_expectedChildren[m_depth] = children.size();
}

}  // namespace xtb::xml
