// The attributes of one start tag as the SAX interfaces hand them out:
// UTF-16 copies of the parser's UTF-8 names and values, rebuilt for every
// element in one reused buffer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/sax.h>

namespace xtb::xml {

class SaxAttributes final : public ISAXAttributes {
 public:
  void Clear();
  void Add(std::string_view uri, std::string_view localName, std::string_view qName, std::string_view value);
  int Count() const { return static_cast<int>(m_items.size()); }

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT getLength(int* length) override;
  HRESULT getURI(int index, const char16_t** uri, int* uriLength) override;
  HRESULT getLocalName(int index, const char16_t** localName, int* localNameLength) override;
  HRESULT getQName(int index, const char16_t** qName, int* qNameLength) override;
  HRESULT getName(int index, const char16_t** uri, int* uriLength, const char16_t** localName, int* localNameLength,
                  const char16_t** qName, int* qNameLength) override;
  HRESULT getIndexFromName(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                           int* index) override;
  HRESULT getIndexFromQName(const char16_t* qName, int qNameLength, int* index) override;
  HRESULT getType(int index, const char16_t** type, int* typeLength) override;
  HRESULT getTypeFromName(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                          const char16_t** type, int* typeLength) override;
  HRESULT getTypeFromQName(const char16_t* qName, int qNameLength, const char16_t** type, int* typeLength) override;
  HRESULT getValue(int index, const char16_t** value, int* valueLength) override;
  HRESULT getValueFromName(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength,
                           const char16_t** value, int* valueLength) override;
  HRESULT getValueFromQName(const char16_t* qName, int qNameLength, const char16_t** value,
                            int* valueLength) override;

 private:
  enum Part { kUri, kLocal, kQName, kValue, kParts };
  struct Item {
    size_t begin[kParts];
    size_t length[kParts];
  };

  HRESULT Get(int index, Part part, const char16_t** text, int* length) const;
  std::u16string_view View(const Item& item, Part part) const;
  int Find(const char16_t* uri, int uriLength, const char16_t* localName, int localNameLength) const;
  int FindQName(const char16_t* qName, int qNameLength) const;

  std::u16string m_text;
  std::vector<Item> m_items;
};

}  // namespace xtb::xml
