// CPath: one path of at most 259 characters, split into drive, directory,
// file name and extension and built again from them.
//
// In path text both '\' and '/' separate, "X:" at the start is a drive and
// "\\server\share" a network root, whatever the platform. Where a separator
// has to be added, the one the text already uses is taken ('/' when it has
// none). The parts: drive "C:", directory with its leading and trailing
// separator ("\a\b\"), file name without extension, extension with its '.'.
#pragma once


#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

class XTBASIS_API CPath {
 public:
  static constexpr int kMaxLength = MAX_PATH - 1;

  CPath() { m_path[0] = '\0'; }
  // Copies up to 259 characters; null gives the empty path.
  CPath(const char* path);
  // drive + ':' + dir + separator + fileName + '.' + ext, each added only
  // where missing; null or empty parts are left out.
  CPath(const char* drive, const char* dir, const char* fileName, const char* ext);

  // The part into the caller's buffer, cut to size - 1 characters.
  void GetDrive(char* buffer, unsigned int size) const;
  void GetDir(char* buffer, unsigned int size) const;
  void GetFilename(char* buffer, unsigned int size) const;
  void GetExtension(char* buffer, unsigned int size) const;

  CString GetDrive() const;
  CString GetDir() const;
  CString GetFilename() const;
  CString GetExtension() const;
  CString GetDriveDir() const;
  CString GetFilenameExt() const;

  // Replace one part and build the path again.
  void SetDrive(const char* drive);
  void SetDir(const char* dir);
  void SetFilename(const char* fileName);
  void SetExtension(const char* ext);

  // True when this path begins with `base`, ignoring letter case ('\' and
  // '/' count as equal); a plain prefix test, so "C:\Daten" lies in "C:\Dat".
  bool IsSubPath(const CPath& base) const;
  static bool IsSubPath(const CPath& base, const CPath& path);

  // The working directory with a trailing '/'; empty when it cannot be read
  // or is longer than 259 characters.
  static CPath GetCurrentDir();

  // Joins `relative` onto this path. A relative path with a drive or a
  // leading separator replaces this one. Otherwise this path's drive and
  // directory, the directory of `relative` and its file name and extension
  // are joined (this path's own file name is dropped) and the directory is
  // normalised: "." and empty components go, ".." removes the component
  // before it. Below a root ("\", "C:\", or "\\server\share\") a ".." that
  // would climb above it is dropped; in a relative directory leading ".."
  // stay. Components of three or more dots are ordinary names.
  CPath& operator+=(const CPath& relative);
  CPath operator+(const CPath& relative) const;

  operator CString() const { return CString(m_path); }
  operator char*() const { return const_cast<char*>(m_path); }
  const char* c_str() const { return m_path; }

  // True when a file or folder of this name exists; '*' and '?' in the last
  // component match as wildcards. Backslashes are read as '/'.
  bool Exists() const;

 private:
  void Assign(const CString& text);

  char m_path[MAX_PATH];
};
