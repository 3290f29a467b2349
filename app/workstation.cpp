#include <xtbasis/platform/beep.h>
#include <xtbasis/platform/session.h>
#include <xtbasis/workstation.h>

#include "os/computers.h"
#include "terminaldrives.h"

CString GetWorkstation() { return CString(xtb::RemoteClientName()); }

CString GetTerminalServer() { return CString(xtb::os::ComputerName()); }

bool IsTerminalClient(CString* computerName, CString* clientName, DWORD* sessionId) {
  if (!xtb::IsRemoteSession()) return false;
  if (computerName) *computerName = CString(xtb::os::ComputerName());
  if (clientName) *clientName = CString(xtb::RemoteClientName());
  if (sessionId) *sessionId = xtb::SessionId();
  return true;
}

bool IsTerminalServer() { return xtb::OffersRemoteDesktops() && !xtb::IsRemoteSession(); }

DWORD GetTerminalDrives() {
  if (!xtb::IsRemoteSession()) return 0;
  DWORD drives = 0;
  for (const std::string& name : xtb::RedirectedDriveNames()) drives |= xtb::app::DriveBitOfRemoteName(name);
  return drives;
}

BOOL XTBeep(unsigned int type) { return xtb::IsRemoteSession() ? Beep(440, 150) : MessageBeep(type); }
