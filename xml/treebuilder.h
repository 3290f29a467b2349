// The parser's UTF-8 events made into a CXTXMLElement tree, each string
// converted once into its final 1252 form and each element's attribute and
// child arrays allocated once, at their final size: an element is put
// together when it ends, from what was gathered while it was open.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <xtbasis/xmlelement.h>

#include "saxdriver.h"

namespace xtb::xml {

// Finished elements waiting for their parent to end, in document order: a
// stack kept in fixed-size blocks, so that growing it moves nothing.
class FinishedElements {
 public:
  size_t Size() const { return m_size; }
  // A new empty element on top.
  CXTXMLElement& Push();
  // Moves the elements from position `first` on to the end of `out`, which
  // grows once, and drops them from the stack.
  void MoveTopInto(size_t first, std::vector<CXTXMLElement>& out);

 private:
  static constexpr size_t kBlock = 512;
  std::vector<std::vector<CXTXMLElement>> m_blocks;  // each of capacity kBlock
  size_t m_size = 0;
};

class TreeBuilder final : public Utf8Events {
 public:
  // The document element becomes `root` (its name replaced; text, attributes
  // and children added to what it holds); `prefixes` follows the namespace
  // declarations in scope.
  TreeBuilder(CXTXMLElement& root, std::map<CString, CString>& prefixes) : m_root(root), m_prefixes(prefixes) {}

  // Ends the elements left open by a parse that stopped, so that the tree
  // holds everything read up to that point.
  void CloseOpenElements();

  HRESULT StartDocument(ISAXLocator*) override { return S_OK; }
  HRESULT EndDocument() override { return S_OK; }
  HRESULT StartElement(const Utf8Name& name, std::span<const Utf8Declaration> declarations,
                       std::span<const Utf8Attribute> attributes) override;
  HRESULT EndElement(const Utf8Name& name, std::span<const std::string_view> undeclared) override;
  HRESULT Characters(std::string_view text) override;
  HRESULT ProcessingInstruction(std::string_view, std::string_view) override { return S_OK; }

 private:
  struct OpenElement {
    OpenElement(CString&& localName, size_t childrenAt) : name(std::move(localName)), firstChild(childrenAt) {}
    CString name;
    CXTXMLAttributes attributes;
    size_t firstChild;  // its children's place in m_finished
  };

  void Convert(std::span<const Utf8Attribute> attributes, CXTXMLAttributes& out);
  void Close();

  CXTXMLElement& m_root;
  std::map<CString, CString>& m_prefixes;
  std::vector<OpenElement> m_open;  // outermost first
  std::vector<std::string> m_texts;  // the open elements' text so far, by depth; kept for reuse
  FinishedElements m_finished;
  // Reused by every event.
  std::vector<std::string_view> m_names;  // an element's attribute names in 1252
  std::vector<std::string> m_converted;   // those that were not plain ASCII
  std::vector<unsigned> m_order;
  std::string m_scratch;
};

}  // namespace xtb::xml
