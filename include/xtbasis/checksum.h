// Checksums, CRC, password generation and rules, and a reversible XOR
// scramble for short text fields.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/api.h"
#include "platform/cstring.h"

// These functions have plain names although some return a CString; clang
// warns about C++ return types under C linkage, which is intended here.
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

// A random password of `length` characters from lower-case and capital
// letters, digits and the special characters "$!%^(){}[];:<>?#": no two
// adjacent characters are equal and at least three of the four kinds occur.
// A length below 3 cannot meet that rule and gives the empty string.
XTBASIS_C_API CString XTCreatePassword(int length);

// A password of `length` characters drawn from the operating system's
// secure random source: each position takes a random group and a random
// character of it, and every group is used at least once. Arguments that can
// never give such a password (negative length, a positive length without
// groups, an empty group, more groups than characters) give the empty
// string; so does a combination so unlikely that a million attempts fail.
XTBASIS_C_API CString GeneratePassword(int length, const std::vector<CString>& groups);

// True when minLength <= length <= maxLength, every character belongs to a
// group (the first group holding it counts) and every group is used.
XTBASIS_C_API bool IsValidPassword(const CString& password, int minLength, int maxLength,
                                   const std::vector<CString>& groups);

// XORs `length` bytes of `buffer` with the NUL-terminated `key`, cyclically,
// leaving NUL, '|' and '\'' alone and never producing them; applying it
// twice with the same key restores the buffer. A null or empty key or a
// length below 1 leaves the buffer as it is.
XTBASIS_C_API void MakeCryptic(char* buffer, int length, const char* key);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
