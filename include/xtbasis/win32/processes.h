// Other programs: CreateProcess and ShellExecute for the common cases,
// GetExitCodeProcess.
#pragma once

#include <xtbasis/platform/wintypes.h>
