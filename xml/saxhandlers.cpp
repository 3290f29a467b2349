// The SAX handler bases and their helpers for derived handlers.
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>
#include <xtbasis/xml.h>

#include "unicode.h"

namespace {

int Length(const char16_t* text) {
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

HRESULT SAXContentHandlerImpl::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISAXContentHandler) {
    *object = static_cast<ISAXContentHandler*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT SAXContentHandlerImpl::putDocumentLocator(ISAXLocator*) { return S_OK; }
HRESULT SAXContentHandlerImpl::startDocument() { return S_OK; }
HRESULT SAXContentHandlerImpl::endDocument() { return S_OK; }

HRESULT SAXContentHandlerImpl::startPrefixMapping(const char16_t* prefix, int prefixLength, const char16_t* uri,
                                                  int uriLength) {
  m_PrefixMap[W2S(prefix, prefixLength)] = W2S(uri, uriLength);
  return S_OK;
}

HRESULT SAXContentHandlerImpl::endPrefixMapping(const char16_t* prefix, int prefixLength) {
  m_PrefixMap.erase(W2S(prefix, prefixLength));
  return S_OK;
}

HRESULT SAXContentHandlerImpl::startElement(const char16_t*, int, const char16_t*, int, const char16_t*, int,
                                            ISAXAttributes*) {
  return S_OK;
}

HRESULT SAXContentHandlerImpl::endElement(const char16_t*, int, const char16_t*, int, const char16_t*, int) {
  return S_OK;
}

HRESULT SAXContentHandlerImpl::characters(const char16_t*, int) { return S_OK; }
HRESULT SAXContentHandlerImpl::ignorableWhitespace(const char16_t*, int) { return S_OK; }
HRESULT SAXContentHandlerImpl::processingInstruction(const char16_t*, int, const char16_t*, int) { return S_OK; }
HRESULT SAXContentHandlerImpl::skippedEntity(const char16_t*, int) { return S_OK; }

CString SAXContentHandlerImpl::W2S(const char16_t* text, int length) {
  std::string out;
  xtb::xml::AppendSaxTextAsCp1252(out, text, length);
  return CString(std::move(out));
}

HRESULT SAXContentHandlerImpl::GetValueFromName(ISAXAttributes* attributes, const char16_t* uri,
                                                const char16_t* localName, CString& value) {
  if (attributes == nullptr || uri == nullptr || localName == nullptr) return E_POINTER;
  const char16_t* text = nullptr;
  int length = 0;
  const HRESULT hr = attributes->getValueFromName(uri, Length(uri), localName, Length(localName), &text, &length);
  if (SUCCEEDED(hr)) value = W2S(text, length);
  return hr;
}

HRESULT SAXContentHandlerImpl::GetTrimmedValueFromName(ISAXAttributes* attributes, const char16_t* uri,
                                                       const char16_t* localName, CString& value) {
  CString found;
  const HRESULT hr = GetValueFromName(attributes, uri, localName, found);
  if (SUCCEEDED(hr)) {
    found.Trim();
    value = UTF8ToAnsi(found);
  }
  return hr;
}

HRESULT SAXErrorHandlerImpl::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISAXErrorHandler) {
    *object = static_cast<ISAXErrorHandler*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG SAXErrorHandlerImpl::Release() {
  const ULONG count = --m_RefCount;
  if (count == 0) delete this;
  return count;
}

HRESULT SAXErrorHandlerImpl::error(ISAXLocator*, const char16_t*, HRESULT) { return S_OK; }
HRESULT SAXErrorHandlerImpl::fatalError(ISAXLocator*, const char16_t*, HRESULT code) { return code; }
HRESULT SAXErrorHandlerImpl::ignorableWarning(ISAXLocator*, const char16_t*, HRESULT) { return S_OK; }
