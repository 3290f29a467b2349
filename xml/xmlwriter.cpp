// CXTXMLWriter: the event sequence, the element stack, namespace prefixes
// and the step bookkeeping; the bytes come from the Serializer.
#include <cstdarg>
#include <new>

#include <xtbasis/platform/com.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/xml.h>

#include "os/folder.h"
#include "resulttext.h"
#include "xmlserializer.h"

namespace {

// The pairs of a variadic list as the null-terminated array form; short
// lists stay on the stack.
class PairList {
 public:
  PairList(const char* first, va_list more) {
    for (const char* name = first; name != nullptr; name = va_arg(more, const char*)) {
      const char* value = va_arg(more, const char*);
      if (value == nullptr) break;
      Push(name);
      Push(value);
    }
    Push(nullptr);
  }
  const char** data() { return m_more.empty() ? m_fixed : m_more.data(); }

 private:
  void Push(const char* text) {
    if (m_count < kFixed) {
      m_fixed[m_count++] = text;
      return;
    }
    if (m_more.empty()) m_more.assign(m_fixed, m_fixed + kFixed);
    m_more.push_back(text);
  }

  static constexpr size_t kFixed = 33;
  const char* m_fixed[kFixed];
  size_t m_count = 0;
  std::vector<const char*> m_more;
};

// An event of the serialiser; running out of memory is a result, not an
// exception for the caller.
template <typename Event>
HRESULT Guarded(Event event) {
  try {
    return event();
  } catch (CException* e) {
    e->Delete();
  } catch (const std::bad_alloc&) {
  }
  return E_OUTOFMEMORY;
}

}  // namespace

CXTXMLWriter::CXTXMLWriter() = default;
CXTXMLWriter::~CXTXMLWriter() = default;
CXTXMLWriter::CXTXMLWriter(const CXTXMLWriter& other) = default;
CXTXMLWriter& CXTXMLWriter::operator=(const CXTXMLWriter& other) = default;

bool CXTXMLWriter::Record(int step, HRESULT result) {
  m_Step = step;
  m_LastResult = result;
  return SUCCEEDED(result);
}

bool CXTXMLWriter::Ready(int step) { return m_Serializer != nullptr || Record(step, E_POINTER); }

bool CXTXMLWriter::StartDocument() {
  Record(43, S_OK);  // the output buffer
  Record(45, S_OK);  // the serialiser
  m_Serializer = std::make_shared<xtb::xml::Serializer>();
  Record(48, S_OK);
  Record(50, S_OK);
  if (!Encoding.IsEmpty()) Record(53, m_Serializer->SetEncoding(Encoding.view()));
  m_Serializer->SetStandalone(Standalone);
  Record(54, S_OK);
  Record(55, S_OK);  // indentation is always on
  if (!Record(57, Guarded([&] { return m_Serializer->StartDocument(); }))) return false;
  if (DocTypeName.IsEmpty()) return true;
  Record(64, S_OK);
  if (!Record(68, Guarded([&] { return m_Serializer->DocType(DocTypeName.view(), DocTypePublicId.view(), DocTypeSystemId.view()); })))
    return false;
  return Record(69, S_OK);
}

bool CXTXMLWriter::EndDocument() { return Ready(84) && Record(84, Guarded([&] { return m_Serializer->EndDocument(); })); }

CString CXTXMLWriter::DoNameSpace(const char* name) {
  if (NameSpace.IsEmpty() || name == nullptr) return CString(name);
  if (name[0] == ':') return CString(name + 1);
  if (std::string_view(name).find(':') != std::string_view::npos) return CString(name);
  return NameSpace + ":" + name;
}

const std::vector<std::pair<CString, CString>>* CXTXMLWriter::CreateAttributes(const char** attributes) {
  Record(280, S_OK);
  Record(285, S_OK);
  Record(288, S_OK);
  size_t count = 0;
  for (const char** pair = attributes; pair[0] != nullptr && pair[1] != nullptr; pair += 2) {
    Record(293, S_OK);
    if (count == m_Attributes.size()) m_Attributes.emplace_back();
    m_Attributes[count].first = DoNameSpace(pair[0]);
    m_Attributes[count++].second = pair[1];  // keeps the slot's buffer
  }
  m_Attributes.resize(count);
  return &m_Attributes;
}

bool CXTXMLWriter::StartElement(const char* name, const char** attributes) {
  if (!Ready(98) || name == nullptr) return Record(98, E_POINTER);
  thread_local std::vector<xtb::xml::Attribute> list;
  list.clear();
  if (attributes != nullptr && attributes[0] != nullptr) {
    for (const auto& [attributeName, value] : *CreateAttributes(attributes))
      list.push_back({attributeName.view(), value.view()});
  }
  CString qualified = DoNameSpace(name);
  if (!Record(98, Guarded([&] { return m_Serializer->StartElement(qualified.view(), list); }))) return false;
  m_Elements.push_back(std::move(qualified));
  return true;
}

