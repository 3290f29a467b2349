// The computer, the user and the environment: GetComputerName, GetUserName,
// Get/SetEnvironmentVariable, ExpandEnvironmentStrings.
#pragma once

#include <xtbasis/platform/wintypes.h>
