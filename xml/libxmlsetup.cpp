#include "libxmlsetup.h"

#include <cstring>

#include "os/dynlib.h"

namespace xtb::xml {
namespace {

thread_local bool t_localOnly = false;
xmlExternalEntityLoader g_previous = nullptr;

bool IsLocal(const char* url) {
  if (url == nullptr) return false;
  const char* colon = std::strstr(url, "://");
  return colon == nullptr || strncmp(url, "file://", 7) == 0;
}

void Unheard(void*, const char*, ...) {}

xmlParserInputPtr Loader(const char* url, const char* id, xmlParserCtxtPtr context) {
  if (t_localOnly && !IsLocal(url)) return nullptr;  // the caller reports the missing document
  return g_previous(url, id, context);
}

bool BindAll(void* library, Libxml& table) {
  using os::dynlib::Bind;
#define XTB_LIBXML_BIND(name) Bind(library, #name, table.name) &&
  return XTB_LIBXML_FUNCTIONS(XTB_LIBXML_BIND) true;
#undef XTB_LIBXML_BIND
}

const Libxml* SetUp(const Libxml* libxml) {
  if (libxml == nullptr) return nullptr;
  libxml->xmlInitParser();
  // The schema module builds its table of built-in types on first use
  // without a lock; two threads compiling schemas at once would each
  // build one and lose the other.
  libxml->xmlSchemaInitTypes();
  g_previous = libxml->xmlGetExternalEntityLoader();
  libxml->xmlSetExternalEntityLoader(Loader);
  return libxml;
}

}  // namespace

const Libxml* LoadLibxml() {
  static Libxml table;
  static const Libxml* const loaded = SetUp(os::dynlib::Load("libxml2.so.2", table, BindAll));
  return loaded;
}

LocalFilesOnly::LocalFilesOnly() : m_outer(!t_localOnly) { t_localOnly = true; }

LocalFilesOnly::~LocalFilesOnly() {
  if (m_outer) t_localOnly = false;
}

ErrorsTo::ErrorsTo(const Libxml& libxml, void* context, xmlStructuredErrorFunc handler)
    : m_libxml(libxml),
      m_handler(*libxml.__xmlStructuredError()),
      m_context(*libxml.__xmlStructuredErrorContext()),
      m_generic(*libxml.__xmlGenericError()),
      m_genericContext(*libxml.__xmlGenericErrorContext()) {
  libxml.xmlSetStructuredErrorFunc(context, handler);
  libxml.xmlSetGenericErrorFunc(nullptr, Unheard);
}

ErrorsTo::~ErrorsTo() {
  m_libxml.xmlSetStructuredErrorFunc(m_context, m_handler);
  m_libxml.xmlSetGenericErrorFunc(m_genericContext, m_generic);
}

}  // namespace xtb::xml
