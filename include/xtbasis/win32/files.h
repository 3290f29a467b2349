// Files and folders by handle and by name: CreateFile with Windows' sharing
// modes, ReadFile, WriteFile, SetFilePointer, GetFileSize, FlushFileBuffers;
// CreateDirectory, RemoveDirectory, DeleteFile, CopyFile, MoveFile(Ex),
// GetFileAttributes; the current folder, the program's file name, GetTempPath
// and GetTempFileName.
#pragma once

#include <xtbasis/platform/wintypes.h>
