// Error texts for users and trace records: the message of a caught
// exception and the text of a system or module error number.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>

// The functions return the library's string class. Their callers are C++
// programs; the names stay plain so that they can be found by name.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The message the exception gives of itself, at most 99,999 characters.
// Empty for a null pointer or an exception without a message.
XTBASIS_C_API CString GetErrorMessage(CException* e);

// The text of an error number (0xFFFFFFFF: the calling thread's last error).
// When `moduleName` names a registered module, its message table is searched
// first. The number is a Windows number; its system text is the C library's
// text for the errno value of the same failure, in the language of the
// process locale (LC_MESSAGES, LANGUAGE), converted to code page 1252 and
// ended by CR LF. Numbers without such a text give "Fehler Nr. %d" below
// 0x10000, else "Fehler Nr. 0x%08x".
XTBASIS_C_API CString GetLastErrorString(const char* moduleName, DWORD errorNumber);

#ifdef __clang__
#pragma clang diagnostic pop
#endif
