// Path text helpers of the shell: PathFileExists, PathAppend, PathCombine,
// PathRemoveFileSpec, PathFindFileName, PathFindExtension and their kin.
//
// They work on the text as Windows does, with a drive letter ("C:") and
// "\\\\server\\share" as roots, and read '/' as a separator like '\\' (paths of
// this system use '/'); separators already there are kept as written, one
// they add is '\\', which every call of the kit reads as '/'. Buffers are
// MAX_PATH bytes, as on Windows: a result that would not fit fails.
// PathFileExists and PathIsDirectory ask the system.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

#ifndef FILE_ATTRIBUTE_DIRECTORY
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#endif

XTBASIS_C_API BOOL PathFileExistsA(LPCSTR path);
// FILE_ATTRIBUTE_DIRECTORY for a folder, else FALSE.
XTBASIS_C_API BOOL PathIsDirectoryA(LPCSTR path);
// FALSE for a path that starts at a root ("\\", "/", "C:"), TRUE otherwise.
XTBASIS_C_API BOOL PathIsRelativeA(LPCSTR path);

// `more` appended to `path` with one separator between them, "." and ".."
// taken out; FALSE when the result exceeds MAX_PATH.
XTBASIS_C_API BOOL PathAppendA(LPSTR path, LPCSTR more);
// `file` against `dir` into `destination` ("." and ".." taken out); a `file`
// that starts at a root replaces `dir` (keeping its drive for "\\..."). Null
// when the result exceeds MAX_PATH.
XTBASIS_C_API LPSTR PathCombineA(LPSTR destination, LPCSTR dir, LPCSTR file);
// Takes off the last part and its separator, leaving a root whole:
// "C:\\a\\b" -> "C:\\a", "C:\\a" -> "C:\\"; FALSE when nothing was taken off.
XTBASIS_C_API BOOL PathRemoveFileSpecA(LPSTR path);
// The last part (a trailing separator stays with it), or `path` itself.
XTBASIS_C_API LPSTR PathFindFileNameA(LPCSTR path);
// The last part's extension from its '.', or the end of the text when there
// is none (an extension holds no blank).
XTBASIS_C_API LPSTR PathFindExtensionA(LPCSTR path);
XTBASIS_C_API void PathRemoveExtensionA(LPSTR path);
// FALSE when the new name would exceed MAX_PATH (the path is then unchanged).
XTBASIS_C_API BOOL PathRenameExtensionA(LPSTR path, LPCSTR extension);
// Appends '\\' unless there is a separator at the end; the end of the text,
// or null when the result would exceed MAX_PATH.
XTBASIS_C_API LPSTR PathAddBackslashA(LPSTR path);
// Takes off a separator at the end unless it is the root's; the end of the
// text when one was taken off, else its last character.
XTBASIS_C_API LPSTR PathRemoveBackslashA(LPSTR path);
// Leaves only the last part.
XTBASIS_C_API void PathStripPathA(LPSTR path);

#define PathFileExists PathFileExistsA
#define PathIsDirectory PathIsDirectoryA
#define PathIsRelative PathIsRelativeA
#define PathAppend PathAppendA
#define PathCombine PathCombineA
#define PathRemoveFileSpec PathRemoveFileSpecA
#define PathFindFileName PathFindFileNameA
#define PathFindExtension PathFindExtensionA
#define PathRemoveExtension PathRemoveExtensionA
#define PathRenameExtension PathRenameExtensionA
#define PathAddBackslash PathAddBackslashA
#define PathRemoveBackslash PathRemoveBackslashA
#define PathStripPath PathStripPathA
