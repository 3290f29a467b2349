// The calls on a file HANDLE.
#include <cstdint>
#include <limits>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/files.h>

#include "file_object.h"
#include "os/named_files.h"

using xtb::win32::FileObject;
using xtb::win32::FileOf;

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL FailFromErrno() {
  xtb::SetLastErrorFromErrno();
  return FALSE;
}

// Moves the file pointer as SetFilePointerEx does; the pointer stays where
// it was when the move fails.
bool MovePointer(const FileObject& file, int64_t distance, DWORD moveMethod, int64_t& position) {
  int64_t base = 0;
  if (moveMethod == FILE_CURRENT) {
    base = xtb::os::MovePosition(file.Get(), 0, xtb::os::SeekOrigin::Current);
  } else if (moveMethod == FILE_END) {
    xtb::os::FileFacts facts;
    base = xtb::os::FactsOf(file.Get(), facts) ? facts.size : -1;
  } else if (moveMethod != FILE_BEGIN) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (base < 0) return FailFromErrno();
  if ((distance < 0 && base + distance < 0) || (distance > 0 && base > INT64_MAX - distance))
    return Fail(distance < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
  position = xtb::os::MovePosition(file.Get(), base + distance, xtb::os::SeekOrigin::Begin);
  return position >= 0 || FailFromErrno();
}

// The position an OVERLAPPED names, where the transfer then starts.
bool MoveToOverlapped(const FileObject& file, const OVERLAPPED* overlapped) {
  if (overlapped == nullptr) return true;
  int64_t position = 0;
  const int64_t offset = static_cast<int64_t>((static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset);
  return MovePointer(file, offset, FILE_BEGIN, position);
}

void Report(LPOVERLAPPED overlapped, DWORD count) {
  if (overlapped != nullptr) overlapped->InternalHigh = count;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE) {
  return xtb::win32::OpenFileHandle(fileName, desiredAccess, shareMode, creationDisposition, flagsAndAttributes);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  if (bytesRead != nullptr) *bytesRead = 0;
  const auto file = FileOf(handle);
  if (file == nullptr) return FALSE;
  if ((buffer == nullptr && bytesToRead > 0) || (bytesRead == nullptr && overlapped == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!file->MayRead() || !MoveToOverlapped(*file, overlapped)) return FALSE;
  // A disk file gives all it has up to the count; a pipe what is there.
  const bool disk = xtb::os::KindOf(file->Get()) == xtb::os::FileKind::Disk;
  const long got = disk ? xtb::os::ReadFull(file->Get(), buffer, bytesToRead)
                        : xtb::os::ReadOnce(file->Get(), buffer, bytesToRead);
  if (got < 0) return FailFromErrno();
  if (bytesRead != nullptr) *bytesRead = static_cast<DWORD>(got);
  Report(overlapped, static_cast<DWORD>(got));
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  const auto file = FileOf(handle);
  if (file == nullptr) return FALSE;
  if ((buffer == nullptr && bytesToWrite > 0) || (bytesWritten == nullptr && overlapped == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!file->MayWrite() || !MoveToOverlapped(*file, overlapped)) return FALSE;
  if (!xtb::os::WriteFull(file->Get(), buffer, bytesToWrite)) return FailFromErrno();
  if (bytesWritten != nullptr) *bytesWritten = bytesToWrite;
  Report(overlapped, bytesToWrite);
  return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
  const auto file = FileOf(handle);
  if (file == nullptr) return INVALID_SET_FILE_POINTER;
  // Without the high part the distance is a signed 32-bit number and the
  // new position must fit in 32 bits.
  const int64_t distance =
      distanceToMoveHigh == nullptr
          ? distanceToMove
          : static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceToMoveHigh)) << 32) |
                                 static_cast<uint32_t>(distanceToMove));
  const int64_t before = xtb::os::MovePosition(file->Get(), 0, xtb::os::SeekOrigin::Current);
  int64_t position = 0;
  if (!MovePointer(*file, distance, moveMethod, position)) return INVALID_SET_FILE_POINTER;
  if (distanceToMoveHigh == nullptr && position > static_cast<int64_t>(std::numeric_limits<DWORD>::max())) {
    xtb::os::MovePosition(file->Get(), before, xtb::os::SeekOrigin::Begin);
    Fail(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceToMoveHigh != nullptr) *distanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
  const DWORD low = static_cast<DWORD>(position);
  // The low part may be 0xFFFFFFFF by right: callers then ask GetLastError.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return low;
}

BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER distanceToMove, PLARGE_INTEGER newFilePointer, DWORD moveMethod) {
  const auto file = FileOf(handle);
  if (file == nullptr) return FALSE;
  int64_t position = 0;
  if (!MovePointer(*file, distanceToMove.QuadPart, moveMethod, position)) return FALSE;
  if (newFilePointer != nullptr) newFilePointer->QuadPart = position;
  return TRUE;
}

namespace {

bool SizeOf(HANDLE handle, int64_t& size) {
  const auto file = FileOf(handle);
  if (file == nullptr) return false;
  xtb::os::FileFacts facts;
  if (!xtb::os::FactsOf(file->Get(), facts)) return FailFromErrno();
  size = facts.size;
  return true;
}

}  // namespace

DWORD GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
  int64_t size = 0;
  if (!SizeOf(handle, size)) return INVALID_FILE_SIZE;
  if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(size) >> 32);
  const DWORD low = static_cast<DWORD>(size);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

BOOL GetFileSizeEx(HANDLE handle, PLARGE_INTEGER fileSize) {
  if (fileSize == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  int64_t size = 0;
  if (!SizeOf(handle, size)) return FALSE;
  fileSize->QuadPart = size;
  return TRUE;
}

BOOL SetEndOfFile(HANDLE handle) {
  const auto file = FileOf(handle);
  if (file == nullptr || !file->MayWrite()) return FALSE;
  const int64_t position = xtb::os::MovePosition(file->Get(), 0, xtb::os::SeekOrigin::Current);
  return (position >= 0 && xtb::os::SetLength(file->Get(), position)) || FailFromErrno();
}

BOOL FlushFileBuffers(HANDLE handle) {
  const auto file = FileOf(handle);
  if (file == nullptr || !file->MayWrite()) return FALSE;
  return xtb::os::SyncToDisk(file->Get()) || FailFromErrno();
}

DWORD GetFileType(HANDLE handle) {
  const auto file = FileOf(handle);
  if (file == nullptr) return FILE_TYPE_UNKNOWN;
  switch (xtb::os::KindOf(file->Get())) {
    case xtb::os::FileKind::Disk: return FILE_TYPE_DISK;
    case xtb::os::FileKind::Character: return FILE_TYPE_CHAR;
    case xtb::os::FileKind::Pipe: return FILE_TYPE_PIPE;
    case xtb::os::FileKind::Unknown: break;
  }
  SetLastError(NO_ERROR);
  return FILE_TYPE_UNKNOWN;
}
