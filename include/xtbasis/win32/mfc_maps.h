// The framework's maps with POSITION iteration: CMap, CTypedPtrMap and
// CMapStringToString, CMapStringToPtr, CMapStringToOb, CMapWordToPtr,
// CMapWordToOb, CMapPtrToPtr (each a CMap of its key and value types).
//
// A map is a table of chained buckets. As in the framework, the table has
// 17 buckets unless InitHashTable sets another size, and it never grows by
// itself: a map of many entries wants InitHashTable with a prime about 20 %
// larger than its expected count. InitHashTable on a map that holds entries
// (where the framework asserts) redistributes them, so none is lost.
//
// The bucket of a key is HashKey<ARG_KEY>(key) modulo the table size; keys
// match by CompareElements (operator==, so CString keys by content).
// HashKey is the framework's: integers and pointers shifted right by 4, a
// 64-bit key as the exclusive-or of its halves' hashes, texts hash * 33 +
// character over their characters (as signed char, as on Windows).
// Programs may specialise HashKey and CompareElements for their own key
// types, as with the framework.
//
// Iteration (GetStartPosition, GetNextAssoc) visits every entry once, in
// bucket order, which need not be Windows' order. GetNextAssoc moves the
// position on before it returns, so the entry it just returned may be
// removed (RemoveKey) during the walk; removing any other entry or adding
// entries during a walk is, as in the framework, the program's fault.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/mfc_lists.h>
#include <xtbasis/win32/mfc_object.h>

template <class ARG_KEY>
inline UINT AFXAPI HashKey(ARG_KEY key) {
  using Key = std::remove_cv_t<std::remove_reference_t<ARG_KEY>>;
  if constexpr (std::is_integral_v<Key> && sizeof(Key) == 8) {
    const auto bits = static_cast<uint64_t>(key);
    return static_cast<UINT>((bits & 0xFFFFFFFFu) >> 4) ^ static_cast<UINT>((bits >> 32) >> 4);
  } else if constexpr (std::is_integral_v<Key> || std::is_enum_v<Key>) {
    return static_cast<UINT>(static_cast<DWORD_PTR>(key) >> 4);  // signed keys sign-extended first
  } else if constexpr (std::is_pointer_v<Key>) {
    return static_cast<UINT>(reinterpret_cast<DWORD_PTR>(key) >> 4);
  } else {
    static_assert(std::is_pointer_v<Key>, "no HashKey for this key type: specialise HashKey<ARG_KEY>");
    return 0;
  }
}

namespace xtb::win32 {

template <class Char>
inline UINT HashText(const Char* text) {
  UINT hash = 0;
  for (; *text != 0; ++text) {
    if constexpr (sizeof(Char) == 1) {
      hash = (hash << 5) + hash + static_cast<UINT>(static_cast<signed char>(*text));
    } else {
      hash = (hash << 5) + hash + static_cast<UINT>(*text);
    }
  }
  return hash;
}

}  // namespace xtb::win32

