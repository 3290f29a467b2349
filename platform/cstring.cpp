#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/platform/cstring.h>

#include "format.h"
#include "format_message.h"

#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string_view ViewOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

int CompareFolded(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(xtb::cp1252::ToLower(a[i]));
    const auto cb = static_cast<unsigned char>(xtb::cp1252::ToLower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

CString::CString(const char* text) : m_text(ViewOf(text)) {}

CString::CString(const unsigned char* text) : CString(reinterpret_cast<const char*>(text)) {}

CString::CString(const char* text, int length) {
  if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat) : m_text(static_cast<size_t>(std::max(repeat, 0)), ch) {}

CString& CString::operator=(const char* text) {
  m_text.assign(ViewOf(text));
  return *this;
}

CString& CString::operator=(char ch) {
  m_text.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const char* text) {
  m_text += ViewOf(text);
  return *this;
}

void CString::Append(const char* text, int length) {
  if (text && length > 0) m_text.append(text, static_cast<size_t>(length));
}

int CString::Compare(const char* text) const {
  const int result = std::string_view(m_text).compare(ViewOf(text));
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* text) const { return CompareFolded(m_text, ViewOf(text)); }

CString CString::Left(int count) const {
  return CString(m_text.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Right(int count) const {
  const int n = Clamp(count, 0, GetLength());
  return CString(m_text.substr(static_cast<size_t>(GetLength() - n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = Clamp(first, 0, GetLength());
  count = Clamp(count, 0, GetLength() - first);
  return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::SpanIncluding(const char* set) const {
  const size_t n = m_text.find_first_not_of(ViewOf(set));
  return CString(m_text.substr(0, n));
}

CString CString::SpanExcluding(const char* set) const {
  const size_t n = m_text.find_first_of(ViewOf(set));
  return CString(m_text.substr(0, n));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const size_t pos = m_text.find(ch, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t pos = m_text.find(ViewOf(sub), static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const size_t pos = m_text.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* set) const {
  const size_t pos = m_text.find_first_of(ViewOf(set));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(char from, char to) {
  if (from == to) return 0;
  int count = 0;
  for (char& c : m_text) {
    if (c == from) {
      c = to;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* from, const char* to) {
  const std::string_view old = ViewOf(from);
  if (old.empty()) return 0;
  const std::string_view replacement = ViewOf(to);
  size_t pos = m_text.find(old);
  if (pos == std::string::npos) return 0;
  std::string result;
  result.reserve(m_text.size());
  size_t done = 0;
  int count = 0;
  for (; pos != std::string::npos; pos = m_text.find(old, done)) {
    result.append(m_text, done, pos - done).append(replacement);
    done = pos + old.size();
    ++count;
  }
  result.append(m_text, done, std::string::npos);
  m_text.swap(result);
  return count;
}

int CString::Remove(char ch) {
  const auto end = std::remove(m_text.begin(), m_text.end(), ch);
  const int count = static_cast<int>(m_text.end() - end);
  m_text.erase(end, m_text.end());
  return count;
}

int CString::Insert(int index, char ch) {
  m_text.insert(static_cast<size_t>(Clamp(index, 0, GetLength())), 1, ch);
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  m_text.insert(static_cast<size_t>(Clamp(index, 0, GetLength())), ViewOf(text));
  return GetLength();
}

int CString::Delete(int index, int count) {
  index = std::max(index, 0);
  count = std::min(std::max(count, 0), GetLength() - index);
  if (count > 0) m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CString& CString::MakeUpper() {
  for (char& c : m_text) c = xtb::cp1252::ToUpper(c);
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : m_text) c = xtb::cp1252::ToLower(c);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_text.begin(), m_text.end());
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* set) { return TrimRight(set).TrimLeft(set); }
CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }
CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }
CString& CString::TrimLeft(char ch) { return TrimLeft(std::string(1, ch).c_str()); }
CString& CString::TrimRight(char ch) { return TrimRight(std::string(1, ch).c_str()); }

CString& CString::TrimLeft(const char* set) {
  m_text.erase(0, std::min(m_text.find_first_not_of(ViewOf(set)), m_text.size()));
  return *this;
}

CString& CString::TrimRight(const char* set) {
  const size_t last = m_text.find_last_not_of(ViewOf(set));
  m_text.erase(last == std::string::npos ? 0 : last + 1);
  return *this;
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
  std::string text;  // an argument may be this string's own text
  xtb::AppendFormattedV(text, format, args);
  m_text.swap(text);
}

void CString::AppendFormatV(const char* format, va_list args) {
  std::string text;
  xtb::AppendFormattedV(text, format, args);
  m_text += text;
}

bool CString::IsAmong(const XTFormatArg* args, int count) const {
  const char* const begin = m_text.data();
  const char* const end = begin + m_text.capacity() + 1;
  for (int i = 0; i < count; ++i) {
    const char* text = args[i].value.s;
    if (args[i].kind == XTFORMAT_STRING || args[i].kind == XTFORMAT_COUNTED_STRING) {
      if (std::less_equal<const char*>()(begin, text) && std::less<const char*>()(text, end)) return true;
    }
  }
  return false;
}

void CString::FormatList(const char* format, const XTFormatArg* args, int count) {
  const size_t n = static_cast<size_t>(count < 0 ? 0 : count);
  if (IsAmong(args, count)) {
    std::string text;
    xtb::AppendFormatted(text, format, args, n);
    m_text.swap(text);
    return;
  }
  m_text.clear();
  xtb::AppendFormatted(m_text, format, args, n);
}

void CString::FormatMessageList(const char* format, const XTFormatArg* args, int count) {
  std::string text;  // an argument may be this string's own text
  xtb::AppendMessageInserts(text, format, args, static_cast<size_t>(count < 0 ? 0 : count));
  m_text.swap(text);
}

void CString::AppendFormatList(const char* format, const XTFormatArg* args, int count) {
  const size_t n = static_cast<size_t>(count < 0 ? 0 : count);
  if (IsAmong(args, count)) {
    std::string text;
    xtb::AppendFormatted(text, format, args, n);
    m_text += text;
    return;
  }
  xtb::AppendFormatted(m_text, format, args, n);
}

char* CString::GetBuffer() { return m_text.data(); }

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

char* CString::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(std::strlen(m_text.c_str()));
  m_text.resize(static_cast<size_t>(newLength));
}

void CString::Truncate(int length) {
  if (length >= 0 && length < GetLength()) m_text.resize(static_cast<size_t>(length));
}

CString CString::Tokenize(const char* delimiters, int& start) const {
  const std::string_view set = ViewOf(delimiters);
  if (start >= 0 && start < GetLength()) {
    if (set.empty()) {
      // The rest is the one token; moving past the end makes the next call finish.
      CString rest(m_text.substr(static_cast<size_t>(start)));
      start = GetLength() + 1;
      return rest;
    }
    const size_t from = m_text.find_first_not_of(set, static_cast<size_t>(start));
    if (from != std::string::npos) {
      const size_t until = std::min(m_text.find_first_of(set, from), m_text.size());
      start = static_cast<int>(until) + 1;
      return CString(m_text.substr(from, until - from));
    }
  }
  start = -1;
  return CString();
}

CString operator+(const CString& a, const char* b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const char* a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}
