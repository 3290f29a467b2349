// CXTXMLElement: a plain in-memory tree of XML elements. Names, values and
// text are 8-bit strings in code page 1252.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// The attributes of one element: an ordered map from name to value, ordered
// byte-wise by name, one value per name. An element has few attributes, so
// they are kept in one sorted array, and an element has many siblings, so
// the map itself is a single pointer (null while empty). The interface is
// that of std::map, except that inserting or erasing moves the entries
// behind the place (pointers and iterators into the map then no longer
// hold). A name must not be changed through an iterator.
class XTBASIS_API CXTXMLAttributes {
 public:
  using key_type = CString;
  using mapped_type = CString;
  using value_type = std::pair<CString, CString>;
  using size_type = size_t;
  using iterator = value_type*;
  using const_iterator = const value_type*;

  CXTXMLAttributes() = default;
  // Of several entries with one name the first is kept, as std::map does.
  CXTXMLAttributes(std::initializer_list<value_type> entries);
  CXTXMLAttributes(const CXTXMLAttributes& other);
  CXTXMLAttributes(CXTXMLAttributes&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
  CXTXMLAttributes& operator=(const CXTXMLAttributes& other);
  CXTXMLAttributes& operator=(CXTXMLAttributes&& other) noexcept;
  CXTXMLAttributes& operator=(std::initializer_list<value_type> entries);
  ~CXTXMLAttributes() { clear(); }

  iterator begin() { return Items(); }
  iterator end() { return Items() + size(); }
  const_iterator begin() const { return Items(); }
  const_iterator end() const { return Items() + size(); }
  const_iterator cbegin() const { return begin(); }
  const_iterator cend() const { return end(); }

  bool empty() const { return size() == 0; }
  size_type size() const { return m_block != nullptr ? m_block->size : 0; }
  // Frees the array.
  void clear();
  void reserve(size_type count);

  iterator find(std::string_view name);
  const_iterator find(std::string_view name) const;
  iterator find(const char* name) { return find(std::string_view(name != nullptr ? name : "")); }
  const_iterator find(const char* name) const { return find(std::string_view(name != nullptr ? name : "")); }
  iterator find(const CString& name) { return find(name.view()); }
  const_iterator find(const CString& name) const { return find(name.view()); }
  size_type count(const CString& name) const { return find(name) != end() ? 1 : 0; }
  bool contains(const CString& name) const { return find(name) != end(); }

  // The value of `name`, inserted empty when absent.
  CString& operator[](const CString& name);
  // The value of `name`; std::out_of_range when absent.
  CString& at(const CString& name);
  const CString& at(const CString& name) const;

  // Inserts when the name is absent; the iterator points to the entry of
  // that name either way.
  std::pair<iterator, bool> insert(value_type entry);
  std::pair<iterator, bool> insert_or_assign(const CString& name, CString value);
  template <typename... Args>
  std::pair<iterator, bool> emplace(Args&&... args) {
    return insert(value_type(std::forward<Args>(args)...));
  }
  // As insert, but in constant time when the entry belongs right before
  // `hint` (filling the map in name order with end() as hint).
  iterator insert(const_iterator hint, value_type entry) { return InsertHinted(hint, std::move(entry)); }
  template <typename... Args>
  iterator emplace_hint(const_iterator hint, Args&&... args) {
    if (hint == cend() && m_block != nullptr && m_block->size < m_block->capacity) {
      // Filling in order into reserved room: the entry is made in its place.
      new (Items() + m_block->size) value_type(std::forward<Args>(args)...);
      return KeepLast();
    }
    return InsertHinted(hint, value_type(std::forward<Args>(args)...));
  }

  size_type erase(const CString& name);
  iterator erase(const_iterator position);

  friend XTBASIS_API bool operator==(const CXTXMLAttributes& a, const CXTXMLAttributes& b);

 private:
  // The array: its counts, then the entries, sorted by name, names unique.
  struct alignas(value_type) Block {
    uint32_t size;
    uint32_t capacity;
  };

  value_type* Items() const { return m_block != nullptr ? reinterpret_cast<value_type*>(m_block + 1) : nullptr; }
  const_iterator LowerBound(std::string_view name) const;
  // Makes room for `capacity` entries, moving the present ones.
  void Grow(size_type capacity);
  iterator InsertAt(const_iterator position, value_type&& entry);
  iterator InsertHinted(const_iterator hint, value_type&& entry);
  // Takes in the entry made right behind the last one when it sorts after
  // it; otherwise moves it to where it belongs, as insert does.
  iterator KeepLast();

  Block* m_block = nullptr;
};

struct XTBASIS_API CXTXMLElement {
  CXTXMLElement() = default;
  CXTXMLElement(const CString& name, const CString& text = CString()) : Name(name), Text(text) {}

  // The child reached by a path of child names ended by a null pointer,
  // each step taking the first child of that name (ignoring case); the
  // element itself for an empty path; null when a step finds nothing.
  CXTXMLElement* FindElement(const char* name1, ...);
  const CXTXMLElement* FindElement(const char* name1, ...) const;

  // The next child from position `index` on named `name` (ignoring case);
  // `index` then points behind it. Null when there is none; `index` is then
  // the number of children (or stays, when it was already past the end).
  const CXTXMLElement* FindEach(const char* name, unsigned int& index) const;

  // Text of the first child named `name`, unchanged; empty without one.
  CString GetChildText(const char* name) const;
  // Value of the attribute of exactly that name; empty without one.
  CString GetAttribute(const char* name) const;

  CString Name;                        // local name, no prefix
  CString Text;                        // character data directly inside
  CXTXMLAttributes Attributes;         // ordered byte-wise by name
  std::vector<CXTXMLElement> Children;  // in document order
};
