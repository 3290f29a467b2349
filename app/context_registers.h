// A CONTEXT (the registers a program hands the report, RtlCaptureContext's)
// in the register layout of a signal context, which the report's lines and
// the crash helper read.
#pragma once

#include <sys/ucontext.h>
#include <xtbasis/crashreport.h>

namespace xtb {

// Fills all NGREG entries of `registers`; those CONTEXT lacks are 0.
void RegistersOf(const CONTEXT& context, greg_t* registers);

}  // namespace xtb
