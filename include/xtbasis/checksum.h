// Fingerprints of byte blocks and files: the suite's CRC-32 and the file
// checksum built on it.
#pragma once

#include <cstdint>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// CRC-32 over `count` bytes: polynomial 0x04C11DB7, most significant bit
// first, initial register 0, no final XOR ("123456789" gives 0x89A1897F).
XTBASIS_C_API uint32_t XTCalcCRC(const void* data, uint32_t count);

// The same CRC over the whole content of a file as eight upper-case hex
// digits ("00000000" for an empty file); empty when the file cannot be
// opened (or another process holds it open for writing) or a read fails.
XTBASIS_C_API CString XTCheckSum(const CString& path);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
