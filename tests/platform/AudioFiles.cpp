#include "AudioFiles.h"

#include <cstdlib>

namespace pelvano::test {

namespace {

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string WavFile(const WavLayout& layout, const std::string& data) {
    const std::uint32_t align = layout.channels * layout.bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(layout.claimedDataBytes >= 0
                                                          ? layout.claimedDataBytes
                                                          : static_cast<std::int64_t>(data.size()));
    std::string out = "RIFF";
    Put(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, layout.formatTag, 2);
    Put(out, layout.channels, 2);
    Put(out, layout.rate, 4);
    Put(out, layout.rate * align, 4);
    Put(out, align, 2);
    Put(out, layout.bits, 2);
    out += "data";
    Put(out, dataBytes, 4);
    return out + data;
}

std::string Ramp16(std::uint16_t channels, std::uint32_t frames) {
    std::string out;
    out.reserve(static_cast<std::size_t>(frames) * channels * 2);
    for (std::uint32_t f = 0; f < frames; ++f) {
        for (std::uint16_t c = 0; c < channels; ++c) Put(out, (f * 7 + c * 1000) & 0xFFFF, 2);
    }
    return out;
}

bool RunFfmpeg(const std::string& arguments) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments;
    return std::system(command.c_str()) == 0;
}

}  // namespace pelvano::test
