// CXTStrBuf: a growable byte string for building large texts and byte blocks.
//
// The buffer keeps its capacity across Empty, Truncate and assignments. It
// grows by doubling up to the growth limit and by one eighth above it; when
// memory runs out it throws CMemoryException* and keeps its old content. The
// byte behind the content is always NUL; the content itself may hold NUL
// bytes, but the operations that read it as text stop at the first one.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

// Short texts are read 16 bytes at a time, which reads past their end within
// a page. The sanitizers rightly report that, so their builds read bytewise.
#if defined(__SSE2__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#if defined(__has_feature)
#if !__has_feature(address_sanitizer) && !__has_feature(thread_sanitizer) && !__has_feature(memory_sanitizer)
#define XTBASIS_STRBUF_WIDE_READS 1
#endif
#else
#define XTBASIS_STRBUF_WIDE_READS 1
#endif
#endif
#if XTBASIS_STRBUF_WIDE_READS
#include <emmintrin.h>
#endif

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

class XTBASIS_API CXTStrBuf {
 public:
  // The result of a search that finds nothing, and "up to the first NUL".
  static constexpr unsigned int npos = 0xFFFFFFFFu;
  static constexpr unsigned int kDefaultCapacity = 1023;
  static constexpr unsigned int kDefaultGrowthLimit = 0x8000000;  // 128 MiB

  // Construction. The capacity is at least the length of the initial content.
  CXTStrBuf(const char* text = nullptr, unsigned int capacity = kDefaultCapacity,
            unsigned int growthLimit = kDefaultGrowthLimit);
  CXTStrBuf(char c, unsigned int capacity = kDefaultCapacity, unsigned int growthLimit = kDefaultGrowthLimit);
  CXTStrBuf(const CString& text, unsigned int capacity = kDefaultCapacity,
            unsigned int growthLimit = kDefaultGrowthLimit);
  CXTStrBuf(const CXTStrBuf& other);
  // Adopts `buffer` from malloc, holding `length` bytes and a NUL; the object
  // frees it.
  CXTStrBuf(unsigned int length, char* buffer, unsigned int growthLimit = kDefaultGrowthLimit);
  ~CXTStrBuf();

  // ---- Reading ----
  unsigned int GetLength() const { return m_nLength; }
  bool IsEmpty() const { return m_nLength == 0; }
  operator const char*() const { return m_pData; }
  // Compares as NUL-terminated text, bytes unsigned; -1, 0 or 1.
  int Compare(const char* text) const;
  // Searches the NUL-terminated text from `start`; npos when `start` >= length.
  unsigned int Find(char c, unsigned int start = 0) const;
  unsigned int FindOneOf(const char* set, unsigned int start = 0) const;
  // Reads the field at `pos` up to the next separator and moves `pos` behind
  // it; false when `pos` is at the end. "a,,b," gives "a", "", "b", then false.
  // T is CXTStrBuf or CString.
  template <typename T>
  bool GetNextString(unsigned int& pos, char separator, T& field) const;
  template <typename T>
  bool GetNextString(unsigned int& pos, const char* separators, T& field) const;

  // ---- Writing ----
  CXTStrBuf& operator=(const CXTStrBuf& other);
  CXTStrBuf& operator=(char c);
  CXTStrBuf& operator=(const char* text);
  CXTStrBuf& operator=(const CString& text);

  CXTStrBuf& operator+=(const CXTStrBuf& other) {
    Add(other.m_nLength, other.m_pData);
    return *this;
  }
  CXTStrBuf& operator+=(char c) {
    if (m_nLength == m_nCapacity) DoRealloc(m_nLength + 1);
    m_pData[m_nLength++] = c;
    m_pData[m_nLength] = '\0';
    return *this;
  }
  CXTStrBuf& operator+=(const char* text) {
    if (text != nullptr) AddText(text);
    return *this;
  }
  CXTStrBuf& operator+=(const CString& text) {
    Add(static_cast<unsigned int>(text.GetLength()), text.GetString());
    return *this;
  }

  CXTStrBuf operator+(const CXTStrBuf& other) const;
  CXTStrBuf operator+(char c) const;
  CXTStrBuf operator+(const char* text) const;
  CXTStrBuf operator+(const CString& text) const;

