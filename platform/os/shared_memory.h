// Named shared memory that lives as long as some process holds it.
//
// A segment is a POSIX shared-memory object. Every holder keeps a shared
// lock (an open-file-description lock) on it, which the kernel drops when
// the holder closes it or dies. Whoever closes it last removes its name; a
// name whose holders all died without closing counts as absent and is
// replaced by the next opener. Opening and closing are decided under a
// machine-wide gate per name, so that of several processes racing to open a
// name exactly one creates it and nobody attaches to an object that its last
// holder is just removing.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

namespace xtb::os {

class SharedSegment {
 public:
  enum class Opened {
    kCreated,     // new, zero-filled, initialised by the caller's function
    kAttached,    // existed already
    kOpenFailed,  // no object could be opened or created (error())
    kMapFailed,   // opened, but it could not be mapped (error())
  };

  SharedSegment() = default;
  ~SharedSegment() { Close(); }
  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;

  // Opens the object `name` ("/name", a valid POSIX name) or creates it with
  // `length` bytes and the permission bits `mode`; a creator runs
  // `initialise` on the mapping before any other process can attach. Closes
  // what was open before.
  Opened Open(const std::string& name, size_t length, mode_t mode, const std::function<void(void*)>& initialise);
  // Unmaps and lets the object go; the last holder removes its name.
  void Close();

  // This segment created the object (also when it could not map it).
  bool created() const { return m_created; }
  void* base() const { return m_base; }
  size_t length() const { return m_length; }
  int error() const { return m_error; }

 private:
  int m_fd = -1;
  void* m_base = nullptr;
  size_t m_length = 0;
  std::string m_name;
  int m_error = 0;
  bool m_created = false;
};

// What became of a name that support staff asked to remove.
enum class SegmentRemoval { kRemoved, kHeld, kAbsent, kFailed };
// Removes the object `name` when no process holds it.
SegmentRemoval RemoveUnheldSegment(const std::string& name, int& error);
// Removes every object whose name begins with `prefix` ("/...") and that no
// process holds: what holders left that all died without closing.
void RemoveUnheldSegments(const std::string& prefix);

}  // namespace xtb::os
