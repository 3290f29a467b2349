// The unsuffixed Win32 names (RegOpenKeyEx, MessageBox, GetMessage, LoadString
// ...) mapped to the library's 8-bit calls, as the Windows headers map them
// for the 8-bit build.
//
// Here stand the names of the A calls that the library itself exports (the
// registry, message boxes, thread messages, windows' messages, modules and
// string tables); each family header of the kit maps the A calls it adds
// itself (CreateFile in files.h, FormatMessage in system_messages.h ...).
// The library declares no structure with an A form of its own: the kit's
// structures (WIN32_FIND_DATA ...) are mapped where they are declared.
//
// As on Windows these are macros: a member function of the same name in a
// class declared after them is renamed too. The library's classes therefore
// give such members (CString::LoadString, CString::FormatMessage) inline
// bodies, which work under either name.
#pragma once

#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>

#define RegOpenKeyEx RegOpenKeyExA
#define RegCreateKeyEx RegCreateKeyExA
#define RegQueryValueEx RegQueryValueExA
#define RegSetValueEx RegSetValueExA
#define RegDeleteValue RegDeleteValueA
#define RegDeleteKey RegDeleteKeyA
#define RegDeleteTree RegDeleteTreeA
#define RegEnumKeyEx RegEnumKeyExA
#define RegEnumValue RegEnumValueA
#define RegQueryInfoKey RegQueryInfoKeyA

#define MessageBox MessageBoxA

#define GetMessage GetMessageA
#define PeekMessage PeekMessageA
#define PostThreadMessage PostThreadMessageA
#define DispatchMessage DispatchMessageA
#define SendMessage SendMessageA

#define GetModuleHandle GetModuleHandleA
#define LoadString LoadStringA
