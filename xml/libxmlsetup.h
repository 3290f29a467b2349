// libxml2 for the family's parsers, loaded on the first parse so that
// programs that never read a document never map it (nor the ICU data it
// brings along): the functions the family calls, bound by name, and the
// library set up once per process: initialised, and an entity loader that,
// while a schema of this family is being read, refuses every address that
// is not a local file; and, per thread, where the reports go that no parser
// of the family hears.
#pragma once

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>
#include <libxml/xmlschemastypes.h>

namespace xtb::xml {

// Each member is named as the function it holds. libxml2's per-thread
// settings (xmlStructuredError ...) are macros over the functions that
// return their place, so those functions are held; xmlFree is a variable,
// held by its address.
#define XTB_LIBXML_FUNCTIONS(X)                                                                                    \
  X(xmlInitParser) X(xmlSchemaInitTypes) X(xmlGetExternalEntityLoader) X(xmlSetExternalEntityLoader)               \
  X(xmlFree) X(__xmlStructuredError) X(__xmlStructuredErrorContext) X(__xmlGenericError)                         \
  X(__xmlGenericErrorContext) X(xmlSetStructuredErrorFunc) X(xmlSetGenericErrorFunc)                               \
  X(xmlCreateIOParserCtxt) X(xmlCreateMemoryParserCtxt) X(xmlCtxtUseOptions) X(xmlParseDocument) X(xmlStopParser)  \
  X(xmlFreeParserCtxt) X(xmlFreeDoc) X(xmlStringLenDecodeEntities) X(xmlSAX2StartDocument)                         \
  X(xmlSAX2InternalSubset) X(xmlSAX2EntityDecl) X(xmlSAX2GetEntity) X(xmlSAX2GetParameterEntity)                   \
  X(xmlSAX2IsStandalone) X(xmlSAX2HasInternalSubset) X(xmlSAX2HasExternalSubset) X(xmlSAX2GetLineNumber)           \
  X(xmlReadFile) X(xmlDocGetRootElement) X(xmlGetNoNsProp) X(xmlSchemaNewMemParserCtxt)                            \
  X(xmlSchemaSetParserStructuredErrors) X(xmlSchemaParse) X(xmlSchemaFreeParserCtxt) X(xmlSchemaFree)              \
  X(xmlSchemaNewValidCtxt) X(xmlSchemaSetValidStructuredErrors) X(xmlSchemaValidateDoc) X(xmlSchemaFreeValidCtxt)

struct Libxml {
#define XTB_LIBXML_MEMBER(name) decltype(&::name) name;
  XTB_LIBXML_FUNCTIONS(XTB_LIBXML_MEMBER)
#undef XTB_LIBXML_MEMBER

  void Free(void* memory) const { (*xmlFree)(memory); }
};

// The library, loaded and set up by the first call; null when it cannot be
// loaded or lacks a function.
const Libxml* LoadLibxml();

// The library while a parse runs, which only starts once LoadLibxml
// succeeded: for the parser's callbacks.
inline const Libxml& LoadedLibxml() { return *LoadLibxml(); }

// While one lives on a thread, schema documents and their imports are read
// from local files only.
class LocalFilesOnly {
 public:
  LocalFilesOnly();
  ~LocalFilesOnly();
  LocalFilesOnly(const LocalFilesOnly&) = delete;
  LocalFilesOnly& operator=(const LocalFilesOnly&) = delete;

 private:
  bool m_outer;
};

// While one lives on a thread, libxml2's reports that reach no handler of
// a parser's own (those of the documents that a schema includes or
// imports, which libxml2 parses itself) go to `handler`, and its bare
// messages nowhere, instead of to standard error, where the library would
// print them with the offending line of the document.
class ErrorsTo {
 public:
  ErrorsTo(const Libxml& libxml, void* context, xmlStructuredErrorFunc handler);
  ~ErrorsTo();
  ErrorsTo(const ErrorsTo&) = delete;
  ErrorsTo& operator=(const ErrorsTo&) = delete;

 private:
  const Libxml& m_libxml;
  xmlStructuredErrorFunc m_handler;
  void* m_context;
  xmlGenericErrorFunc m_generic;
  void* m_genericContext;
};

}  // namespace xtb::xml
