// Module records: an HINSTANCE points to the record of a module (the library
// itself, a program, a plug-in) with its name, its string table and its
// message table. Tables are compiled in as UTF-8 and handed out in code page
// 1252; characters that 1252 lacks become '?'.
#pragma once

#include <cstddef>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_MR_MID_NOT_FOUND 317L

struct XTResourceText {
  UINT id;           // string id, or message number in a message table
  const char* utf8;  // the text, never null
};

struct XTModuleResources {
  const char* name;  // e.g. "xtbasis.dll"; compared without case
  const XTResourceText* strings = nullptr;
  size_t stringCount = 0;
  const XTResourceText* messages = nullptr;
  size_t messageCount = 0;
};

// Registers a module and returns its handle, valid for the life of the
// process. Null with the last error ERROR_ALREADY_EXISTS when a module of that
// name is registered, ERROR_INVALID_PARAMETER when the name is missing, a
// text is null or an id stands twice in one table.
XTBASIS_API HINSTANCE XTRegisterModule(const XTModuleResources& resources);

// The registered module `name` (compared without case; a missing ".dll"
// suffix on either side is ignored); null with ERROR_MOD_NOT_FOUND if there is
// none. A null name gives the program's own module.
XTBASIS_C_API HMODULE GetModuleHandleA(LPCSTR name);

// The module whose string table the framework's string calls read
// (CString::LoadString, Format and FormatMessage with a string id, the
// porting kit's AfxMessageBox with an id and AfxFormatString1/2): the
// program's own (GetModuleHandleA(nullptr)) until another is set. Setting
// null goes back to the program's own; an unknown handle makes those calls
// fail with ERROR_INVALID_HANDLE.
XTBASIS_API HINSTANCE XTGetResourceModule();
XTBASIS_API void XTSetResourceModule(HINSTANCE module);

// The module's name as registered; empty for an unknown handle.
XTBASIS_API CString XTModuleName(HINSTANCE module);

// Copies string `id` of `module` (null: the program's own) into `buffer`,
// truncated to bufferMax - 1 characters and NUL-terminated, and returns the
// number of characters copied. With bufferMax 0, `buffer` receives a
// read-only pointer to the text (NUL-terminated, valid for the life of the
// process) and the full length is returned. 0 when the string is missing
// (ERROR_RESOURCE_NAME_NOT_FOUND), the handle is unknown (ERROR_INVALID_HANDLE)
// or buffer is null or bufferMax negative (ERROR_INVALID_PARAMETER).
XTBASIS_C_API int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax);

// The text of message `number` in the module's message table. FALSE with
// ERROR_MR_MID_NOT_FOUND when the table has none, ERROR_INVALID_HANDLE for an
// unknown handle.
XTBASIS_API BOOL XTFindModuleMessage(HINSTANCE module, DWORD number, CString& text);
