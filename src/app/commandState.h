#pragma once

#include <QString>

#include <cstdint>

#include "playback/playState.h"

namespace app {

// What the playback controls look like in one play state.
struct CommandState {
    bool play = false;              // tmiPlay, tbiPlay
    bool pause = false;             // tmiPause, tbiPause
    bool transport = false;         // stop, step, step back, capture and the tools button
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

// The label text while no position is shown.
QString ZeroTimestamp();

}  // namespace app