template <>
inline UINT AFXAPI HashKey<LPCSTR>(LPCSTR key) {
  return xtb::win32::HashText(key);
}
template <>
inline UINT AFXAPI HashKey<LPSTR>(LPSTR key) {
  return xtb::win32::HashText(key);
}
template <>
inline UINT AFXAPI HashKey<const wchar_t*>(const wchar_t* key) {
  return xtb::win32::HashText(key);
}
template <>
inline UINT AFXAPI HashKey<const CString&>(const CString& key) {
  return xtb::win32::HashText(key.GetString());
}
template <>
inline UINT AFXAPI HashKey<CString>(CString key) {
  return xtb::win32::HashText(key.GetString());
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
 public:
  typedef KEY BASE_KEY;
  typedef ARG_KEY BASE_ARG_KEY;
  typedef VALUE BASE_VALUE;
  typedef ARG_VALUE BASE_ARG_VALUE;

  struct CPair {
    const KEY key;
    VALUE value;
  };

 private:
  struct CAssoc : CPair {
    CAssoc(ARG_KEY key, UINT hash, CAssoc* next) : CPair{KEY(key), VALUE()}, hashValue(hash), next(next) {}
    UINT hashValue;
    CAssoc* next;
  };

 public:
  explicit CMap(INT_PTR /*blockSize*/ = 10) {}
  ~CMap() override {
    RemoveAll();
    delete[] m_table;
  }

  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }
  UINT GetHashTableSize() const { return m_tableSize; }

  // Sets the number of buckets (0 counts as 1); the entries stay. The
  // framework's allocNow is taken: the table is always made at once.
  void InitHashTable(UINT hashSize, BOOL /*allocNow*/ = TRUE) {
    if (hashSize == 0) hashSize = 1;
    CAssoc** table = new CAssoc*[hashSize]();
    for (UINT bucket = 0; m_table != nullptr && bucket < m_tableSize; ++bucket) {
      while (CAssoc* assoc = m_table[bucket]) {
        m_table[bucket] = assoc->next;
        assoc->next = table[assoc->hashValue % hashSize];
        table[assoc->hashValue % hashSize] = assoc;
      }
    }
    delete[] m_table;
    m_table = table;
    m_tableSize = hashSize;
  }

  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    const CAssoc* assoc = Find(key);
    if (assoc == nullptr) return FALSE;
    value = assoc->value;
    return TRUE;
  }
  CPair* PLookup(ARG_KEY key) { return Find(key); }
  const CPair* PLookup(ARG_KEY key) const { return Find(key); }

  // The value of `key`, a new value-initialised one when the key is new.
  VALUE& operator[](ARG_KEY key) {
    if (CAssoc* assoc = Find(key)) return assoc->value;
    if (m_table == nullptr) InitHashTable(m_tableSize);
    const UINT hash = HashKey<ARG_KEY>(key);
    CAssoc*& bucket = m_table[hash % m_tableSize];
    bucket = new CAssoc(key, hash, bucket);
    ++m_count;
    return bucket->value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

  BOOL RemoveKey(ARG_KEY key) {
    if (m_table == nullptr) return FALSE;
    for (CAssoc** link = &m_table[HashKey<ARG_KEY>(key) % m_tableSize]; *link != nullptr; link = &(*link)->next) {
      if (CompareElements<KEY>(&(*link)->key, &key)) {
        CAssoc* gone = *link;
        *link = gone->next;
        delete gone;
        --m_count;
        return TRUE;
      }
    }
    return FALSE;
  }
  void RemoveAll() {
    for (UINT bucket = 0; m_table != nullptr && bucket < m_tableSize; ++bucket) {
      while (CAssoc* assoc = m_table[bucket]) {
        m_table[bucket] = assoc->next;
        delete assoc;
      }
    }
    m_count = 0;
  }

  POSITION GetStartPosition() const { return ToPosition(FirstFrom(0)); }
  // The entry at `position`; `position` moves to the next entry, null after
  // the last.
  void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const {
    const CAssoc* assoc = Advance(position);
    key = assoc->key;
    value = assoc->value;
  }
  const CPair* PGetFirstAssoc() const { return FirstFrom(0); }
  CPair* PGetFirstAssoc() { return FirstFrom(0); }
  const CPair* PGetNextAssoc(const CPair* pair) const { return Following(pair); }
  CPair* PGetNextAssoc(const CPair* pair) { return Following(pair); }

 private:
  static POSITION ToPosition(const CAssoc* assoc) { return reinterpret_cast<POSITION>(const_cast<CAssoc*>(assoc)); }
  CAssoc* Find(ARG_KEY key) const {
    if (m_table == nullptr) return nullptr;
    for (CAssoc* assoc = m_table[HashKey<ARG_KEY>(key) % m_tableSize]; assoc != nullptr; assoc = assoc->next)
      if (CompareElements<KEY>(&assoc->key, &key)) return assoc;
    return nullptr;
  }
  CAssoc* FirstFrom(UINT bucket) const {
    for (; m_table != nullptr && bucket < m_tableSize; ++bucket)
      if (m_table[bucket] != nullptr) return m_table[bucket];
    return nullptr;
  }
  CAssoc* Following(const CPair* pair) const {
    if (pair == nullptr) AfxThrowInvalidArgException();
    const CAssoc* assoc = static_cast<const CAssoc*>(pair);
    return assoc->next != nullptr ? assoc->next : FirstFrom(assoc->hashValue % m_tableSize + 1);
  }
  const CAssoc* Advance(POSITION& position) const {
    if (position == nullptr) AfxThrowInvalidArgException();
    const CAssoc* assoc =
        position == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<const CAssoc*>(position);
    if (assoc == nullptr) AfxThrowInvalidArgException();
    position = ToPosition(Following(assoc));
    return assoc;
  }

  CAssoc** m_table = nullptr;
  UINT m_tableSize = 17;
  INT_PTR m_count = 0;
};

// The typed maps: classes of their own, each the one template.
#define XTB_TYPED_MAP(class_name, key, argKey, value, argValue)                    \
  class XTBASIS_API class_name : public CMap<key, argKey, value, argValue> {       \
    DECLARE_DYNAMIC(class_name)                                                    \
   public:                                                                         \
    explicit class_name(INT_PTR blockSize = 10) : CMap(blockSize) {}              \
  };

XTB_TYPED_MAP(CMapStringToString, CString, LPCSTR, CString, LPCSTR)
XTB_TYPED_MAP(CMapStringToPtr, CString, LPCSTR, void*, void*)
XTB_TYPED_MAP(CMapStringToOb, CString, LPCSTR, CObject*, CObject*)
XTB_TYPED_MAP(CMapWordToPtr, WORD, WORD, void*, void*)
XTB_TYPED_MAP(CMapWordToOb, WORD, WORD, CObject*, CObject*)
XTB_TYPED_MAP(CMapPtrToPtr, void*, void*, void*, void*)

#undef XTB_TYPED_MAP

// A map with typed pointer values (and keys) over one of the maps of pointers.
template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
 public:
  BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& value) const {
    typename BASE_CLASS::BASE_VALUE found = nullptr;
    if (!BASE_CLASS::Lookup(key, found)) return FALSE;
    value = static_cast<VALUE>(found);
    return TRUE;
  }
  VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key) {
    return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
  }
  void SetAt(KEY key, VALUE value) { BASE_CLASS::SetAt(key, value); }
  BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
  void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const {
    typename BASE_CLASS::BASE_KEY baseKey{};
    typename BASE_CLASS::BASE_VALUE baseValue = nullptr;
    BASE_CLASS::GetNextAssoc(position, baseKey, baseValue);
    key = static_cast<KEY>(baseKey);
    value = static_cast<VALUE>(baseValue);
  }
};
