#pragma once
// The exact length of a file whose container does not state it: an MP3 without a Xing or VBRI
// header, whose length FFmpeg only estimates from the first frame's bit rate (a variable-rate
// song can come out minutes off, and the scheduler times its cross-fade and fade-out from it).
// The packets are counted once (on a worker: it reads the whole file) and the result is kept
// by path, size and modification time. Any thread.
#include <cstdint>
#include <optional>
#include <string>

namespace pelvano::platform {

// The summed duration of the audio packets of the stream, in 100 ns units; nothing when the
// file cannot be read.
std::optional<std::int64_t> ScannedDuration(const std::string& path, int streamIndex);
// The kept result of an earlier scan of the same file, unchanged since; nothing otherwise.
std::optional<std::int64_t> KnownScannedDuration(const std::string& path, int streamIndex);

}  // namespace pelvano::platform
