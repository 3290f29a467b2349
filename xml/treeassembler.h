// The second stage of the tree builder: the event tape read into the
// CXTXMLElement tree. Each element is made when it starts, its name and
// attributes converted into 1252, the attributes into their sorted array;
// its text is gathered in 1252 and set when it ends. Its array of children
// is given room for as many as the element ended last at its depth had, so
// that in a document of records each element is made in its place; the
// children beyond that room wait on a stack until the element ends, and the
// array then grows once to their exact number. The document element's
// children are the exception: their number is foreseen, see
// ForeseeRootChildren.
#pragma once

#include <string>
#include <vector>

#include <xtbasis/xmlelement.h>

#include "attributereader.h"
#include "eventtape.h"

namespace xtb::xml {

// Elements waiting for their parent to end, in document order: a stack kept
// in fixed-size blocks, so that growing it moves nothing and an element on it
// keeps its address until it is moved away.
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

class TreeAssembler final : public TapeSink {
 public:
  // The document element becomes `root`: its name replaced; text,
  // attributes and children added to what it holds.
  explicit TreeAssembler(CXTXMLElement& root) : m_root(root) {}

  // S_OK, or E_OUTOFMEMORY; the tree then keeps what was put together.
  HRESULT Take(Tape& tape) override;
  // Ends the elements left open by a parse that stopped, so that the tree
  // holds everything read up to that point.
  HRESULT CloseOpenElements();

  // A text this long moves into its element rather than being copied to
  // a string of its exact size.
  static constexpr size_t kLargeText = 64 * 1024;
  // The document element's children are foreseen once at least this many
  // wait and the parser has read at least this much.
  static constexpr size_t kForeseeChildren = 1024;
  static constexpr size_t kForeseeBytes = 4u << 20;

 private:
  static constexpr size_t kNone = ~size_t{0};
  struct OpenElement {
    CXTXMLElement* element;
    size_t firstWaiting;  // kNone, or where its children beyond the room of its array begin on m_waiting
    std::string text;     // its pieces so far, in 1252
  };

  CXTXMLElement& NewChild(OpenElement& parent);
  void ForeseeRootChildren(OpenElement& root);
  void Open(std::string_view& tape);
  void AddText(std::string_view text, bool endFollows);
  void Close();

  CXTXMLElement& m_root;
  FinishedElements m_waiting;
  std::vector<OpenElement> m_open;  // outermost first; the first m_depth are open
  size_t m_depth = 0;
  std::vector<size_t> m_expectedChildren;  // per depth: the children of the element that ended there last
  size_t m_read = 0;          // how far the parser had read when the present tape began
  size_t m_documentSize = 0;
  AttributeReader m_attributes;
  std::string m_scratch;
};

}  // namespace xtb::xml
