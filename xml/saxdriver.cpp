#include "saxdriver.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "libxmlsetup.h"
#include "unicode.h"

namespace xtb::xml {
namespace {

std::string_view View(const xmlChar* text) {
  return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// A parser error as a result code: FACILITY_ITF, the parser's number below.
HRESULT ParserCode(int code) { return static_cast<HRESULT>(0x80040000u | (static_cast<unsigned>(code) & 0xFFFFu)); }

class Session final : public ISAXLocator {
 public:
  Session(xmlParserCtxtPtr context, Utf8Events& events, ISAXErrorHandler* errors)
      : m_context(context), m_events(events), m_errors(errors) {}

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
  void Declare(const xmlChar** namespaces, int count);
  void FreeDecoded();
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
  Utf8Events& m_events;
  ISAXErrorHandler* m_errors;
  HRESULT m_stop = S_OK;
  HRESULT m_firstError = S_OK;
  // Storage of one event, reused.
  std::vector<Utf8Declaration> m_declarations;
  std::vector<Utf8Attribute> m_attributes;
  std::vector<std::string> m_names;  // the declarations' attribute names
  std::vector<xmlChar*> m_decoded;   // attribute values with references replaced
  std::vector<std::string_view> m_undeclared;
  std::u16string m_message;
  std::vector<std::string> m_prefixes;  // declared on the open elements, innermost last
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
  s.Check(s.m_events.StartDocument(&s));
}

void Session::EndDocument(void* user) {
  Session& s = Of(user);
  s.Check(s.m_events.EndDocument());
}

void Session::StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                           int namespaceCount, const xmlChar** namespaces, int attributeCount, int,
                           const xmlChar** attributes) {
  Session& s = Of(user);
  s.m_declarations.clear();
  s.m_attributes.clear();
  if (namespaceCount > 0) s.Declare(namespaces, namespaceCount);
  s.m_prefixCounts.push_back(static_cast<size_t>(namespaceCount));
  for (int i = 0; i < attributeCount; ++i) {
    const xmlChar** a = attributes + 5 * i;  // local name, prefix, URI, value, value end
    std::string_view value(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
    if (value.find('&') != std::string_view::npos) {
      // Without substitution the parser leaves references in attribute values.
      xmlChar* decoded = xmlStringLenDecodeEntities(s.m_context, a[3], static_cast<int>(value.size()),
                                                    XML_SUBSTITUTE_REF, 0, 0, 0);
      if (decoded == nullptr) {
        s.FreeDecoded();
        s.Fail(ParserCode(XML_ERR_ENTITY_LOOP), u"attribute value not decoded");
        return;
      }
      s.m_decoded.push_back(decoded);
      value = View(decoded);
    }
    s.m_attributes.push_back({{View(a[2]), View(a[1]), View(a[0])}, value});
  }
  s.Check(s.m_events.StartElement({View(uri), View(prefix), View(localName)}, s.m_declarations, s.m_attributes));
  s.FreeDecoded();
}

// The declarations of one start tag, also as attributes named "xmlns" or
// "xmlns:prefix" ahead of the others.
void Session::Declare(const xmlChar** namespaces, int count) {
  if (m_names.size() < static_cast<size_t>(count)) m_names.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string_view declared = View(namespaces[2 * i]);
    const std::string_view target = View(namespaces[2 * i + 1]);
    m_declarations.push_back({declared, target});
    m_prefixes.emplace_back(declared);
    std::string& name = m_names[static_cast<size_t>(i)];
    name = "xmlns";
    if (!declared.empty()) (name += ':') += declared;
    m_attributes.push_back({{std::string_view(), std::string_view(), name}, target});
  }
}

void Session::FreeDecoded() {
  for (xmlChar* decoded : m_decoded) xmlFree(decoded);
  m_decoded.clear();
}

void Session::EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  Session& s = Of(user);
  const size_t count = s.m_prefixCounts.empty() ? 0 : s.m_prefixCounts.back();
  s.m_undeclared.clear();
  for (size_t i = 0; i < count; ++i) s.m_undeclared.push_back(s.m_prefixes[s.m_prefixes.size() - 1 - i]);
  s.Check(s.m_events.EndElement({View(uri), View(prefix), View(localName)}, s.m_undeclared));
  if (s.m_prefixCounts.empty()) return;
  s.m_prefixes.resize(s.m_prefixes.size() - count);
  s.m_prefixCounts.pop_back();
}

void Session::Characters(void* user, const xmlChar* text, int length) {
  Session& s = Of(user);
  s.Check(s.m_events.Characters(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length))));
}

void Session::Instruction(void* user, const xmlChar* target, const xmlChar* data) {
  Session& s = Of(user);
  s.Check(s.m_events.ProcessingInstruction(View(target), View(data)));
}

void Session::Error(void* user, xmlErrorPtr error) {
  Session& s = Of(user);
  if (error == nullptr || FAILED(s.m_stop)) return;
  const HRESULT code = ParserCode(error->code);
  if (error->level == XML_ERR_WARNING && s.m_errors == nullptr) return;
  s.m_message.clear();
  AppendUtf8AsUtf16(s.m_message, error->message != nullptr ? error->message : "");
  if (error->level == XML_ERR_WARNING) {
    s.Check(s.m_errors->ignorableWarning(&s, s.m_message.c_str(), code));
  } else if (error->level == XML_ERR_FATAL || s.m_errors == nullptr) {
    s.Fail(code, s.m_message.c_str());
  } else {
    if (SUCCEEDED(s.m_firstError)) s.m_firstError = code;
    s.Check(s.m_errors->error(&s, s.m_message.c_str(), code));
  }
}

// The document handed to the parser in slices: it keeps only a window of the
// input, never a copy of the whole.
struct Slices {
  const char* next;
  size_t left;
};

int ReadSlice(void* context, char* buffer, int length) {
  Slices& input = *static_cast<Slices*>(context);
  const size_t n = std::min(input.left, static_cast<size_t>(length < 0 ? 0 : length));
  std::memcpy(buffer, input.next, n);
  input.next += n;
  input.left -= n;
  return static_cast<int>(n);
}

}  // namespace

std::string_view Utf8Name::QName(std::string& scratch) const {
  if (prefix.empty()) return localName;
  scratch.assign(prefix).append(1, ':').append(localName);
  return scratch;
}

HRESULT ParseSax2(const char* data, size_t size, Utf8Events& events, ISAXErrorHandler* errors) {
  if (data == nullptr && size > 0) return E_POINTER;
  if (size > static_cast<size_t>(INT_MAX)) return E_INVALIDARG;
  if (size == 0) return ParserCode(XML_ERR_DOCUMENT_EMPTY);
  SetUpLibxml();
  Slices input{data, size};
  xmlSAXHandler handler = Session::Handler();
  xmlParserCtxtPtr context =
      xmlCreateIOParserCtxt(&handler, nullptr, ReadSlice, nullptr, &input, XML_CHAR_ENCODING_NONE);
  if (context == nullptr) return E_OUTOFMEMORY;
  xmlCtxtUseOptions(context, XML_PARSE_NONET);
  Session session(context, events, errors);
  context->userData = &session;
  xmlParseDocument(context);
  const HRESULT result = session.Result();
  if (context->myDoc != nullptr) xmlFreeDoc(context->myDoc);
  context->myDoc = nullptr;
  xmlFreeParserCtxt(context);
  return result;
}

}  // namespace xtb::xml
