#pragma once
// Passwords kept only as salted, deliberately slow hashes (libsodium's Argon2id string form,
// which carries its salt and costs), and the random tokens of sessions. Any thread.
#include <cstddef>
#include <string>

namespace pelvano::platform {

// Throws std::runtime_error when the hash cannot be made (out of memory).
std::string HashPassword(const std::string& password);
// False for a wrong password and for a text that is no hash of ours.
bool VerifyPassword(const std::string& hash, const std::string& password);
// bytes random bytes from the system's generator, as lower-case hex.
std::string RandomHex(std::size_t bytes);
// Equality that takes as long wherever the texts differ.
bool SameSecret(const std::string& a, const std::string& b);

}  // namespace pelvano::platform
