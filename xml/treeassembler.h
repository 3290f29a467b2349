// The second stage of the tree builder: closed elements, taken in the order
// in which they end, put together into the CXTXMLElement tree. Each one's
// name, text and attributes are converted into 1252 here, the attributes
// into their sorted array; its children ended before it and wait on a
// stack, and move from there into one array of their exact number.
#pragma once

#include <string>
#include <vector>

#include <xtbasis/xmlelement.h>

#include "closedelement.h"
#include "rawattributes.h"

namespace xtb::xml {

// Finished elements waiting for their parent to end, in document order: a
// stack kept in fixed-size blocks, so that growing it moves nothing.
class FinishedElements {
 public:
  size_t Size() const { return m_size; }
  // A new empty element on top.
  CXTXMLElement& Push();
  // Moves the top `count` elements (at most all) to the end of `out`, which grows once,
  // and drops them from the stack.
  void MoveTopInto(size_t count, std::vector<CXTXMLElement>& out);

 private:
  static constexpr size_t kBlock = 512;
  std::vector<std::vector<CXTXMLElement>> m_blocks;  // each of capacity kBlock
  size_t m_size = 0;
};

class TreeAssembler final : public ClosedElementSink {
 public:
  // The document element becomes `root`: its name replaced; text,
  // attributes and children added to what it holds.
  explicit TreeAssembler(CXTXMLElement& root) : m_root(root) {}

  HRESULT Put(const ClosedElement& element) override;

 private:
  CXTXMLElement& m_root;
  FinishedElements m_finished;
  AttributeConverter m_attributes;
  std::string m_scratch;
};

}  // namespace xtb::xml
