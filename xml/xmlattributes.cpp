// CXTXMLAttributes: the sorted array behind an element's attributes, held
// by one pointer to its counts and entries.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>

#include <xtbasis/xmlelement.h>

// Moving entries between arrays cannot fail half-way.
static_assert(std::is_nothrow_move_constructible_v<CXTXMLAttributes::value_type> &&
              std::is_nothrow_move_assignable_v<CXTXMLAttributes::value_type>);

CXTXMLAttributes::CXTXMLAttributes(std::initializer_list<value_type> entries) {
  reserve(entries.size());
  for (const value_type& entry : entries) insert(entry);
}

CXTXMLAttributes::CXTXMLAttributes(const CXTXMLAttributes& other) {
  if (other.empty()) return;
  reserve(other.size());
  try {
    for (const value_type& entry : other) InsertAt(end(), value_type(entry));
  } catch (...) {
    clear();
    throw;
  }
}

CXTXMLAttributes& CXTXMLAttributes::operator=(const CXTXMLAttributes& other) {
  if (this != &other) {
    CXTXMLAttributes copy(other);
    std::swap(m_block, copy.m_block);
  }
  return *this;
}

CXTXMLAttributes& CXTXMLAttributes::operator=(CXTXMLAttributes&& other) noexcept {
  if (this != &other) {
    clear();
    m_block = std::exchange(other.m_block, nullptr);
  }
  return *this;
}

CXTXMLAttributes& CXTXMLAttributes::operator=(std::initializer_list<value_type> entries) {
  CXTXMLAttributes filled(entries);
  std::swap(m_block, filled.m_block);
  return *this;
}

void CXTXMLAttributes::clear() {
  if (m_block == nullptr) return;
  std::destroy_n(Items(), m_block->size);
  ::operator delete(m_block);
  m_block = nullptr;
}

void CXTXMLAttributes::reserve(size_type count) {
  if (count > (m_block != nullptr ? m_block->capacity : 0)) Grow(count);
}

void CXTXMLAttributes::Grow(size_type capacity) {
  if (capacity > UINT32_MAX) throw std::length_error("too many attributes");
  auto* block = static_cast<Block*>(::operator new(sizeof(Block) + capacity * sizeof(value_type)));
  block->size = static_cast<uint32_t>(size());
  block->capacity = static_cast<uint32_t>(capacity);
  if (m_block != nullptr) {
    std::uninitialized_move_n(Items(), m_block->size, reinterpret_cast<value_type*>(block + 1));
    clear();
  }
  m_block = block;
}

CXTXMLAttributes::iterator CXTXMLAttributes::InsertAt(const_iterator position, value_type&& entry) {
  const size_t at = static_cast<size_t>(position - begin());
  const size_t count = size();
  if (m_block == nullptr || count == m_block->capacity) Grow(count == 0 ? 1 : 2 * count);
  value_type* items = Items();
  if (at == count) {
    new (items + count) value_type(std::move(entry));
  } else {
    new (items + count) value_type(std::move(items[count - 1]));
    std::move_backward(items + at, items + count - 1, items + count);
    items[at] = std::move(entry);
  }
  ++m_block->size;
  return items + at;
}

CXTXMLAttributes::iterator CXTXMLAttributes::erase(const_iterator position) {
  value_type* items = Items();
  const size_t at = static_cast<size_t>(position - items);
  std::move(items + at + 1, items + size(), items + at);
  std::destroy_at(items + size() - 1);
  --m_block->size;
  return items + at;
}

CXTXMLAttributes::const_iterator CXTXMLAttributes::LowerBound(std::string_view name) const {
  return std::lower_bound(begin(), end(), name,
                          [](const value_type& entry, std::string_view key) { return entry.first.view() < key; });
}

CXTXMLAttributes::const_iterator CXTXMLAttributes::find(std::string_view name) const {
  const const_iterator place = LowerBound(name);
  return place != end() && place->first.view() == name ? place : end();
}

CXTXMLAttributes::iterator CXTXMLAttributes::find(std::string_view name) {
  return begin() + (std::as_const(*this).find(name) - cbegin());
}

CString& CXTXMLAttributes::operator[](const CString& name) { return insert(value_type(name, CString())).first->second; }

CString& CXTXMLAttributes::at(const CString& name) {
  const iterator found = find(name);
  if (found == end()) throw std::out_of_range("no attribute of that name");
  return found->second;
}

const CString& CXTXMLAttributes::at(const CString& name) const { return const_cast<CXTXMLAttributes&>(*this).at(name); }

std::pair<CXTXMLAttributes::iterator, bool> CXTXMLAttributes::insert(value_type entry) {
  const const_iterator place = LowerBound(entry.first.view());
  if (place != end() && place->first == entry.first) return {begin() + (place - cbegin()), false};
  return {InsertAt(place, std::move(entry)), true};
}

std::pair<CXTXMLAttributes::iterator, bool> CXTXMLAttributes::insert_or_assign(const CString& name, CString value) {
  auto [place, inserted] = insert(value_type(name, CString()));
  place->second = std::move(value);
  return {place, inserted};
}

CXTXMLAttributes::iterator CXTXMLAttributes::InsertHinted(const_iterator hint, value_type&& entry) {
  // The hint is right when the entry sorts between its neighbours; filling
  // in order, that is one comparison with the last entry.
  const bool afterPrevious = hint == cbegin() || std::prev(hint)->first < entry.first;
  const bool beforeNext = hint == cend() || entry.first < hint->first;
  if (afterPrevious && beforeNext) return InsertAt(hint, std::move(entry));
  return insert(std::move(entry)).first;
}

CXTXMLAttributes::iterator CXTXMLAttributes::KeepLast() {
  value_type* const made = Items() + m_block->size;
  if (m_block->size == 0 || made[-1].first < made->first) {
    ++m_block->size;
    return made;
  }
  value_type entry(std::move(*made));
  made->~value_type();
  return insert(std::move(entry)).first;
}

CXTXMLAttributes::size_type CXTXMLAttributes::erase(const CString& name) {
  const iterator found = find(name);
  if (found == end()) return 0;
  erase(found);
  return 1;
}

bool operator==(const CXTXMLAttributes& a, const CXTXMLAttributes& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
