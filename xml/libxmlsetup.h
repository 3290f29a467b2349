// libxml2 set up once per process for the family's parsers: the library
// initialised, and an entity loader that, while a schema of this family is
// being read, refuses every address that is not a local file; and, per
// thread, where the reports go that no parser of the family hears.
#pragma once

#include <libxml/xmlerror.h>

namespace xtb::xml {

void SetUpLibxml();

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
  ErrorsTo(void* context, xmlStructuredErrorFunc handler);
  ~ErrorsTo();
  ErrorsTo(const ErrorsTo&) = delete;
  ErrorsTo& operator=(const ErrorsTo&) = delete;

 private:
  xmlStructuredErrorFunc m_handler;
  void* m_context;
  xmlGenericErrorFunc m_generic;
  void* m_genericContext;
};

}  // namespace xtb::xml
