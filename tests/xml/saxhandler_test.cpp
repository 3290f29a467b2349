#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <xtbasis/xml.h>

namespace {

// A handler of the kind programs derive: it lists the events it sees and
// reads attributes through the base's helpers.
class Recorder : public SAXContentHandlerImpl {
 public:
  HRESULT startElement(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                       const char16_t* qName, int qNameLength, ISAXAttributes* attributes) override {
    events.push_back("start " + Text(uri, uriLength) + " " + Text(localName, localNameLength) + " " +
                     Text(qName, qNameLength));
    CString value = "unchanged";
    if (SUCCEEDED(GetTrimmedValueFromName(attributes, u"", u"Name", value))) names.push_back(value.str());
    const CString before = value;
    EXPECT_FAILED(GetValueFromName(attributes, u"urn:x", u"Name", value));  // no such attribute
    EXPECT_EQ(value, before);
    prefixes.push_back(m_PrefixMap.size());
    return localName[0] == u'S' ? E_ABORT : S_OK;  // "Stop" ends the parse
  }
  HRESULT endElement(const char16_t*, int, const char16_t* localName, int localNameLength, const char16_t*,
                     int) override {
    events.push_back("end " + Text(localName, localNameLength));
    return S_OK;
  }
  HRESULT processingInstruction(const char16_t* target, int targetLength, const char16_t* data,
                                int dataLength) override {
    events.push_back("pi " + Text(target, targetLength) + " " + Text(data, dataLength));
    return S_OK;
  }
  static std::string Text(const char16_t* text, int length) { return W2S(text, length).str(); }
  static void EXPECT_FAILED(HRESULT hr) { EXPECT_LT(hr, 0); }

