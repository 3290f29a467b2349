#include "routerwire.h"

#include <algorithm>
#include <cstring>

#include "mailnames.h"

namespace xtb::mail {

std::string MakeDatagram(std::string_view endpoint, std::string_view mail) {
  std::string packet;
  packet.reserve(endpoint.size() + 1 + mail.size());
  packet.append(endpoint).push_back('\0');
  packet.append(mail);
  return packet;
}

bool ParseDatagram(std::string_view packet, std::string_view& endpoint, std::string_view& mail) {
  const size_t end = packet.find('\0');
  if (end == std::string_view::npos) return false;
  const std::string_view name = packet.substr(0, end), body = packet.substr(end + 1);
  if (!IsEndpointOfMode(name, false) || body.size() > kMailslotMailMax) return false;
  endpoint = name;
  mail = body;
  return true;
}

void PutStatus(uint32_t status, char out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(status >> (24 - 8 * i));
}

uint32_t GetStatus(const char in[4]) {
  uint32_t status = 0;
  for (int i = 0; i < 4; ++i) status = (status << 8) | static_cast<unsigned char>(in[i]);
  return status;
}

size_t ConnectionParser::Feed(const char* data, size_t length) {
  size_t taken = 0;
  while (taken < length) {
    switch (m_state) {
      case State::Endpoint: {
        const char* end = static_cast<const char*>(std::memchr(data + taken, '\0', length - taken));
        const size_t part = end ? static_cast<size_t>(end - (data + taken)) : length - taken;
        m_endpoint.append(data + taken, std::min(part, kMaxEndpoint + 1 - m_endpoint.size()));
        taken += end ? part + 1 : part;
        if (m_endpoint.size() > kMaxEndpoint) {
          m_state = State::Invalid;
        } else if (end) {
          m_state = IsEndpointOfMode(m_endpoint, true) ? State::EndpointReady : State::Invalid;
        }
        break;
      }
      case State::Length: {
        const size_t part = std::min(length - taken, sizeof m_length - m_lengthHave);
        std::memcpy(m_length + m_lengthHave, data + taken, part);
        m_lengthHave += part;
        taken += part;
        if (m_lengthHave == sizeof m_length) {
          m_mailLength = GetStatus(m_length);
          if (m_mailLength > kPipeMailMax)
            m_state = State::Invalid;
          else
            m_state = m_mailLength == 0 ? State::MailReady : State::Mail;
        }
        break;
      }
      case State::Mail: {
        const size_t part = std::min(length - taken, m_mailLength - m_mail.size());
        m_mail.append(data + taken, part);
        taken += part;
        if (m_mail.size() == m_mailLength) m_state = State::MailReady;
        break;
      }
      default:
        return taken;
    }
  }
  return taken;
}

void ConnectionParser::ExpectMail() {
  if (m_state == State::EndpointReady) m_state = State::Length;
}

}  // namespace xtb::mail
