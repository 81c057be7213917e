#pragma once
// The reader's failure: an English message and the result code that caused it.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelvano::core {

class AudioSource;

class EAudioReadError : public std::runtime_error {
  public:
    EAudioReadError(const std::string& message, std::int32_t code)
        : std::runtime_error(message), code_(code) {}
    std::int32_t code() const { return code_; }

  private:
    std::int32_t code_;
};

inline constexpr std::int32_t kInvalidBufferSize = 0x08000001;

// 0 passes; any other code (success codes included) raises EAudioReadError with the text of the
// fixed table, else the source's own text, else "Unrecognized error value.".
void CheckStreamResult(std::int32_t code, const AudioSource& source);

}  // namespace pelvano::core
