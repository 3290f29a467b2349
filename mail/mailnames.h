// Names of mail endpoints: the Windows-form names of the endpoint table and
// the files in the mail folder that carry them on this machine.
#pragma once

#include <string>
#include <string_view>
#include <xtbasis/mailslot.h>

namespace xtb::mail {

// Mailslot or pipe mode, as the process-wide switch says now.
bool PipeMode();
void SwitchToPipeMode();

// The wire name of a type ("" for 0 and anything out of range).
const char* TypeName(int type);
// The type whose wire name equals `name` in any case; 0 for none.
MAILTYPES TypeOfName(std::string_view name);

// The endpoint below the computer part: "mailslot\NAME[\SUB-PATH]" or
// "pipe\NAME[_SUB]" (the sub-name part only for a non-empty sub-name).
std::string EndpointName(bool pipeMode, const CString& name, const CString& subName);

// The file of an endpoint in the mail folder. Endpoint names are
// case-insensitive, as on Windows, and any byte may occur in them; the file
// name is folded to lower case with other bytes escaped, and hashed when it
// would be too long for a socket address.
std::string EndpointFile(std::string_view endpoint);

// True when `endpoint` is a well-formed endpoint of the given mode, as a
// router accepts it from the network: the mode's prefix, a non-empty rest,
// at most kMaxEndpoint bytes, no NUL.
constexpr size_t kMaxEndpoint = 255;
bool IsEndpointOfMode(std::string_view endpoint, bool pipeMode);

}  // namespace xtb::mail
