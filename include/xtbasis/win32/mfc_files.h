// The framework's file classes: CFile, CStdioFile, CFileFind and CFileStatus,
// failing with CFileException and Windows' causes.
#pragma once

#include <xtbasis/platform/wintypes.h>
