// FormatMessage for the system's error numbers, for a module's message
// table and for a program's own message texts, and the local memory it
// hands out (LocalAlloc, LocalFree).
//
// The system's text for a number is the one GetLastErrorString gives
// (<xtbasis/errortext.h>): the C library's text for the errno value of the
// same failure, in the language of the process locale, in code page 1252 and
// ended by CR LF. A module's table is the one XTFindModuleMessage searches
// (<xtbasis/platform/module.h>). The language argument is not looked at:
// every text comes in the process locale's language.
#pragma once

#include <cstdarg>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/threads.h>

typedef void* HLOCAL;

#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define NONZEROLPTR LMEM_FIXED

// Local memory as Windows' fixed blocks: the handle is the block's address.
// LocalAlloc takes LMEM_FIXED and LMEM_ZEROINIT; LMEM_MOVEABLE (and LHND)
// fail with ERROR_INVALID_PARAMETER, since no LocalLock is carried. NULL
// with ERROR_NOT_ENOUGH_MEMORY when there is no memory. LocalFree gives
// NULL, or the handle back with ERROR_INVALID_HANDLE for one LocalAlloc did
// not give out (freed already, or another allocator's); NULL is accepted.
// LocalReAlloc keeps the content (LMEM_ZEROINIT zeroes what is added) and
// may move the block (LMEM_MOVEABLE in its flags allows that on Windows;
// here every block may move). LocalSize is the size asked for; 0 with
// ERROR_INVALID_HANDLE for a foreign handle.
XTBASIS_C_API HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
XTBASIS_C_API HLOCAL LocalFree(HLOCAL memory);
XTBASIS_C_API HLOCAL LocalReAlloc(HLOCAL memory, SIZE_T bytes, UINT flags);
XTBASIS_C_API SIZE_T LocalSize(HLOCAL memory);

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

#ifndef LANG_NEUTRAL
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_GERMAN 0x07
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))
#endif

// The text of a message with its inserts filled in. The message is
// `source` itself (FROM_STRING), or number `messageId` of the module
// `source` (FROM_HMODULE; a null module is the program's own) and then of
// the system (FROM_SYSTEM), searched in that order when both are given.
// Inserts: %1 to %99, each optionally with a printf conversion between
// exclamation marks (%1!d!, %2!08lX!; without one it is !s!; each '*'
// takes a number of its own, in printf's order: %3!*s! has the width %3 and
// the text %4; the floating-point conversions are not carried, as on
// Windows, and are copied as they stand), %0 ends the text without a line break, %n a CR LF,
// %r a CR, %t a tab, and %%, %., %! and "% " stand for '%', '.', '!' and a
// blank. `arguments` is a va_list* with the inserts' values in order of
// their numbers, or with FORMAT_MESSAGE_ARGUMENT_ARRAY a DWORD_PTR array
// (every value, text pointers included, one element). With
// FORMAT_MESSAGE_IGNORE_INSERTS the numbered inserts are copied as they
// stand. The low byte (FORMAT_MESSAGE_MAX_WIDTH_MASK) sets the line width:
// 0 keeps the text's own line breaks; any other value turns them into
// blanks, keeps only %n's, and breaks lines at blanks to at most that many
// characters (FORMAT_MESSAGE_MAX_WIDTH_MASK itself: no new breaks).
// The result is the length written without the NUL. With
// FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is taken as a char** that
// receives a LocalAlloc block (at least `size` bytes) the caller frees with
// LocalFree; else `buffer` holds `size` bytes and a text that does not fit
// gives 0 and ERROR_INSUFFICIENT_BUFFER. A number the module and the system
// have no text for gives 0 and ERROR_MR_MID_NOT_FOUND; a null `source` for
// FROM_STRING, no source flag, or an insert that needs arguments when none
// are given gives 0 and ERROR_INVALID_PARAMETER.
XTBASIS_C_API DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                                   DWORD size, va_list* arguments);
#define FormatMessage FormatMessageA
