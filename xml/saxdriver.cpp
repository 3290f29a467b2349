#include "saxdriver.h"

#include <vector>

#include "declaredprefixes.h"

namespace xtb::xml {
namespace {

// Turns libxml2's element events into Utf8Events, keeping the namespace
// declarations in scope for the ends of their elements.
class Utf8Front {
 public:
  explicit Utf8Front(Utf8Events& events) : m_events(events) {}

  static void Install(xmlSAXHandler& sax) {
    sax.startDocument = StartDocument;
    sax.endDocument = EndDocument;
    sax.startElementNs = StartElement;
    sax.endElementNs = EndElement;
    sax.characters = Characters;
    sax.cdataBlock = Characters;
    sax.ignorableWhitespace = Characters;
    sax.processingInstruction = Instruction;
  }

 private:
  static void StartDocument(void* user);
  static void EndDocument(void* user);
  static void StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                           int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaulted,
                           const xmlChar** attributes);
  static void EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri);
  static void Characters(void* user, const xmlChar* text, int length);
  static void Instruction(void* user, const xmlChar* target, const xmlChar* data);
  HRESULT Start(ParserSession& session, const Utf8Name& name, int namespaceCount, const xmlChar** namespaces,
                int attributeCount, const xmlChar** attributes);
  HRESULT End(const Utf8Name& name);
  void Declare(const xmlChar** namespaces, int count);

  Utf8Events& m_events;
  // Storage of one event, reused.
  std::vector<Utf8Declaration> m_declarations;
  std::vector<Utf8Attribute> m_attributes;
  std::vector<std::string> m_names;  // the declarations' attribute names
  std::vector<std::string_view> m_undeclared;
  DeclaredPrefixes m_scopes;
};

void Utf8Front::StartDocument(void* user) {
  ParserSession::StartDocument(user);
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] { return s.FrontAs<Utf8Front>().m_events.StartDocument(&s); });
}

void Utf8Front::EndDocument(void* user) {
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] { return s.FrontAs<Utf8Front>().m_events.EndDocument(); });
}

void Utf8Front::StartElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                             int namespaceCount, const xmlChar** namespaces, int attributeCount, int,
                             const xmlChar** attributes) {
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] {
    return s.FrontAs<Utf8Front>().Start(s, {Utf8View(uri), Utf8View(prefix), Utf8View(localName)}, namespaceCount,
                                        namespaces, attributeCount, attributes);
  });
  s.FreeDecoded();
}

HRESULT Utf8Front::Start(ParserSession& session, const Utf8Name& name, int namespaceCount,
                         const xmlChar** namespaces, int attributeCount, const xmlChar** attributes) {
  m_declarations.clear();
  m_attributes.clear();
  m_scopes.Open(namespaces, namespaceCount);
  if (namespaceCount > 0) Declare(namespaces, namespaceCount);
  for (int i = 0; i < attributeCount; ++i) {
    const xmlChar** a = attributes + 5 * i;  // local name, prefix, URI, value, value end
    std::string_view value;
    if (!session.AttributeValue(a, value)) return S_OK;  // the session has failed the parse
    m_attributes.push_back({{Utf8View(a[2]), Utf8View(a[1]), Utf8View(a[0])}, value});
  }
  return m_events.StartElement(name, m_declarations, m_attributes);
}

// The declarations of one start tag, also as attributes named "xmlns" or
// "xmlns:prefix" ahead of the others.
void Utf8Front::Declare(const xmlChar** namespaces, int count) {
  if (m_names.size() < static_cast<size_t>(count)) m_names.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string_view declared = Utf8View(namespaces[2 * i]);
    const std::string_view target = Utf8View(namespaces[2 * i + 1]);
    m_declarations.push_back({declared, target});
    std::string& name = m_names[static_cast<size_t>(i)];
    XmlnsName(name, declared);
    m_attributes.push_back({{std::string_view(), std::string_view(), name}, target});
  }
}

void Utf8Front::EndElement(void* user, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] { return s.FrontAs<Utf8Front>().End({Utf8View(uri), Utf8View(prefix), Utf8View(localName)}); });
}

HRESULT Utf8Front::End(const Utf8Name& name) {
  const std::span<const std::string> declared = m_scopes.Innermost();
  m_undeclared.assign(declared.rbegin(), declared.rend());  // last one first
  const HRESULT hr = m_events.EndElement(name, m_undeclared);
  m_scopes.Close();
  return hr;
}

void Utf8Front::Characters(void* user, const xmlChar* text, int length) {
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] {
    return s.FrontAs<Utf8Front>().m_events.Characters(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
  });
}

void Utf8Front::Instruction(void* user, const xmlChar* target, const xmlChar* data) {
  ParserSession& s = ParserSession::Of(user);
  s.Run([&] { return s.FrontAs<Utf8Front>().m_events.ProcessingInstruction(Utf8View(target), Utf8View(data)); });
}

}  // namespace

std::string_view Utf8Name::QName(std::string& scratch) const {
  if (prefix.empty()) return localName;
  scratch.assign(prefix).append(1, ':').append(localName);
  return scratch;
}

HRESULT ParseSax2(DocumentInput& input, Utf8Events& events, ISAXErrorHandler* errors) {
  xmlSAXHandler handler = ParserSession::Handler();
  Utf8Front::Install(handler);
  Utf8Front front(events);
  return ParserSession::Parse(input, handler, &front, errors);
}

}  // namespace xtb::xml
