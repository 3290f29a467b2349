#include <cstdarg>

#include <xtbasis/xmlelement.h>

namespace {

const CXTXMLElement* FirstChild(const CXTXMLElement& parent, const char* name) {
  for (const CXTXMLElement& child : parent.Children)
    if (child.Name.CompareNoCase(name) == 0) return &child;
  return nullptr;
}

const CXTXMLElement* Walk(const CXTXMLElement& start, const char* first, va_list more) {
  const CXTXMLElement* current = &start;
  for (const char* name = first; name != nullptr && current != nullptr; name = va_arg(more, const char*))
    current = FirstChild(*current, name);
  return current;
}

}  // namespace

const CXTXMLElement* CXTXMLElement::FindElement(const char* name1, ...) const {
  va_list more;
  va_start(more, name1);
  const CXTXMLElement* found = Walk(*this, name1, more);
  va_end(more);
  return found;
}

CXTXMLElement* CXTXMLElement::FindElement(const char* name1, ...) {
  va_list more;
  va_start(more, name1);
  const CXTXMLElement* found = Walk(*this, name1, more);
  va_end(more);
  return const_cast<CXTXMLElement*>(found);
}

const CXTXMLElement* CXTXMLElement::FindEach(const char* name, unsigned int& index) const {
  if (index >= Children.size()) return nullptr;
  for (; index < Children.size(); ++index) {
    if (Children[index].Name.CompareNoCase(name) == 0) return &Children[index++];
  }
  return nullptr;
}

CString CXTXMLElement::GetChildText(const char* name) const {
  const CXTXMLElement* child = name != nullptr ? FirstChild(*this, name) : nullptr;
  return child != nullptr ? child->Text : CString();
}

CString CXTXMLElement::GetAttribute(const char* name) const {
  if (name == nullptr) return CString();
  const auto found = Attributes.find(name);
  return found != Attributes.end() ? found->second : CString();
}
