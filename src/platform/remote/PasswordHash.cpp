#include "platform/remote/PasswordHash.h"

#include <sodium.h>

#include <mutex>
#include <stdexcept>
#include <vector>

namespace pelvano::platform {

namespace {

void initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
    });
}

}  // namespace

std::string HashPassword(const std::string& password) {
    initialise();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("the password hash needs more memory than there is");
    return hash;
}

bool VerifyPassword(const std::string& hash, const std::string& password) {
    initialise();
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string RandomHex(std::size_t bytes) {
    initialise();
    std::vector<unsigned char> raw(bytes);
    randombytes_buf(raw.data(), raw.size());
    std::string hex(bytes * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), raw.data(), raw.size());
    hex.pop_back();
    return hex;
}

bool SameSecret(const std::string& a, const std::string& b) {
    initialise();
    return a.size() == b.size() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace pelvano::platform
