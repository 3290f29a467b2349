// Passwords: random ones of the suite's character set or of caller-given
// character groups, and the check of a password against such groups.
#pragma once

#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

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

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