  std::vector<std::string> events;
  std::vector<std::string> names;
  std::vector<size_t> prefixes;
};

TEST(SaxHandlers, EventsPrefixesAndAttributeHelpers) {
  const std::string xml =
      "<?xml version='1.0' encoding='UTF-8'?><?kopf a?>"
      "<d:Dokument xmlns:d='urn:d' Name='  M\xC3\x83\xC2\xBCller  '><Teil xmlns:t='urn:t'/><Ende/></d:Dokument>";
  Recorder handler;
  ASSERT_EQ(XTParseXML(xml.data(), xml.size(), handler), S_OK);
  EXPECT_EQ(handler.events, (std::vector<std::string>{"pi kopf a", "start urn:d Dokument d:Dokument",
                                                       "start  Teil Teil", "end Teil", "start  Ende Ende",
                                                       "end Ende", "end Dokument"}));
  // The value held the UTF-8 bytes of ü as two characters; trimmed and read as UTF-8 it is ü.
  EXPECT_EQ(handler.names, (std::vector<std::string>{"M\xFCller"}));
  EXPECT_EQ(handler.prefixes, (std::vector<size_t>{1, 2, 1}));  // t is in scope inside Teil only
}

TEST(SaxHandlers, FailingEventStopsTheParseWithItsCode) {
  const std::string xml = "<r><Stop/><nie/></r>";
  Recorder handler;
  EXPECT_EQ(XTParseXML(xml.data(), xml.size(), handler), E_ABORT);
  EXPECT_EQ(handler.events.size(), 2u);
}

// A handler that throws does not unwind through the parser: the parse ends
// with a failure code, out of memory for a failed allocation.
TEST(SaxHandlers, ThrowingHandlerStopsTheParse) {
  struct Throwing : SAXContentHandlerImpl {
    bool outOfMemory = false;
    int elements = 0;
    HRESULT startElement(const char16_t*, int, const char16_t*, int, const char16_t*, int,
                         ISAXAttributes*) override {
      if (++elements < 2) return S_OK;
      if (outOfMemory) throw std::bad_alloc();
      throw std::runtime_error("kaputt");
    }
  };
  const std::string xml = "<r><a/><b/></r>";
  Throwing handler;
  EXPECT_EQ(XTParseXML(xml.data(), xml.size(), handler), E_UNEXPECTED);
  EXPECT_EQ(handler.elements, 2);
  handler = Throwing();
  handler.outOfMemory = true;
  EXPECT_EQ(XTParseXML(xml.data(), xml.size(), handler), E_OUTOFMEMORY);
  EXPECT_EQ(handler.elements, 2);
}

class Collecting : public SAXErrorHandlerImpl {
 public:
  HRESULT error(ISAXLocator* locator, const char16_t* message, HRESULT code) override {
    int line = 0;
    locator->getLineNumber(&line);
    lines.push_back(line);
    return SAXErrorHandlerImpl::error(locator, message, code);
  }
  HRESULT fatalError(ISAXLocator* locator, const char16_t* message, HRESULT code) override {
    fatalMessage = W(message);
    fatalCode = code;
    return SAXErrorHandlerImpl::fatalError(locator, message, code);
  }
  static std::string W(const char16_t* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
  }
  std::vector<int> lines;
  std::string fatalMessage;
  HRESULT fatalCode = S_OK;
};

TEST(SaxHandlers, ErrorHandlerSeesErrorsAndTheFatalOne) {
  // Two namespace errors (the parse goes on), then a fatal one.
  const std::string xml = "<r>\n<a:x/>\n<b:y/>\n<c></r>";
  SAXContentHandlerImpl content;
  auto* errors = new Collecting;
  errors->AddRef();
  const HRESULT hr = XTParseXML(xml.data(), xml.size(), content, errors);
  EXPECT_LT(hr, 0);
  EXPECT_EQ(hr, errors->fatalCode);
  EXPECT_EQ(errors->lines, (std::vector<int>{2, 3}));
  EXPECT_FALSE(errors->fatalMessage.empty());
  EXPECT_EQ(errors->Release(), 0u);
}

TEST(SaxHandlers, ErrorHandlerBaseDefaultsAndReferenceCount) {
  auto* handler = new SAXErrorHandlerImpl;
  EXPECT_EQ(handler->fatalError(nullptr, u"x", static_cast<HRESULT>(0xC00CE01Fu)), static_cast<HRESULT>(0xC00CE01Fu));
  EXPECT_EQ(handler->error(nullptr, u"x", E_FAIL), S_OK);
  EXPECT_EQ(handler->ignorableWarning(nullptr, u"x", E_FAIL), S_OK);
  void* object = nullptr;
  EXPECT_EQ(handler->QueryInterface(IID_ISAXContentHandler, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  ASSERT_EQ(handler->QueryInterface(IID_ISAXErrorHandler, &object), S_OK);
  EXPECT_EQ(object, static_cast<ISAXErrorHandler*>(handler));
  EXPECT_EQ(handler->AddRef(), 2u);
  EXPECT_EQ(handler->Release(), 1u);
  EXPECT_EQ(handler->Release(), 0u);  // deleted here; the sanitizer build would see a leak otherwise

  SAXContentHandlerImpl content;
  EXPECT_EQ(content.QueryInterface(IID_ISAXContentHandler, &object), S_OK);
  EXPECT_EQ(content.QueryInterface(IID_ISAXErrorHandler, &object), E_NOINTERFACE);
  EXPECT_EQ(content.AddRef(), 0u);
  EXPECT_EQ(content.Release(), 0u);
}

TEST(SaxHandlers, W2SConvertsToCodePage1252) {
  EXPECT_EQ(Recorder::Text(u"M\u00fcller \u20ac", -1), "M\xFCller \x80");
  EXPECT_EQ(Recorder::Text(u"ab\u0416c", 4), "ab?c");         // Cyrillic is not in 1252
  EXPECT_EQ(Recorder::Text(u"x\U0001F600y", -1), "x?y");      // one ? for a surrogate pair
  EXPECT_EQ(Recorder::Text(u"abc", 2), "ab");
}

}  // namespace
