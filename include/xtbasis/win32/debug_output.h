// OutputDebugString, which writes to the trace log: a ported program's
// debugger output becomes a record of level 3 (INFO, the most detailed),
// under program id 0 (the library's own records carry -999), kept only where the trace level
// is set to 3 (TraceLevel in the application's main key, see
// <xtbasis/trace.h>). Without the application's system base object nothing
// is written, as the trace log writes nothing then. One trailing line end
// of the text is dropped: the record ends its own line.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

XTBASIS_C_API void OutputDebugStringA(LPCSTR text);

#define OutputDebugString OutputDebugStringA
