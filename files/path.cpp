#include <algorithm>
#include <cstring>
#include <string>

#include <xtbasis/path.h>
#include <xtbasis/platform/codepage1252.h>

#include "os/filesystem.h"
#include "path_parts.h"
#include "wildcard.h"

namespace {

using xtb::path::Parts;

void CopyPart(const std::string& part, char* buffer, unsigned int size) {
  if (buffer == nullptr || size == 0) return;
  const size_t count = std::min<size_t>(part.size(), size - 1);
  std::memcpy(buffer, part.data(), count);
  buffer[count] = '\0';
}

bool SameCharacter(char a, char b) {
  if (xtb::path::IsSeparator(a) && xtb::path::IsSeparator(b)) return true;
  return xtb::cp1252::ToUpper(a) == xtb::cp1252::ToUpper(b);
}

using PartOf = std::string Parts::*;

std::string Part(const CPath& path, PartOf part) { return xtb::path::Split(path.c_str()).*part; }

// `path` with one part replaced.
CString Replaced(const CPath& path, PartOf part, const char* value) {
  Parts parts = xtb::path::Split(path.c_str());
  parts.*part = value != nullptr ? value : "";
  return CString(xtb::path::Make(parts));
}

}  // namespace

CPath::CPath(const char* path) { Assign(path); }

CPath::CPath(const char* drive, const char* dir, const char* fileName, const char* ext) {
  Assign(CString(xtb::path::Make(drive, dir, fileName, ext)));
}

void CPath::Assign(const CString& text) {
  const size_t count = std::min<size_t>(static_cast<size_t>(text.GetLength()), kMaxLength);
  std::memcpy(m_path, text.GetString(), count);
  m_path[count] = '\0';
}

void CPath::GetDrive(char* buffer, unsigned int size) const { CopyPart(Part(*this, &Parts::drive), buffer, size); }
void CPath::GetDir(char* buffer, unsigned int size) const { CopyPart(Part(*this, &Parts::dir), buffer, size); }
void CPath::GetFilename(char* buffer, unsigned int size) const { CopyPart(Part(*this, &Parts::name), buffer, size); }
void CPath::GetExtension(char* buffer, unsigned int size) const { CopyPart(Part(*this, &Parts::ext), buffer, size); }

CString CPath::GetDrive() const { return CString(Part(*this, &Parts::drive)); }
CString CPath::GetDir() const { return CString(Part(*this, &Parts::dir)); }
CString CPath::GetFilename() const { return CString(Part(*this, &Parts::name)); }
CString CPath::GetExtension() const { return CString(Part(*this, &Parts::ext)); }
CString CPath::GetDriveDir() const {
  const Parts parts = xtb::path::Split(m_path);
  return CString(parts.drive + parts.dir);
}
CString CPath::GetFilenameExt() const {
  const Parts parts = xtb::path::Split(m_path);
  return CString(parts.name + parts.ext);
}

void CPath::SetDrive(const char* drive) { Assign(Replaced(*this, &Parts::drive, drive)); }
void CPath::SetDir(const char* dir) { Assign(Replaced(*this, &Parts::dir, dir)); }
void CPath::SetFilename(const char* fileName) { Assign(Replaced(*this, &Parts::name, fileName)); }
void CPath::SetExtension(const char* ext) { Assign(Replaced(*this, &Parts::ext, ext)); }

bool CPath::IsSubPath(const CPath& base) const { return IsSubPath(base, *this); }

bool CPath::IsSubPath(const CPath& base, const CPath& path) {
  const size_t length = std::strlen(base.m_path);
  if (std::strlen(path.m_path) < length) return false;
  return std::equal(base.m_path, base.m_path + length, path.m_path, SameCharacter);
}

CPath CPath::GetCurrentDir() {
  std::string dir;
  if (!xtb::os::CurrentFolder(dir)) return CPath();
  if (dir.empty() || !xtb::path::IsSeparator(dir.back())) dir += '/';
  if (dir.size() > kMaxLength) return CPath();
  return CPath(dir.c_str());
}

CPath& CPath::operator+=(const CPath& relative) {
  const Parts added = xtb::path::Split(relative.m_path);
  if (!added.drive.empty() || (!added.dir.empty() && xtb::path::IsSeparator(added.dir[0]))) {
    *this = relative;
    return *this;
  }
  const Parts own = xtb::path::Split(m_path);
  const char separator = xtb::path::SeparatorOf(own.dir, xtb::path::SeparatorOf(added.dir));
  const std::string dir = xtb::path::NormaliseDir(own.dir + added.dir, separator);
  Assign(CString(xtb::path::Make(Parts{own.drive, dir, added.name, added.ext})));
  return *this;
}

CPath CPath::operator+(const CPath& relative) const {
  CPath joined(*this);
  joined += relative;
  return joined;
}

bool CPath::Exists() const {
  bool found = false;
  xtb::path::ForEachMatch(m_path, [&found](const std::string&, const xtb::os::FileFacts&) {
    found = true;
    return false;
  });
  return found;
}
