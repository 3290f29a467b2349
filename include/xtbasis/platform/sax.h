// The SAX2 handler interfaces through which the XML parser reports a
// document. Text is UTF-16 (char16_t) with an explicit length in code units
// and is not NUL-terminated unless a call says so; it lives only for the
// call. Every event returns a result code: S_OK goes on, a failure code
// stops the parse with that code.
#pragma once

#include <xtbasis/platform/com.h>

inline constexpr IID IID_ISAXLocator = {0x9B7E472A, 0x0DE4, 0x4640, {0xBF, 0xF3, 0x84, 0xD3, 0x8A, 0x05, 0x1C, 0x31}};
inline constexpr IID IID_ISAXAttributes = {
    0xF078ABE1, 0x45D2, 0x4832, {0x91, 0xEA, 0x44, 0x66, 0xCE, 0x2F, 0x25, 0xC9}};
inline constexpr IID IID_ISAXContentHandler = {
    0x1545CDFA, 0x9E4E, 0x4497, {0xA8, 0xA4, 0x2B, 0xF7, 0xD0, 0x11, 0x2C, 0x44}};
inline constexpr IID IID_ISAXErrorHandler = {
    0xA60511C4, 0xCCF5, 0x479E, {0x98, 0xA3, 0xDC, 0x8D, 0xC5, 0x45, 0xB7, 0xD0}};

// Where the parser is: lines and columns count from 1; the identifiers are
// NUL-terminated (null when unknown).
struct ISAXLocator : IUnknown {
  virtual HRESULT getColumnNumber(int* column) = 0;
  virtual HRESULT getLineNumber(int* line) = 0;
  virtual HRESULT getPublicId(const char16_t** publicId) = 0;
  virtual HRESULT getSystemId(const char16_t** systemId) = 0;

 protected:
  ~ISAXLocator() = default;
};

// The attributes of one start tag, by position (0-based) or by name. A
// missing attribute or position gives E_INVALIDARG; the texts stay valid
// until the start-element event returns.
struct ISAXAttributes : IUnknown {
  virtual HRESULT getLength(int* length) = 0;
  virtual HRESULT getURI(int index, const char16_t** uri, int* uriLength) = 0;
  virtual HRESULT getLocalName(int index, const char16_t** localName, int* localNameLength) = 0;
  virtual HRESULT getQName(int index, const char16_t** qName, int* qNameLength) = 0;
  virtual HRESULT getName(int index, const char16_t** uri, int* uriLength, const char16_t** localName,
                          int* localNameLength, const char16_t** qName, int* qNameLength) = 0;
  virtual HRESULT getIndexFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                   int localNameLength, int* index) = 0;
  virtual HRESULT getIndexFromQName(const char16_t* qName, int qNameLength, int* index) = 0;
  virtual HRESULT getType(int index, const char16_t** type, int* typeLength) = 0;
  virtual HRESULT getTypeFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                  int localNameLength, const char16_t** type, int* typeLength) = 0;
  virtual HRESULT getTypeFromQName(const char16_t* qName, int qNameLength, const char16_t** type,
                                   int* typeLength) = 0;
  virtual HRESULT getValue(int index, const char16_t** value, int* valueLength) = 0;
  virtual HRESULT getValueFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                   int localNameLength, const char16_t** value, int* valueLength) = 0;
  virtual HRESULT getValueFromQName(const char16_t* qName, int qNameLength, const char16_t** value,
                                    int* valueLength) = 0;

 protected:
  ~ISAXAttributes() = default;
};

// The document's content, in document order.
struct ISAXContentHandler : IUnknown {
  virtual HRESULT putDocumentLocator(ISAXLocator* locator) = 0;
  virtual HRESULT startDocument() = 0;
  virtual HRESULT endDocument() = 0;
  virtual HRESULT startPrefixMapping(const char16_t* prefix, int prefixLength, const char16_t* uri,
                                     int uriLength) = 0;
  virtual HRESULT endPrefixMapping(const char16_t* prefix, int prefixLength) = 0;
  virtual HRESULT startElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                               const char16_t* qName, int qNameLength, ISAXAttributes* attributes) = 0;
  virtual HRESULT endElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                             const char16_t* qName, int qNameLength) = 0;
  virtual HRESULT characters(const char16_t* text, int length) = 0;
  virtual HRESULT ignorableWhitespace(const char16_t* text, int length) = 0;
  virtual HRESULT processingInstruction(const char16_t* target, int targetLength, const char16_t* data,
                                        int dataLength) = 0;
  virtual HRESULT skippedEntity(const char16_t* name, int nameLength) = 0;

  // Handlers written with wchar_t text (32 bits here, so neither the units
  // nor the lengths would be the UTF-16 ones) would only add functions that
  // no parser calls. Declaring one is an error; the line the compiler quotes
  // says what to write instead.
  virtual HRESULT startPrefixMapping(const wchar_t*, int, const wchar_t*, int) = delete;  // SAX text is const char16_t*: write startPrefixMapping(const char16_t* prefix, int prefixLength, const char16_t* uri, int uriLength)
  virtual HRESULT endPrefixMapping(const wchar_t*, int) = delete;  // SAX text is const char16_t*: write endPrefixMapping(const char16_t* prefix, int prefixLength)
  virtual HRESULT startElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int, ISAXAttributes*) = delete;  // SAX text is const char16_t*: write startElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength, const char16_t* qName, int qNameLength, ISAXAttributes* attributes)
  virtual HRESULT endElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) = delete;  // SAX text is const char16_t*: write endElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength, const char16_t* qName, int qNameLength)
  virtual HRESULT characters(const wchar_t*, int) = delete;  // SAX text is const char16_t*: write characters(const char16_t* text, int length)
  virtual HRESULT ignorableWhitespace(const wchar_t*, int) = delete;  // SAX text is const char16_t*: write ignorableWhitespace(const char16_t* text, int length)
  virtual HRESULT processingInstruction(const wchar_t*, int, const wchar_t*, int) = delete;  // SAX text is const char16_t*: write processingInstruction(const char16_t* target, int targetLength, const char16_t* data, int dataLength)
  virtual HRESULT skippedEntity(const wchar_t*, int) = delete;  // SAX text is const char16_t*: write skippedEntity(const char16_t* name, int nameLength)

 protected:
  ~ISAXContentHandler() = default;
};

// Problems found while parsing; `message` is NUL-terminated. Returning a
// failure code from error or ignorableWarning stops the parse as well.
struct ISAXErrorHandler : IUnknown {
  virtual HRESULT error(ISAXLocator* locator, const char16_t* message, HRESULT code) = 0;
  virtual HRESULT fatalError(ISAXLocator* locator, const char16_t* message, HRESULT code) = 0;
  virtual HRESULT ignorableWarning(ISAXLocator* locator, const char16_t* message, HRESULT code) = 0;

  // As for the content handler: wchar_t text would never be called.
  virtual HRESULT error(ISAXLocator*, const wchar_t*, HRESULT) = delete;  // SAX text is const char16_t*: write error(ISAXLocator* locator, const char16_t* message, HRESULT code)
  virtual HRESULT fatalError(ISAXLocator*, const wchar_t*, HRESULT) = delete;  // SAX text is const char16_t*: write fatalError(ISAXLocator* locator, const char16_t* message, HRESULT code)
  virtual HRESULT ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) = delete;  // SAX text is const char16_t*: write ignorableWarning(ISAXLocator* locator, const char16_t* message, HRESULT code)

 protected:
  ~ISAXErrorHandler() = default;
};
