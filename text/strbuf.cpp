// CXTStrBuf: construction, growth and writing.
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/strbuf.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "strbuf_alloc.h"

static_assert(sizeof(CXTStrBuf) == 4 * sizeof(unsigned int) + sizeof(char*),
              "capacity, growth limit and length come before the data pointer");

namespace xtb::strbuf {

namespace {
ReallocFunction g_realloc = nullptr;
}  // namespace

ReallocFunction SetReallocFunction(ReallocFunction function) {
  const ReallocFunction before = g_realloc;
  g_realloc = function;
  return before;
}

void* Reallocate(void* block, size_t size) { return g_realloc ? g_realloc(block, size) : std::realloc(block, size); }

}  // namespace xtb::strbuf

namespace {

// The largest capacity: capacity + 1 bytes must still be countable.
constexpr unsigned int kMaxCapacity = CXTStrBuf::npos - 1;

unsigned int TextLength(const char* text) { return text ? static_cast<unsigned int>(std::strlen(text)) : 0; }

// length + count, or the out-of-memory exception when no buffer can hold it.
unsigned int GrownLength(unsigned int length, unsigned int count) {
  if (count > kMaxCapacity - length) AfxThrowMemoryException();
  return length + count;
}

}  // namespace

void CXTStrBuf::Allocate(unsigned int capacity) {
  m_pData = static_cast<char*>(xtb::strbuf::Reallocate(nullptr, size_t{capacity} + 1));
  if (m_pData == nullptr) AfxThrowMemoryException();
  m_nCapacity = capacity;
  m_nLength = 0;
  m_pData[0] = '\0';
}

CXTStrBuf::CXTStrBuf(const char* text, unsigned int capacity, unsigned int growthLimit)
    : m_nCapacity(0), m_nGrowLimit(growthLimit), m_nLength(0), m_pData(nullptr) {
  const unsigned int length = TextLength(text);
  Allocate(std::min(std::max(capacity, length), kMaxCapacity));
  Add(length, text);
}

CXTStrBuf::CXTStrBuf(char c, unsigned int capacity, unsigned int growthLimit)
    : m_nCapacity(0), m_nGrowLimit(growthLimit), m_nLength(0), m_pData(nullptr) {
  Allocate(std::min(std::max(capacity, 1u), kMaxCapacity));
  *this += c;
}

CXTStrBuf::CXTStrBuf(const CString& text, unsigned int capacity, unsigned int growthLimit)
    : m_nCapacity(0), m_nGrowLimit(growthLimit), m_nLength(0), m_pData(nullptr) {
  const auto length = static_cast<unsigned int>(text.GetLength());
  Allocate(std::min(std::max(capacity, length), kMaxCapacity));
  Add(length, text.GetString());
}

CXTStrBuf::CXTStrBuf(const CXTStrBuf& other)
    : m_nCapacity(0), m_nGrowLimit(other.m_nGrowLimit), m_nLength(0), m_pData(nullptr) {
  Allocate(other.m_nCapacity);
  Add(other.m_nLength, other.m_pData);
}

CXTStrBuf::CXTStrBuf(unsigned int length, char* buffer, unsigned int growthLimit)
    : m_nCapacity(length), m_nGrowLimit(growthLimit), m_nLength(length), m_pData(buffer) {
  if (m_pData == nullptr) Allocate(std::min(length, kMaxCapacity));
}

CXTStrBuf::~CXTStrBuf() { std::free(m_pData); }

void CXTStrBuf::DoDoRealloc(unsigned int required) {
  if (required > kMaxCapacity) AfxThrowMemoryException();
  uint64_t step = m_nCapacity > m_nGrowLimit ? m_nCapacity / 8 + 1 : uint64_t{m_nCapacity} + 1;
  for (;;) {
    const uint64_t wanted = std::min<uint64_t>(m_nCapacity + step, kMaxCapacity);
    const auto request = static_cast<unsigned int>(std::max<uint64_t>(wanted, required));
    if (void* grown = xtb::strbuf::Reallocate(m_pData, size_t{request} + 1)) {
      m_pData = static_cast<char*>(grown);
      m_nCapacity = request;
      return;
    }
    // Ask for a smaller step, down to exactly what is required.
    step /= 2;
    if (wanted < required || step == 0) AfxThrowMemoryException();
  }
}

void CXTStrBuf::AddGrowing(unsigned int count, const char* bytes) {
  const unsigned int length = GrownLength(m_nLength, count);
  // A piece inside the buffer moves with it.
  const bool inside = bytes >= m_pData && bytes <= m_pData + m_nCapacity;
  const size_t offset = inside ? static_cast<size_t>(bytes - m_pData) : 0;
  DoDoRealloc(length);
  if (inside) bytes = m_pData + offset;
  std::memmove(m_pData + m_nLength, bytes, count);
  m_nLength = length;
  m_pData[m_nLength] = '\0';
}

