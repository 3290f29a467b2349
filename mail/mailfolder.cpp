#include "mailfolder.h"

#include "os/environment.h"
#include "os/sharedfolder.h"

namespace xtb::mail {

namespace {

// The setting as it is, for the senders: no copy of it per mail.
const char* MailFolderSetting() {
  const char* folder = os::EnvironmentValue("XTBASIS_MAIL_DIR");
  return folder && *folder ? folder : "/tmp/.xtbasis-mail";
}

}  // namespace

std::string MailFolder() { return MailFolderSetting(); }

os::Folder OpenMailFolder() { return os::OpenSharedFolder(MailFolder()); }

int CreateMailEndpoint(const std::string& fileName, os::SocketKind kind, std::string* refusal) {
  const os::Folder folder = OpenMailFolder();
  if (!folder.IsOpen()) {
    if (refusal) *refusal = MailFolder() + ": no folder that only its owner, this user or root, can change";
    return -1;
  }
  return os::CreateEndpoint(folder, fileName, kind, refusal);
}

int ConnectMailEndpoint(const std::string& fileName, os::SocketKind kind, int roomWaitMs) {
  return os::ConnectEndpoint(MailFolderSetting(), fileName, kind, roomWaitMs);
}

bool SendMailDatagram(const std::string& fileName, const std::string& mail, int waitMs, bool& reached) {
  return os::SendToDatagramEndpoint(MailFolderSetting(), fileName, mail.data(), mail.size(), waitMs, reached);
}

}  // namespace xtb::mail
