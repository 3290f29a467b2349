// stdafx.h : Include-Datei für Standard-System-Include-Dateien
// und projektspezifische Include-Dateien, die häufig benutzt werden.
#pragma once

#define WIN32_LEAN_AND_MEAN

#include <afxwin.h>   // MFC-Kern- und -Standardkomponenten
#include <afxcoll.h>  // CStringArray, CMapStringToString
#include <windows.h>
#include <tchar.h>
#include <shlwapi.h>   // PathFileExists, PathFindFileName
#include <stdio.h>
#include <stdlib.h>

#include <xtbasis/mailslot.h>
