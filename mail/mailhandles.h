// The HANDLE values of mail endpoints. A handle names one open descriptor
// and the moment it was opened, so that a copy of an object closed through
// another copy finds its handle gone, rather than a descriptor number the
// process has since given to something else.
#pragma once

#include <xtbasis/platform/wintypes.h>

namespace xtb::mail {

enum class Channel { LocalEndpoint, LocalConnection, NetworkDatagram, NetworkStream };

HANDLE RegisterHandle(int fd, Channel channel);
// The descriptor of an open handle, or -1 (ERROR_INVALID_HANDLE).
int DescriptorOf(HANDLE handle, Channel* channel = nullptr);
// Closes the handle's descriptor; false when it was not open.
bool CloseHandleOf(HANDLE handle);
// Sets the last error that a failed call of os/localsocket.h or
// os/netsocket.h on `channel` leaves the mail's callers (those calls report
// errno): a listener's full queue is a busy pipe, a message that went in part
// a write fault, a computer that cannot be found or reached a bad network
// path, anything else the number WinErrorFromErrno gives. False, for
// returning.
bool FailedOn(Channel channel);
// Close of the server and the client: false at once for an invalid handle;
// a failure traced as `what` and the error text. The handle ends invalid.
bool CloseTraced(HANDLE& handle, const char* what, int line);

}  // namespace xtb::mail
