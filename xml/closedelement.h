// An element of the document as the tree builder's two stages pass it on:
// complete except for its children, which ended before it and are counted.
#pragma once

#include <cstddef>

#include <xtbasis/platform/com.h>
#include <xtbasis/xmlelement.h>

namespace xtb::xml {

struct ClosedElement {
  CString name;  // local name, 1252
  CString text;
  CXTXMLAttributes attributes;
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
