#include <xtbasis/platform/lasterror.h>
#include <xtbasis/sharedregion.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "os/shared_memory.h"

namespace {

constexpr size_t kHeaderSize = 8;
constexpr DWORD kCreationFailed = 999;

void WriteHeader(void* block, int size) {
  const int32_t sizeWord = size;
  const int32_t zero = 0;
  std::memcpy(block, &sizeWord, 4);
  std::memcpy(static_cast<char*>(block) + 4, &zero, 4);
}

int32_t HeaderSize(const void* block) {
  int32_t size;
  std::memcpy(&size, block, 4);
  return size;
}

// The header's size is one the block holds (another account may write a
// Global region's header, or have made the object).
bool HeaderFits(const void* block, size_t length) {
  if (block == nullptr || length < kHeaderSize) return false;
  const int32_t size = HeaderSize(block);
  return size >= 0 && static_cast<size_t>(size) <= length - kHeaderSize;
}

// A new region is the moment to clear away what the holders of other regions
// left when they all died without freeing: their names would be replaced on
// their next allocation, but their memory would stay until then.
void SweepDeadRegions() {
  xtb::os::RemoveUnheldSegments(RegionObjectName("").GetString(), xtb::os::SegmentScope::kAccount);
  xtb::os::RemoveUnheldSegments(RegionObjectName("Global\\").GetString(), xtb::os::SegmentScope::kMachine);
}

}  // namespace

CXTSharedRegion::CXTSharedRegion() : m_segment(nullptr) { Clear(); }

CXTSharedRegion::~CXTSharedRegion() { FreeRegion(); }

CXTSharedRegion::CXTSharedRegion(CXTSharedRegion&& other) noexcept
    : m_segment(std::exchange(other.m_segment, nullptr)),
      m_nSize(other.m_nSize),
      m_sName(other.m_sName),
      m_sLastError(other.m_sLastError),
      m_nLastError(other.m_nLastError),
      m_bOwner(other.m_bOwner) {
  other.Clear();
}

CXTSharedRegion& CXTSharedRegion::operator=(CXTSharedRegion&& other) noexcept {
  if (this != &other) {
    FreeRegion();
    m_segment = std::exchange(other.m_segment, nullptr);
    m_nSize = other.m_nSize;
    m_sName = other.m_sName;
    m_sLastError = other.m_sLastError;
    m_nLastError = other.m_nLastError;
    m_bOwner = other.m_bOwner;
    other.Clear();
  }
  return *this;
}

void CXTSharedRegion::Clear() {
  m_segment = nullptr;
  m_nSize = 0;
  m_sName.Empty();
  m_sLastError.Empty();
  m_nLastError = 0;
  m_bOwner = false;
}

bool CXTSharedRegion::AllocateRegion(const char* name, int size) {
  FreeRegion();
  m_sName = name != nullptr ? name : "";
  const CString object = RegionObjectName(name);
  const bool global = m_sName.Left(7) == "Global\\";
  m_segment = new xtb::os::SharedSegment;

  using Opened = xtb::os::SharedSegment::Opened;
  Opened opened = Opened::kOpenFailed;
  DWORD error = ERROR_INVALID_PARAMETER;
  if (size >= 0) {
    // A user's own regions are its processes' alone; Global ones every account's.
    const auto scope = global ? xtb::os::SegmentScope::kMachine : xtb::os::SegmentScope::kAccount;
    opened = m_segment->Open(object.GetString(), scope, kHeaderSize + static_cast<size_t>(size), global ? 0666 : 0600,
                             [size](void* block) { WriteHeader(block, size); });
    error = xtb::WinErrorFromErrno(m_segment->error());
  }
  if (opened == Opened::kAttached && !HeaderFits(m_segment->base(), m_segment->length())) {
    opened = Opened::kOpenFailed;  // not a region: its header names more than it holds
    error = ERROR_INVALID_DATA;
  }
  if (opened == Opened::kOpenFailed) {
    delete m_segment;
    m_segment = nullptr;
    m_nLastError = kCreationFailed;
    m_sLastError.Format("Fehler %u bei der Anlage der shared region %s", error, m_sName.GetString());
    return false;
  }
  m_bOwner = m_segment->created();
  if (m_bOwner) SweepDeadRegions();
  if (opened == Opened::kMapFailed) {
    m_nLastError = error;  // the object stays held until FreeRegion
    m_sLastError.Format("Fehler %u bei MapViewOfFile f\xfcr die shared region %s", error, m_sName.GetString());
    return false;
  }
  m_nSize = GetSize();
  return true;
}

void CXTSharedRegion::FreeRegion() {
  delete m_segment;  // unmaps; the last holder removes the name
  Clear();
}

void* CXTSharedRegion::pGetData() const {
  if (m_segment == nullptr || m_segment->base() == nullptr) return nullptr;
  return static_cast<char*>(m_segment->base()) + kHeaderSize;
}

// A header changed since to a size the block does not hold gives the size
// found on attaching.
int CXTSharedRegion::GetSize() const {
  if (m_segment == nullptr || m_segment->base() == nullptr) return 0;
  return HeaderFits(m_segment->base(), m_segment->length()) ? HeaderSize(m_segment->base()) : m_nSize;
}

bool CXTSharedRegion::IsCut() const { return m_segment != nullptr && m_segment->cut(); }
