// RC4 and the two small encrypted-file formats that keep their RC4 key in
// the file's own header (they hide content from casual view, nothing more).
//
// Format A: byte 0 key length L (written as 16), L key bytes, then the
// payload in blocks of 1024 bytes.
// Format B: byte 0 block-size exponent e (N = 2^e, written as 11), byte 1
// key length L (written as 32), random filler, L again at offset N - L - 1,
// the key at offsets N - L .. N - 1, then the payload in blocks of N bytes.
// Every payload block is encrypted with a fresh RC4 state from the key.
//
// The file functions return false when the source cannot be opened, its
// header is short or fails a check, the target cannot be created, the
// target is the source itself, or reading or writing fails; a target
// already created stays, partly written, after a failure while copying.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// RC4 over `data` in place (encrypting and decrypting are the same call).
// A data length below 1, a key length below 1 or a null pointer leave the
// data unchanged.
XTBASIS_C_API void RC4Crypt(const BYTE* key, int keyLength, BYTE* data, int dataLength);

XTBASIS_C_API bool EncryptRC4FileSchwachsinnigeVDDSEXPVariante(const char* source, const char* target);
// Accepts key lengths 1 to 31.
XTBASIS_C_API bool DecryptRC4FileSchwachsinnigeVDDSEXPVariante(const char* source, const char* target);

XTBASIS_C_API bool EncryptRC4FileNochSchwachsinnigereRZ2_1Variante(const char* source, const char* target);
// Honours any exponent e up to 30 whose key fits (N - L - 1 >= 0); L must
// be at least 1 and equal its copy before the key.
XTBASIS_C_API bool DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(const char* source, const char* target);
// The same as EncryptRC4FileNochSchwachsinnigereRZ2_1Variante.
XTBASIS_C_API bool EncryptRC4File20(const char* source, const char* target);

// Reads a format-A-style file (key length 1 to 31) into `content`,
// decrypting the whole payload as one continuous keystream (so it matches
// the format A decryptor only for payloads up to 1024 bytes). False when the
// file cannot be opened, its header fails, or fewer bytes than the file
// length promised could be read. A read error of the system is thrown as a
// CFileException*.
XTBASIS_C_API bool IsRC4File(const CString& path, CString& content);
