// Named shared memory that lives as long as some process holds it.
//
// A segment is a POSIX shared-memory object. Every holder keeps a shared
// lock (an open-file-description lock) on it, which the kernel drops when
// the holder closes it or dies. Whoever closes it last removes its name; a
// name whose holders all died without closing counts as absent and is
// replaced by the next opener. Opening and closing are decided under a
// gate per name, so that of several processes racing to open a name exactly
// one creates it and nobody attaches to an object that its last holder is
// just removing.
//
// The gate is a byte, chosen by the name's hash, locked in a gate object:
// the account's own (private to it, checked before use) for objects that
// only the account's processes open, the machine's (every account may lock
// it) for objects that several accounts share. Another account may hold a
// byte of the machine's gate: an opener waits for its byte a bounded time
// and then fails with ETIMEDOUT, a closer waits briefly and otherwise leaves
// the name to the next opener, which replaces an object nobody holds.
//
// An existing account object is used only when it is the account's own and
// closed to others; one that another account planted under the name is
// removed and made anew, or refused (EACCES) where the account may not
// remove it. A machine object may be truncated by any account: its mapping
// is guarded (guarded_mappings.h), so that the holder goes on with private
// memory instead of dying by SIGBUS.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

namespace xtb::os {

// Which processes open an object by its name, and so share its gate.
enum class SegmentScope {
  kAccount,  // only processes of the calling account
  kMachine,  // processes of every account
};

// The machine's gate object ("/name") and the byte of a gate that guards
// `name`: for tests that play another account holding it.
const char* MachineGateName();
off_t GateByteOf(const std::string& name);

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
  // what was open before. kOpenFailed with ETIMEDOUT: the name's gate byte
  // stayed held (another account holds it); with EACCES: another account's
  // object holds an account name.
  Opened Open(const std::string& name, SegmentScope scope, size_t length, mode_t mode,
              const std::function<void(void*)>& initialise);
  // Unmaps and lets the object go; the last holder removes its name.
  void Close();

  // This segment created the object (also when it could not map it).
  bool created() const { return m_created; }
  void* base() const { return m_base; }
  // Another process truncated the object: the mapping is private memory now.
  bool cut() const;
  size_t length() const { return m_length; }
  int error() const { return m_error; }

 private:
  int m_fd = -1;
  void* m_base = nullptr;
  size_t m_length = 0;
  std::string m_name;
  SegmentScope m_scope = SegmentScope::kAccount;
  int m_error = 0;
  bool m_created = false;
};

// Removes every object whose name begins with `prefix` ("/...") and that no
// process holds: what holders left that all died without closing. Names
// whose gate byte is busy are left for a later sweep.
void RemoveUnheldSegments(const std::string& prefix, SegmentScope scope);

}  // namespace xtb::os
