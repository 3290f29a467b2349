// XTParseXML: libxml2's SAX2 parser feeding the platform's handler
// interfaces. Parsed without entity substitution, DTD loading or network
// (external entities are never resolved); internal entities reach the
// handler as characters, within the parser's amplification limits.
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <cstring>

#include <xtbasis/xml.h>

#include "libxmlsetup.h"
#include "saxattributes.h"
#include "unicode.h"

namespace {

using xtb::xml::AppendUtf8AsUtf16;

std::string_view View(const xmlChar* text) {
  return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// A parser error as a result code: FACILITY_ITF, the parser's number below.
HRESULT ParserCode(int code) { return static_cast<HRESULT>(0x80040000u | (static_cast<unsigned>(code) & 0xFFFFu)); }

class Session final : public ISAXLocator {
 public:
  Session(xmlParserCtxtPtr context, ISAXContentHandler& content, ISAXErrorHandler* errors)
      : m_context(context), m_content(content), m_errors(errors) {}

  HRESULT Result() const {
    if (FAILED(m_stop)) return m_stop;
    if (FAILED(m_firstError)) return m_firstError;
    if (!m_context->wellFormed) return ParserCode(m_context->errNo != 0 ? m_context->errNo : 1);
    return S_OK;
  }

  static xmlSAXHandler Handler();

  // ISAXLocator
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_ISAXLocator ? static_cast<ISAXLocator*>(this) : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT getColumnNumber(int* column) override {
    if (column == nullptr) return E_POINTER;
    *column = m_context->input != nullptr ? m_context->input->col : 0;
    return S_OK;
  }
  HRESULT getLineNumber(int* line) override {
    if (line == nullptr) return E_POINTER;
    *line = m_context->input != nullptr ? m_context->input->line : 0;
    return S_OK;
  }
  HRESULT getPublicId(const char16_t** id) override {
    if (id == nullptr) return E_POINTER;
    *id = nullptr;
    return S_OK;
  }
  HRESULT getSystemId(const char16_t** id) override { return getPublicId(id); }

 private:
  static Session& Of(void* user) { return *static_cast<Session*>(user); }

  // Stops the parse at the first failing event.
  void Check(HRESULT hr) {
    if (SUCCEEDED(hr) || FAILED(m_stop)) return;
    m_stop = hr;
    xmlStopParser(m_context);
  }

  void Fail(HRESULT code, const char16_t* message) {
    if (FAILED(m_stop)) return;
    if (SUCCEEDED(m_firstError)) m_firstError = code;
    const HRESULT hr = m_errors != nullptr ? m_errors->fatalError(this, message, code) : code;
    Check(FAILED(hr) ? hr : code);
  }

  static void StartDocument(void* user);
  static void EndDocument(void* user);
  static void StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                           int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaulted,
                           const xmlChar** attributes);
  static void EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri);
  static void Characters(void* user, const xmlChar* text, int length);
  static void Instruction(void* user, const xmlChar* target, const xmlChar* data);
  static void Error(void* user, xmlErrorPtr error);

  // The document's own DTD, held by libxml2's defaults (entity declarations);
  // nothing outside the document is read.
  static void InternalSubset(void* user, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId) {
    xmlSAX2InternalSubset(Of(user).m_context, name, publicId, systemId);
  }
  static void EntityDecl(void* user, const xmlChar* name, int type, const xmlChar* publicId,
                         const xmlChar* systemId, xmlChar* content) {
    xmlSAX2EntityDecl(Of(user).m_context, name, type, publicId, systemId, content);
  }
  // A reference to an external entity ends the parse: its content is never read.
  static xmlEntityPtr GetEntity(void* user, const xmlChar* name) {
    Session& s = Of(user);
    xmlEntityPtr entity = xmlSAX2GetEntity(s.m_context, name);
    if (entity != nullptr && entity->etype == XML_EXTERNAL_GENERAL_PARSED_ENTITY) {
      s.Fail(ParserCode(XML_ERR_ENTITY_PROCESSING), u"external entity not resolved");
      return nullptr;
    }
    return entity;
  }
  static xmlEntityPtr GetParameterEntity(void* user, const xmlChar* name) {
    return xmlSAX2GetParameterEntity(Of(user).m_context, name);
  }
  static int IsStandalone(void* user) { return xmlSAX2IsStandalone(Of(user).m_context); }
  static int HasInternalSubset(void* user) { return xmlSAX2HasInternalSubset(Of(user).m_context); }
  static int HasExternalSubset(void* user) { return xmlSAX2HasExternalSubset(Of(user).m_context); }
  static xmlParserInputPtr ResolveEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

