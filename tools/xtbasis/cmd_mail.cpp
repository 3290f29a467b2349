// xtbasis mail listen NAME [SUB] [--pipes] [--count N]
//   receives mail on NAME (and SUB) and prints each as "sender<TAB>type<TAB>text";
//   with --count it ends after N mails.
// xtbasis mail send COMPUTER NAME [SUB] TYPE TEXT [--pipes]
//   sends one mail; TYPE is a type's name (ping, user ...) or number.
// --pipes chooses pipe mode; both sides must use the same mode.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <strings.h>

#include <xtbasis/errortext.h>
#include <xtbasis/mailslot.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

#include "command.h"

namespace {

constexpr char kUsage[] =
    "xtbasis mail listen NAME [SUB] [--pipes] [--count N]\n"
    "       xtbasis mail send COMPUTER NAME [SUB] TYPE TEXT [--pipes]";

constexpr const char* kTypes[] = {"", "PING", "PONG", "USER", "BENCH", "R9ANAM", "R9CLIENTUPDATE",
                                  "STOPR9CLIENTUPDATE", "PQMSG"};

// Takes the options out of `args`; false for an unknown one.
bool TakeOptions(xtbtool::Args& args, bool& pipes, long& count) {
  xtbtool::Args rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--pipes") {
      pipes = true;
    } else if (args[i] == "--count" && i + 1 < args.size()) {
      char* end = nullptr;
      count = std::strtol(args[++i].c_str(), &end, 10);
      if (*end || count <= 0) return false;
    } else if (args[i].starts_with("--")) {
      return false;
    } else {
      rest.push_back(args[i]);
    }
  }
  args.swap(rest);
  return true;
}

MAILTYPES ParseType(const std::string& text) {
  for (int type = 1; type <= MAILTYPE_PQMSG; ++type)
    if (strcasecmp(text.c_str(), kTypes[type]) == 0 || text == std::to_string(type)) return static_cast<MAILTYPES>(type);
  return MAILTYPE_NONE;
}

std::string LastErrorText() { return xtbtool::ErrorLine(GetLastError()); }

int Listen(const xtbtool::Args& args, long count) {
  if (args.empty() || args.size() > 2) return xtbtool::UsageError("mail", "listen needs NAME and at most SUB");
  CXTMailslotServer server;
  if (!server.Create(args[0].c_str(), args.size() == 2 ? args[1].c_str() : "")) {
    std::fprintf(stderr, "xtbasis mail: %s cannot be received: %s\n", args[0].c_str(), LastErrorText().c_str());
    return 1;
  }
  std::fprintf(stderr, "listening on %s\n", args[0].c_str());
  for (long received = 0; count == 0 || received < count;) {
    CString sender, text;
    MAILTYPES type = MAILTYPE_NONE;
    if (!server.Read(sender, type, text)) continue;  // a repeated or malformed mail
    std::printf("%s\t%s\t%s\n", sender.GetString(), kTypes[type], text.GetString());
    std::fflush(stdout);
    ++received;
  }
  return 0;
}

int Send(const xtbtool::Args& args) {
  if (args.size() != 4 && args.size() != 5)
    return xtbtool::UsageError("mail", "send needs COMPUTER NAME [SUB] TYPE TEXT");
  const bool hasSub = args.size() == 5;
  const MAILTYPES type = ParseType(args[hasSub ? 3 : 2]);
  if (type == MAILTYPE_NONE) return xtbtool::UsageError("mail", "TYPE is one of PING PONG USER BENCH R9ANAM "
                                                                  "R9CLIENTUPDATE STOPR9CLIENTUPDATE PQMSG or 1 to 8");
  if (!CXTMailslotClient::SendOneMessage(args[0].c_str(), args[1].c_str(), hasSub ? args[2].c_str() : "", type,
                                         args.back().c_str())) {
    std::fprintf(stderr, "xtbasis mail: not sent: %s\n", LastErrorText().c_str());
    return 1;
  }
  return 0;
}

int Run(const xtbtool::Args& arguments) {
  xtbtool::Args args = arguments;
  bool pipes = false;
  long count = 0;
  if (!TakeOptions(args, pipes, count) || args.empty()) return xtbtool::UsageError("mail", "bad options");
  if (pipes) CXTMailslotServer::UseNamedPipes();
  const std::string verb = args.front();
  args.erase(args.begin());
  if (verb == "listen") return Listen(args, count);
  if (verb == "send") return Send(args);
  return xtbtool::UsageError("mail", "needs listen or send");
}

const xtbtool::Registration registration({"mail", "receive and send mail between programs", kUsage, Run});

}  // namespace
