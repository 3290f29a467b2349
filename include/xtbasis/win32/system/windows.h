// The Windows header of a ported program: the Win32 types and the kernel, registry,
// message and module calls, mapped to the 8-bit calls. The C runtime's own
// extensions (_stricmp, _splitpath, __argv ...) come with it, since the real
// <string.h> and <stdlib.h> of this system do not have them.
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/platform/wintypes.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/timeclasses.h>
#include <xtbasis/win32/types.h>
#include <xtbasis/win32/unsuffixed.h>
#include <xtbasis/win32/environment.h>
#include <xtbasis/win32/files.h>
#include <xtbasis/win32/file_search.h>
#include <xtbasis/win32/profile_files.h>
#include <xtbasis/win32/handles.h>
#include <xtbasis/win32/sync.h>
#include <xtbasis/win32/threads.h>
#include <xtbasis/win32/timers.h>
#include <xtbasis/win32/processes.h>
#include <xtbasis/win32/debug_output.h>
#include <xtbasis/win32/system_messages.h>
#include <xtbasis/win32/crt_strings.h>
#include <xtbasis/win32/crt_files.h>
#include <xtbasis/win32/crt_arguments.h>
