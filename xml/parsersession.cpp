#include "parsersession.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "libxmlsetup.h"
#include "unicode.h"

namespace xtb::xml {
namespace {

// A parser error as a result code: FACILITY_ITF, the parser's number below.
constexpr HRESULT ParserCode(int code) {
  return static_cast<HRESULT>(0x80040000u | (static_cast<unsigned>(code) & 0xFFFFu));
}

// libxml2 not installed: ERROR_MOD_NOT_FOUND as a result code.
constexpr HRESULT kParserMissing = static_cast<HRESULT>(0x8007007Eu);

}  // namespace

size_t DocumentInput::Next(char* buffer, size_t length) {
  const size_t n = std::min(m_size - m_read, length);
  std::memcpy(buffer, m_data + m_read, n);
  m_read += n;
  return n;
}

xmlSAXHandler ParserSession::Handler() {
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
  sax.serror = Error;
  return sax;
}

HRESULT ParserSession::Parse(DocumentInput& input, xmlSAXHandler& handler, void* front, ISAXErrorHandler* errors) {
  if (input.Data() == nullptr && input.Size() > 0) return E_POINTER;
  if (input.Size() > static_cast<size_t>(INT_MAX)) return E_INVALIDARG;
  if (input.Size() == 0) return ParserCode(XML_ERR_DOCUMENT_EMPTY);
  const Libxml* libxml = LoadLibxml();
  if (libxml == nullptr) return kParserMissing;
  ParserSession session(input, front, errors);
  xmlParserCtxtPtr context =
      libxml->xmlCreateIOParserCtxt(&handler, nullptr, ReadSlice, nullptr, &session, XML_CHAR_ENCODING_NONE);
  if (context == nullptr) return E_OUTOFMEMORY;
  libxml->xmlCtxtUseOptions(context, XML_PARSE_NONET);
  session.m_context = context;
  context->userData = &session;
  libxml->xmlParseDocument(context);
  session.FreeDecoded();
  const HRESULT result = session.Result();
  if (context->myDoc != nullptr) libxml->xmlFreeDoc(context->myDoc);
  context->myDoc = nullptr;
  libxml->xmlFreeParserCtxt(context);
  return result;
}

// The document node keeps the document's own entity declarations.
void ParserSession::StartDocument(void* user) { LoadedLibxml().xmlSAX2StartDocument(Of(user).m_context); }

HRESULT ParserSession::Result() const {
  if (FAILED(m_stop)) return m_stop;
  if (FAILED(m_firstError)) return m_firstError;
  if (!m_context->wellFormed) return ParserCode(m_context->errNo != 0 ? m_context->errNo : 1);
  return S_OK;
}

void ParserSession::Stop(HRESULT hr) {
  m_stop = hr;
  if (m_context != nullptr) LoadedLibxml().xmlStopParser(m_context);
}

// The parser gets the document in slices; a tag past the bound ends the
// parse before the parser has all of it.
int ParserSession::ReadSlice(void* user, char* buffer, int length) {
  ParserSession& s = Of(user);
  const size_t room = length < 0 ? 0 : static_cast<size_t>(length);
  const size_t read = s.m_input.Next(buffer, room);
  if (s.m_markup.Scan(std::string_view(buffer, read))) return static_cast<int>(read);
  // Stopping the parser here would free the buffer the parser is filling:
  // the read error ends the parse, and the refusal is its result.
  if (SUCCEEDED(s.m_stop)) {
    constexpr HRESULT kRefused = ParserCode(XML_ERR_ATTRIBUTE_NOT_FINISHED);
    if (s.m_errors != nullptr) s.m_errors->fatalError(&s, u"too many attributes in one tag", kRefused);
    s.m_stop = kRefused;
  }
  return -1;
}

void ParserSession::Fail(HRESULT code, const char16_t* message) {
  if (FAILED(m_stop)) return;
  if (SUCCEEDED(m_firstError)) m_firstError = code;
  const HRESULT hr = m_errors != nullptr ? m_errors->fatalError(this, message, code) : code;
  Check(FAILED(hr) ? hr : code);
}

bool ParserSession::ReplaceReferences(std::string_view& value) {
  xmlChar* decoded =
      LoadedLibxml().xmlStringLenDecodeEntities(m_context, reinterpret_cast<const xmlChar*>(value.data()),
                                                static_cast<int>(value.size()), XML_SUBSTITUTE_REF, 0, 0, 0);
  if (decoded == nullptr) {
    Fail(ParserCode(XML_ERR_ENTITY_LOOP), u"attribute value not decoded");
    return false;
  }
  try {
    m_decoded.push_back(decoded);
  } catch (const std::bad_alloc&) {
    LoadedLibxml().Free(decoded);
    Check(E_OUTOFMEMORY);
    return false;
  }
  value = Utf8View(decoded);
  return true;
}

void ParserSession::FreeAllDecoded() {
  for (xmlChar* decoded : m_decoded) LoadedLibxml().Free(decoded);
  m_decoded.clear();
}

void ParserSession::Error(void* user, xmlErrorPtr error) {
  ParserSession& s = Of(user);
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

// The document's own DTD is held by libxml2's defaults (entity
// declarations); nothing outside the document is read.
void ParserSession::InternalSubset(void* user, const xmlChar* name, const xmlChar* publicId,
                                   const xmlChar* systemId) {
  LoadedLibxml().xmlSAX2InternalSubset(Of(user).m_context, name, publicId, systemId);
}

void ParserSession::EntityDecl(void* user, const xmlChar* name, int type, const xmlChar* publicId,
                               const xmlChar* systemId, xmlChar* content) {
  LoadedLibxml().xmlSAX2EntityDecl(Of(user).m_context, name, type, publicId, systemId, content);
}

// A reference to an external entity ends the parse: its content is never
// read. So does one that takes the references past their budget.
xmlEntityPtr ParserSession::GetEntity(void* user, const xmlChar* name) {
  ParserSession& s = Of(user);
  xmlEntityPtr entity = LoadedLibxml().xmlSAX2GetEntity(s.m_context, name);
  if (entity != nullptr && entity->etype == XML_EXTERNAL_GENERAL_PARSED_ENTITY) {
    s.Fail(ParserCode(XML_ERR_ENTITY_PROCESSING), u"external entity not resolved");
    return nullptr;
  }
  if (entity != nullptr && !s.m_entities.Admit(Utf8View(entity->content), s.m_input.Read())) {
    s.Fail(ParserCode(XML_ERR_ENTITY_LOOP), u"entity references expand too far");
    return nullptr;
  }
  return entity;
}

xmlEntityPtr ParserSession::GetParameterEntity(void* user, const xmlChar* name) {
  return LoadedLibxml().xmlSAX2GetParameterEntity(Of(user).m_context, name);
}

int ParserSession::IsStandalone(void* user) { return LoadedLibxml().xmlSAX2IsStandalone(Of(user).m_context); }
int ParserSession::HasInternalSubset(void* user) { return LoadedLibxml().xmlSAX2HasInternalSubset(Of(user).m_context); }
int ParserSession::HasExternalSubset(void* user) { return LoadedLibxml().xmlSAX2HasExternalSubset(Of(user).m_context); }

HRESULT ParserSession::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = iid == IID_IUnknown || iid == IID_ISAXLocator ? static_cast<ISAXLocator*>(this) : nullptr;
  return *object != nullptr ? S_OK : E_NOINTERFACE;
}

HRESULT ParserSession::getColumnNumber(int* column) {
  if (column == nullptr) return E_POINTER;
  *column = m_context->input != nullptr ? m_context->input->col : 0;
  return S_OK;
}

HRESULT ParserSession::getLineNumber(int* line) {
  if (line == nullptr) return E_POINTER;
  *line = m_context->input != nullptr ? m_context->input->line : 0;
  return S_OK;
}

HRESULT ParserSession::getPublicId(const char16_t** id) {
  if (id == nullptr) return E_POINTER;
  *id = nullptr;
  return S_OK;
}

}  // namespace xtb::xml
