#include "platform/stream/TlsLink.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>


namespace pelvano::platform {

namespace {

// A context of its own for each link (a link is rare: one per title), so the system's
// authorities are read as they are now.
SSL_CTX* newContext() {
    SSL_CTX* c = SSL_CTX_new(TLS_client_method());
    if (c != nullptr) {
        SSL_CTX_set_default_verify_paths(c);
        SSL_CTX_set_verify(c, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_min_proto_version(c, TLS1_2_VERSION);
    }
    return c;
}

std::string lastOpenSslError() {
    char text[256] = "TLS error";
    if (const unsigned long code = ERR_get_error(); code != 0)
        ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return text;
}

}  // namespace

TlsLink::TlsLink(int fd, const std::string& host) {
    SSL_CTX* context = newContext();
    ssl_ = context != nullptr ? SSL_new(context) : nullptr;
    SSL_CTX_free(context);  // the link holds its own reference
    if (ssl_ == nullptr) {
        error_ = lastOpenSslError();
        return;
    }
    SSL_set_fd(ssl_, fd);
    SSL_set_tlsext_host_name(ssl_, host.c_str());
    // An address is checked as an address, a name as a name.
    X509_VERIFY_PARAM* check = SSL_get0_param(ssl_);
    if (X509_VERIFY_PARAM_set1_ip_asc(check, host.c_str()) != 1)
        SSL_set1_host(ssl_, host.c_str());
    SSL_set_connect_state(ssl_);
}

TlsLink::~TlsLink() {
    if (ssl_ != nullptr) SSL_free(ssl_);
}

ssize_t TlsLink::outcome(int result, short& wants) {
    if (result > 0) return result;
    switch (SSL_get_error(ssl_, result)) {
        case SSL_ERROR_WANT_READ:
            wants = POLLIN;
            return kWait;
        case SSL_ERROR_WANT_WRITE:
            wants = POLLOUT;
            return kWait;
        case SSL_ERROR_ZERO_RETURN:
            return 0;
        default:
            break;
    }
    const long verified = SSL_get_verify_result(ssl_);
    error_ = verified != X509_V_OK ? X509_verify_cert_error_string(verified) : lastOpenSslError();
    return kFailed;
}

ssize_t TlsLink::handshake(short& wants) {
    if (ssl_ == nullptr) return kFailed;
    const ssize_t r = outcome(SSL_do_handshake(ssl_), wants);
    return r > 0 ? 1 : (r == 0 ? kFailed : r);
}

ssize_t TlsLink::write(const char* data, std::size_t size, short& wants) {
    return outcome(SSL_write(ssl_, data, static_cast<int>(size)), wants);
}

ssize_t TlsLink::read(char* data, std::size_t size, short& wants) {
    return outcome(SSL_read(ssl_, data, static_cast<int>(size)), wants);
}

}  // namespace pelvano::platform
