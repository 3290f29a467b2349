// The mail folder: where this machine's mail endpoints and the mail clock
// live, one folder for every user of the suite, and the endpoints made and
// reached in it.
#pragma once

#include <string>

#include "os/folder.h"
#include "os/localsocket.h"

namespace xtb::mail {

// $XTBASIS_MAIL_DIR, else /tmp/.xtbasis-mail.
std::string MailFolder();

// The mail folder as os::OpenSharedFolder opens it: created on first use,
// open to every user and sticky, so that nobody removes another user's
// endpoint; a folder that others could change otherwise is not used. Each
// call opens it anew, so that a changed setting takes effect.
os::Folder OpenMailFolder();

// os::CreateEndpoint in the mail folder; a folder that cannot be used is
// refused with the reason in `refusal`.
int CreateMailEndpoint(const std::string& fileName, os::SocketKind kind, std::string* refusal = nullptr);
// os::ConnectEndpoint in the mail folder.
int ConnectMailEndpoint(const std::string& fileName, os::SocketKind kind, int roomWaitMs = 0);
// os::SendToDatagramEndpoint in the mail folder.
bool SendMailDatagram(const std::string& fileName, const std::string& mail, int waitMs, bool& reached);

}  // namespace xtb::mail
