// What travels between a sender and the mail router of another computer.
//
// Mailslot mode, one UDP datagram per mail:
//   endpoint NUL mail            (endpoint "mailslot\...", mail <= 424 bytes)
// Pipe mode, one TCP connection per mail:
//   sender: endpoint NUL         router: status (4 bytes, big-endian)
//   sender: length (4 bytes, big-endian) mail
//                                router: status
// A sender may send the endpoint and the mail without waiting in between:
// the router still answers the endpoint first (and stops there when it
// fails), and both answers then leave together.
// A status is 0 or the Windows error number that the router's own step
// failed with (ERROR_FILE_NOT_FOUND when nobody receives on the endpoint,
// ERROR_PIPE_BUSY when the receiver's queue is full ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace xtb::mail {

constexpr size_t kMailslotMailMax = 424;
constexpr size_t kPipeMailMax = 65536;

std::string MakeDatagram(std::string_view endpoint, std::string_view mail);
// Splits a datagram; false for anything but a mailslot endpoint and a mail
// within the limit.
bool ParseDatagram(std::string_view packet, std::string_view& endpoint, std::string_view& mail);

void PutStatus(uint32_t status, char out[4]);
uint32_t GetStatus(const char in[4]);

// The router's reader of one pipe-mode connection, fed with whatever bytes
// arrive. It never holds more than one endpoint and one mail.
class ConnectionParser {
 public:
  enum class State { Endpoint, EndpointReady, Length, Mail, MailReady, Invalid };

  // Takes bytes from `data` as far as the current step needs them and
  // returns how many it took. Bytes that belong to no step (after the
  // endpoint before it is answered, after the mail) are not taken.
  size_t Feed(const char* data, size_t length);
  // After EndpointReady has been answered: go on to the mail's length.
  void ExpectMail();

  State state() const { return m_state; }
  const std::string& endpoint() const { return m_endpoint; }
  const std::string& mail() const { return m_mail; }

 private:
  State m_state = State::Endpoint;
  std::string m_endpoint;
  char m_length[4]{};
  size_t m_lengthHave = 0;
  size_t m_mailLength = 0;
  std::string m_mail;
};

}  // namespace xtb::mail
