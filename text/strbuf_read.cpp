// CXTStrBuf: comparing, searching, reading fields and cutting.
#include <xtbasis/strbuf.h>

#include <cstdint>

int CXTStrBuf::Compare(const char* text) const {
  const int order = std::strcmp(m_pData, text ? text : "");  // compares the bytes as unsigned char
  return (order > 0) - (order < 0);
}

unsigned int CXTStrBuf::Find(char c, unsigned int start) const {
  if (start >= m_nLength) return npos;
  const char* hit = std::strchr(m_pData + start, c);  // c == NUL finds the first NUL
  return hit ? static_cast<unsigned int>(hit - m_pData) : npos;
}

unsigned int CXTStrBuf::FindOneOf(const char* set, unsigned int start) const {
  if (start >= m_nLength || set == nullptr || *set == '\0') return npos;
  const char* hit = std::strpbrk(m_pData + start, set);
  return hit ? static_cast<unsigned int>(hit - m_pData) : npos;
}

template <typename T>
bool CXTStrBuf::TakeField(unsigned int& pos, const char* end, T& field) const {
  if (end != nullptr && end != m_pData + m_nLength) {  // the terminator is no separator
    const auto p = static_cast<unsigned int>(end - m_pData);
    Copy(field, pos, p - pos);
    pos = p + 1;
  } else {
    Copy(field, pos, static_cast<unsigned int>(std::strlen(m_pData + pos)));
    pos = m_nLength;
  }
  return true;
}

template <typename T>
bool CXTStrBuf::GetNextString(unsigned int& pos, char separator, T& field) const {
  field.Empty();
  if (pos >= m_nLength) return false;
  return TakeField(pos, std::strchr(m_pData + pos, separator), field);
}

template <typename T>
bool CXTStrBuf::GetNextString(unsigned int& pos, const char* separators, T& field) const {
  field.Empty();
  if (pos >= m_nLength) return false;
  return TakeField(pos, std::strpbrk(m_pData + pos, separators ? separators : ""), field);
}

template XTBASIS_API bool CXTStrBuf::GetNextString<CXTStrBuf>(unsigned int&, char, CXTStrBuf&) const;
template XTBASIS_API bool CXTStrBuf::GetNextString<CString>(unsigned int&, char, CString&) const;
template XTBASIS_API bool CXTStrBuf::GetNextString<CXTStrBuf>(unsigned int&, const char*, CXTStrBuf&) const;
template XTBASIS_API bool CXTStrBuf::GetNextString<CString>(unsigned int&, const char*, CString&) const;

void CXTStrBuf::Copy(CXTStrBuf& target, unsigned int start, unsigned int count) const {
  target.Set(m_pData + start, count);
}

void CXTStrBuf::Copy(CString& target, unsigned int start, unsigned int count) const {
  target = CString(m_pData + start, static_cast<int>(count));
}

CXTStrBuf CXTStrBuf::Left(unsigned int count) const {
  if (count >= m_nLength) return *this;
  CXTStrBuf part;
  Copy(part, 0, count);
  return part;
}

CXTStrBuf CXTStrBuf::Right(unsigned int count) const {
  if (count >= m_nLength) return *this;
  CXTStrBuf part;
  Copy(part, m_nLength - count, count);
  return part;
}

CXTStrBuf CXTStrBuf::Mid(unsigned int start) const {
  CXTStrBuf part;
  if (start < m_nLength) part.Set(m_pData + start, npos);
  return part;
}

CXTStrBuf CXTStrBuf::Mid(unsigned int start, unsigned int count) const {
  CXTStrBuf part;
  if (start >= m_nLength || count == 0) return part;
  if (uint64_t{start} + count < m_nLength)
    Copy(part, start, count);
  else
    part.Set(m_pData + start, npos);
  return part;
}
