// An element's attributes as the parser reports them, kept as UTF-8 bytes
// until they are made into the element's sorted 1252 array. Keeping them
// raw is a copy; the conversion and the array are left to the tree's
// assembler, which may run on another thread than the parser.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/xmlelement.h>

#include "saxdriver.h"

namespace xtb::xml {

// Appends the local names and values of `attributes` to `raw`, each as its
// length (4 bytes) and its bytes: the form AttributeConverter reads.
void AppendRawAttributes(std::string& raw, std::span<const Utf8Attribute> attributes);

// Makes raw attributes into an element's attribute array: by local name in
// 1252, ordered by that name; of several with one name (under different
// prefixes, or names that 1252 cannot tell apart) the last one in the
// document is kept. Its scratch space is reused from element to element.
class AttributeConverter {
 public:
  // `raw` holds `count` attributes as AppendRawAttributes wrote them.
  void Convert(std::string_view raw, size_t count, CXTXMLAttributes& out);

 private:
  std::vector<std::string_view> m_names;   // in 1252
  std::vector<std::string_view> m_values;  // in UTF-8
  std::vector<std::string> m_converted;    // names that were not plain ASCII
  std::vector<unsigned> m_order;
  std::string m_scratch;
};

}  // namespace xtb::xml
