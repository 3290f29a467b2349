// One parse by libxml2's SAX2 parser under the family's hostile-input
// policy: no entity substitution by the parser, no DTD loading, no network,
// external entities refused when referenced, the parser's amplification and
// depth limits, and the family's bounds on tags and entity references
// (documentbounds.h). A reader (a front) adds its element and text callbacks to
// the session's handler and finds itself again through the session.
#pragma once

#include <libxml/parser.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <xtbasis/platform/sax.h>

#include "documentbounds.h"
#include "resultof.h"

namespace xtb::xml {

// The document handed to the parser in slices: the parser keeps only a
// window of it, never a copy of the whole, and how far it has read is known.
class DocumentInput {
 public:
  DocumentInput(const char* data, size_t size) : m_data(data), m_size(size) {}
  const char* Data() const { return m_data; }
  size_t Size() const { return m_size; }
  // Bytes handed to the parser so far.
  size_t Read() const { return m_read; }
  // Copies the next slice, at most `length` bytes, to `buffer`; its length.
  size_t Next(char* buffer, size_t length);

 private:
  const char* m_data;
  size_t m_size;
  size_t m_read = 0;
};

inline std::string_view Utf8View(const xmlChar* text) {
  return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

class ParserSession final : public ISAXLocator {
 public:
  // The policy's callbacks, and a start of the document that keeps the
  // document's own entity declarations; a front adds its own callbacks.
  static xmlSAXHandler Handler();

  // Parses `input` with `handler`, calling back `front`; problems go to
  // `errors` when given, otherwise the first error ends the parse. S_OK or
  // the code that ended the parse (a front's failure code, or 0x8004xxxx
  // with the parser's error number).
  static HRESULT Parse(DocumentInput& input, xmlSAXHandler& handler, void* front, ISAXErrorHandler* errors);

  // The session of a callback's `user` pointer, and its front.
  static ParserSession& Of(void* user) { return *static_cast<ParserSession*>(user); }
  template <typename Front>
  Front& FrontAs() const {
    return *static_cast<Front*>(m_front);
  }

  // The policy's part of the start of the document.
  static void StartDocument(void* user);

  // Stops the parse at the first failing event.
  void Check(HRESULT hr) {
    if (SUCCEEDED(hr) || FAILED(m_stop)) return;
    Stop(hr);
  }

  // Runs a front's part of a callback, whose failure code stops the parse;
  // an exception stops it too rather than unwinding through the parser.
  template <typename Step>
  void Run(Step&& step) noexcept {
    Check(ResultOf(std::forward<Step>(step)));
  }

  // The value of an attribute in libxml2's five pointers (local name,
  // prefix, URI, value, value end) with its references replaced, which the
  // parser leaves since it substitutes no entities; a replaced value lives
  // until FreeDecoded. False when it cannot be decoded: the parse then fails.
  bool AttributeValue(const xmlChar* const* attribute, std::string_view& value) {
    const auto* start = reinterpret_cast<const char*>(attribute[3]);
    value = std::string_view(start, static_cast<size_t>(reinterpret_cast<const char*>(attribute[4]) - start));
    return value.find('&') == std::string_view::npos || ReplaceReferences(value);
  }
  void FreeDecoded() {
    if (!m_decoded.empty()) FreeAllDecoded();
  }

  // ISAXLocator
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT getColumnNumber(int* column) override;
  HRESULT getLineNumber(int* line) override;
  HRESULT getPublicId(const char16_t** id) override;
  HRESULT getSystemId(const char16_t** id) override { return getPublicId(id); }

 private:
  ParserSession(DocumentInput& input, void* front, ISAXErrorHandler* errors)
      : m_input(input), m_front(front), m_errors(errors) {}

  HRESULT Result() const;
  void Stop(HRESULT hr);
  void Fail(HRESULT code, const char16_t* message);
  void FreeAllDecoded();
  bool ReplaceReferences(std::string_view& value);

  static int ReadSlice(void* user, char* buffer, int length);
  static void Error(void* user, xmlErrorPtr error);
  static void InternalSubset(void* user, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId);
  static void EntityDecl(void* user, const xmlChar* name, int type, const xmlChar* publicId,
                         const xmlChar* systemId, xmlChar* content);
  static xmlEntityPtr GetEntity(void* user, const xmlChar* name);
  static xmlEntityPtr GetParameterEntity(void* user, const xmlChar* name);
  static int IsStandalone(void* user);
  static int HasInternalSubset(void* user);
  static int HasExternalSubset(void* user);
  static xmlParserInputPtr ResolveEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

  xmlParserCtxtPtr m_context = nullptr;
  DocumentInput& m_input;
  MarkupBound m_markup;
  EntityBudget m_entities;
  void* m_front;
  ISAXErrorHandler* m_errors;
  HRESULT m_stop = S_OK;
  HRESULT m_firstError = S_OK;
  std::vector<xmlChar*> m_decoded;
  std::u16string m_message;
};

}  // namespace xtb::xml
