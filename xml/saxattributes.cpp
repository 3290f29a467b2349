#include "saxattributes.h"

#include "unicode.h"

namespace xtb::xml {
namespace {

constexpr char16_t kCdata[] = u"CDATA";

}  // namespace

void SaxAttributes::Clear() {
  m_text.clear();
  m_items.clear();
}

void SaxAttributes::Add(std::string_view uri, std::string_view localName, std::string_view qName,
                        std::string_view value) {
  Item item{};
  const std::string_view parts[kParts] = {uri, localName, qName, value};
  for (int p = 0; p < kParts; ++p) {
    item.begin[p] = m_text.size();
    AppendUtf8AsUtf16(m_text, parts[p]);
    item.length[p] = m_text.size() - item.begin[p];
  }
  m_items.push_back(item);
}

std::u16string_view SaxAttributes::View(const Item& item, Part part) const {
  return std::u16string_view(m_text).substr(item.begin[part], item.length[part]);
}

HRESULT SaxAttributes::Get(int index, Part part, const char16_t** text, int* length) const {
  if (index < 0 || index >= Count()) return E_INVALIDARG;
  if (text == nullptr || length == nullptr) return E_POINTER;
  const Item& item = m_items[static_cast<size_t>(index)];
  *text = m_text.data() + item.begin[part];
  *length = static_cast<int>(item.length[part]);
  return S_OK;
}

int SaxAttributes::Find(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength) const {
  if (uri == nullptr || localName == nullptr || uriLength < 0 || localNameLength < 0) return -1;
  const std::u16string_view u(uri, static_cast<size_t>(uriLength));
  const std::u16string_view l(localName, static_cast<size_t>(localNameLength));
  for (size_t i = 0; i < m_items.size(); ++i)
    if (View(m_items[i], kLocal) == l && View(m_items[i], kUri) == u) return static_cast<int>(i);
  return -1;
}

int SaxAttributes::FindQName(const char16_t* qName, int qNameLength) const {
  if (qName == nullptr || qNameLength < 0) return -1;
  const std::u16string_view q(qName, static_cast<size_t>(qNameLength));
  for (size_t i = 0; i < m_items.size(); ++i)
    if (View(m_items[i], kQName) == q) return static_cast<int>(i);
  return -1;
}

HRESULT SaxAttributes::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISAXAttributes) {
    *object = static_cast<ISAXAttributes*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT SaxAttributes::getLength(int* length) {
  if (length == nullptr) return E_POINTER;
  *length = Count();
  return S_OK;
}

HRESULT SaxAttributes::getURI(int index, const char16_t** uri, int* uriLength) {
  return Get(index, kUri, uri, uriLength);
}

HRESULT SaxAttributes::getLocalName(int index, const char16_t** localName, int* localNameLength) {
  return Get(index, kLocal, localName, localNameLength);
}

HRESULT SaxAttributes::getQName(int index, const char16_t** qName, int* qNameLength) {
  return Get(index, kQName, qName, qNameLength);
}

HRESULT SaxAttributes::getName(int index, const char16_t** uri, int* uriLength, const char16_t** localName,
                               int* localNameLength, const char16_t** qName, int* qNameLength) {
  HRESULT hr = Get(index, kUri, uri, uriLength);
  if (SUCCEEDED(hr)) hr = Get(index, kLocal, localName, localNameLength);
  if (SUCCEEDED(hr)) hr = Get(index, kQName, qName, qNameLength);
  return hr;
}

HRESULT SaxAttributes::getIndexFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                        int localNameLength, int* index) {
  if (index == nullptr) return E_POINTER;
  *index = Find(uri, uriLength, localName, localNameLength);
  return *index >= 0 ? S_OK : E_INVALIDARG;
}

HRESULT SaxAttributes::getIndexFromQName(const char16_t* qName, int qNameLength, int* index) {
  if (index == nullptr) return E_POINTER;
  *index = FindQName(qName, qNameLength);
  return *index >= 0 ? S_OK : E_INVALIDARG;
}

HRESULT SaxAttributes::getType(int index, const char16_t** type, int* typeLength) {
  if (index < 0 || index >= Count()) return E_INVALIDARG;
  if (type == nullptr || typeLength == nullptr) return E_POINTER;
  *type = kCdata;
  *typeLength = 5;
  return S_OK;
}

HRESULT SaxAttributes::getTypeFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                       int localNameLength, const char16_t** type, int* typeLength) {
  return getType(Find(uri, uriLength, localName, localNameLength), type, typeLength);
}

HRESULT SaxAttributes::getTypeFromQName(const char16_t* qName, int qNameLength, const char16_t** type,
                                        int* typeLength) {
  return getType(FindQName(qName, qNameLength), type, typeLength);
}

HRESULT SaxAttributes::getValue(int index, const char16_t** value, int* valueLength) {
  return Get(index, kValue, value, valueLength);
}

HRESULT SaxAttributes::getValueFromName(const char16_t* uri, int uriLength, const char16_t* localName,
                                        int localNameLength, const char16_t** value, int* valueLength) {
  return Get(Find(uri, uriLength, localName, localNameLength), kValue, value, valueLength);
}

HRESULT SaxAttributes::getValueFromQName(const char16_t* qName, int qNameLength, const char16_t** value,
                                         int* valueLength) {
  return Get(FindQName(qName, qNameLength), kValue, value, valueLength);
}

}  // namespace xtb::xml
