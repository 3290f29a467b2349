// An element of the document as the tree builder's two stages pass it on
// when it ends: its name, text and attributes still in the parser's UTF-8,
// its children (the elements closed last before it) counted. The parser's
// thread only copies bytes; the conversions and allocations of the tree are
// the second stage's.
#pragma once

#include <cstddef>
#include <string_view>

#include <xtbasis/platform/com.h>
#include <xtbasis/platform/cstring.h>

namespace xtb::xml {

// The views are valid during Put only.
struct ClosedElement {
  std::string_view name;           // local name
  std::string_view text;           // all of its character data, unless it is large:
  CString* largeText = nullptr;    // then it is here, converted, for the sink to move away
  std::string_view rawAttributes;  // AppendRawAttributes's form
  size_t attributeCount = 0;
  size_t childCount = 0;
  bool documentElement = false;    // the outermost one, closed last
};

// Where closed elements go, in document order of their ends. A failure code
// ends the parse with that code.
class ClosedElementSink {
 public:
  virtual HRESULT Put(const ClosedElement& element) = 0;

 protected:
  ~ClosedElementSink() = default;
};

}  // namespace xtb::xml
