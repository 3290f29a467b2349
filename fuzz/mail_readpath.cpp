// A receiver in pipe mode reading arbitrary bytes from a real connection:
// a mail it accepts splits back into exactly the bytes that came (up to the
// first zero byte and the size limit); the same bytes again are refused as a
// repeated delivery; and what it accepted, written by a real sender, reads
// back field for field.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <xtbasis/mailslot.h>

#include "os/localsocket.h"
#include "mailfolder.h"
#include "mailnames.h"

namespace {

constexpr char kName[] = "fuzz";

struct Receiver {
  Receiver() {
    char pattern[] = "/tmp/xtb-fuzz-mail-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    folder = pattern;
    setenv("XTBASIS_MAIL_DIR", pattern, 1);
    CXTMailslotServer::UseNamedPipes();
    if (!server.Create(kName, "")) std::abort();
    file = xtb::mail::EndpointFile(xtb::mail::EndpointName(true, kName, ""));
  }
  ~Receiver() {
    server.Close();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder, file;
  CXTMailslotServer server;
};

Receiver& TheReceiver() {
  static Receiver receiver;
  return receiver;
}

bool SendBytes(const std::string& file, const char* data, size_t size) {
  const int fd = xtb::mail::ConnectMailEndpoint(file, xtb::os::SocketKind::Sequenced);
  if (fd < 0) return false;
  const bool sent = xtb::os::SendMessage(fd, data, size);
  xtb::os::CloseEndpoint(fd);
  return sent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Receiver& receiver = TheReceiver();
  const char* bytes = reinterpret_cast<const char*>(data);
  if (size == 0 || size > 70000 || !SendBytes(receiver.file, bytes, size)) return 0;
  CString sender("unchanged"), text("unchanged");
  MAILTYPES type = MAILTYPE_BENCH;
  if (!receiver.server.Read(sender, type, text)) {
    if (sender != "unchanged" || text != "unchanged") std::abort();  // a refused mail writes no fields
    return 0;
  }
  // What arrived: up to the first zero byte, at most 65536 bytes.
  std::string arrived(bytes, std::min<size_t>(size, 65536));
  arrived = arrived.c_str();
  const std::string from(sender.GetString(), sender.GetLength()), body(text.GetString(), text.GetLength());
  if (from.find('|') != std::string::npos || type < MAILTYPE_PING || type > MAILTYPE_PQMSG) std::abort();
  const size_t idEnd = arrived.find('|', from.size() + 1), typeEnd = arrived.find('|', idEnd + 1);
  if (arrived.compare(0, from.size() + 1, from + "|") != 0 || typeEnd == std::string::npos ||
      xtb::mail::TypeOfName(std::string_view(arrived).substr(idEnd + 1, typeEnd - idEnd - 1)) != type ||
      arrived.substr(typeEnd + 1) != body)
    std::abort();
  // A repeated delivery is refused.
  if (!SendBytes(receiver.file, arrived.data(), arrived.size())) return 0;
  if (receiver.server.Read(sender, type, text)) std::abort();
  // The fields written by a sender read back the same.
  CXTMailslotClient client;
  if (!client.Open(".", kName, "") || !client.Write(CString(from), type, CString(body))) std::abort();
  client.Close();
  CString sender2, text2;
  MAILTYPES type2 = MAILTYPE_NONE;
  if (!receiver.server.Read(sender2, type2, text2)) return 0;  // a sender name seen with this clock id before
  if (sender2 != sender || type2 != type || text2 != text) std::abort();
  return 0;
}
