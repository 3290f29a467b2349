// Everything the library exports, family by family.
#pragma once

// Stand-ins for the Windows and MFC services the suite was written against.
#include <xtbasis/platform/api.h>
#include <xtbasis/platform/com.h>
#include <xtbasis/platform/sax.h>
#include <xtbasis/platform/beep.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/regfile.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/timeclasses.h>
#include <xtbasis/platform/winlong.h>
#include <xtbasis/platform/wintypes.h>

// Where the program runs and the user's desktop: the session (computer name,
// remote sessions), the desktop's windows and clipboard.
#include <xtbasis/platform/desktop.h>
#include <xtbasis/platform/session.h>

// Library frame: trace log, error texts, string table, system base.
#include <xtbasis/errortext.h>
#include <xtbasis/exithandlers.h>
#include <xtbasis/resstrings.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

// Text and numbers.
#include <xtbasis/base64.h>
#include <xtbasis/billing.h>
#include <xtbasis/charclass.h>
#include <xtbasis/numbers.h>
#include <xtbasis/strbuf.h>
#include <xtbasis/textfields.h>
#include <xtbasis/textfilters.h>
#include <xtbasis/textformats.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

// Calendar.
#include <xtbasis/datecorrection.h>
#include <xtbasis/dateforms.h>
#include <xtbasis/quarters.h>
#include <xtbasis/xtdate.h>

// Tooth sets.
#include <xtbasis/teeth.h>

// Security.
#include <xtbasis/checksum.h>
#include <xtbasis/crypt.h>
#include <xtbasis/cryptic.h>
#include <xtbasis/password.h>
#include <xtbasis/rc4file.h>

// Files and paths.
#include <xtbasis/bmp2tiff.h>
#include <xtbasis/filehelpers.h>
#include <xtbasis/folderdialog.h>
#include <xtbasis/path.h>
#include <xtbasis/tmpfile.h>

// XML.
#include <xtbasis/xml.h>
#include <xtbasis/xmlelement.h>

// Application frame, mail, worker threads, shared regions, WebSocket.
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/winapp.h>
#include <xtbasis/mailslot.h>
#include <xtbasis/sharedregion.h>
#include <xtbasis/threads.h>
#include <xtbasis/websocket.h>
#include <xtbasis/winapp.h>

// Workstation, windows of other programs, clipboard.
#include <xtbasis/clipboard.h>
#include <xtbasis/windowsearch.h>
#include <xtbasis/windowtext.h>
#include <xtbasis/workstation.h>

// Crash and stack reports, assertions.
#include <xtbasis/crashreport.h>

// Operating system and kiosk installation.
#include <xtbasis/kiosk.h>
#include <xtbasis/osinfo.h>
