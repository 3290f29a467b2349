// XML: the writer CXTXMLWriter, the reader CXTSimpleXMLReader that fills a
// CXTXMLElement tree, the SAX handler bases from which programs derive their
// own handlers, and the XML Schema validator. Names, values and text are
// 8-bit strings in code page 1252; documents are read and written in the
// encoding they declare.
//
// Hostile documents: no parser here resolves an external entity, loads a
// DTD or reaches the network; internal entities expand only within the
// parser's amplification limits (a document whose entities expand far beyond
// its own size is refused); elements nest at most 256 deep; documents are at
// most 2 GiB - 1 bytes. Each such document fails like a malformed one.
#pragma once

#include <concepts>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/sax.h>
#include <xtbasis/xmlelement.h>

namespace xtb::xml {
class Serializer;
}

// The types a null pointer constant has: nullptr's, and NULL's (an integer
// with g++ and clang).
template <class T>
concept XTNullArgument = std::same_as<T, std::nullptr_t> || std::same_as<T, decltype(NULL)>;

// Writes one document through SAX-style events into memory; Write and
// ToString hand the encoded bytes out. Every operation returns false when a
// step fails; GetLastHResult tells which step and why.
class XTBASIS_API CXTXMLWriter {
 public:
  CXTXMLWriter();
  ~CXTXMLWriter();
  CXTXMLWriter(const CXTXMLWriter& other);
  CXTXMLWriter& operator=(const CXTXMLWriter& other);

  // A new document in a new buffer, with the XML declaration (and the
  // document type declaration when DocTypeName is set).
  bool StartDocument();
  // Ends the document; false while elements are open or before any root.
  bool EndDocument();
  // Attributes: name, value, name, value, ... ended by a null name or a
  // null value; the variadic forms end with a null pointer.
  bool StartElement(const char* name, const char** attributes);
  bool StartElement(const char* name, const char* attrName1, ...);
  // No attributes: StartElement(name, NULL), StartElement(name, nullptr)
  // and the like take the array form with no array. g++ and clang make NULL
  // an integer (__null, a long), which fits both forms above equally well,
  // so these overloads take it exactly; any other integer is refused.
  template <XTNullArgument Null>
  bool StartElement(const char* name, Null none) {
    return none == 0 && StartElement(name, static_cast<const char**>(nullptr));
  }
  // Closes the innermost open element (false, and nothing written, when none is open).
  bool EndElement();
  bool SimpleElement(const char* name, const char** attributes);
  bool SimpleElement(const char* name, const char* attrName1, ...);
  template <XTNullArgument Null>
  bool SimpleElement(const char* name, Null none) {
    return none == 0 && SimpleElement(name, static_cast<const char**>(nullptr));
  }
  bool CharElement(const char* name, const char* text, const char** attributes);
  bool CharElement(const char* name, const char* text, const char* attrName1, ...);
  template <XTNullArgument Null>
  bool CharElement(const char* name, const char* text, Null none) {
    return none == 0 && CharElement(name, text, static_cast<const char**>(nullptr));
  }
  bool Characters(const char* text);
  bool ProcessingInstruction(const char* target, const char* data);
  // Data built from the pairs as name="value", separated by blanks.
  bool ProcessingInstruction2(const char* target, const char** attributes);
  bool ProcessingInstruction2(const char* target, const char* name1, ...);
  template <XTNullArgument Null>
  bool ProcessingInstruction2(const char* target, Null none) {
    return none == 0 && ProcessingInstruction2(target, static_cast<const char**>(nullptr));
  }
  // Name, text and children of the tree, depth first; attributes are not written.
  bool AddElements(const CXTXMLElement& element);
  // The same, with each element's attributes when `withAttributes` is set.
  bool AddElements(const CXTXMLElement& element, bool withAttributes);
  // Prefix put before every element and attribute name without one; a
  // name beginning with ':' is written without prefix. Empty: no prefix.
  bool UseNameSpace(const char* prefix);
  // The document's bytes to a file (mode 0666); false for an empty document.
  bool Write(const char* path);
  // The document's bytes, in the output encoding.
  bool ToString(CString& out);
  // "Zeile <step>: <text>" for the last result.
  CString GetLastHResult();

  CString Encoding = "UTF-8";  // UTF-8, UTF-16, ISO-8859-1, ISO-8859-15, windows-1252, US-ASCII
  bool Standalone = true;
  CString DocTypeName;
  CString DocTypePublicId;
  CString DocTypeSystemId;

 protected:
  // Null when the list holds an invalid pair (see StartElement).
  const std::vector<std::pair<CString, CString>>* CreateAttributes(const char** attributes);
  CString DoNameSpace(const char* name);

 private:
  bool Record(int step, HRESULT result);
  bool Ready(int step);

  std::deque<CString> m_Elements;
  CString NameSpace;
  HRESULT m_LastResult = 0;
  int m_Step = 21;
  std::shared_ptr<xtb::xml::Serializer> m_Serializer;
  std::vector<std::pair<CString, CString>> m_Attributes;
};

