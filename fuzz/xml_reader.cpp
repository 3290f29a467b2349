// Arbitrary bytes as an XML document. The reader and a derived reader (which
// takes the SAX interface road) must build the same tree, whether the read
// succeeds or not, with arrays of children of their exact size; a tree that was read and that the writer accepts must
// read back the same from the writer's output.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <xtbasis/xml.h>

namespace {

class Derived : public CXTSimpleXMLReader {};

// Whitespace-only text counts as empty: the writer indents.
CString Meaningful(const CString& text) {
  CString trimmed = text;
  return trimmed.Trim().IsEmpty() ? CString() : text;
}

bool Same(const CXTXMLElement& a, const CXTXMLElement& b) {
  if (a.Name != b.Name || Meaningful(a.Text) != Meaningful(b.Text) || a.Attributes != b.Attributes ||
      a.Children.size() != b.Children.size())
    return false;
  for (size_t i = 0; i < a.Children.size(); ++i)
    if (!Same(a.Children[i], b.Children[i])) return false;
  return true;
}

// Each element's array of children below the document element, which may
// have room foreseen to spare, is exactly as long as its children.
bool ExactArrays(const CXTXMLElement& element) {
  if (element.Children.capacity() != element.Children.size()) return false;
  for (const CXTXMLElement& child : element.Children)
    if (!ExactArrays(child)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString xml(reinterpret_cast<const char*>(data), static_cast<int>(size));
  CXTXMLElement direct, derived;
  const bool read = CXTSimpleXMLReader().ReadString(xml, direct);
  if (Derived().ReadString(xml, derived) != read) std::abort();
  // Also after an error both hold the same tree: what was read up to it.
  if (!Same(direct, derived) || direct.Text != derived.Text || !std::all_of(direct.Children.begin(), direct.Children.end(), ExactArrays))
    std::abort();
  if (!read) return 0;

  CXTXMLWriter writer;
  writer.Encoding = size % 2 ? "UTF-8" : "ISO-8859-1";
  CString bytes;
  if (!writer.StartDocument() || !writer.AddElements(direct, true) || !writer.EndDocument()) return 0;
  if (!writer.ToString(bytes)) std::abort();
  CXTXMLElement again;
  if (!CXTSimpleXMLReader().ReadString(bytes, again) || !Same(direct, again)) std::abort();
  return 0;
}
