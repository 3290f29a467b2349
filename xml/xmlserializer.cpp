#include "xmlserializer.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "unicode.h"

namespace xtb::xml {
namespace {

constexpr const char* kLineBreak = "\r\n";

bool IsNameStart(char32_t u) {
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || (u >= 0xC0 && u <= 0xD6) ||
         (u >= 0xD8 && u <= 0xF6) || (u >= 0xF8 && u <= 0x2FF) || (u >= 0x370 && u <= 0x37D) ||
         (u >= 0x37F && u <= 0x1FFF) || (u >= 0x200C && u <= 0x200D) || (u >= 0x2070 && u <= 0x218F) ||
         (u >= 0x2C00 && u <= 0x2FEF) || (u >= 0x3001 && u <= 0xD7FF) || (u >= 0xF900 && u <= 0xFDCF) ||
         (u >= 0xFDF0 && u <= 0xFFFD);
}

bool IsNameChar(char32_t u) {
  return IsNameStart(u) || u == '-' || u == '.' || (u >= '0' && u <= '9') || u == 0xB7 ||
         (u >= 0x300 && u <= 0x36F) || (u >= 0x203F && u <= 0x2040);
}

// Characters that XML 1.0 does not allow at all, not even as references.
bool IsForbidden(unsigned char b) { return b < 0x20 && b != '\t' && b != '\n' && b != '\r'; }

// What a byte of text needs: 0 copy as it is, else an escape of its own.
struct EscapeTable {
  std::array<uint8_t, 256> plain{};
};

constexpr EscapeTable MakePlain(bool attribute) {
  EscapeTable t;
  for (int b = 0x20; b < 0x80; ++b) t.plain[static_cast<size_t>(b)] = 1;
  t.plain['&'] = t.plain['<'] = t.plain['>'] = 0;
  if (attribute) t.plain['"'] = 0;
  else t.plain['\t'] = t.plain['\n'] = 1;
  return t;
}

constexpr EscapeTable kTextPlain = MakePlain(false);
constexpr EscapeTable kAttributePlain = MakePlain(true);

void PutReference(CXTStrBuf& out, char32_t u) {
  char reference[16];
  const int length = std::snprintf(reference, sizeof reference, "&#%u;", static_cast<unsigned>(u));
  out.Add(static_cast<unsigned int>(length), reference);
}

enum : uint8_t { kNameStart = 1, kNameChar = 2 };

// Which 1252 bytes may begin or continue a name.
const std::array<uint8_t, 256>& NameClasses() {
  static const std::array<uint8_t, 256> classes = [] {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const char32_t u = Cp1252CodePoint(static_cast<unsigned char>(b));
      t[static_cast<size_t>(b)] = static_cast<uint8_t>((IsNameStart(u) ? kNameStart : 0) | (IsNameChar(u) ? kNameChar : 0));
    }
    return t;
  }();
  return classes;
}

}  // namespace

bool IsXmlName(std::string_view name) {
  const std::array<uint8_t, 256>& classes = NameClasses();
  if (name.empty() || !(classes[static_cast<uint8_t>(name[0])] & kNameStart)) return false;
  for (const char c : name)
    if (!(classes[static_cast<uint8_t>(c)] & kNameChar)) return false;
  return true;
}

HRESULT Serializer::SetEncoding(std::string_view name) {
  if (FindOutputEncoding(name, m_encoding)) return S_OK;
  FindOutputEncoding("UTF-8", m_encoding);
  return E_INVALIDARG;
}

HRESULT Serializer::StartDocument() {
  if (m_encoding.declared.empty()) FindOutputEncoding("UTF-8", m_encoding);
  m_out.Empty();
  m_open.clear();
  m_names.clear();
  m_started = true;
  m_ended = m_rootSeen = m_startTagOpen = false;
  m_out += "<?xml version=\"1.0\" encoding=\"";
  Put(m_encoding.utf16 ? std::string_view("UTF-16") : std::string_view(m_encoding.declared));
  m_out += m_standalone ? "\" standalone=\"yes\"?>" : "\" standalone=\"no\"?>";
  return S_OK;
}