  xmlParserCtxtPtr m_context;
  ISAXContentHandler& m_content;
  ISAXErrorHandler* m_errors;
  HRESULT m_stop = S_OK;
  HRESULT m_firstError = S_OK;
  xtb::xml::SaxAttributes m_attributes;
  std::u16string m_uri, m_local, m_qName, m_text;
  std::string m_qualified;
  std::vector<std::u16string> m_prefixes;  // declared on the open elements, innermost last
  std::vector<size_t> m_prefixCounts;
};

xmlSAXHandler Session::Handler() {
  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.initialized = XML_SAX2_MAGIC;
  sax.internalSubset = InternalSubset;
  sax.isStandalone = IsStandalone;
  sax.hasInternalSubset = HasInternalSubset;
  sax.hasExternalSubset = HasExternalSubset;
  sax.resolveEntity = ResolveEntity;
  sax.getEntity = GetEntity;
  sax.getParameterEntity = GetParameterEntity;
  sax.entityDecl = EntityDecl;
  sax.startDocument = StartDocument;
  sax.endDocument = EndDocument;
  sax.startElementNs = StartElement;
  sax.endElementNs = EndElement;
  sax.characters = Characters;
  sax.cdataBlock = Characters;
  sax.ignorableWhitespace = Characters;
  sax.processingInstruction = Instruction;
  sax.serror = Error;
  return sax;
}

void Session::StartDocument(void* user) {
  Session& s = Of(user);
  xmlSAX2StartDocument(s.m_context);  // the document node that keeps the entity declarations
  s.Check(s.m_content.putDocumentLocator(&s));
  s.Check(s.m_content.startDocument());
}

void Session::EndDocument(void* user) {
  Session& s = Of(user);
  s.Check(s.m_content.endDocument());
}

void Session::StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                           int namespaceCount, const xmlChar** namespaces, int attributeCount, int,
                           const xmlChar** attributes) {
  Session& s = Of(user);
  s.m_attributes.Clear();
  for (int i = 0; i < namespaceCount; ++i) {
    const std::string_view declared = View(namespaces[2 * i]);
    const std::string_view target = View(namespaces[2 * i + 1]);
    s.m_prefixes.emplace_back();
    AppendUtf8AsUtf16(s.m_prefixes.back(), declared);
    s.m_uri.clear();
    AppendUtf8AsUtf16(s.m_uri, target);
    s.Check(s.m_content.startPrefixMapping(s.m_prefixes.back().data(), static_cast<int>(s.m_prefixes.back().size()),
                                           s.m_uri.data(), static_cast<int>(s.m_uri.size())));
    // Declarations are attributes as well, named as written.
    s.m_qualified = declared.empty() ? std::string("xmlns") : "xmlns:" + std::string(declared);
    s.m_attributes.Add("", s.m_qualified, s.m_qualified, target);
  }
  s.m_prefixCounts.push_back(static_cast<size_t>(namespaceCount));
  for (int i = 0; i < attributeCount; ++i) {
    const xmlChar** a = attributes + 5 * i;  // local name, prefix, URI, value, value end
    s.m_qualified = a[1] != nullptr ? std::string(View(a[1])) + ":" + std::string(View(a[0])) : std::string(View(a[0]));
    const auto begin = reinterpret_cast<const char*>(a[3]);
    const std::string_view raw(begin, static_cast<size_t>(a[4] - a[3]));
    if (raw.find('&') == std::string_view::npos) {
      s.m_attributes.Add(View(a[2]), View(a[0]), s.m_qualified, raw);
      continue;
    }
    // Without substitution the parser leaves references in attribute values.
    xmlChar* decoded = xmlStringLenDecodeEntities(s.m_context, a[3], static_cast<int>(raw.size()),
                                                  XML_SUBSTITUTE_REF, 0, 0, 0);
    if (decoded == nullptr) {
      s.Check(ParserCode(XML_ERR_ENTITY_LOOP));
      return;
    }
    s.m_attributes.Add(View(a[2]), View(a[0]), s.m_qualified, View(decoded));
    xmlFree(decoded);
  }
  s.m_uri.clear();
  AppendUtf8AsUtf16(s.m_uri, View(uri));
  s.m_local.clear();
  AppendUtf8AsUtf16(s.m_local, View(localName));
  s.m_qName.clear();
  if (prefix != nullptr) {
    AppendUtf8AsUtf16(s.m_qName, View(prefix));
    s.m_qName += u':';
  }
  s.m_qName += s.m_local;
  s.Check(s.m_content.startElement(s.m_uri.data(), static_cast<int>(s.m_uri.size()), s.m_local.data(),
                                   static_cast<int>(s.m_local.size()), s.m_qName.data(),
                                   static_cast<int>(s.m_qName.size()), &s.m_attributes));
}

