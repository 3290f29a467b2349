// Mail between programs: short text messages from one program to another,
// on one computer or between computers.
//
// A receiver creates a CXTMailslotServer on a name (and optional sub-name)
// and calls Read in a loop; a sender calls CXTMailslotClient::SendOneMessage
// with the receiver's computer, name, sub-name, a MAILTYPES value and the
// text. A mail travels as "sender|id|type|text"; the receiver drops a
// repeated delivery by its sender and id.
//
// Two transports, chosen once per process: mailslot mode (the default; one
// datagram per mail, at most 424 characters, longer mails are cut) and pipe
// mode (CXTMailslotServer::UseNamedPipes; one connection per mail, at most
// 65536 characters). Receiver and senders must use the same mode. On this
// machine a mail goes straight to the receiver's socket in the mail folder
// ($XTBASIS_MAIL_DIR, else /tmp/.xtbasis-mail); to another computer it goes
// to that computer's mail router (xtmaild, port $XTBASIS_MAIL_PORT, else
// 5331), which hands it to its local receiver.
//
// Every failing step leaves one trace record (level 1, id -999, source
// "XTMailslot") and a false result; nothing throws.
#pragma once

#include <cstdint>
#include <map>
#include <set>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

enum MAILTYPES : int {
  MAILTYPE_NONE = 0,  // no valid type; never accepted
  MAILTYPE_PING = 1,
  MAILTYPE_PONG = 2,
  MAILTYPE_USER = 3,  // a user message (SendR9UserMessage)
  MAILTYPE_BENCH = 4,
  MAILTYPE_R9ANAM = 5,
  MAILTYPE_R9CLIENTUPDATE = 6,
  MAILTYPE_STOPR9CLIENTUPDATE = 7,
  MAILTYPE_PQMSG = 8,
};

#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Every character of `name` that is not an ASCII letter or digit becomes '_'.
XTBASIS_C_API CString SanitizeMailName(const CString& name);
// The sanitised name as a path of components of at most 8 characters:
// "AAAAAAAA.msl\BBBBBBBB.msl\CCCC".
XTBASIS_C_API CString MailslotSubPath(const CString& name);

#ifdef __clang__
#pragma clang diagnostic pop
#endif

class XTBASIS_API CXTMailslotServer {
 public:
  CXTMailslotServer();
  // The copy shares the endpoint (closing either closes it for both) and
  // gets its own copy of the mails seen so far.
  CXTMailslotServer(const CXTMailslotServer& other) = default;
  CXTMailslotServer& operator=(const CXTMailslotServer& other) = default;
  ~CXTMailslotServer();

  // Switches the whole process to pipe mode, for good.
  static void UseNamedPipes();

  // Creates the endpoint name (+ sub-name); false when it cannot be had
  // (for one a live receiver holds: ERROR_ALREADY_EXISTS). Does not close a
  // handle held before.
  bool Create(const CString& name, const CString& subName);
  // Waits for the next mail; false for a repeated, malformed or failed one
  // (read again), and at once when the server is not created.
  bool Read(CString& sender, MAILTYPES& type, CString& text);
  bool Close();

 private:
  bool DecodeMail(const CString& mail, CString& sender, MAILTYPES& type, CString& text);

  HANDLE m_handle;
  // "sender|id" of every mail received, apart by the account that sent it
  // (as this machine's kernel tells it; the router's for mail from other
  // computers): a repeated delivery comes from the account that sent the
  // mail first, and no account can block another's mail by sending its
  // sender and id ahead of it.
  std::map<uint32_t, std::set<CString>> m_seen;
  uint32_t m_from = 0;  // the account of the mail being decoded
};

class XTBASIS_API CXTMailslotClient {
 public:
  CXTMailslotClient();
  CXTMailslotClient(const CXTMailslotClient& other) = default;
  CXTMailslotClient& operator=(const CXTMailslotClient& other) = default;
  ~CXTMailslotClient();

  // Opens the endpoint of `computer` ("." or this computer's name for this
  // one). Pipe mode tries 5 times, a second apart.
  bool Open(const CString& computer, const CString& name, const CString& subName);
  // Writes one mail; true only when all of it went out.
  bool Write(const CString& sender, const MAILTYPES& type, const CString& text);
  bool Close();

  // Open, Write with GetWorkstation() as the sender, Close.
  static bool SendOneMessage(const CString& computer, const CString& name, const CString& subName,
                             const MAILTYPES& type, const CString& text);
  // A USER mail to "r9ping" (+ sub-name) of `computer`; in pipe mode the
  // computer is addressed by its IPv4 address when it has one.
  static bool SendR9UserMessage(const CString& computer, const CString& subName, const CString& text);
  // 65536 in pipe mode, 398 in mailslot mode.
  static int MaxMessageLength();

 private:
  HANDLE m_handle;
  CString m_route;  // the endpoint's name at the router, for mail to another computer
};