  // Replaces the content by `count` bytes (npos: up to the first NUL).
  void Set(const char* bytes, unsigned int count);
  // Appends `count` bytes as they are, NUL bytes included.
  void Add(unsigned int count, const char* bytes) {
    if (count == 0) return;
    if (count > m_nCapacity - m_nLength) {
      AddGrowing(count, bytes);
      return;
    }
    std::memcpy(m_pData + m_nLength, bytes, count);  // content never overlaps the free space
    m_nLength += count;
    m_pData[m_nLength] = '\0';
  }
  // Appends `c` `count` times.
  void Add(char c, unsigned int count);
  // Appends `text` `count` times.
  void Add(const char* text, unsigned int count);
  void AddLF(unsigned int count = 1) { Add('\n', count); }
  void AddTab(unsigned int count = 1) { Add('\t', count); }
  void AddCRLF(unsigned int count = 1) { Add("\r\n", count); }
  // Appends `count` bytes; bytes[count] must be the NUL that ends them.
  const CXTStrBuf& DoAdd(const char* bytes, unsigned int count);

  void Empty() {
    m_nLength = 0;
    m_pData[0] = '\0';
  }
  void Truncate(unsigned int length);
  void SetLength(unsigned int length, char fill = ' ');
  void TrimLeft();
  void TrimRight();
  // Capacity at least `capacity`; write into the result, then ReleaseBuffer.
  char* GetBuffer(unsigned int capacity);
  // Sets the length after direct writing (npos: up to the first NUL); never
  // beyond the capacity.
  void ReleaseBuffer(unsigned int length = npos);

  // ---- Cutting ----
  CXTStrBuf Left(unsigned int count) const;
  CXTStrBuf Right(unsigned int count) const;
  CXTStrBuf Mid(unsigned int start) const;
  CXTStrBuf Mid(unsigned int start, unsigned int count) const;

  // ---- Base64 ----
  // target = Base64 of all bytes here, lines of 76 characters when asked.
  bool ToBase64(CXTStrBuf& target, bool lineBreaks) const;
  // This content = the bytes decoded from `source` (foreign characters skipped).
  bool FromBase64(const CXTStrBuf& source);

 protected:
  // Grows when `required` exceeds the capacity.
  void DoRealloc(unsigned int required) {
    if (required > m_nCapacity) DoDoRealloc(required);
  }
  // Grows to hold at least `required` bytes, or throws CMemoryException*.
  void DoDoRealloc(unsigned int required);
  // Replaces `target` by `count` raw bytes from `start`.
  void Copy(CXTStrBuf& target, unsigned int start, unsigned int count) const;
  void Copy(CString& target, unsigned int start, unsigned int count) const;

 private:
  // Allocates an empty buffer of `capacity`.
  void Allocate(unsigned int capacity);
  // Add for a piece that needs growth; `bytes` may lie inside the buffer.
  void AddGrowing(unsigned int count, const char* bytes);
  // Texts shorter than this are appended in one pass.
  static constexpr unsigned int kShortText = 16;
  // Appends the text up to its NUL. A short text from outside the buffer is
  // copied as it is read, sparing the separate pass that measures it; a
  // longer one is then copied again the general way.
  void AddText(const char* text) {
    const bool inside = std::less_equal<const char*>()(m_pData, text) &&
                        std::less_equal<const char*>()(text, m_pData + m_nCapacity);
    if (!inside && m_nCapacity - m_nLength >= kShortText && AddShortText(text)) return;
    Add(static_cast<unsigned int>(std::strlen(text)), text);
  }
#if XTBASIS_STRBUF_WIDE_READS
  // One 16-byte load holds the whole of a short text: its NUL is found by a
  // compare, the load is stored as it is. The load may read past the NUL,
  // never past the page that holds it, so it cannot fault.
  bool AddShortText(const char* text) {
    constexpr uintptr_t kPage = 4096;
    if ((reinterpret_cast<uintptr_t>(text) & (kPage - 1)) > kPage - kShortText) return AddShortTextBytewise(text);
    // The compiler is not to judge the load by the size of a literal it sees.
    const char* source = text;
    asm("" : "+r"(source));
    const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const unsigned int ends = static_cast<unsigned int>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, _mm_setzero_si128())));
    if (ends == 0) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(m_pData + m_nLength), piece);
    m_nLength += static_cast<unsigned int>(__builtin_ctz(ends));
    return true;
  }
#else
  bool AddShortText(const char* text) { return AddShortTextBytewise(text); }
#endif
  bool AddShortTextBytewise(const char* text) {
    char* const out = m_pData + m_nLength;
    unsigned int i = 0;
    while (i < kShortText && (out[i] = text[i]) != '\0') ++i;
    if (i == kShortText) return false;
    m_nLength += i;
    return true;
  }
  // The field from `pos` to `end` (or to the first NUL when not found).
  template <typename T>
  bool TakeField(unsigned int& pos, const char* end, T& field) const;

  unsigned int m_nCapacity;
  unsigned int m_nGrowLimit;
  unsigned int m_nLength;
  char* m_pData;
};
