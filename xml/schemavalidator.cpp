// CXTXmlSchemaValidator on libxml2's XML Schema support. The schema list is
// compiled as one schema that imports each namespace's file (and includes
// the one without namespace), so that schemas importing each other meet
// as one set. Documents are parsed without entity substitution, DTD
// loading or network; schemas and their imports come from local files only.

#include <climits>
#include <memory>
#include <string>

#include <xtbasis/errortext.h>
#include <xtbasis/filehelpers.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/trace.h>
#include <xtbasis/transcode.h>
#include <xtbasis/xml.h>

#include "documentbounds.h"
#include "libxmlsetup.h"
#include "os/systempath.h"
#include "unicode.h"

namespace {

using xtb::xml::ErrorsTo;
using xtb::xml::Libxml;
using xtb::xml::LoadedLibxml;

constexpr const char* kNotCreated = "Der XML Schema Validator konnte nicht erzeugt werden";
constexpr const char* kNotLoaded = "Das XML Schema konnte nicht geladen werden";
constexpr const char* kNotRun = "Der XML Schema Validator konnte nicht ausgef\xFChrt werden";
constexpr const char* kNamespace = "Der Namespace des Dokumentes ist im Schema nicht definiert";

// Errors of one run, the first `limit` of them kept as entries.
struct Entries {
  explicit Entries(int limit) : limit(limit) {}
  void Add(int line, std::string_view reasonUtf8) {
    ++count;
    if (count > limit) return;
    while (!reasonUtf8.empty() && (reasonUtf8.back() == '\n' || reasonUtf8.back() == '\r')) reasonUtf8.remove_suffix(1);
    std::string reason;
    xtb::xml::AppendUtf8AsCp1252(reason, reasonUtf8);
    text.AppendFormat("Zeile: %d: Fehler: %s\r\n", line, reason.c_str());
  }
  static void Collect(void* user, xmlErrorPtr error) {
    if (error == nullptr || error->level == XML_ERR_WARNING) return;
    static_cast<Entries*>(user)->Add(error->line, error->message != nullptr ? error->message : "");
  }
  int limit;
  int count = 0;
  CString text;
};

// Problems while reading the schemas; a document that cannot be loaded is
// only a warning to libxml2, but makes the set incomplete.
struct SchemaProblems {
  static void Collect(void* user, xmlErrorPtr error) {
    if (error == nullptr) return;
    const bool missing = error->code == XML_SCHEMAP_FAILED_LOAD || error->domain == XML_FROM_IO ||
                         error->code == XML_SCHEMAP_SRC_IMPORT || error->code == XML_SCHEMAP_SRC_INCLUDE;
    if (error->level != XML_ERR_WARNING || missing) static_cast<SchemaProblems*>(user)->failed = true;
  }
  bool failed = false;
};

struct FreeDoc {
  void operator()(xmlDocPtr doc) const { LoadedLibxml().xmlFreeDoc(doc); }
};
struct FreeSchema {
  void operator()(xmlSchemaPtr schema) const { LoadedLibxml().xmlSchemaFree(schema); }
};
using Doc = std::unique_ptr<xmlDoc, FreeDoc>;
using Schema = std::unique_ptr<xmlSchema, FreeSchema>;

std::string Utf8(const CString& text) { return AnsiToUTF8(text).str(); }

std::string Attribute(const CString& value) {
  std::string out;
  for (const char c : Utf8(value)) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

// One schema document naming every file of the list.
std::string SchemaSet(const std::vector<std::pair<CString, CString>>& schemas) {
  std::string set = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">";
  for (const auto& [ns, file] : schemas) {
    if (ns.IsEmpty()) set += "<xs:include schemaLocation=\"" + Attribute(file) + "\"/>";
    else set += "<xs:import namespace=\"" + Attribute(ns) + "\" schemaLocation=\"" + Attribute(file) + "\"/>";
  }
  return set + "</xs:schema>";
}

// Each file must be a well-formed document of its own whose target
// namespace is the one it was added under.
bool Readable(const CString& ns, const CString& file) {
  const Libxml& libxml = LoadedLibxml();
  Doc doc(libxml.xmlReadFile(file.GetString(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  const xmlNode* root = doc != nullptr ? libxml.xmlDocGetRootElement(doc.get()) : nullptr;
  if (root == nullptr) return false;
  xmlChar* target = libxml.xmlGetNoNsProp(root, reinterpret_cast<const xmlChar*>("targetNamespace"));
  const bool same = Utf8(ns) == (target != nullptr ? reinterpret_cast<const char*>(target) : "");
  libxml.Free(target);
  return same;
}

Schema Compile(const std::vector<std::pair<CString, CString>>& schemas) {
  const Libxml& libxml = LoadedLibxml();
  for (const auto& schema : schemas)
    if (!Readable(schema.first, schema.second)) return nullptr;
  const std::string set = SchemaSet(schemas);
  xmlSchemaParserCtxtPtr parser = libxml.xmlSchemaNewMemParserCtxt(set.data(), static_cast<int>(set.size()));
  if (parser == nullptr) return nullptr;
  SchemaProblems problems;
  libxml.xmlSchemaSetParserStructuredErrors(parser, SchemaProblems::Collect, &problems);
  const ErrorsTo included(libxml, &problems, SchemaProblems::Collect);
  Schema schema(libxml.xmlSchemaParse(parser));
  libxml.xmlSchemaFreeParserCtxt(parser);
  return problems.failed ? nullptr : std::move(schema);
}

// One document's parse: where its errors go, and its references' budget.
// The parse of an entity's text has a context of its own that shares the
// document's `_private`.
struct DocumentRun {
  Entries& entries;
  size_t size;
  xtb::xml::EntityBudget entities;
  bool refused = false;  // a stopped parse reports no error of its own

  static DocumentRun& Of(void* parser) { return *static_cast<DocumentRun*>(static_cast<xmlParserCtxtPtr>(parser)->_private); }
  static void Collect(void* parser, xmlErrorPtr error) { Entries::Collect(&Of(parser).entries, error); }
  static xmlEntityPtr GetEntity(void* parser, const xmlChar* name) {
    const Libxml& libxml = LoadedLibxml();
    DocumentRun& run = Of(parser);
    xmlEntityPtr entity = libxml.xmlSAX2GetEntity(parser, name);
    const char* text = entity != nullptr && entity->content != nullptr ? reinterpret_cast<const char*>(entity->content) : "";
    if (entity == nullptr || run.entities.Admit(text, run.size)) return entity;
    run.entries.Add(libxml.xmlSAX2GetLineNumber(parser), "entity references expand too far");
    run.refused = true;
    libxml.xmlStopParser(static_cast<xmlParserCtxtPtr>(parser));
    return nullptr;
  }
};

// The document, or null when it is not well-formed (errors in `entries`).
Doc Parse(const char* file, Entries& entries) {
  const Libxml& libxml = LoadedLibxml();
  CString content;
  if (!LoadTextFile(file, content)) {
    entries.Add(0, Utf8(GetLastErrorString(nullptr, GetLastError())));
    return nullptr;
  }
  if (content.GetLength() == INT_MAX) {
    entries.Add(0, "document too large");
    return nullptr;
  }
  if (!xtb::xml::MarkupBound().Scan(std::string_view(content.GetString(), content.GetLength()))) {
    entries.Add(0, "too many attributes in one tag");
    return nullptr;
  }
  xmlParserCtxtPtr parser = libxml.xmlCreateMemoryParserCtxt(content.GetString(), content.GetLength());
  if (parser == nullptr) {
    entries.Add(0, content.IsEmpty() ? "Document is empty" : "out of memory");
    return nullptr;
  }
  DocumentRun run{entries, static_cast<size_t>(content.GetLength()), {}};
  parser->sax->serror = DocumentRun::Collect;
  parser->sax->getEntity = DocumentRun::GetEntity;
  parser->_private = &run;
  libxml.xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
  libxml.xmlParseDocument(parser);
  Doc doc(parser->myDoc);
  parser->myDoc = nullptr;
  const bool good = parser->wellFormed && parser->nsWellFormed && !run.refused;
  libxml.xmlFreeParserCtxt(parser);
  if (!good && entries.count == 0) entries.Add(0, "not well-formed");
  return good ? std::move(doc) : nullptr;
}

}  // namespace

void CXTXmlSchemaValidator::AddToSchemaCache(const char* namespaceUri, const char* schemaFile) {
  // libxml2 opens the schema files itself: they are kept in the system's form.
  m_Schemas.emplace_back(CString(namespaceUri), CString(xtb::os::SystemPath(schemaFile != nullptr ? schemaFile : "")));
}

bool CXTXmlSchemaValidator::Validate(const char* xmlFile) {
  m_Error.Empty();
  const xtb::xml::Libxml* libxml = xtb::xml::LoadLibxml();
  if (libxml == nullptr) {
    m_Error = kNotCreated;
    return false;
  }
  xtb::xml::LocalFilesOnly localFiles;
  Schema schema;
  if (!m_Schemas.empty()) {
    schema = Compile(m_Schemas);
    if (schema == nullptr) {
      m_Error = kNotLoaded;
      return false;
    }
  }
  if (xmlFile == nullptr) {
    m_Error = kNotRun;
    return false;
  }
  Entries entries(m_MaxErrors);
  Doc doc = Parse(xmlFile, entries);
  if (doc == nullptr) {
    m_Error = entries.text;
    return false;
  }
  const xmlNode* root = libxml->xmlDocGetRootElement(doc.get());
  if (root == nullptr) {
    m_Error = kNotRun;
    return false;
  }
  const CString rootNamespace = root->ns != nullptr && root->ns->href != nullptr
                                    ? CString(reinterpret_cast<const char*>(root->ns->href))
                                    : CString();
  bool covered = false;
  for (const auto& entry : m_Schemas) covered = covered || Utf8(entry.first) == rootNamespace.str();
  if (covered) {
    xmlSchemaValidCtxtPtr validator = libxml->xmlSchemaNewValidCtxt(schema.get());
    if (validator == nullptr) {
      m_Error = kNotCreated;
      return false;
    }
    libxml->xmlSchemaSetValidStructuredErrors(validator, Entries::Collect, &entries);
    const int result = libxml->xmlSchemaValidateDoc(validator, doc.get());
    libxml->xmlSchemaFreeValidCtxt(validator);
    if (result < 0) {
      m_Error = kNotRun;
      return false;
    }
    if (result > 0 || entries.count > 0) {
      m_Error = entries.text;
      return false;
    }
  }
  if (rootNamespace.IsEmpty() || covered) return true;
  m_Error = kNamespace;
  return false;
}
