#include "app/commandState.h"

namespace app {

CommandState CommandStateFor(TPlayState state)
{
    CommandState s;
    switch (state) {
    case psNoFile:
        s.playButtonVisible = true;
        s.resetSlider = true;
        s.timestamp = CommandState::Timestamp::Zero;
        break;
    case psOpened:
        s.play = true;
        s.playButtonVisible = s.playButtonEnabled = true;
        s.slider = true;
        s.resetSlider = true;
        s.timestamp = CommandState::Timestamp::Current;
        break;
    case psPlaying:
        s.pause = true;
        s.transport = true;
        s.pauseButtonVisible = s.pauseButtonEnabled = true;
        s.stopButton = true;
        s.slider = true;
        break;
    case psStopped:
        s.play = true;
        s.playButtonVisible = s.playButtonEnabled = true;
        s.slider = true;
        s.resetSlider = true;
        // The frame on display: the first one after Stop, the last one at the end.
        s.timestamp = CommandState::Timestamp::Current;
        break;
    case psPaused:
        s.play = true;
        s.transport = true;
        s.playButtonVisible = s.playButtonEnabled = true;
        s.stopButton = true;
        s.slider = true;
        break;
    }
    return s;
}

QString ZeroTimestamp()
{
    return QStringLiteral("timestamp: %1").arg(QStringLiteral("00:00:00/00:00:00"));
}

}  // namespace app
