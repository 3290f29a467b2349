// Export markers. The library is built with hidden visibility; only names
// marked here are part of libxtbasis.so.1.
#pragma once

#define XTBASIS_API __attribute__((visibility("default")))

// Plain, unmangled exports: dlsym(handle, "XTTrace") finds them.
#ifdef __cplusplus
#define XTBASIS_C_API extern "C" XTBASIS_API
#else
#define XTBASIS_C_API XTBASIS_API
#endif
