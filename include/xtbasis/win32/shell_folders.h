// The known folders: SHGetFolderPath and SHGetSpecialFolderPath with the
// CSIDL_* values, mapped to the Linux folders of the same purpose: the XDG
// base folders of the user ($XDG_CONFIG_HOME, $XDG_DATA_HOME,
// $XDG_CACHE_HOME, by default under the home folder) and the FHS folders of
// the machine (/var/lib, /opt, /usr/share/fonts ...).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/com.h>
#include <xtbasis/platform/wintypes.h>

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_PERSONAL 0x0005
#define CSIDL_MYDOCUMENTS CSIDL_PERSONAL
#define CSIDL_STARTUP 0x0007
#define CSIDL_MYMUSIC 0x000d
#define CSIDL_MYVIDEO 0x000e
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_FONTS 0x0014
#define CSIDL_TEMPLATES 0x0015
#define CSIDL_COMMON_STARTUP 0x0018
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x0019
#define CSIDL_APPDATA 0x001a
#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_INTERNET_CACHE 0x0020
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_PROFILE 0x0028
#define CSIDL_PROGRAM_FILES_COMMON 0x002b
#define CSIDL_COMMON_DOCUMENTS 0x002e

#define CSIDL_FLAG_DONT_VERIFY 0x4000
#define CSIDL_FLAG_CREATE 0x8000
#define CSIDL_FLAG_MASK 0xFF00

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// The folder of `csidl` into `path` (MAX_PATH bytes). S_OK; S_FALSE when the
// folder does not exist (the path is given all the same); with
// CSIDL_FLAG_CREATE a missing folder is made first (E_FAIL when that fails);
// CSIDL_FLAG_DONT_VERIFY gives the path without looking. E_INVALIDARG for a
// value without a folder here or a null path.
XTBASIS_C_API HRESULT SHGetFolderPathA(HWND owner, int csidl, HANDLE token, DWORD flags, LPSTR path);
// The same; TRUE when the folder exists or, with `create`, was made.
XTBASIS_C_API BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);

#define SHGetFolderPath SHGetFolderPathA
#define SHGetSpecialFolderPath SHGetSpecialFolderPathA
