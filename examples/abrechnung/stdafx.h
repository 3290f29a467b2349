// stdafx.h : include file for standard system include files and for
// project specific include files that are used frequently.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define VC_EXTRALEAN

#include <afx.h>
#include <afxtempl.h>  // CArray, CMap
#include <afxcoll.h>   // CStringArray
#include <windows.h>
#include <tchar.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <xtbasis/xml.h>
#include <xtbasis/teeth.h>
#include <xtbasis/quarters.h>
#include <xtbasis/threads.h>
#include <xtbasis/crypt.h>
