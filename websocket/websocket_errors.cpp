#include "websocket_errors.h"

#include <openssl/x509_vfy.h>

#include <boost/asio/error.hpp>
#include <boost/asio/ssl/error.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/websocket/error.hpp>
#include <cerrno>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/websocket.h>

namespace xtb::ws {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;

DWORD FromErrno(int value) {
  switch (value) {
    case ECONNREFUSED: case ENETUNREACH: case EHOSTUNREACH: case EADDRNOTAVAIL: case ENETDOWN:
      return ERROR_WINHTTP_CANNOT_CONNECT;
    case ECONNRESET: case ECONNABORTED: case EPIPE: case ENOTCONN: case ESHUTDOWN:
      return ERROR_WINHTTP_CONNECTION_ERROR;
    case ETIMEDOUT:
      return ERROR_WINHTTP_TIMEOUT;
    case ECANCELED: case EBADF:
      return ERROR_WINHTTP_OPERATION_CANCELLED;
    default:
      return WinErrorFromErrno(value);
  }
}

}  // namespace

DWORD WinErrorFromTransport(const boost::system::error_code& error) {
  if (!error) return ERROR_SUCCESS;
  const auto& category = error.category();
  if (category == asio::error::get_system_category()) return FromErrno(error.value());
  if (category == asio::error::get_netdb_category() || category == asio::error::get_addrinfo_category())
    return ERROR_WINHTTP_NAME_NOT_RESOLVED;
  if (category == asio::error::get_misc_category())
    return error == asio::error::eof ? ERROR_WINHTTP_CONNECTION_ERROR : ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
  if (category == asio::ssl::error::get_stream_category()) return ERROR_WINHTTP_CONNECTION_ERROR;
  if (category == asio::error::get_ssl_category()) return ERROR_WINHTTP_SECURE_FAILURE;
  if (error == beast::error::timeout) return ERROR_WINHTTP_TIMEOUT;
  if (error == beast::websocket::error::closed) return ERROR_INVALID_OPERATION;
  if (category == beast::http::make_error_code(beast::http::error::end_of_stream).category()) {
    return error == beast::http::error::end_of_stream ? ERROR_WINHTTP_CONNECTION_ERROR
                                                      : ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
  }
  // The WebSocket's own: a refused upgrade or frames against the protocol.
  if (category == beast::websocket::make_error_code(beast::websocket::error::closed).category())
    return ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
  return ERROR_WINHTTP_CONNECTION_ERROR;
}

DWORD WinErrorFromCertificate(long verifyResult) {
  switch (verifyResult) {
    case X509_V_OK:
      return ERROR_WINHTTP_SECURE_FAILURE;
    case X509_V_ERR_CERT_HAS_EXPIRED: case X509_V_ERR_CERT_NOT_YET_VALID:
      return ERROR_WINHTTP_SECURE_CERT_DATE_INVALID;
    case X509_V_ERR_HOSTNAME_MISMATCH: case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return ERROR_WINHTTP_SECURE_CERT_CN_INVALID;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT: case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE: case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN: case X509_V_ERR_CERT_UNTRUSTED: case X509_V_ERR_CERT_REJECTED:
      return ERROR_WINHTTP_SECURE_INVALID_CA;
    case X509_V_ERR_INVALID_PURPOSE:
      return ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE;
    case X509_V_ERR_CERT_REVOKED:
      return ERROR_WINHTTP_SECURE_CERT_REVOKED;
    default:
      return ERROR_WINHTTP_SECURE_INVALID_CERT;
  }
}

}  // namespace xtb::ws