void Session::EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  Session& s = Of(user);
  s.m_uri.clear();
  AppendUtf8AsUtf16(s.m_uri, View(uri));
  s.m_local.clear();
  AppendUtf8AsUtf16(s.m_local, View(localName));
  s.m_qName.clear();
  if (prefix != nullptr) {
    AppendUtf8AsUtf16(s.m_qName, View(prefix));
    s.m_qName += u':';
  }
  s.m_qName += s.m_local;
  s.Check(s.m_content.endElement(s.m_uri.data(), static_cast<int>(s.m_uri.size()), s.m_local.data(),
                                 static_cast<int>(s.m_local.size()), s.m_qName.data(),
                                 static_cast<int>(s.m_qName.size())));
  if (s.m_prefixCounts.empty()) return;
  for (size_t n = s.m_prefixCounts.back(); n > 0; --n) {
    s.Check(s.m_content.endPrefixMapping(s.m_prefixes.back().data(), static_cast<int>(s.m_prefixes.back().size())));
    s.m_prefixes.pop_back();
  }
  s.m_prefixCounts.pop_back();
}

void Session::Characters(void* user, const xmlChar* text, int length) {
  Session& s = Of(user);
  s.m_text.clear();
  AppendUtf8AsUtf16(s.m_text, std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
  s.Check(s.m_content.characters(s.m_text.data(), static_cast<int>(s.m_text.size())));
}

void Session::Instruction(void* user, const xmlChar* target, const xmlChar* data) {
  Session& s = Of(user);
  s.m_local.clear();
  AppendUtf8AsUtf16(s.m_local, View(target));
  s.m_text.clear();
  AppendUtf8AsUtf16(s.m_text, View(data));
  s.Check(s.m_content.processingInstruction(s.m_local.data(), static_cast<int>(s.m_local.size()), s.m_text.data(),
                                            static_cast<int>(s.m_text.size())));
}

void Session::Error(void* user, xmlErrorPtr error) {
  Session& s = Of(user);
  if (error == nullptr || FAILED(s.m_stop)) return;
  const HRESULT code = ParserCode(error->code);
  if (error->level == XML_ERR_WARNING) {
    if (s.m_errors == nullptr) return;
    s.m_text.clear();
    AppendUtf8AsUtf16(s.m_text, error->message != nullptr ? error->message : "");
    s.Check(s.m_errors->ignorableWarning(&s, s.m_text.c_str(), code));
    return;
  }
  s.m_text.clear();
  AppendUtf8AsUtf16(s.m_text, error->message != nullptr ? error->message : "");
  if (error->level == XML_ERR_FATAL || s.m_errors == nullptr) {
    s.Fail(code, s.m_text.c_str());
    return;
  }
  if (SUCCEEDED(s.m_firstError)) s.m_firstError = code;
  s.Check(s.m_errors->error(&s, s.m_text.c_str(), code));
}

}  // namespace

HRESULT XTParseXML(const char* data, size_t size, ISAXContentHandler& content, ISAXErrorHandler* errors) {
  if (data == nullptr && size > 0) return E_POINTER;
  if (size > static_cast<size_t>(INT_MAX)) return E_INVALIDARG;
  xtb::xml::SetUpLibxml();
  xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(data != nullptr ? data : "", static_cast<int>(size));
  if (context == nullptr) return size == 0 ? ParserCode(XML_ERR_DOCUMENT_EMPTY) : E_OUTOFMEMORY;
  xmlCtxtUseOptions(context, XML_PARSE_NONET);
  *context->sax = Session::Handler();
  Session session(context, content, errors);
  context->userData = &session;
  xmlParseDocument(context);
  const HRESULT result = session.Result();
  if (context->myDoc != nullptr) xmlFreeDoc(context->myDoc);
  context->myDoc = nullptr;
  xmlFreeParserCtxt(context);
  return result;
}
