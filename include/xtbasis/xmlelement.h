// CXTXMLElement: a plain in-memory tree of XML elements. Names, values and
// text are 8-bit strings in code page 1252.
#pragma once

#include <map>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

struct XTBASIS_API CXTXMLElement {
  CXTXMLElement(const CString& name = CString(), const CString& text = CString()) : Name(name), Text(text) {}

  // The child reached by a path of child names ended by a null pointer,
  // each step taking the first child of that name (ignoring case); the
  // element itself for an empty path; null when a step finds nothing.
  CXTXMLElement* FindElement(const char* name1, ...);
  const CXTXMLElement* FindElement(const char* name1, ...) const;

  // The next child from position `index` on named `name` (ignoring case);
  // `index` then points behind it. Null when there is none; `index` is then
  // the number of children (or stays, when it was already past the end).
  const CXTXMLElement* FindEach(const char* name, unsigned int& index) const;

  // Text of the first child named `name`, unchanged; empty without one.
  CString GetChildText(const char* name) const;
  // Value of the attribute of exactly that name; empty without one.
  CString GetAttribute(const char* name) const;

  CString Name;                             // local name, no prefix
  CString Text;                             // character data directly inside
  std::map<CString, CString> Attributes;    // ordered byte-wise by name
  std::vector<CXTXMLElement> Children;      // in document order
};
