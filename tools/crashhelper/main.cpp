// The crash helper: started by a crashing (or dumping) program of the suite
// with the crash's message on standard input; reads that program from
// outside and writes its dump and report.
#include "crash_helper.h"

int main() { return xtb::RunCrashHelperMain(0); }