HRESULT Serializer::DocType(std::string_view name, std::string_view publicId, std::string_view systemId) {
  if (!m_started || m_rootSeen) return E_UNEXPECTED;
  if (!IsXmlName(name) || !Encodable(name) || !Encodable(systemId)) return E_INVALIDARG;
  for (const char c : publicId) {  // the characters a public identifier may hold
    const auto b = static_cast<unsigned char>(c);
    const bool ok = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                    std::string_view(" \r\n-'()+,./:=?;!*#@$_%").find(c) != std::string_view::npos;
    if (!ok) return E_INVALIDARG;
  }
  const bool doubleQuote = systemId.find('"') == std::string_view::npos;
  if (!doubleQuote && systemId.find('\'') != std::string_view::npos) return E_INVALIDARG;
  if (HRESULT hr = CheckText(systemId); FAILED(hr)) return hr;
  const char quote = doubleQuote ? '"' : '\'';
  m_out += kLineBreak;
  m_out += "<!DOCTYPE ";
  PutEncoded(name);
  if (!publicId.empty()) {
    m_out += " PUBLIC \"";
    Put(publicId);
    m_out += "\" ";
  } else if (!systemId.empty()) {
    m_out += " SYSTEM ";
  }
  if (!publicId.empty() || !systemId.empty()) {
    m_out += quote;
    PutEncoded(systemId);
    m_out += quote;
  }
  m_out += '>';
  return S_OK;
}

void Serializer::CloseStartTag() {
  if (m_startTagOpen) m_out += '>';
  m_startTagOpen = false;
}

void Serializer::BreakLine(size_t depth) {
  m_out += kLineBreak;
  m_out.Add('\t', static_cast<unsigned int>(depth));
}

HRESULT Serializer::StartElement(std::string_view name, const std::vector<Attribute>& attributes) {
  if (!m_started || m_ended || (m_open.empty() && m_rootSeen)) return E_UNEXPECTED;
  if (!IsXmlName(name) || !Encodable(name)) return E_INVALIDARG;
  for (size_t i = 0; i < attributes.size(); ++i) {
    if (!IsXmlName(attributes[i].name) || !Encodable(attributes[i].name)) return E_INVALIDARG;
    for (size_t j = 0; j < i; ++j)
      if (attributes[j].name == attributes[i].name) return E_INVALIDARG;  // one value per name
  }
  const unsigned int mark = m_out.GetLength();
  const bool tagWasOpen = m_startTagOpen;
  CloseStartTag();
  if (m_open.empty() || !m_open.back().hasText) BreakLine(m_open.size());
  m_out += '<';
  PutEncoded(name);
  for (const Attribute& attribute : attributes) {
    m_out += ' ';
    PutEncoded(attribute.name);
    m_out += "=\"";
    if (!PutEscaped(attribute.value, true)) {  // a character XML cannot carry: take the tag back
      m_out.Truncate(mark);
      m_startTagOpen = tagWasOpen;
      return E_INVALIDARG;
    }
    m_out += '"';
  }
  if (!m_open.empty()) m_open.back().hasChildren = true;
  m_startTagOpen = true;
  m_rootSeen = true;
  m_open.push_back({name.size(), false, false});
  m_names += name;
  return S_OK;
}

HRESULT Serializer::EndElement(std::string_view name) {
  if (!m_started || m_open.empty()) return E_UNEXPECTED;
  const Open top = m_open.back();
  if (std::string_view(m_names).substr(m_names.size() - top.nameLength) != name) return E_INVALIDARG;
  m_open.pop_back();
  m_names.resize(m_names.size() - top.nameLength);
  if (m_startTagOpen) {
    m_out += "/>";
    m_startTagOpen = false;
    return S_OK;
  }
  if (top.hasChildren && !top.hasText) BreakLine(m_open.size());
  m_out += "</";
  PutEncoded(name);
  m_out += '>';
  return S_OK;
}

