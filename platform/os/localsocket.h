// Local message endpoints: sockets of one machine (AF_UNIX) that live as
// files in a folder shared by every user (os/sharedfolder.h).
// A datagram endpoint carries one message per send (mailslot mode); a
// sequenced-packet endpoint is a listener whose connections each carry
// whole messages (pipe mode).
//
// Calls that fail return -1 or false with errno set; the mail family turns
// it into the Windows number its callers are told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "folder.h"

namespace xtb::os {

enum class SocketKind { Datagram, Sequenced };

// Creates the endpoint `fileName` (one name, no slash) in `folder` (open, as
// os::OpenSharedFolder gives it) and returns its descriptor. An endpoint
// that a live process holds is refused with EEXIST; the socket of one whose
// holder died is replaced. Anything else found under the endpoint's names (a
// link, a file, a pipe, another account's socket this account may not
// remove) is left as it is and refused with EACCES, the reason in `refusal`.
// Sequenced endpoints listen; datagram endpoints are told each sender's
// account (ReceiveMessage). Close it with CloseEndpoint.
int CreateEndpoint(const os::Folder& folder, const std::string& fileName, SocketKind kind,
                   std::string* refusal = nullptr);
// Closes a descriptor of CreateEndpoint or Connect and, for endpoints, lets
// the name go. False (EBADF) for a descriptor not open.
bool CloseEndpoint(int fd);
// The same for a connection (ConnectEndpoint's, AcceptConnection's) alone:
// it holds no name, so nothing is looked up.
bool CloseConnection(int fd);

// Connects to the endpoint `fileName` of the folder `folderPath`; ENOENT
// when nobody holds it, EAGAIN when its listener's queue is full and no
// room came within `roomWaitMs` (a sequenced endpoint's), EACCES
// when a link, anything but a socket, or a socket with a second name is
// found under the name, or the folder is a link or one that others could
// change (os::Folder::OthersCannotSwapEntries). The folder and the socket
// are checked once and kept (os/kept_endpoints.h). The connection does not
// block; SendMessage waits on it as long as its caller says. Any number of
// threads may connect at the same time.
int ConnectEndpoint(std::string_view folderPath, const std::string& fileName, SocketKind kind, int roomWaitMs = 0);

// Sends one message to the datagram endpoint `fileName` of the folder
// `folderPath` as SendMessage does, on a connection kept for the sends that
// follow and shared by every thread: ConnectEndpoint's checks are made when
// it is made. A kept connection whose receiver has gone is made anew once,
// so that a receiver that took the name since gets the message. `reached`
// tells a failed send (true) from an endpoint that could not be connected
// (false, with ConnectEndpoint's errors).
bool SendToDatagramEndpoint(std::string_view folderPath, const std::string& fileName, const char* data,
                            size_t length, int waitMs, bool& reached);

// The next connection of a sequenced endpoint (blocks). The connection
// does not block: ReceiveMessage waits on it as long as its caller says.
int AcceptConnection(int fd);

// Sends and receives wait up to a time in milliseconds, without end for
// kWaitWithoutEnd.
constexpr int kWaitWithoutEnd = -1;

// One message of at most `capacity` bytes (a longer datagram is cut).
// Returns its length, 0 at the end of a connection, -1 on failure. With
// `account`, the user id of the sending process as the kernel knows it
// (each message's, else the connection's peer), kUnknownAccount when it
// cannot be told. A connection that has nothing to read yet is waited on
// up to `waitMs` (ETIMEDOUT after), so that a sender that never writes
// cannot hold the receiver; a connection timed out so is closed for
// reading first, and its sender's later sends fail (EPIPE) instead of
// going where nobody reads them.
constexpr uint32_t kUnknownAccount = 0xFFFFFFFF;
long ReceiveMessage(int fd, char* buffer, size_t capacity, uint32_t* account = nullptr, int waitMs = kWaitWithoutEnd);
// Sends one message whole; false otherwise (EMSGSIZE when only a part
// went). A receiver that cannot take it now is waited for up to `waitMs`
// (ETIMEDOUT after); with 0 the send fails at once with EBUSY.
bool SendMessage(int fd, const char* data, size_t length, int waitMs = kWaitWithoutEnd);

// Sets the time after which a blocked send of a stream socket gives up
// (ETIMEDOUT), for sends that do not go through SendMessage.
bool SetSendTimeout(int fd, int milliseconds);

}  // namespace xtb::os
