// Whole-file reading and writing, the newest file of a pattern, existence
// tests, temporary names and the current name of an old ".doc" document.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// All bytes of the file into `text`, unchanged. False when it cannot be
// opened or read.
XTBASIS_C_API bool LoadTextFile(const CString& path, CString& text);
// Creates or truncates the file and writes the bytes of `text`.
XTBASIS_C_API bool SaveTextFile(const CString& path, const CString& text);
// The path of the file (not folder) with the latest modification time among
// those `pattern` matches ('*' and '?' in its last component); of equally
// new files the first found wins. Empty when none matches.
XTBASIS_C_API CString FindNewestFile(const CString& pattern);
// True when `path` is not empty and names a file or folder.
XTBASIS_C_API bool FileExists(const CString& path);
// Appends a separator to `path` when it ends without one (the argument
// changes), then true when that names a folder. False for an empty path.
XTBASIS_C_API bool DirExists(CString& path);
// Creates a new, empty temporary file (first three characters of `prefix`,
// four hex digits, ".TMP") in the temporary directory and stores its path;
// the caller owns the file. `path` is empty when none could be created.
XTBASIS_C_API void GetTempFilePath(CString& path, const CString& prefix);
// Keeps an existing `fileName`; else appends 'x' when that file exists and
// 'm' otherwise (".doc" becomes ".docx" or ".docm").
XTBASIS_C_API void DocToDocX(CString& fileName);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
