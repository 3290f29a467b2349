// The router's reading of packets and connections on arbitrary bytes: the
// connection parser never takes more than it is given nor holds more than
// one endpoint and one mail, and a well-formed request split anywhere reads
// back whole; datagrams split into what they were made of.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mailnames.h"
#include "routerwire.h"

using namespace xtb::mail;

namespace {

// Feeds `bytes` in pieces whose sizes come from `cuts`, answering the
// endpoint as the router does. Returns the parser's final state.
ConnectionParser::State FeedInPieces(ConnectionParser& parser, const std::string& bytes, const uint8_t* cuts,
                                     size_t cutCount) {
  size_t at = 0, cut = 0;
  while (at < bytes.size()) {
    const size_t piece = std::min<size_t>(bytes.size() - at, cutCount ? 1 + cuts[cut++ % cutCount] : bytes.size());
    size_t offset = 0;
    while (offset < piece) {
      const size_t taken = parser.Feed(bytes.data() + at + offset, piece - offset);
      if (taken > piece - offset) std::abort();
      offset += taken;
      if (parser.state() == ConnectionParser::State::EndpointReady) {
        parser.ExpectMail();
      } else if (taken == 0) {
        return parser.state();  // the parser is done; the rest is not its business
      }
    }
    at += piece;
  }
  return parser.state();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  ConnectionParser parser;
  const auto state = FeedInPieces(parser, bytes, data, size % 7);
  if (parser.endpoint().size() > kMaxEndpoint + 1 || parser.mail().size() > kPipeMailMax) std::abort();
  if (state == ConnectionParser::State::MailReady && !IsEndpointOfMode(parser.endpoint(), true)) std::abort();

  std::string_view endpoint, mail;
  if (ParseDatagram(bytes, endpoint, mail)) {
    if (!IsEndpointOfMode(endpoint, false) || mail.size() > kMailslotMailMax) std::abort();
    if (MakeDatagram(endpoint, mail) != bytes) std::abort();
  }

  // A request made of the input's halves reads back whole however it is cut.
  const std::string name = "pipe\\" + bytes.substr(0, std::min<size_t>(size / 2, 200));
  const std::string body = bytes.substr(std::min<size_t>(size / 2, 200));
  if (!IsEndpointOfMode(name, true)) return 0;
  std::string request = name + '\0';
  char length[4];
  PutStatus(static_cast<uint32_t>(body.size()), length);
  request.append(length, 4).append(body);
  ConnectionParser whole;
  if (FeedInPieces(whole, request, data, size % 5) != ConnectionParser::State::MailReady) std::abort();
  if (whole.endpoint() != name || whole.mail() != body) std::abort();
  return 0;
}
