// An element's attributes read from the event tape into the element's
// array: by local name in 1252, ordered by that name; of several with one
// name (under different prefixes, or names that 1252 cannot tell apart)
// the last one in the document is kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/xmlelement.h>

namespace xtb::xml {

// Elements of one kind carry the same attribute names in the same order,
// so the names converted and ordered for one element serve the next one
// with the same names. Its scratch space is reused from element to element.
class AttributeReader {
 public:
  // Takes `count` attributes (their names, then their values) from the
  // front of `tape` and adds them to `out`.
  void Read(std::string_view& tape, size_t count, CXTXMLAttributes& out);

 private:
  // Converts and orders the names of m_raw, whose pieces on the tape are
  // `pieces`.
  void Arrange(std::string_view pieces);

  std::vector<std::string_view> m_raw;     // the names as on the tape
  std::vector<std::string_view> m_values;  // in UTF-8
  std::string m_arrangedPieces;            // the names that m_names and m_order are for, as on the tape
  std::vector<CString> m_names;            // in 1252
  std::vector<unsigned> m_order;           // the attributes kept, in name order
  std::string m_scratch;
};

}  // namespace xtb::xml
