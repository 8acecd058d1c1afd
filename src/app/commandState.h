#pragma once

#include <QString>

#include <cstdint>

#include "playback/playState.h"

namespace app {

// What the playback controls look like in one play state.
struct CommandState {
    bool play = false;              // tmiPlay, tbiPlay
    bool pause = false;             // tmiPause, tbiPause
    bool transport = false;         // stop, step, capture and the tools button
    bool playButtonVisible = false;
    bool playButtonEnabled = false;
    bool pauseButtonVisible = false;
    bool pauseButtonEnabled = false;
    bool stopButton = false;
    bool slider = false;
    bool resetSlider = false;       // slider position back to 0
    enum class Timestamp { Keep, Zero, Current } timestamp = Timestamp::Keep;
};

CommandState CommandStateFor(TPlayState state);

// "timestamp: hh:mm:ss/hh:mm:ss": the position in whole seconds, then the duration. Hours take
// as many digits as they need.
QString FormatTimestamp(std::int64_t positionSeconds, int durationHours, int durationMinutes,
                        int durationSeconds);

// The label text while no position is shown.
QString ZeroTimestamp();

}  // namespace app
