// The first stage of the tree builder, on the parser's thread: the parser's
// UTF-8 events made into closed elements, each name and text converted once
// into its final 1252 form and the attributes copied as they are, handed on
// when the element ends.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "closedelement.h"
#include "saxdriver.h"

namespace xtb::xml {

class ElementReader final : public Utf8Events {
 public:
  // `prefixes` follows the namespace declarations in scope.
  ElementReader(ClosedElementSink& sink, std::map<CString, CString>& prefixes) : m_sink(sink), m_prefixes(prefixes) {}

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
    CString name;
    std::string text;            // moves into the element as it is
    std::string rawAttributes;   // its storage kept for the next element at this depth
    size_t attributeCount = 0;
    size_t childCount = 0;
  };

  HRESULT Close();

  ClosedElementSink& m_sink;
  std::map<CString, CString>& m_prefixes;
  std::vector<OpenElement> m_open;  // outermost first; the first m_depth are open
  size_t m_depth = 0;
  std::string m_scratch;           // reused by every event
};

}  // namespace xtb::xml
