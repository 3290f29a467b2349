#include "libxmlsetup.h"

#include <libxml/parser.h>
#include <libxml/xmlschemastypes.h>

#include <cstring>
#include <mutex>

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

}  // namespace

void SetUpLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    // The schema module builds its table of built-in types on first use
    // without a lock; two threads compiling schemas at once would each
    // build one and lose the other.
    xmlSchemaInitTypes();
    g_previous = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(Loader);
  });
}

LocalFilesOnly::LocalFilesOnly() : m_outer(!t_localOnly) { t_localOnly = true; }

LocalFilesOnly::~LocalFilesOnly() {
  if (m_outer) t_localOnly = false;
}

ErrorsTo::ErrorsTo(void* context, xmlStructuredErrorFunc handler)
    : m_handler(xmlStructuredError),
      m_context(xmlStructuredErrorContext),
      m_generic(xmlGenericError),
      m_genericContext(xmlGenericErrorContext) {
  xmlSetStructuredErrorFunc(context, handler);
  xmlSetGenericErrorFunc(nullptr, Unheard);
}

ErrorsTo::~ErrorsTo() {
  xmlSetStructuredErrorFunc(m_context, m_handler);
  xmlSetGenericErrorFunc(m_genericContext, m_generic);
}

}  // namespace xtb::xml
