// The message that the crash helper reads from its standard input (any
// program may start the helper with any input): it is accepted only whole,
// with its magic number and ids; every text field of an accepted message
// ends within the field; an accepted message sent again arrives unchanged;
// and any input of the right size, given the magic number and ids, is
// accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crash_helper.h"

namespace {

template <size_t N>
bool Ends(const char (&field)[N]) {
  return strnlen(field, N) < N;
}

bool TextFieldsEnd(const xtb::CrashMessage& m) {
  return Ends(m.dumpFile) && Ends(m.dumpPattern[0]) && Ends(m.dumpPattern[1]) && Ends(m.logFile[0]) &&
         Ends(m.logFile[1]) && Ends(m.computerName) && Ends(m.reportDir) && Ends(m.appName) && Ends(m.appVersion) &&
         Ends(m.regKey) && Ends(m.logDir);
}

void CheckAccepted(const xtb::CrashMessage& message) {
  if (message.magic != xtb::kCrashMessageMagic || message.pid <= 0 || message.tid <= 0) std::abort();
  if (!TextFieldsEnd(message)) std::abort();
  xtb::CrashMessage again;
  if (!xtb::DecodeCrashMessage(&message, sizeof message, again)) std::abort();
  if (std::memcmp(&again, &message, sizeof message) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static xtb::CrashMessage message;
  const bool accepted = xtb::DecodeCrashMessage(data, size, message);
  if (accepted) CheckAccepted(message);
  if (accepted && size != sizeof message) std::abort();
  // The input stretched (repeated) to the message's size, made valid.
  if (size == 0) return 0;
  static std::vector<uint8_t> whole(sizeof message);
  for (size_t i = 0; i < whole.size(); ++i) whole[i] = data[i % size];
  xtb::CrashMessage header;
  std::memcpy(&header, whole.data(), sizeof header);
  header.magic = xtb::kCrashMessageMagic;
  header.pid = header.pid > 0 ? header.pid : 1;
  header.tid = header.tid > 0 ? header.tid : 1;
  std::memcpy(whole.data(), &header, sizeof header);
  if (!xtb::DecodeCrashMessage(whole.data(), whole.size(), message)) std::abort();
  CheckAccepted(message);
  return 0;
}
