// CStringW's members with behaviour: clamping as CString clamps, case by
// the 1252 tables.
#include <algorithm>
#include <cwchar>
#include <string>

#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/win32/wide_strings.h>

#include "utf8cp1252.h"

namespace {

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

// The case mapping of a character of the 1252 repertoire; others stay.
template <char (*Map)(char)>
wchar_t MapCase(wchar_t ch) {
  if (ch < 0) return ch;
  const int byte = xtb::Cp1252ByteOf(static_cast<char32_t>(ch));
  if (byte < 0) return ch;
  return static_cast<wchar_t>(xtb::Cp1252CodePoint(static_cast<unsigned char>(Map(static_cast<char>(byte)))));
}

constexpr auto UpperOf = MapCase<xtb::cp1252::ToUpper>;
constexpr auto LowerOf = MapCase<xtb::cp1252::ToLower>;

std::wstring_view ViewOf(const wchar_t* text) { return text == nullptr ? std::wstring_view() : std::wstring_view(text); }

int Sign(long long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

}  // namespace

int CStringW::Compare(const wchar_t* text) const {
  const std::wstring_view other = ViewOf(text);
  const size_t common = std::min(m_text.size(), other.size());
  for (size_t i = 0; i < common; ++i)
    if (m_text[i] != other[i]) return Sign(static_cast<long long>(m_text[i]) - other[i]);
  return Sign(static_cast<long long>(m_text.size()) - static_cast<long long>(other.size()));
}

int CStringW::CompareNoCase(const wchar_t* text) const {
  const std::wstring_view other = ViewOf(text);
  const size_t common = std::min(m_text.size(), other.size());
  for (size_t i = 0; i < common; ++i) {
    const wchar_t a = LowerOf(m_text[i]);
    const wchar_t b = LowerOf(other[i]);
    if (a != b) return Sign(static_cast<long long>(a) - b);
  }
  return Sign(static_cast<long long>(m_text.size()) - static_cast<long long>(other.size()));
}

CStringW CStringW::Left(int count) const {
  return CStringW(m_text.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CStringW CStringW::Right(int count) const {
  const int n = Clamp(count, 0, GetLength());
  return CStringW(m_text.substr(static_cast<size_t>(GetLength() - n)));
}

CStringW CStringW::Mid(int first, int count) const {
  first = Clamp(first, 0, GetLength());
  count = Clamp(count, 0, GetLength() - first);
  return CStringW(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CStringW::Find(wchar_t ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const size_t pos = m_text.find(ch, static_cast<size_t>(start));
  return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CStringW::Find(const wchar_t* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t pos = m_text.find(ViewOf(sub), static_cast<size_t>(start));
  return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CStringW::ReverseFind(wchar_t ch) const {
  const size_t pos = m_text.rfind(ch);
  return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CStringW::FindOneOf(const wchar_t* set) const {
  const size_t pos = m_text.find_first_of(ViewOf(set));
  return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CStringW::Replace(wchar_t from, wchar_t to) {
  if (from == to) return 0;
  int count = 0;
  for (wchar_t& ch : m_text) {
    if (ch == from) {
      ch = to;
      ++count;
    }
  }
  return count;
}

int CStringW::Replace(const wchar_t* from, const wchar_t* to) {
  const std::wstring_view old = ViewOf(from);
  if (old.empty()) return 0;
  const std::wstring_view replacement = ViewOf(to);
  std::wstring result;
  int count = 0;
  size_t done = 0;
  for (size_t pos = m_text.find(old); pos != std::wstring::npos; pos = m_text.find(old, done)) {
    result.append(m_text, done, pos - done).append(replacement);
    done = pos + old.size();
    ++count;
  }
  if (count > 0) m_text = result.append(m_text, done);
  return count;
}

int CStringW::Remove(wchar_t ch) {
  const size_t before = m_text.size();
  std::erase(m_text, ch);
  return static_cast<int>(before - m_text.size());
}

int CStringW::Insert(int index, std::wstring_view text) {
  m_text.insert(static_cast<size_t>(Clamp(index, 0, GetLength())), text);
  return GetLength();
}

int CStringW::Delete(int index, int count) {
  index = Clamp(index, 0, GetLength());
  count = Clamp(count, 0, GetLength() - index);
  m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CStringW& CStringW::MakeUpper() {
  std::transform(m_text.begin(), m_text.end(), m_text.begin(), UpperOf);
  return *this;
}

CStringW& CStringW::MakeLower() {
  std::transform(m_text.begin(), m_text.end(), m_text.begin(), LowerOf);
  return *this;
}

CStringW& CStringW::MakeReverse() {
  std::reverse(m_text.begin(), m_text.end());
  return *this;
}

CStringW& CStringW::TrimLeft(const wchar_t* set) {
  m_text.erase(0, std::min(m_text.find_first_not_of(ViewOf(set)), m_text.size()));
  return *this;
}

CStringW& CStringW::TrimRight(const wchar_t* set) {
  const size_t last = m_text.find_last_not_of(ViewOf(set));
  m_text.erase(last == std::wstring::npos ? 0 : last + 1);
  return *this;
}

wchar_t* CStringW::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

wchar_t* CStringW::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CStringW::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(std::wcslen(m_text.c_str()));
  m_text.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}
