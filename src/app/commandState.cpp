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
        s.timestamp = CommandState::Timestamp::Zero;
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

QString FormatTimestamp(std::int64_t position, int dh, int dm, int ds)
{
    return QString::asprintf("timestamp: %.2lld:%.2lld:%.2lld/%.2d:%.2d:%.2d",
                             static_cast<long long>(position / 3600),
                             static_cast<long long>((position / 60) % 60),
                             static_cast<long long>(position % 60), dh, dm, ds);
}

QString ZeroTimestamp()
{
    return QStringLiteral("timestamp: %1").arg(QStringLiteral("00:00:00/00:00:00"));
}

}  // namespace app
