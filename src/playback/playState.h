#pragma once

#include <cstdint>

// Where playback stands; kept by the play manager, read by the UI controller.
enum TPlayState : std::uint8_t {
    psNoFile = 0,   // no video opened since start
    psOpened = 1,   // a video was opened and its first frame shown, not played yet
    psPlaying = 2,  // playback running
    psStopped = 3,  // stopped by Stop or by the end of the stream
    psPaused = 4,   // paused by Pause, Step, a thumbnail click or a slider drag
};
