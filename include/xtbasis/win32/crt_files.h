// The C runtime's file and folder calls: _access, _mkdir, _rmdir, _getcwd,
// _chdir, _fullpath, _stat, _unlink, _splitpath and _makepath, all reading
// '\\' as a separator.
#pragma once

#include <xtbasis/platform/wintypes.h>
