// An element of the document as the tree builder's two stages pass it on:
// complete except for its children, which ended before it and are counted,
// and its attributes, which are still as the parser reported them.
#pragma once

#include <cstddef>
#include <string_view>

#include <xtbasis/platform/com.h>
#include <xtbasis/xmlelement.h>

namespace xtb::xml {

struct ClosedElement {
  CString name;  // local name, 1252
  CString text;
  std::string_view rawAttributes;  // AppendRawAttributes's form; valid during Put only
  size_t attributeCount = 0;
  size_t childCount = 0;           // its children are the elements closed last before it
  bool documentElement = false;    // the outermost one, closed last
};

// Where closed elements go, in document order of their ends. A failure code
// ends the parse with that code.
class ClosedElementSink {
 public:
  virtual HRESULT Put(ClosedElement&& element) = 0;

 protected:
  ~ClosedElementSink() = default;
};

}  // namespace xtb::xml
