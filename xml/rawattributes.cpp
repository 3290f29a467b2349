#include "rawattributes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

#include "unicode.h"

namespace xtb::xml {
namespace {

// Documents are below 2 GiB (the parser refuses larger ones), so a length
// fits in 32 bits.
void AppendPiece(std::string& raw, std::string_view piece) {
  const auto length = static_cast<uint32_t>(piece.size());
  raw.append(reinterpret_cast<const char*>(&length), sizeof length);
  raw.append(piece);
}

std::string_view TakePiece(std::string_view& raw) {
  uint32_t length;
  std::memcpy(&length, raw.data(), sizeof length);
  const std::string_view piece = raw.substr(sizeof length, length);
  raw.remove_prefix(sizeof length + length);
  return piece;
}

}  // namespace

void AppendRawAttributes(std::string& raw, std::span<const Utf8Attribute> attributes) {
  for (const Utf8Attribute& attribute : attributes) {
    AppendPiece(raw, attribute.name.localName);
    AppendPiece(raw, attribute.value);
  }
}

// Plain ASCII names, nearly all, are the same bytes in both encodings and
// are ordered as they are.
void AttributeConverter::Convert(std::string_view raw, size_t count, CXTXMLAttributes& out) {
  m_names.resize(count);
  m_values.resize(count);
  bool ascii = true;
  for (size_t i = 0; i < count; ++i) {
    m_names[i] = TakePiece(raw);
    m_values[i] = TakePiece(raw);
    ascii = ascii && AsciiPrefixLength(m_names[i]) == m_names[i].size();
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
    out.emplace_hint(out.end(), CString(m_names[at]), Cp1252String(m_values[at], m_scratch));
  }
}

}  // namespace xtb::xml
