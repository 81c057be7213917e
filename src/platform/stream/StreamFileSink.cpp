#include "platform/stream/StreamFileSink.h"

#include <cerrno>
#include <cstring>

namespace pelvano::platform {

StreamFileSink::~StreamFileSink() {
    close();
}

void StreamFileSink::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool StreamFileSink::open(const std::function<bool()>& /*abandon*/, std::string& error) {
    // A reconnection continues the same file.
    close();
    file_ = std::fopen(path_.c_str(), "ab");
    if (file_ == nullptr) error = std::strerror(errno);
    return file_ != nullptr;
}

bool StreamFileSink::send(const std::string& bytes, std::string& error) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
        std::fflush(file_) == 0) {
        return true;
    }
    error = std::strerror(errno);
    return false;
}

}  // namespace pelvano::platform
