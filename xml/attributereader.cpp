#include "attributereader.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

#include "eventtape.h"
#include "unicode.h"

namespace xtb::xml {

void AttributeReader::Read(std::string_view& tape, size_t count, CXTXMLAttributes& out) {
  const char* const piecesStart = tape.data();
  m_raw.resize(count);
  for (std::string_view& name : m_raw) name = TakePiece(tape);
  const std::string_view pieces(piecesStart, static_cast<size_t>(tape.data() - piecesStart));
  if (pieces != m_arrangedPieces) Arrange(pieces);
  m_values.resize(count);
  for (std::string_view& value : m_values) value = TakePiece(tape);
  out.reserve(out.size() + m_order.size());
  // Each entry is made in its place; a plain ASCII value, the usual one,
  // straight from the tape.
  for (const unsigned at : m_order) {
    const std::string_view value = m_values[at];
    if (AsciiPrefixLength(value) == value.size()) {
      out.emplace_hint(out.end(), std::piecewise_construct, std::forward_as_tuple(m_names[at]),
                       std::forward_as_tuple(value));
    } else {
      out.emplace_hint(out.end(), std::piecewise_construct, std::forward_as_tuple(m_names[at]),
                       std::forward_as_tuple(Cp1252String(value, m_scratch)));
    }
  }
}

// A stable sort, by insertion for the few attributes of an element, so
// that of equal names the last one in the document comes last and stays.
void AttributeReader::Arrange(std::string_view pieces) {
  const size_t count = m_raw.size();
  m_names.resize(count);
  for (size_t i = 0; i < count; ++i) m_names[i] = Cp1252String(m_raw[i], m_scratch);
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
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i)
    if (i + 1 == count || m_names[m_order[i + 1]] != m_names[m_order[i]]) m_order[kept++] = m_order[i];
  m_order.resize(kept);
  m_arrangedPieces.assign(pieces);
}

}  // namespace xtb::xml
