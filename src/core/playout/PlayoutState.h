#pragma once
// What is on air: the four playout channels and the item state that the item start, the
// scheduler, the transport and the chimes share. One instance for the run. UI thread.
#include <array>
#include <string>

#include "core/playout/UnplayableRows.h"

namespace pelvano::core {

class TcbDSMixerChannel;

// Channels 0 and 1 alternate for schedule items, 2 sounds the time signals, 3 measures lengths.
enum PlayoutChannelIndex { kItemChannelA = 0, kItemChannelB = 1, kChimeChannel = 2, kMeasureChannel = 3 };

struct ItemTimes {
    int tOver = 0;  // cross-fade into the next item, seconds
    int tIn = 0;    // fade-in, seconds
    int tOut = 0;   // fade-out, seconds
    bool operator==(const ItemTimes&) const = default;
};

// Who suspends the automatic playout (ItemRelease.h); PlayoutHold is on while any of them does.
enum PlayoutHoldOwner : unsigned { kHoldByLyricsEditor = 1u, kHoldByTagWindow = 2u };

struct PlayoutState {
    std::array<TcbDSMixerChannel*, 4> PlayoutChannels{};
    // The bare file name as the schedule stores it (GBK) of the item each channel was given:
    // the log names files as stored, not as found on disk.
    std::array<std::string, 4> StoredFileNames{};
    TcbDSMixerChannel* CurrentChannel = nullptr;
    TcbDSMixerChannel* PreviousChannel = nullptr;
    int tOver = 0;
    int tIn = 0;
    int tOut = 0;
    ItemTimes PreviousTimes;
    bool Paused = false;
    bool StopRequested = false;
    bool FadeOutStarted = false;
    bool PlayoutHold = false;  // set through SetPlayoutHold only
    unsigned PlayoutHoldOwners = 0;
    int LastTimedSecond = 0;
    UnplayableRows Unplayable;

    ItemTimes times() const { return {tOver, tIn, tOut}; }
    // The channels are about to be freed: nothing refers to them any more.
    void forgetChannels() {
        PlayoutChannels = {};
        StoredFileNames = {};
        CurrentChannel = nullptr;
        PreviousChannel = nullptr;
    }
};

// Fixed levels, hundredths of a decibel.
inline constexpr int kFadeInStartLevel = -3400;
inline constexpr int kDipLevel = -3600;
inline constexpr int kFadeOutLevel = -3900;

}  // namespace pelvano::core
