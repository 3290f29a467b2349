// The parser's events as a stream of records in one byte buffer, the tape,
// which the tree's assembler reads, possibly on another thread. Names,
// texts and attribute values are on the tape in the parser's UTF-8, each as
// a piece: its length (4 bytes, documents being below 2 GiB) and its bytes.
// Records:
//   start of an element: kStart, local name, attribute count, the
//                        attributes' local names, their values
//   character data:      kText, text (a long text as several records, cut
//                        between two characters)
//   end of an element:   kEnd
//   how far the parser had read when the tape began: kRead, bytes read,
//                        the document's size (the first record of a tape)
// A tape ends between two records.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include <xtbasis/platform/com.h>

namespace xtb::xml {

enum class TapeRecord : char { kStart = 'S', kText = 'T', kEnd = 'E', kRead = 'R' };

// A tape's bytes: unlike a string's, they grow without the room being
// cleared first, since every byte of it is written before the tape is read.
class Tape {
 public:
  Tape() = default;
  // What is moved away leaves an empty tape behind, ready for use.
  Tape(Tape&& other) noexcept
      : m_bytes(std::move(other.m_bytes)),
        m_size(std::exchange(other.m_size, 0)),
        m_capacity(std::exchange(other.m_capacity, 0)) {}
  Tape& operator=(Tape&& other) noexcept {
    m_bytes = std::move(other.m_bytes);
    m_size = std::exchange(other.m_size, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    return *this;
  }

  // Room for `size` more bytes at the end.
  char* Extend(size_t size) {
    if (m_capacity - m_size < size) Grow(size);
    char* const at = m_bytes.get() + m_size;
    m_size += size;
    return at;
  }
  std::string_view View() const { return {m_bytes.get(), m_size}; }
  char* At(size_t offset) { return m_bytes.get() + offset; }
  size_t Size() const { return m_size; }
  bool Empty() const { return m_size == 0; }
  // Keeps the storage.
  void Clear() { m_size = 0; }

 private:
  void Grow(size_t size) {
    const size_t capacity = std::max({2 * m_capacity, m_size + size, size_t{4096}});
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_size > 0) std::memcpy(bytes.get(), m_bytes.get(), m_size);
    m_bytes = std::move(bytes);
    m_capacity = capacity;
  }

  std::unique_ptr<char[]> m_bytes;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

inline constexpr size_t kNumberSize = sizeof(uint32_t);

inline char* PutNumber(char* out, size_t number) {
  const auto value = static_cast<uint32_t>(number);
  std::memcpy(out, &value, kNumberSize);
  return out + kNumberSize;
}

// The readers take from the front of `tape`, which holds what they read.
inline uint32_t TakeNumber(std::string_view& tape) {
  uint32_t value;
  std::memcpy(&value, tape.data(), kNumberSize);
  tape.remove_prefix(kNumberSize);
  return value;
}

inline std::string_view TakePiece(std::string_view& tape) {
  const uint32_t length = TakeNumber(tape);
  const std::string_view piece = tape.substr(0, length);
  tape.remove_prefix(length);
  return piece;
}

// Where full tapes go. A failure code ends the parse with that code.
class TapeSink {
 public:
  // Reads all records of `tape`, or takes them over; `tape` is empty on
  // return, possibly other storage, which the writer reuses.
  virtual HRESULT Take(Tape& tape) = 0;

 protected:
  ~TapeSink() = default;
};

}  // namespace xtb::xml