bool CXTXMLWriter::StartElement(const char* name, const char* attrName1, ...) {
  va_list more;
  va_start(more, attrName1);
  PairList list(attrName1, more);
  va_end(more);
  return StartElement(name, list.data());
}

bool CXTXMLWriter::EndElement() {
  if (!Ready(117)) return false;
  if (m_Elements.empty()) return Record(117, E_UNEXPECTED);
  if (!Record(117, Guarded([&] { return m_Serializer->EndElement(m_Elements.back().view()); }))) return false;
  m_Elements.pop_back();
  return true;
}

bool CXTXMLWriter::SimpleElement(const char* name, const char** attributes) {
  return StartElement(name, attributes) && EndElement();
}

bool CXTXMLWriter::SimpleElement(const char* name, const char* attrName1, ...) {
  va_list more;
  va_start(more, attrName1);
  PairList list(attrName1, more);
  va_end(more);
  return SimpleElement(name, list.data());
}

bool CXTXMLWriter::CharElement(const char* name, const char* text, const char** attributes) {
  return StartElement(name, attributes) && Characters(text) && EndElement();
}

bool CXTXMLWriter::CharElement(const char* name, const char* text, const char* attrName1, ...) {
  va_list more;
  va_start(more, attrName1);
  PairList list(attrName1, more);
  va_end(more);
  return CharElement(name, text, list.data());
}

bool CXTXMLWriter::Characters(const char* text) {
  return Ready(150) && Record(150, Guarded([&] { return m_Serializer->Characters(text != nullptr ? std::string_view(text) : ""); }));
}

bool CXTXMLWriter::ProcessingInstruction(const char* target, const char* data) {
  if (!Ready(156) || target == nullptr) return Record(156, E_POINTER);
  return Record(156, Guarded([&] { return m_Serializer->ProcessingInstruction(target, data != nullptr ? std::string_view(data) : ""); }));
}

bool CXTXMLWriter::ProcessingInstruction2(const char* target, const char** attributes) {
  CString data;
  for (const char** pair = attributes; pair != nullptr && pair[0] != nullptr && pair[1] != nullptr; pair += 2) {
    if (!data.IsEmpty()) data += ' ';
    data += pair[0];
    data += "=\"";
    data += pair[1];
    data += '"';
  }
  return ProcessingInstruction(target, data);
}

bool CXTXMLWriter::ProcessingInstruction2(const char* target, const char* name1, ...) {
  va_list more;
  va_start(more, name1);
  PairList list(name1, more);
  va_end(more);
  return ProcessingInstruction2(target, list.data());
}

bool CXTXMLWriter::AddElements(const CXTXMLElement& element) { return AddElements(element, false); }

bool CXTXMLWriter::AddElements(const CXTXMLElement& element, bool withAttributes) {
  std::vector<const char*> attributes;
  if (withAttributes) {
    for (const auto& [name, value] : element.Attributes) {
      attributes.push_back(name.GetString());
      attributes.push_back(value.GetString());
    }
  }
  attributes.push_back(nullptr);
  if (!StartElement(element.Name, attributes.data())) return false;
  if (!element.Text.IsEmpty() && !Characters(element.Text)) return false;
  for (const CXTXMLElement& child : element.Children)
    if (!AddElements(child, withAttributes)) return false;
  return EndElement();
}

bool CXTXMLWriter::UseNameSpace(const char* prefix) {
  NameSpace = prefix;
  return true;
}

bool CXTXMLWriter::ToString(CString& out) {
  if (!Ready(230)) return false;
  Record(230, S_OK);
  return Record(233, Guarded([&] {
    out = CString(m_Serializer->Bytes());
    return S_OK;
  }));
}

bool CXTXMLWriter::Write(const char* path) {
  Record(207, S_OK);
  std::string bytes;
  if (m_Serializer != nullptr && !Record(210, Guarded([&] {
        bytes = m_Serializer->Bytes();
        return S_OK;
      })))
    return false;
  Record(210, S_OK);
  if (path == nullptr) return Record(210, E_POINTER);
  // Files the suite writes are open to every user; an empty document is
  // written but does not count as a success. The document replaces the
  // name, so a link planted there is never written through.
  if (xtb::os::ReplaceWholeFile(path, bytes.data(), bytes.size(), 0666)) SetLastError(0);
  if (GetLastError() == 0 && !bytes.empty()) return true;
  m_LastResult = static_cast<HRESULT>(GetLastError());
  return false;
}

CString CXTXMLWriter::GetLastHResult() {
  CString text;
  const bool known = xtb::xml::ResultText(m_LastResult, text);
  CString message;
  if (known && m_Step >= 0) message.Format("Zeile %d: %s", m_Step, text.GetString());
  else if (known) message = text;
  else if (m_Step >= 0) message.Format("Zeile %d: Fehler Nr. %d (%08x)", m_Step, m_LastResult, m_LastResult);
  else message.Format("Fehler Nr. %d (%08x)", m_LastResult, m_LastResult);
  return message;
}
