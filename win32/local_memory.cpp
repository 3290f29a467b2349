// LocalAlloc and its companions: fixed blocks from the C heap, each one
// known by its address, so that a foreign or freed handle is refused
// instead of being handed to free().
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <xtbasis/win32/system_messages.h>

namespace {

class LocalBlocks {
 public:
  void Add(void* block, size_t bytes) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_sizes[Key(block)] = bytes;
  }
  // The block's size; false for a block not given out.
  bool SizeOf(void* block, size_t& bytes) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_sizes.find(Key(block));
    if (it == m_sizes.end()) return false;
    bytes = it->second;
    return true;
  }
  bool Remove(void* block) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_sizes.erase(Key(block)) == 1;
  }
  // Replaces `from` by `to` of `bytes` in one step, so that no other thread
  // sees neither.
  void Replace(uintptr_t from, void* to, size_t bytes) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_sizes.erase(from);
    m_sizes[Key(to)] = bytes;
  }
  static uintptr_t Key(const void* block) { return reinterpret_cast<uintptr_t>(block); }

 private:
  std::mutex m_lock;
  std::unordered_map<uintptr_t, size_t> m_sizes;  // by address: a freed block is only a number
};

// Never destroyed: blocks may be freed by exit handlers.
LocalBlocks& Blocks() {
  static LocalBlocks* blocks = new LocalBlocks;
  return *blocks;
}

constexpr UINT kKnownFlags = LMEM_FIXED | LMEM_ZEROINIT;

bool ValidFlags(UINT flags, UINT allowed) {
  if ((flags & ~allowed) == 0) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  if (!ValidFlags(flags, kKnownFlags)) return nullptr;
  // A block of 0 bytes is still a block of its own, as on Windows.
  void* block = (flags & LMEM_ZEROINIT) != 0 ? std::calloc(bytes == 0 ? 1 : bytes, 1) : std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Blocks().Add(block, bytes);
  return block;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (memory == nullptr) return nullptr;
  if (!Blocks().Remove(memory)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
  }
  std::free(memory);
  return nullptr;
}

HLOCAL LocalReAlloc(HLOCAL memory, SIZE_T bytes, UINT flags) {
  if (!ValidFlags(flags, kKnownFlags | LMEM_MOVEABLE)) return nullptr;
  size_t before = 0;
  if (memory == nullptr || !Blocks().SizeOf(memory, before)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const uintptr_t oldKey = LocalBlocks::Key(memory);
  void* block = std::realloc(memory, bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if ((flags & LMEM_ZEROINIT) != 0 && bytes > before) std::memset(static_cast<char*>(block) + before, 0, bytes - before);
  Blocks().Replace(oldKey, block, bytes);
  return block;
}

SIZE_T LocalSize(HLOCAL memory) {
  size_t bytes = 0;
  if (memory == nullptr || !Blocks().SizeOf(memory, bytes)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return bytes;
}