// Content handler base: every event succeeds and does nothing, except the
// prefix mapping, which it records. The owner deletes the object; AddRef and
// Release count nothing.
class XTBASIS_API SAXContentHandlerImpl : public ISAXContentHandler {
 public:
  SAXContentHandlerImpl() = default;
  SAXContentHandlerImpl(const SAXContentHandlerImpl&) = default;
  SAXContentHandlerImpl& operator=(const SAXContentHandlerImpl&) = default;
  virtual ~SAXContentHandlerImpl() = default;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return 0; }
  ULONG Release() override { return 0; }
  HRESULT putDocumentLocator(ISAXLocator* locator) override;
  HRESULT startDocument() override;
  HRESULT endDocument() override;
  HRESULT startPrefixMapping(const char16_t* prefix, int prefixLength, const char16_t* uri, int uriLength) override;
  HRESULT endPrefixMapping(const char16_t* prefix, int prefixLength) override;
  HRESULT startElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                       const char16_t* qName, int qNameLength, ISAXAttributes* attributes) override;
  HRESULT endElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                     const char16_t* qName, int qNameLength) override;
  HRESULT characters(const char16_t* text, int length) override;
  HRESULT ignorableWhitespace(const char16_t* text, int length) override;
  HRESULT processingInstruction(const char16_t* target, int targetLength, const char16_t* data,
                                int dataLength) override;
  HRESULT skippedEntity(const char16_t* name, int nameLength) override;

 protected:
  // `length` UTF-16 units (< 0: up to the NUL) in code page 1252, '?' for
  // characters it lacks.
  static CString W2S(const char16_t* text, int length);
  // The value of the attribute with that namespace URI and local name (both
  // NUL-terminated); `value` stays as it was when the look-up fails.
  static HRESULT GetValueFromName(ISAXAttributes* attributes, const char16_t* uri, const char16_t* localName,
                                  CString& value);
  // The same, trimmed at both ends, then read as UTF-8 (UTF8ToAnsi).
  static HRESULT GetTrimmedValueFromName(ISAXAttributes* attributes, const char16_t* uri,
                                         const char16_t* localName, CString& value);

  std::map<CString, CString> m_PrefixMap;  // prefix -> namespace URI, while in scope
};

// Error handler base: errors and warnings let the parse go on, a fatal error
// stops it with its code. Reference-counted (not atomically): it deletes
// itself when the count drops to 0, so create it with new.
class XTBASIS_API SAXErrorHandlerImpl : public ISAXErrorHandler {
 public:
  SAXErrorHandlerImpl() = default;
  SAXErrorHandlerImpl(const SAXErrorHandlerImpl&) = default;
  SAXErrorHandlerImpl& operator=(const SAXErrorHandlerImpl&) = default;
  virtual ~SAXErrorHandlerImpl() = default;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override;
  HRESULT error(ISAXLocator* locator, const char16_t* message, HRESULT code) override;
  HRESULT fatalError(ISAXLocator* locator, const char16_t* message, HRESULT code) override;
  HRESULT ignorableWarning(ISAXLocator* locator, const char16_t* message, HRESULT code) override;

 protected:
  ULONG m_RefCount = 0;
};

// Parses `size` bytes as an XML document and reports it to `content`, and
// problems to `errors` when given. Without an error handler the first error
// ends the parse. Returns S_OK or the code that stopped the parse (a
// handler's failure code, or 0x8004xxxx with the parser's error number).
XTBASIS_API HRESULT XTParseXML(const char* data, size_t size, ISAXContentHandler& content,
                               ISAXErrorHandler* errors = nullptr);

// Reads a document into a CXTXMLElement tree: local names, attributes by
// local name (namespace declarations under their own names, e.g.
// "xmlns:p"), all character data of an element concatenated (whitespace and
// CDATA included). Fails on any error, leaving what was read so far.
class XTBASIS_API CXTSimpleXMLReader : public SAXContentHandlerImpl {
 public:
  CXTSimpleXMLReader() = default;
  CXTSimpleXMLReader(const CXTSimpleXMLReader&) = default;
  CXTSimpleXMLReader& operator=(const CXTSimpleXMLReader&) = default;
  virtual ~CXTSimpleXMLReader() = default;

  bool ReadFile(const char* path, CXTXMLElement& root);
  // The string's bytes; their encoding is the document's own.
  bool ReadString(const CString& xml, CXTXMLElement& root);

 protected:
  HRESULT startElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                       const char16_t* qName, int qNameLength, ISAXAttributes* attributes) override;
  HRESULT endElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                     const char16_t* qName, int qNameLength) override;
  HRESULT characters(const char16_t* text, int length) override;

 private:
  std::deque<CXTXMLElement*> m_Stack;
  CXTXMLElement* m_Target = nullptr;
};

// Validates XML files against a set of XML Schemas (one per namespace; an
// empty namespace for a schema without target namespace). Schemas are read
// from local files only, anew on every Validate.
class XTBASIS_API CXTXmlSchemaValidator {
 public:
  CXTXmlSchemaValidator() = default;

  void AddToSchemaCache(const char* namespaceUri, const char* schemaFile);
  void Clear() { m_Schemas.clear(); }
  void SetMaxErrors(int count) { m_MaxErrors = count; }
  CString GetError() const { return m_Error; }
  // True for a well-formed, valid document whose root namespace (if any)
  // is one of the schemas'. Otherwise false, with the first errors as
  // "Zeile: <line>: Fehler: <reason>\r\n" entries or one German text.
  bool Validate(const char* xmlFile);

 private:
  CString m_Error;
  std::vector<std::pair<CString, CString>> m_Schemas;
  int m_MaxErrors = 5;
};
