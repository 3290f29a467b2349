// The first stage of the tree builder, on the parser's thread: the parser's
// UTF-8 events gathered into closed elements, handed on when the element
// ends. Each open element's bytes are kept in buffers that the next element
// at its depth reuses, so that reading allocates nothing once the deepest
// level has been reached.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <xtbasis/platform/cstring.h>

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
    std::string name;
    std::string text;
    std::string rawAttributes;
    size_t attributeCount = 0;
    size_t childCount = 0;
  };

  HRESULT Close();
  // A text this long is converted and handed on as a CString of its own
  // rather than copied on the way, so that it exists once, not three times.
  static constexpr size_t kLargeText = 64 * 1024;

  ClosedElementSink& m_sink;
  std::map<CString, CString>& m_prefixes;
  std::vector<OpenElement> m_open;  // outermost first; the first m_depth are open
  size_t m_depth = 0;
  std::string m_scratch;           // reused by every event
};

}  // namespace xtb::xml
