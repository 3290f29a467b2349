// The namespace prefixes declared on the open elements, for the parser's
// fronts that follow their scope: each start tag opens a scope, each end
// tag closes the innermost one.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "parsersession.h"

namespace xtb::xml {

class DeclaredPrefixes {
 public:
  // A start tag with its `count` declarations (libxml2's prefix, URI pairs).
  void Open(const xmlChar** declarations, int count) {
    ++m_depth;
    for (int i = 0; i < count; ++i) {
      m_prefixes.emplace_back(Utf8View(declarations[2 * i]));
      m_depths.push_back(m_depth);
    }
  }

  // The prefixes the innermost open element declared, in document order.
  std::span<const std::string> Innermost() const {
    size_t first = m_prefixes.size();
    while (first > 0 && m_depths[first - 1] == m_depth) --first;
    return {m_prefixes.data() + first, m_prefixes.size() - first};
  }

  // The end tag of the innermost open element.
  void Close() {
    if (m_depth == 0) return;
    while (!m_depths.empty() && m_depths.back() == m_depth) {
      m_prefixes.pop_back();
      m_depths.pop_back();
    }
    --m_depth;
  }

 private:
  std::vector<std::string> m_prefixes;  // innermost last
  std::vector<size_t> m_depths;         // of the element that declared each
  size_t m_depth = 0;                   // elements open
};

// A declaration's name as an attribute: "xmlns", or "xmlns:prefix".
inline void XmlnsName(std::string& out, std::string_view prefix) {
  out = "xmlns";
  if (!prefix.empty()) (out += ':') += prefix;
}

}  // namespace xtb::xml
