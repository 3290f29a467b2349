// CXTXMLAttributes: the sorted array behind an element's attributes.
#include <algorithm>
#include <stdexcept>

#include <xtbasis/xmlelement.h>

CXTXMLAttributes::CXTXMLAttributes(std::initializer_list<value_type> entries) { *this = entries; }

CXTXMLAttributes& CXTXMLAttributes::operator=(std::initializer_list<value_type> entries) {
  m_entries.clear();
  m_entries.reserve(entries.size());
  for (const value_type& entry : entries) insert(entry);
  return *this;
}

CXTXMLAttributes::const_iterator CXTXMLAttributes::LowerBound(std::string_view name) const {
  return std::lower_bound(m_entries.begin(), m_entries.end(), name,
                          [](const value_type& entry, std::string_view key) { return entry.first.view() < key; });
}

CXTXMLAttributes::const_iterator CXTXMLAttributes::find(std::string_view name) const {
  const const_iterator place = LowerBound(name);
  return place != m_entries.end() && place->first.view() == name ? place : m_entries.end();
}

CXTXMLAttributes::iterator CXTXMLAttributes::find(std::string_view name) {
  return m_entries.begin() + (std::as_const(*this).find(name) - m_entries.cbegin());
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
  if (place != m_entries.end() && place->first == entry.first)
    return {m_entries.begin() + (place - m_entries.cbegin()), false};
  return {m_entries.insert(place, std::move(entry)), true};
}

std::pair<CXTXMLAttributes::iterator, bool> CXTXMLAttributes::insert_or_assign(const CString& name, CString value) {
  auto [place, inserted] = insert(value_type(name, CString()));
  place->second = std::move(value);
  return {place, inserted};
}

CXTXMLAttributes::iterator CXTXMLAttributes::insert(const_iterator hint, value_type entry) {
  if (hint == m_entries.cend() && (m_entries.empty() || m_entries.back().first < entry.first)) {
    m_entries.push_back(std::move(entry));
    return std::prev(m_entries.end());
  }
  // Elsewhere the hint is right when the entry sorts between its neighbours.
  const bool afterPrevious = hint == m_entries.cbegin() || std::prev(hint)->first < entry.first;
  const bool beforeNext = hint == m_entries.cend() || entry.first < hint->first;
  if (afterPrevious && beforeNext) return m_entries.insert(hint, std::move(entry));
  return insert(std::move(entry)).first;
}

CXTXMLAttributes::size_type CXTXMLAttributes::erase(const CString& name) {
  const iterator found = find(name);
  if (found == end()) return 0;
  m_entries.erase(found);
  return 1;
}
