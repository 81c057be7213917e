#pragma once
// TLS (OpenSSL) over a connected non-blocking socket, for a short request beside the stream.
// The peer's certificate must chain to an authority the system trusts (OpenSSL's default paths,
// SSL_CERT_FILE and SSL_CERT_DIR included) and name the host. Each call does what it can
// without blocking: a result of kWait asks the caller to poll the socket for `wants` and call
// again. Any one thread.
#include <sys/types.h>

#include <string>

struct ssl_st;

namespace pelvano::platform {

class TlsLink {
  public:
    static constexpr ssize_t kWait = -1;
    static constexpr ssize_t kFailed = -2;

    TlsLink(int fd, const std::string& host);
    ~TlsLink();
    TlsLink(const TlsLink&) = delete;
    TlsLink& operator=(const TlsLink&) = delete;

    // 1 when the handshake is done (the certificate checked), else kWait or kFailed.
    ssize_t handshake(short& wants);
    // Bytes moved (> 0), 0 when the peer closed, kWait or kFailed.
    ssize_t write(const char* data, std::size_t size, short& wants);
    ssize_t read(char* data, std::size_t size, short& wants);
    // Why the last call failed.
    const std::string& error() const { return error_; }

  private:
    // Sorts a result of OpenSSL's: done, closed, a wait (wants set) or a failure (error_ set).
    ssize_t outcome(int result, short& wants);

    ssl_st* ssl_ = nullptr;
    std::string error_;
};

}  // namespace pelvano::platform
