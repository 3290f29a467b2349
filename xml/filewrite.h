// The one place where the XML family creates files.
#pragma once

#include <string_view>

namespace xtb::xml {

// Creates or truncates `path`, writes `bytes` in one go and leaves the file
// readable and writable by every user (mode 0666 whatever the umask), also
// when the write failed. True only when `bytes` was not empty and every
// byte was written; otherwise the last error tells why (0 for empty data).
bool WriteFileForAll(const char* path, std::string_view bytes);

}  // namespace xtb::xml