HRESULT Serializer::Characters(std::string_view text) {
  if (!m_started || m_open.empty()) return E_UNEXPECTED;  // character data lives inside the root
  if (text.empty()) return S_OK;
  const unsigned int mark = m_out.GetLength();
  const bool tagWasOpen = m_startTagOpen;
  CloseStartTag();
  if (!PutEscaped(text, false)) {
    m_out.Truncate(mark);
    m_startTagOpen = tagWasOpen;
    return E_INVALIDARG;
  }
  m_open.back().hasText = true;
  return S_OK;
}

HRESULT Serializer::ProcessingInstruction(std::string_view target, std::string_view data) {
  if (!m_started || m_ended) return E_UNEXPECTED;
  const bool reserved = target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
                        (target[2] | 0x20) == 'l';
  if (!IsXmlName(target) || reserved || data.find("?>") != std::string_view::npos || !Encodable(target) ||
      !Encodable(data))
    return E_INVALIDARG;
  if (HRESULT hr = CheckText(data); FAILED(hr)) return hr;
  CloseStartTag();
  if (m_open.empty() || !m_open.back().hasText) BreakLine(m_open.size());
  if (!m_open.empty()) m_open.back().hasChildren = true;
  m_out += "<?";
  PutEncoded(target);
  if (!data.empty()) {
    m_out += ' ';
    PutEncoded(data);
  }
  m_out += "?>";
  return S_OK;
}

HRESULT Serializer::EndDocument() {
  if (!m_started || m_ended || !m_open.empty() || !m_rootSeen) return E_UNEXPECTED;
  m_out += kLineBreak;
  m_ended = true;
  return S_OK;
}

std::string Serializer::Bytes() const {
  const std::string_view assembled(m_out, m_out.GetLength());
  return m_encoding.utf16 ? Utf8ToUtf16Le(assembled) : std::string(assembled);
}

HRESULT Serializer::CheckText(std::string_view text) const {
  for (const char c : text)
    if (IsForbidden(static_cast<unsigned char>(c))) return E_INVALIDARG;
  return S_OK;
}

bool Serializer::PutEscaped(std::string_view text, bool attribute) {
  const EscapeTable& plain = attribute ? kAttributePlain : kTextPlain;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* run = p;
    while (run < end && plain.plain[static_cast<uint8_t>(*run)]) ++run;
    m_out.Add(static_cast<unsigned int>(run - p), p);
    if (run == end) break;
    const auto b = static_cast<uint8_t>(*run);
    if (IsForbidden(b)) return false;
    switch (b) {
      case '&': m_out += "&amp;"; break;
      case '<': m_out += "&lt;"; break;
      case '>': m_out += "&gt;"; break;
      case '"': m_out += "&quot;"; break;
      default:
        if (b < 0x80) {  // tab, line feed or carriage return that a reader would normalise away
          PutReference(m_out, b);
        } else if (const std::string& bytes = m_encoding.bytes[b]; !bytes.empty()) {
          Put(bytes);
        } else {
          PutReference(m_out, Cp1252CodePoint(b));
        }
    }
    p = run + 1;
  }
  return true;
}

bool Serializer::Encodable(std::string_view text) const {
  for (const char c : text)
    if (static_cast<uint8_t>(c) >= 0x80 && m_encoding.bytes[static_cast<uint8_t>(c)].empty()) return false;
  return true;
}

// Names, targets and identifiers, where references are not recognised:
// checked with Encodable beforehand, written in the encoding only.
void Serializer::PutEncoded(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* run = p;
    while (run < end && static_cast<uint8_t>(*run) < 0x80) ++run;
    m_out.Add(static_cast<unsigned int>(run - p), p);
    if (run == end) break;
    Put(m_encoding.bytes[static_cast<uint8_t>(*run)]);
    p = run + 1;
  }
}

}  // namespace xtb::xml
