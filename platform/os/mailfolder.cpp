#include "mailfolder.h"

#include <cerrno>
#include <xtbasis/platform/lasterror.h>
#include "localsocket.h"

#include "environment.h"

namespace xtb::os {

std::string MailFolder() {
  const char* folder = os::EnvironmentValue("XTBASIS_MAIL_DIR");
  return folder && *folder ? folder : "/tmp/.xtbasis-mail";
}

os::Folder OpenMailFolder() {
  os::Folder folder = os::Folder::Make(MailFolder(), 01777);
  if (!folder.IsOpen()) {
    SetLastErrorFromErrno();
    return folder;
  }
  if (!folder.OthersCannotSwapEntries()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return os::Folder();
  }
  return folder;
}

os::Fd OpenSharedFile(const os::Folder& folder, const std::string& name, std::string& refusal) {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::ReadWrite;
  rule.everyoneFullAccess = true;  // other users' endpoints lock it too
  int error = 0;
  os::Fd file = folder.OpenEntry(name, rule, error);
  if (!file.IsOpen()) Refuse(error, name, refusal);
  return file;
}

bool Refuse(int error, const std::string& name, std::string& refusal) {
  refusal = name + ": " + os::EntryErrorText(error);
  switch (error) {
    case ELOOP: case EMLINK: case ENXIO: case ENOTSOCK: case EPERM: case EACCES:
      SetLastError(ERROR_ACCESS_DENIED);
      break;
    case EADDRINUSE:
      SetLastError(ERROR_ALREADY_EXISTS);
      break;
    default:
      SetLastError(WinErrorFromErrno(error));
  }
  return false;
}

}  // namespace xtb::os
