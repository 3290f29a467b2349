// The parts of `xtbasis crypt`: one function per subcommand, each given the
// words after its name; the shared option reader and the progress display.
#pragma once

#include <xtbasis/crypt.h>

#include "command.h"

namespace xtbtool::crypt {

// Takes "--name VALUE" (or a flag "--name" when `value` is null) out of
// `args`; false when the option is absent.
bool TakeOption(Args& args, const char* name, std::string* value);

// The value of "--container NAME", else the tool's own container "xtbasis".
std::string ContainerOption(Args& args);

// The progress callback: a percentage on standard error when that is a
// terminal, nothing otherwise. EndProgress ends its line.
XTCryptCallback Progress();
void EndProgress();

// Prints "xtbasis crypt: <what>: <LastError>" (in UTF-8) and returns 1.
int Failure(const std::string& what, const CString& error);

int GenKey(Args args);
int Export(Args args);
int Sign(Args args);
int Verify(Args args);
int Encrypt(Args args);
int Decrypt(Args args);
int Aes(Args args);
int Hash(Args args);
int Pbkdf2(Args args);
int Cert(Args args);

}  // namespace xtbtool::crypt
