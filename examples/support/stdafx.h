// stdafx.h : Include-Datei für Standard-System-Include-Dateien
// und projektspezifische Include-Dateien, die häufig benutzt werden.
#pragma once

#define WIN32_LEAN_AND_MEAN

#include <afxwin.h>   // MFC-Kern- und -Standardkomponenten
#include <afxmt.h>
#include <windows.h>
#include <tchar.h>
#include <shlwapi.h>   // PathFindFileName
#include <stdio.h>

#include <xtbasis/tmpfile.h>
#include <xtbasis/bmp2tiff.h>
#include <xtbasis/checksum.h>
#include <xtbasis/crashreport.h>