void CXTStrBuf::Set(const char* bytes, unsigned int count) {
  if (count == npos) count = TextLength(bytes);
  if (bytes == m_pData && count <= m_nLength) {
    Truncate(count);
    return;
  }
  const bool inside = bytes >= m_pData && bytes <= m_pData + m_nCapacity;
  if (!inside) {
    DoRealloc(count);
    Empty();  // Add writes no terminator for an empty piece
    Add(count, bytes);
    return;
  }
  const size_t offset = static_cast<size_t>(bytes - m_pData);
  DoRealloc(count);
  std::memmove(m_pData, m_pData + offset, count);
  m_nLength = count;
  m_pData[m_nLength] = '\0';
}

CXTStrBuf& CXTStrBuf::operator=(const CXTStrBuf& other) {
  if (&other != this) Set(other.m_pData, other.m_nLength);
  return *this;
}

CXTStrBuf& CXTStrBuf::operator=(char c) {
  Set(&c, 1);
  return *this;
}

CXTStrBuf& CXTStrBuf::operator=(const char* text) {
  if (text != m_pData) Set(text, TextLength(text));
  return *this;
}

CXTStrBuf& CXTStrBuf::operator=(const CString& text) {
  Set(text.GetString(), static_cast<unsigned int>(text.GetLength()));
  return *this;
}

CXTStrBuf CXTStrBuf::operator+(const CXTStrBuf& other) const {
  CXTStrBuf sum(*this);
  sum += other;
  return sum;
}

CXTStrBuf CXTStrBuf::operator+(char c) const {
  CXTStrBuf sum(*this);
  sum += c;
  return sum;
}

CXTStrBuf CXTStrBuf::operator+(const char* text) const {
  CXTStrBuf sum(*this);
  sum += text;
  return sum;
}

CXTStrBuf CXTStrBuf::operator+(const CString& text) const {
  CXTStrBuf sum(*this);
  sum += text;
  return sum;
}

void CXTStrBuf::Add(char c, unsigned int count) {
  if (count == 0) return;
  const unsigned int length = GrownLength(m_nLength, count);
  DoRealloc(length);
  std::memset(m_pData + m_nLength, static_cast<unsigned char>(c), count);
  m_nLength = length;
  m_pData[m_nLength] = '\0';
}

void CXTStrBuf::Add(const char* text, unsigned int count) {
  const unsigned int piece = TextLength(text);
  if (piece == 0 || count == 0) return;
  if (uint64_t{piece} * count > kMaxCapacity) AfxThrowMemoryException();
  const unsigned int total = piece * count;
  const unsigned int length = GrownLength(m_nLength, total);
  const bool inside = text >= m_pData && text <= m_pData + m_nCapacity;
  const size_t offset = inside ? static_cast<size_t>(text - m_pData) : 0;
  DoRealloc(length);
  if (inside) text = m_pData + offset;
  char* out = m_pData + m_nLength;
  std::memmove(out, text, piece);
  // Double the written run until the repetitions are complete.
  for (unsigned int done = piece; done < total;) {
    const unsigned int chunk = std::min(done, total - done);
    std::memcpy(out + done, out, chunk);
    done += chunk;
  }
  m_nLength = length;
  m_pData[m_nLength] = '\0';
}

const CXTStrBuf& CXTStrBuf::DoAdd(const char* bytes, unsigned int count) {
  Add(count, bytes);
  return *this;
}

void CXTStrBuf::Truncate(unsigned int length) {
  if (length >= m_nLength) return;
  m_nLength = length;
  m_pData[m_nLength] = '\0';
}

void CXTStrBuf::SetLength(unsigned int length, char fill) {
  if (length <= m_nLength) {
    Truncate(length);
    return;
  }
  Add(fill, length - m_nLength);
}

void CXTStrBuf::TrimLeft() {
  unsigned int first = 0;
  while (first < m_nLength && std::isspace(static_cast<unsigned char>(m_pData[first]))) ++first;
  if (first == 0) return;
  m_nLength -= first;
  std::memmove(m_pData, m_pData + first, m_nLength);
  m_pData[m_nLength] = '\0';
}

void CXTStrBuf::TrimRight() {
  unsigned int length = m_nLength;
  while (length > 0 && std::isspace(static_cast<unsigned char>(m_pData[length - 1]))) --length;
  Truncate(length);
}

char* CXTStrBuf::GetBuffer(unsigned int capacity) {
  DoRealloc(capacity);
  return m_pData;
}

void CXTStrBuf::ReleaseBuffer(unsigned int length) {
  // The byte at the capacity is the only one the caller cannot have written,
  // so neither the search for a NUL nor the new length may pass it.
  if (length == npos) length = static_cast<unsigned int>(strnlen(m_pData, m_nCapacity));
  m_nLength = std::min(length, m_nCapacity);
  m_pData[m_nLength] = '\0';
}
