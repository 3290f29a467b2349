// Named shared memory for the programs of the suite: the first process that
// allocates a region under a name creates and zeroes it and records its
// size in an 8-byte header; later ones attach and learn the size from it.
//
// Layout of the block (little-endian): offset 0 the data size (32-bit
// signed), offset 4 a 32-bit word set to 0, offset 8 the data.
//
// A region lives as long as some process holds it and disappears with its
// last holder, also when holders were killed without freeing it: what they
// leave is removed by the next process that creates a region (the unheld
// regions of its user and the Global ones), by the next allocation of that
// name, or by `xtbasis region free NAME`. Names are those of the Windows
// suite: "Global\" shares a region among all users of the machine, "Local\"
// or no prefix among the processes of one user; any text may follow (see
// RegionObjectName).
//
// Another account cannot take a user's own region: an object it made under
// the name is replaced by a new one, or refused (error 5 in the text) where
// the user may not remove it. A header that names more bytes than the block
// holds is refused on attaching (error 13, ERROR_INVALID_DATA) and ignored by
// GetSize later. Every account may write, and so truncate, a Global region:
// a holder whose region was cut goes on with private zeroed memory at the
// same address (its reads find zeros, GetSize 0, its writes reach nobody)
// instead of dying by SIGBUS; IsCut() tells it.
//
// An object is move-only: the one that holds a region releases it once.
// The class does not synchronise access to the data.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb::os {
class SharedSegment;
}

class XTBASIS_API CXTSharedRegion {
 public:
  CXTSharedRegion();
  ~CXTSharedRegion();  // FreeRegion
  CXTSharedRegion(CXTSharedRegion&& other) noexcept;
  CXTSharedRegion& operator=(CXTSharedRegion&& other) noexcept;
  CXTSharedRegion(const CXTSharedRegion&) = delete;
  CXTSharedRegion& operator=(const CXTSharedRegion&) = delete;

  // Releases the region held, then attaches to the region `name` or creates
  // it with `size` data bytes. False with the error number and text:
  //   999, "Fehler <code> bei der Anlage der shared region <name>"
  //   <code>, "Fehler <code> bei MapViewOfFile für die shared region <name>"
  // where <code> is the system's error number (1460, ERROR_TIMEOUT, when
  // another account holds the name's gate; see os/shared_memory.h).
  bool AllocateRegion(const char* name, int size);
  // Releases the region and resets every field, the last error too.
  void FreeRegion();
  // This object created the region.
  bool bIAmOwner() const { return m_bOwner; }
  // The data (block start + 8); null without a region.
  void* pGetData() const;
  // The data size recorded by the creator; 0 without a region.
  int GetSize() const;
  // Another process truncated the region: nothing is shared through it now.
  bool IsCut() const;
  unsigned long nGetLastError() const { return m_nLastError; }
  CString sGetLastError() const { return m_sLastError; }
  // The name of the region last allocated.
  CString GetName() const { return m_sName; }

 protected:
  // Resets the fields without releasing anything.
  void Clear();

 private:
  xtb::os::SharedSegment* m_segment;  // the mapping; null when none
  int m_nSize;
  CString m_sName;
  CString m_sLastError;
  DWORD m_nLastError;
  bool m_bOwner;
};

// The name of the shared-memory object behind a region name, the same in
// every process: "/xtbasis-g-<text>" for "Global\<text>", else
// "/xtbasis-u<user id>-<text>", where <text> keeps letters, digits, '.',
// '_' and '-' and writes every other byte as %XX; a name longer than the
// system allows is cut and ends in a hash of the whole name.
XTBASIS_API CString RegionObjectName(const char* name);
